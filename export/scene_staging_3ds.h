#pragma once
// The 3D Studio scene in memory (materials and mesh objects, in file order) and
// the staging of one mesh at a time into it.
//
// The export drivers never build objects themselves: they stage a mesh
// triangle by triangle (Begin3DSMesh, Add3DSTriangle, Flush3DSMesh). Staging
// welds exactly equal corners, cuts the mesh into objects of at most 10000
// faces and names the parts; the file writer then writes the scene.
//
// Welding rule: a corner of a triangle with a non-zero weld value reuses the
// LAST vertex staged before this triangle whose X, Y and Z compare equal to it
// (float ==, so -0 joins +0 and NaN joins nothing). A hash index on the exact
// coordinates finds that vertex; the result is the same vertices in the same
// order as a scan from the first staged vertex to the last.
//
// Object and material indices are 32-bit: nothing in the file stores them, so
// a scene is not limited to 32767 of either. Vertex, texture-coordinate and
// face counts and face corner indices are stored as u16 in the file; the
// 10000-face split keeps every staged object far below that (at most 30000
// vertices), and the Add3DSObject* calls refuse a 65536th entry.
//
// Names: the callers give names in the program's text (UTF-8); the scene holds
// them as the file stores them, one byte per character of the simulator's
// code page (platform/code_page.h), so a name's size is its length in the
// file. A character the code page lacks becomes "?" (the program's own names
// are ASCII: MATER000, S012T002, TERA0000).

#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"

// ---- Scene records ---------------------------------------------------------

struct Color3DS {
    uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const Color3DS&, const Color3DS&) = default;
};

struct UV3DS {
    float U = 0.0f, V = 0.0f;
};

struct Face3DS {
    uint16_t A = 0, B = 0, C = 0;  // vertex indices, unsigned
};

// One material.
struct Mat3DS {
    std::string Name;          // "MATER" & Format(index, "000")
    Color3DS Ambient;
    Color3DS Diffuse;
    Color3DS Specular;
    int16_t Shininess = 0;     // percentages
    int16_t ShinStrength = 0;
    int16_t Transparency = 0;
    int16_t Falloff = 0;       // transparency falloff, always 0
    int16_t RefBlur = 0;       // reflection blur, always 0
    int16_t Shading = 3;
    int16_t SelfIllum = 0;     // self-illumination percentage, always 0
    float WireSize = 1.0f;
    std::string Texture;       // texture map file name (the file's bytes); empty: no texture
};

// One mesh object. The counts of the file are the sizes of the lists.
struct Obj3DS {
    std::string Name;                  // the file's bytes
    int32_t Material = 0;              // index into gMaterials3DS
    std::vector<Vector3> Vertices;     // model axes (Y up); the writer turns them
    std::vector<UV3DS> UVs;
    std::vector<Face3DS> Faces;
    std::vector<uint32_t> FaceSmooth;  // smoothing-group mask per face
    bool HasUV = false;                // set with the first texture coordinate

    uint32_t VertexCount() const { return static_cast<uint32_t>(Vertices.size()); }
    uint32_t UVCount() const { return static_cast<uint32_t>(UVs.size()); }
    uint32_t FaceCount() const { return static_cast<uint32_t>(Faces.size()); }
};

// The scene. Indices start at 0 and follow the order of addition, which is the
// order in the file. The counts always equal the lists' sizes.
extern std::vector<Mat3DS> gMaterials3DS;
extern int32_t gMaterialCount3DS;
extern std::vector<Obj3DS> gObjects3DS;
extern int32_t gObjectCount3DS;

// Most faces one staged object holds; the 10000th staged face flushes at once.
inline constexpr int32_t kMaxStagedFaces3DS = 10000;
// Most entries of one list of an object: its count is a u16 in the file.
inline constexpr uint32_t kMaxObjectEntries3DS = 65535;

// Empties both lists (freeing their memory) and sets both counts to 0. The
// staging state is not touched.
void Reset3DSScene();

// Appends a material named after its index, with the fixed fields filled in
// (Falloff 0, RefBlur 0, Shading 3, SelfIllum 0, WireSize 1.0), and returns its
// index. The caller may change the material's fields before the scene is written.
int32_t Add3DSMaterial(Color3DS ambient, Color3DS diffuse, Color3DS specular, int16_t shininess,
                       int16_t shinStrength, int16_t transparency, const std::string& texture);
