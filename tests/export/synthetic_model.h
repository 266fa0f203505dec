#pragma once
// Built models made in code for the export tests: the arrays the model
// builder fills, filled directly with meshes of known shapes, sizes and flags,
// and the document records the export reads.

#include <cstdint>

#include "model/model_meshes.h"

// Empties the track document, the model arrays and the model settings.
void ClearDocumentAndModel();

// A tube-like mesh: `faces` triangles of rings around the X axis starting at
// `origin`, neighbouring faces sharing corners. Every face gets `smoothing`.
ModelMesh TubeMesh(int32_t faces, const Vector3& origin, bool smooth, int16_t smoothing = 0);

// A track of `segments` segments with `spines` spines and `rails` rails, each
// mesh of `meshFaces` faces, and `tieFaces` crosstie faces per segment; the
// document's segment records and colours, gSpineInfoSegmentCount and the
// settings' rail and spine counts to match.
void MakeTrackModel(int32_t segments, int32_t spines, int32_t rails, int32_t meshFaces, int32_t tieFaces);

// The ground as the builder makes it from a terrain of w x d points at the
// given spacing (heights from a smooth bump), smooth, with a water model
// copied from it when `water`.
void MakeGroundModel(int32_t w, int32_t d, float spacing, bool water);

// Tubes, catwalks, footers, prefabricated supports (with footers) and
// tunnels, `count` of each, with the document counts to match.
void MakeSupportModels(int32_t count, int32_t facesEach);
void MakeTunnelModels(int32_t count, int32_t facesEach);
