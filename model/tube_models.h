#pragma once
// Support tube models: one prism mesh per support tube of the track document
// (gTubeModels), between two typed ends (footer, free node, prefabricated
// support anchor), with the cross-section of its tube type sized by the
// TubeScales of the model settings.

#include <cstdint>

#include "trackdoc/math3d.h"

// The section sizes (TubeScales) the modeler dialog allows; the builder keeps
// every size inside them.
inline constexpr float kTubeScaleMin = 0.01f, kTubeScaleMax = 10.0f;

// Rebuilds gTubeModels (0 .. gTubeCount, the last a spare); a track document
// only (otherwise just the spare).
void CreateTubeModels();
// Works out the ends, the beam transform and the size of tube `index` and
// calls the builder of its type. A tube of an unknown type, with an end that
// names no existing record (or is of an unknown kind), or whose two ends lie at
// one point, stays empty.
void ModelTube(int32_t index);

// The world point of a tube end: a footer's ground point, a free node, or a
// prefabricated support's anchor. False when the end names nothing that exists.
bool GetTubeEndPosition(int32_t kind, int32_t index, int32_t segment, Vector3& point);

// The four section builders. m: the beam transform (origin at end A, local -Z
// toward end B); size: (half-width across, half-height, length). Each fills
// gTubeModels[index]: 2n side faces in edge order, then the caps of the ends
// that do not stand on a footer (A, then B).
void BuildRoundTubeMesh(int32_t index, const Matrix4& m, const Vector3& size);  // octagon, smooth
void BuildLBeamMesh(int32_t index, const Matrix4& m, const Vector3& size);
void BuildHBeamMesh(int32_t index, const Matrix4& m, const Vector3& size);
void BuildWoodBeamMesh(int32_t index, const Matrix4& m, const Vector3& size);  // rectangle
