#pragma once
// The polygon model: plain triangle lists that the builders fill and the
// preview and the export read, all in world coordinates (metres).
//
// Arrays with one entry per document record hold count + 1 entries (the last an
// empty spare). Face lists only grow while a mesh is built; a face's index is
// its creation order. Readers must take the number of entries from the array
// itself when it may lag behind a document count (a part not rebuilt since the
// document changed), and should skip drawing while IsModelBuilding() is true.

#include <cstdint>
#include <vector>

#include "platform/byte_block.h"
#include "trackdoc/math3d.h"

// The face normal follows from the corners and is not stored: the faces are
// the largest lists of a model without terrain.
struct ModelFace {
    Vector3 V1, V2, V3;
    Vector3 VertexNormal1, VertexNormal2, VertexNormal3;  // set only by smoothing builders
    int16_t Smoothing = 0;  // -1: the face belongs to the smooth part of its mesh

    // TriangleNormal(V1, V2, V3); zero for a triangle without area.
    Vector3 FaceNormal() const { return TriangleNormal(V1, V2, V3); }
};

struct ModelMesh {
    std::vector<ModelFace> Faces;  // 0 .. FaceCount - 1 valid; spare entries carry no meaning
    int32_t FaceCount = 0;
    bool Smooth = false;           // draw and export with the vertex normals
};

// The model of one track segment.
struct TrackModelEntry {
    Vector3 Centre;      // bounding sphere of everything the segment draws
    float Radius = 0.0f;
    std::vector<ModelMesh> Rails;   // one per rail of the settings, plus a spare
    std::vector<ModelMesh> Spines;  // one per spine tube, plus a spare
    std::vector<ModelFace> TieFaces;
    int32_t TieFaceCount = 0;
    int32_t Spare = 0;
    int32_t RailColor = 0;   // RGB, red in the low byte
    int32_t SpineColor = 0;
    int32_t TieColor = 0;
};

struct GroundVertex {
    Vector3 Position;
    Vector3 Normal;  // mean of the adjoining face normals, not renormalised
};

// A ground triangle holds its corners only: its face normal follows from
// their positions (GroundFaceNormal) and is not stored, as the ground's
// triangles are the largest list of a model with terrain.
struct GroundTriangle {
    int32_t A = 0, B = 0, C = 0;  // indices into gGroundVertices
};

// Track model: 0 .. gSpineInfoSegmentCount (the last a spare).
extern std::vector<TrackModelEntry> gTrackModel;
// Support tubes, catwalks, footers: 0 .. document count (the last a spare).
extern std::vector<ModelMesh> gTubeModels;
extern std::vector<ModelMesh> gCatwalkModels;
extern std::vector<ModelMesh> gFooterModels;
// Prefabricated supports and their footers: 0 .. gPrefabModelCount.
extern std::vector<ModelMesh> gPrefabModels;
extern std::vector<ModelMesh> gPrefabFooterModels;
extern int32_t gPrefabModelCount;
// Tunnel shells: 0 .. gTunnelModelCount.
extern std::vector<ModelMesh> gTunnelOuterModels;
extern std::vector<ModelMesh> gTunnelInnerModels;
extern int32_t gTunnelModelCount;
// Ground and water.
extern LargeVector<GroundVertex> gGroundVertices;
extern int32_t gGroundVertexCount;
extern LargeVector<GroundTriangle> gGroundTriangles;
extern int32_t gGroundTriangleCount;
extern bool gGroundSmooth;
// The water has no arrays of its own: it is the ground's triangles
// 0 .. gWaterTriangleCount - 1 over the ground's vertex positions
// 0 .. gWaterVertexCount - 1, laid flat at height 0 (only X and Z count).
extern int32_t gWaterVertexCount;
extern int32_t gWaterTriangleCount;
extern Vector3 gWaterNormal;
extern bool gHasWaterModel;
// Draw colours of supports and tunnels (set by the colouring).
extern int32_t gSupportDrawColor;
extern int32_t gTunnelDrawColor;

// Crosstie pattern state, reset at the start of every track-model build and
// carried from one segment to the next.
extern int16_t gTieState;      // 0 the primary tie model is current, 1 the secondary
extern int32_t gTieCountdown;  // ties left before the pattern switches

// Empties every model array to its single spare entry, every count to 0, and
// the spine copy, path frames, radius comb and heart-line with them: a new
// document never sees a mesh of the previous one.
void ClearModelArrays();

// TriangleNormal of the triangle's corners in gGroundVertices; zero when a
// corner is not in the list.
Vector3 GroundFaceNormal(const GroundTriangle& t);

// ---- Construction rules shared by the builders --------------------------

// A face with its normal; vertex normals zero, Smoothing 0.
ModelFace MakeFace(const Vector3& v1, const Vector3& v2, const Vector3& v3);
// Appends a face to a list holding `count` valid faces and advances the count.
void AppendFace(std::vector<ModelFace>& faces, int32_t& count, const ModelFace& face);
inline void AppendFace(ModelMesh& mesh, const ModelFace& face) { AppendFace(mesh.Faces, mesh.FaceCount, face); }

// Gives back the room a finished mesh's face list holds beyond its faces
// (the faces and their order stay).
void TrimFaces(ModelMesh& mesh);

// Side strip between two rings of m points (A the earlier ring): for k = 0 to
// m - 1 the faces (A[k], B[k], A[k+1]) and (B[k+1], A[k+1], B[k]), k + 1
// wrapping to 0: 2m faces.
void AppendSideStrip(ModelMesh& mesh, const Vector3* a, const Vector3* b, int m);
// Smooths the last 2m faces of the mesh (a strip just appended): every ring
// point gets the mean of the two face normals meeting at its edge line.
void SmoothStripEdges(ModelMesh& mesh, int m);

// ---- Faces without area ---------------------------------------------------
// No builder keeps a triangle without area (the export would write it as a
// line, the preview draws nothing of it): they are left out where they are made.

// False when ring b (m points) repeats ring a or collapses to one point: the
// strip between them, or a prism between two copies of one outline, would
// hold no face with area.
bool StripHasArea(const Vector3* a, const Vector3* b, int m);
// True when the triangle has area: TriangleNormal of its corners is not zero.
bool FaceHasArea(const Vector3& v1, const Vector3& v2, const Vector3& v3);
// Removes the faces without area from faces [first, FaceCount) of the mesh;
// the others keep their order and everything they carry.
void DropFacesWithoutArea(ModelMesh& mesh, int32_t first);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);
