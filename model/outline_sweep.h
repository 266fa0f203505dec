#pragma once
// Outline sweeps: a closed outline placed twice (a prism) or many times along a
// path (a band per pair of rings), the rings joined by the side-strip rule of
// the model meshes, optionally edge-smoothed, and closed by cap triangles.
// Shared by the catwalks, footers, support tubes, prefabricated beams and
// footers, and the tunnels.

#include <array>
#include <cstdint>

#include "model/model_meshes.h"
#include "trackdoc/math3d.h"

// Cap triangles by outline point index, wound so that the cap at the start
// ring faces away from the end ring. The end ring's cap takes every triangle
// reversed, so it faces away from the start.
struct CapPattern {
    const std::array<int, 3>* Triangles = nullptr;
    int Count = 0;
};

// Fan of an octagon: (0,1,2) (2,3,4) (4,5,6) (6,7,0) (0,2,4) (4,6,0).
extern const CapPattern kOctagonCap;
// A quadrilateral split along its 0-2 diagonal: (0,1,2) (2,3,0).
extern const CapPattern kQuadCap;

struct OutlineSweepStyle {
    // Side faces carry Smoothing -1 and the edge-smoothed vertex normals.
    bool SmoothSides = false;
    // Cap faces carry their face normal as all three vertex normals (else zero).
    bool CapVertexNormals = false;
};

// Appends a prism between two rings of n points (ringA the start): 2n side
// faces in edge order, then the cap at ringA when capStart, then the reversed
// cap at ringB when capEnd. Cap faces keep Smoothing 0. Faces without area
// are left out: all of them when ringB repeats ringA (no length) or collapses
// to one point (no size), else those between points that coincide.
void AppendOutlineSweep(ModelMesh& mesh, const Vector3* ringA, const Vector3* ringB, int n, const CapPattern& cap,
                        bool capStart, bool capEnd, const OutlineSweepStyle& style);

// Maps n local points through a transform.
void MapOutline(const Matrix4& transform, const Vector3* local, int n, Vector3* world);

// One band of a swept tube between an earlier and a later ring of n points.
// Outward: the side strip (earlier[j], later[j], earlier[j+1]),
// (later[j+1], earlier[j+1], later[j]), facing away from the axis of a
// counter-clockwise outline. Inward: every face of that strip turned round,
// (earlier[j+1], later[j], earlier[j]), (later[j], earlier[j+1], later[j+1]).
enum class BandFacing { Outward, Inward };
void AppendBand(ModelMesh& mesh, const Vector3* earlier, const Vector3* later, int n, BandFacing facing);
// Vertex normals of the band just appended: every corner takes the mean of the
// two face normals meeting at the edge line of its outline point.
void SmoothBand(ModelMesh& mesh, int n, BandFacing facing);

// Evenly spaced ring positions along a length, counted by integers so that no
// rounding can add or drop a ring: ring r of `steps` lies at r * length / steps
// and the last (r = steps) exactly at `length`.
float RingDistance(float length, int32_t steps, int32_t ring);
