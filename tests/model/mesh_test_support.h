#pragma once
// Helpers of the tests of the support, ground and tunnel builders: terrain
// made in code, the track's prefabricated supports, and checks of the faces
// of a mesh (normals as the corners give them, pointing away from a part).

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/model_meshes.h"
#include "trackdoc/math3d.h"

// A terrain of w x d points at the given spacing; height(i, j) for each point.
void MakeTerrain(int w, int d, float spacing, const std::function<float(int, int)>& height, bool water = false);

// Appends a free node and returns its index.
int FreeNode(float x, float y, float z);
// Appends a footer at (x, z) (its y is set to a value the builders must ignore).
int AddFooter(float x, float z);
// Appends a support tube between two typed ends.
int AddTube(int kindA, int indexA, int segmentA, int kindB, int indexB, int segmentB, int type, float rotation = 0.0f);
// Sets the prefabricated supports of a segment: one item per style, at the fractions given.
void SetPrefabItems(int segment, const std::vector<std::pair<int, float>>& items);

// The faces of a mesh that are valid.
const ModelFace* FacesOf(const ModelMesh& mesh);

Vector3 Sub(const Vector3& a, const Vector3& b);
double Dot(const Vector3& a, const Vector3& b);
double Length(const Vector3& v);
Vector3 FaceCentre(const ModelFace& f);
// The mean of every corner of faces [first, first + count).
Vector3 CornerCentre(const ModelMesh& mesh, int first, int count);

// Every face's normal is TriangleNormal of its corners, and every value finite.
::testing::AssertionResult FacesAreConsistent(const ModelMesh& mesh);
// Faces [first, first + count) point away from `inside` (normal . (face centre - inside) > 0).
::testing::AssertionResult FacesPointAwayFrom(const ModelMesh& mesh, int first, int count, const Vector3& inside);
// Faces [first, first + count) point away from the nearest point of the line through a and b.
::testing::AssertionResult FacesPointAwayFromLine(const ModelMesh& mesh, int first, int count, const Vector3& a,
                                                  const Vector3& b);
// Faces [first, first + count) have normals close to `direction`.
::testing::AssertionResult FacesFace(const ModelMesh& mesh, int first, int count, const Vector3& direction);

// Reading a whole mesh's corners: the smallest and largest coordinates.
struct Bounds {
    Vector3 Min, Max;
};
Bounds BoundsOf(const ModelMesh& mesh, int first = 0, int count = -1);
