#pragma once
// Prefabricated support models: one support mesh and one footer mesh per item
// of the document's prefabricated-support groups (gPrefabModels,
// gPrefabFooterModels), numbered segment by segment and item by item. Each
// style has its own builder, which places a fitting, beams and footers (the
// parts of prefab_support_parts.h) from the path frame at the support, its
// anchor on the spine, the track's bank and the terrain below.

#include <cstdint>

#include "trackdoc/math3d.h"

// Rebuilds gPrefabModelCount, gPrefabModels and gPrefabFooterModels; a track
// document only (otherwise a count of 0 and the single spare entries).
void CreatePrefabSupportModels();
// Builds item `item` of segment `segment` into model `model` of both lists by
// its style; an item of another style code, or one whose support cannot be
// placed (no group, item or path frame), stays empty.
void ModelPrefabSupport(int32_t segment, int32_t item, int32_t model);

void ModelSimplePrefab(int32_t segment, int32_t item, int32_t model);         // style 2
void ModelComplexPrefab(int32_t segment, int32_t item, int32_t model);        // style 3
void ModelInvertedPrefab(int32_t segment, int32_t item, int32_t model);       // style 4
void ModelBankPrefab(int32_t segment, int32_t item, int32_t model);           // style 5
void ModelSmallInvertedPrefab(int32_t segment, int32_t item, int32_t model);  // style 6
void ModelAShapePrefab(int32_t segment, int32_t item, int32_t model);         // style 7

// Appends the flat triangle (a, b, c) to gPrefabModels[model].
void AddSupportFace(int32_t model, const Vector3& a, const Vector3& b, const Vector3& c);

// The groups and items the document really holds: the segment count, but
// never past the groups stored; an item count never past the items stored.
int32_t UsablePrefabGroupCount();
int32_t UsablePrefabItemCount(int32_t segment);

// The frame and anchor of an existing support whose path frame could be
// looked up. False (values untouched) when the group or item does not exist,
// the segment has no path frames, or its position lies off the path.
bool FindPrefabSupport(int32_t segment, int32_t item, Matrix4& frame, Vector3& anchor);