// "MATER" followed by the index with at least three digits: MATER000, MATER999, MATER1000.
std::string MaterialName3DS(int32_t index);

// Appends an empty object (no vertices, texture coordinates or faces, HasUV
// False) and returns its index.
int32_t Add3DSObject(const std::string& name, int32_t material);
// Each appends one entry to the object and returns the entry's index; -1 (and
// nothing appended) when the object does not exist or its list is full.
int32_t Add3DSObjectVertex(const Vector3& vertex, int32_t object);
int32_t Add3DSObjectTexCoord(const UV3DS& uv, int32_t object);  // also sets HasUV
int32_t Add3DSObjectFace(uint16_t a, uint16_t b, uint16_t c, uint32_t smoothing, int32_t object);

// Takes every object a flush makes, in their order, instead of the scene's
// list: a file can then be written while it is staged (file_writer_3ds.h),
// without the whole scene in memory. While gObjectSink3DS is set, flushed
// objects never join gObjects3DS.
class ObjectSink3DS {
public:
    virtual ~ObjectSink3DS() = default;
    virtual void Take(const Obj3DS& object) = 0;
};
extern ObjectSink3DS* gObjectSink3DS;

// ---- Staging ---------------------------------------------------------------

struct StagedFace3DS {
    int32_t CornerA = 0, CornerB = 0, CornerC = 0;  // indices into the staged vertices
    int16_t Weld = 0;
};

// Finds, for a corner, the last staged vertex with exactly its coordinates.
// Holds the indices of the staged vertices 0 .. IndexedCount() - 1 in an
// open-addressing table keyed on the coordinates' bit patterns (-0 as +0).
class VertexWeldIndex {
public:
    // Forgets every vertex; costs as much as there were entries.
    void Clear();
    // Brings the table up to date with the staged vertices (in order, a later
    // equal vertex replacing an earlier one).
    void IndexUpTo(const std::vector<Vector3>& vertices, int32_t count);
    // The last indexed vertex equal to v, or -1.
    int32_t Find(const Vector3& v, const std::vector<Vector3>& vertices) const;
    int32_t IndexedCount() const { return indexed_; }

private:
    void Insert(const Vector3& v, int32_t index, const std::vector<Vector3>& vertices);
    void Grow(const std::vector<Vector3>& vertices);

    std::vector<int32_t> slots_;   // vertex index, -1 for an empty slot; size a power of two
    std::vector<uint32_t> used_;   // occupied slots, for Clear
    uint32_t shift_ = 64;          // 64 - log2(slots_.size())
    int32_t entries_ = 0;
    int32_t indexed_ = 0;
};

// The mesh being staged. The texture coordinate with index k belongs to the
// vertex with index k; the counts always equal the lists' sizes.
extern std::vector<Vector3> gStagedVertices;
extern std::vector<UV3DS> gStagedTexCoords;
extern int32_t gStagedVertexCount;
extern std::vector<StagedFace3DS> gStagedFaces;
extern int32_t gStagedFaceCount;
extern std::string gStagedName;
extern int32_t gStagedMaterial;
extern bool gStagedHasUV;
extern int32_t gStagedPart;
extern VertexWeldIndex gStagedWeldIndex;

// Empties the staged lists and stores the name, material and has-UV flag; the
// part counter becomes 0 unless keepPart.
void Begin3DSMesh(const std::string& name, int32_t material, bool hasUV, bool keepPart);
// Stages one triangle (see the welding rule above). Corners without a match,
// and every corner when weld is 0, are appended with their texture coordinate
// in the order a, b, c; then the face (a, b, c, weld). The 10000th staged face
// flushes the part at once.
void Add3DSTriangle(const Vector3& a, const Vector3& b, const Vector3& c, const UV3DS& uvA, const UV3DS& uvB,
                    const UV3DS& uvC, int16_t weld);
// Turns what is staged into an object named by PartName3DS (nothing when no
// vertex and no face is staged), then begins the next part of the same mesh.
// With a sink set, the object goes to the sink and not into the scene's list.
// Face smoothing masks are the weld values widened with their sign.
void Flush3DSMesh();
// A name shorter than 8 characters with the part counter appended, zero-padded
// to 8 characters (more when the counter needs more digits); a longer name as
// it is. Characters are counted as the file stores them, one byte each.
std::string PartName3DS(const std::string& name, int32_t part);
