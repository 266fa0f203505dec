#include "tests/export/export_test_support.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "export/scene_staging_3ds.h"

ByteBuilder& ByteBuilder::U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

ByteBuilder& ByteBuilder::U16(uint16_t v) {
    bytes_.push_back(uint8_t(v & 0xFF));
    bytes_.push_back(uint8_t(v >> 8));
    return *this;
}

ByteBuilder& ByteBuilder::U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(uint8_t(v >> (8 * i)));
    return *this;
}

ByteBuilder& ByteBuilder::F32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return U32(u);
}

ByteBuilder& ByteBuilder::Str(const std::string& s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    bytes_.push_back(0);
    return *this;
}

uint16_t ReadU16(const std::vector<uint8_t>& b, size_t o) { return uint16_t(b.at(o) | (b.at(o + 1) << 8)); }

uint32_t ReadU32(const std::vector<uint8_t>& b, size_t o) {
    return uint32_t(b.at(o)) | (uint32_t(b.at(o + 1)) << 8) | (uint32_t(b.at(o + 2)) << 16) |
           (uint32_t(b.at(o + 3)) << 24);
}

float ReadF32(const std::vector<uint8_t>& b, size_t o) {
    const uint32_t u = ReadU32(b, o);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

std::string ReadCString(const std::vector<uint8_t>& b, size_t o) {
    std::string s;
    while (o < b.size() && b[o] != 0) s.push_back(char(b[o++]));
    return s;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

const ChunkNode* ChunkNode::Child(uint16_t id) const {
    for (const ChunkNode& c : Children)
        if (c.Id == id) return &c;
    return nullptr;
}

std::vector<const ChunkNode*> ChunkNode::ChildrenWith(uint16_t id) const {
    std::vector<const ChunkNode*> out;
    for (const ChunkNode& c : Children)
        if (c.Id == id) out.push_back(&c);
    return out;
}

namespace {

// How many data bytes a chunk holds before its nested chunks, or -1 for a
// chunk without nested chunks. The named object's prefix is its name.
long NestedStart(uint16_t id, const std::vector<uint8_t>& b, size_t data) {
    switch (id) {
        case 0x4D4D: case 0x3D3D: case 0xAFFF: case 0x4100:
        case 0xA010: case 0xA020: case 0xA030:
        case 0xA040: case 0xA041: case 0xA050: case 0xA052: case 0xA053: case 0xA084:
            return 0;
        case 0xA200:
            return 0;  // its percentage is a nested chunk
        case 0x4000:
            return long(ReadCString(b, data).size() + 1);
        case 0x4120:
            return long(2 + 8 * size_t(ReadU16(b, data)));
        default:
            return -1;
    }
}

bool ParseInto(const std::vector<uint8_t>& b, size_t begin, size_t end, std::vector<ChunkNode>& out) {
    size_t at = begin;
    while (at < end) {
        if (end - at < 6) {
            ADD_FAILURE() << "a chunk header is cut off at offset " << at;
            return false;
        }
        ChunkNode n;
        n.Id = ReadU16(b, at);
        n.Length = ReadU32(b, at + 2);
        n.Offset = at;
        n.DataOffset = at + 6;
        if (n.Length < 6 || n.Length > end - at) {
            ADD_FAILURE() << "chunk 0x" << std::hex << n.Id << std::dec << " at " << at << " has length "
                          << n.Length << ", " << (end - at) << " bytes remain in its parent";
            return false;
        }
        const long nested = NestedStart(n.Id, b, n.DataOffset);
        if (nested >= 0 && !ParseInto(b, n.DataOffset + size_t(nested), at + n.Length, n.Children)) return false;
        at += n.Length;
        out.push_back(std::move(n));
    }
    return true;
}

}  // namespace

bool ParseChunkTree(const std::vector<uint8_t>& bytes, ChunkNode& root) {
    std::vector<ChunkNode> top;
    if (!ParseInto(bytes, 0, bytes.size(), top)) return false;
    if (top.size() != 1 || top[0].Id != 0x4D4D) {
        ADD_FAILURE() << "the file is not one main chunk";
        return false;
    }
    root = std::move(top[0]);
    return true;
}

// ---- Reference stager --------------------------------------------------------

void ReferenceStager::Begin(const std::string& name, int material) {
    name_ = name;
    material_ = material;
    part_ = 0;
    vertices_.clear();
    faces_.clear();
    smooth_.clear();
}

void ReferenceStager::Triangle(const Vector3& a, const Vector3& b, const Vector3& c, int16_t weld) {
    const Vector3 corners[3] = {a, b, c};
    int index[3] = {-1, -1, -1};
    const size_t before = vertices_.size();
    // The last equal vertex staged before this triangle: scanning from the
    // end, the first one found.
    if (weld != 0) {
        for (int k = 0; k < 3; ++k)
            for (size_t i = before; i-- > 0;)
                if (vertices_[i].X == corners[k].X && vertices_[i].Y == corners[k].Y &&
                    vertices_[i].Z == corners[k].Z) {
                    index[k] = int(i);
                    break;
                }
    }
    for (int k = 0; k < 3; ++k) {
        if (index[k] >= 0) continue;
        index[k] = int(vertices_.size());
        vertices_.push_back(corners[k]);
    }
    faces_.push_back({index[0], index[1], index[2]});
    smooth_.push_back(weld == 0 ? 0u : weld == 1 ? 1u : uint32_t(int32_t(weld)));
    if (faces_.size() == 10000) Flush();
}

void ReferenceStager::Flush() {
    if (vertices_.empty() && faces_.empty()) return;
    RefObject o;
    if (name_.size() < 8) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%0*d", int(8 - name_.size()), part_);
        o.Name = name_ + digits;
    } else {
        o.Name = name_;
    }
    o.Material = material_;
    o.Vertices = vertices_;
    o.Faces = faces_;
    o.Smooth = smooth_;
    Objects.push_back(std::move(o));
    ++part_;
    vertices_.clear();
    faces_.clear();
    smooth_.clear();
}

bool SameBits(const Vector3& a, const Vector3& b) { return std::memcmp(&a, &b, sizeof(Vector3)) == 0; }

void ExpectSceneEquals(const std::vector<RefObject>& expected) {
    ASSERT_EQ(size_t(gObjectCount3DS), expected.size());
    ASSERT_EQ(gObjects3DS.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Obj3DS& o = gObjects3DS[i];
        const RefObject& r = expected[i];
        SCOPED_TRACE("object " + std::to_string(i) + " " + r.Name);
        EXPECT_EQ(o.Name, r.Name);
        EXPECT_EQ(o.Material, r.Material);
        ASSERT_EQ(o.Vertices.size(), r.Vertices.size());
        for (size_t v = 0; v < r.Vertices.size(); ++v)
            ASSERT_TRUE(SameBits(o.Vertices[v], r.Vertices[v])) << "vertex " << v;
        ASSERT_EQ(o.Faces.size(), r.Faces.size());
        ASSERT_EQ(o.FaceSmooth.size(), r.Faces.size());
        for (size_t f = 0; f < r.Faces.size(); ++f) {
            ASSERT_EQ(o.Faces[f].A, r.Faces[f][0]) << "face " << f;
            ASSERT_EQ(o.Faces[f].B, r.Faces[f][1]) << "face " << f;
            ASSERT_EQ(o.Faces[f].C, r.Faces[f][2]) << "face " << f;
            ASSERT_EQ(o.FaceSmooth[f], r.Smooth[f]) << "face " << f;
        }
    }
}
