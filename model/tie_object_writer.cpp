#include "model/tie_object_writer.h"

#include <cctype>
#include <cstring>

#include "platform/file_system.h"

namespace {

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(bool lowerCase) : lower_(lowerCase) {}
    void Tag(const char* tag) {
        for (int i = 0; i < 4; ++i) {
            const char c = tag[i];
            bytes_.push_back(static_cast<uint8_t>(lower_ ? std::tolower(static_cast<unsigned char>(c)) : c));
        }
    }
    void Long(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    void Single(float f) {
        int32_t v;
        std::memcpy(&v, &f, 4);
        Long(v);
    }
    void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void Text(const std::string& s) {
        Long(static_cast<int32_t>(s.size()));
        bytes_.insert(bytes_.end(), s.begin(), s.end());
    }
    size_t Size() const { return bytes_.size(); }
    void PatchLong(size_t at, int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(u >> (8 * i));
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    bool lower_;
    std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> EncodeTieObject(const TieObject& object, bool lowerCaseTags) {
    LittleEndianWriter out(lowerCaseTags);
    out.Tag("OBSF");
    const size_t totalAt = out.Size();
    out.Long(0);  // bytes after this field, patched below
    out.Long(2);  // chunks that follow

    out.Tag("MATS");
    out.Long(12);  // the chunk from its tag: tag, size, material count
    out.Long(0);

    const size_t brshStart = out.Size();
    out.Tag("BRSH");
    const size_t brshSizeAt = out.Size();
    out.Long(0);
    out.Long(0);
    out.Long(static_cast<int32_t>(object.Brushes.size()));
    for (const TieObjectBrush& brush : object.Brushes) {
        out.Text(brush.Name);
        out.Long(0);  // no texture block
        out.Long(static_cast<int32_t>(brush.Vertices.size()));
        for (const Vector3& v : brush.Vertices) {
            out.Single(v.X);
            out.Single(v.Y);
            out.Single(v.Z);
        }
        out.Long(static_cast<int32_t>(brush.Faces.size()));
        for (const auto& face : brush.Faces) {
            out.Long(0);  // material
            out.Long(face[0]);
            out.Long(face[1]);
            out.Long(face[2]);
            // The face normal, then zeros where the object editor keeps its texture data.
            const size_t n = brush.Vertices.size();
            const auto corner = [&](int32_t i) { return i >= 0 && size_t(i) < n ? brush.Vertices[i] : Vector3{}; };
            const Vector3 normal = TriangleNormal(corner(face[0]), corner(face[1]), corner(face[2]));
            out.Single(normal.X);
            out.Single(normal.Y);
            out.Single(normal.Z);
            out.Zeros(56 - 12);
            out.Long(0);
        }
        out.Long(0);
    }
    out.PatchLong(brshSizeAt, static_cast<int32_t>(out.Size() - brshStart));
    out.PatchLong(totalAt, static_cast<int32_t>(out.Size() - totalAt - 4));
    return out.Take();
}

bool WriteTieObjectFile(const std::string& path, const TieObject& object) {
    return fsys::WriteFileAtomically(path, EncodeTieObject(object), fsys::kCrosstieObjectFile);
}
