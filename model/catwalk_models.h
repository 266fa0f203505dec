#pragma once
// Catwalk models: one slab mesh per catwalk of the track document
// (gCatwalkModels), 0.1 thick and centred on its four corner free nodes.

#include <cstdint>

inline constexpr float kCatwalkHalfThickness = 0.05f;

// Rebuilds gCatwalkModels (0 .. gCatwalkCount, the last a spare); a track
// document only (otherwise just the spare).
void CreateCatwalkModels();
// Builds catwalk `index` into gCatwalkModels[index]: 8 side faces, 2 top, 2
// bottom, flat. A catwalk whose corner names no free node stays empty; one
// whose corners coincide (a free node named twice) leaves out the faces that
// would have no area.
void ModelCatwalk(int32_t index);
