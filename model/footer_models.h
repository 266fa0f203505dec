#pragma once
// Footer models: one concrete block per footer of the track document
// (gFooterModels), from the ground (or from below the water) to 0.2 above the
// terrain, octagonal or square by the setting RoundFooters; and the vertical
// span of a foundation, which the tubes and prefabricated footers use too.

#include <cstdint>

#include "model/model_meshes.h"
#include "trackdoc/math3d.h"

inline constexpr float kFooterStandardSize = 1.2f;   // width and depth without a custom size
inline constexpr float kFooterAboveGround = 0.2f;     // how far a foundation stands out of the ground
inline constexpr float kFooterWaterBottom = -10.0f;   // bottom of a foundation on a terrain with water

// Rebuilds gFooterModels (0 .. gFooterCount, the last a spare) from the
// document's footers; a track document only (otherwise just the spare).
void CreateFooterModels();
// Builds footer `index` into gFooterModels[index].
void ModelFooter(int32_t index);

// The span of a foundation standing at the position's x and z: top = ground
// height + 0.2, bottom = 0, or -10 when the terrain has water.
void GetGroundLevelAt(const Vector3& position, float& bottom, float& top);

// Appends one footer block of width and depth `size`, turned by `turn` about
// its vertical axis, standing at the position's x and z from the foundation's
// bottom to its top (at least 0.2 high): the side strip (smoothed, Smoothing
// -1, for the octagon), then the top cap; no bottom face. Sets the mesh's
// Smooth flag to `round`. Returns the bottom height.
float AppendFooterBlock(ModelMesh& mesh, const Vector3& position, float size, float turn, bool round);
