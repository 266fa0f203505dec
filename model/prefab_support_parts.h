#pragma once
// The parts of the prefabricated supports: octagonal beams, footers on the
// ground, and two fittings of fixed shape. Each appends to one model of the
// prefabricated-support arrays, chosen by the support's running number: beams
// and fittings to gPrefabModels[model], footers to gPrefabFooterModels[model].
// An index outside the arrays appends nothing.

#include <array>
#include <cstdint>

#include "trackdoc/math3d.h"

// An octagonal beam from the frame's origin along its -Z axis: size.X and
// size.Y are the half-widths of the section, size.Z the length. 16 smooth side
// faces (Smoothing -1, edge-smoothed normals), then six flat faces per cap
// asked for (the start cap facing +Z of the frame, the end cap -Z).
void BuildPrefabBeam(int32_t model, const Matrix4& frame, const Vector3& size, bool capStart, bool capEnd);

// A 1.2 by 1.2 footer standing on the ground below the position, turned by
// `rotation` about the vertical; round or square by RoundFooters, which also
// sets the footer mesh's Smooth flag. Writes the footer's bottom height into
// position.Y.
void BuildPrefabFooter(int32_t model, Vector3& position, float rotation);

// The two fittings: every corner is (fx * scale.X, fy * scale.Y, fz * scale.Z)
// of its factors, carried through the frame, appended row by row through
// AddSupportFace (flat faces).
void BuildPrefabPartMesh1(int32_t model, const Matrix4& frame, const Vector3& scale);  // 24 faces
void BuildPrefabPartMesh2(int32_t model, const Matrix4& frame, const Vector3& scale);  // 136 faces

// One row of a fitting: three corners of factors (fx, fy, fz).
using PartRow = std::array<std::array<float, 3>, 3>;
// A square plate with a tapered stub on top, hanging below the origin.
extern const std::array<PartRow, 24> kPrefabPartMesh1Rows;
// A clamp of two cheek plates on a pad, above the origin: left cheek (rows 0
// to 53: lobe inner face, lobe outer face, lobe rim, neck, leg), pad (54 to
// 65), right cheek (66 to 119: lobe outer face, inner face, rim, neck, leg),
// lower cross bar (120 to 125) and upper cross bar (126 to 135).
extern const std::array<PartRow, 136> kPrefabPartMesh2Rows;
