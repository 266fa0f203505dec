#pragma once
// Helpers of the export tests: expected bytes written out by hand, a walker
// that splits a .3ds file into its chunk tree, and a reference stager that
// follows the staging rules literally (a scan over every staged vertex).

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"

// Little-endian bytes built field by field.
class ByteBuilder {
public:
    ByteBuilder& U8(uint8_t v);
    ByteBuilder& U16(uint16_t v);
    ByteBuilder& U32(uint32_t v);
    ByteBuilder& F32(float v);
    ByteBuilder& Str(const std::string& s);  // bytes and a zero byte
    ByteBuilder& Header(uint16_t id, uint32_t length) { return U16(id).U32(length); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

// One chunk of a file with the chunks nested in it.
struct ChunkNode {
    uint16_t Id = 0;
    uint32_t Length = 0;     // as stored
    size_t Offset = 0;       // of the header in the file
    size_t DataOffset = 0;   // of the data after the header
    std::vector<ChunkNode> Children;

    // The first child with this identifier, or nullptr.
    const ChunkNode* Child(uint16_t id) const;
    std::vector<const ChunkNode*> ChildrenWith(uint16_t id) const;
};

// Splits the bytes into their chunk tree, knowing which chunks hold nested
// chunks and how much data comes before them. Adds a test failure (and
// returns false) when a length does not tile its parent exactly.
bool ParseChunkTree(const std::vector<uint8_t>& bytes, ChunkNode& root);

uint16_t ReadU16(const std::vector<uint8_t>& bytes, size_t offset);
uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t offset);
float ReadF32(const std::vector<uint8_t>& bytes, size_t offset);
std::string ReadCString(const std::vector<uint8_t>& bytes, size_t offset);

std::vector<uint8_t> ReadFileBytes(const std::string& path);

// ---- Reference stager --------------------------------------------------------

struct RefObject {
    std::string Name;
    int Material = 0;
    std::vector<Vector3> Vertices;
    std::vector<std::array<int, 3>> Faces;
    std::vector<uint32_t> Smooth;
};

class ReferenceStager {
public:
    std::vector<RefObject> Objects;
    void Begin(const std::string& name, int material);
    void Triangle(const Vector3& a, const Vector3& b, const Vector3& c, int16_t weld);
    void Flush();

private:
    std::string name_;
    int material_ = 0;
    int part_ = 0;
    std::vector<Vector3> vertices_;
    std::vector<std::array<int, 3>> faces_;
    std::vector<uint32_t> smooth_;
};

// Exact equality of two vertices' bit patterns.
bool SameBits(const Vector3& a, const Vector3& b);

// Compares the scene (gObjects3DS) with the reference objects: names,
// materials, vertex bits, faces and smoothing masks.
void ExpectSceneEquals(const std::vector<RefObject>& expected);
