#include "model/tie_object_reader.h"

#include <cctype>
#include <cstdint>
#include <vector>

#include "model/modeler_settings.h"
#include "trackdoc/file_buffer.h"

namespace {

// A cursor over the whole-file buffer that refuses every read or skip beyond
// its end instead of trusting the file's lengths.
class TieFileCursor {
public:
    explicit TieFileCursor(int64_t size) : size_(size) {}

    int64_t Remaining() const { return size_ - pos_; }
    bool Ok() const { return ok_; }

    std::string Tag() {
        if (!Need(4)) return std::string();
        int32_t c = static_cast<int32_t>(pos_);
        std::string tag = FileBufReadTag(c);
        pos_ += 4;
        for (char& ch : tag) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return tag;
    }
    int32_t Long() {
        if (!Need(4)) return 0;
        int32_t c = static_cast<int32_t>(pos_);
        const int32_t v = FileBufReadLong(c);
        pos_ += 4;
        return v;
    }
    float Single() {
        if (!Need(4)) return 0.0f;
        int32_t c = static_cast<int32_t>(pos_);
        const float v = FileBufReadSingle(c);
        pos_ += 4;
        return v;
    }
    void Skip(int64_t bytes) {
        if (bytes < 0 || !Need(bytes)) {
            ok_ = false;
            return;
        }
        pos_ += bytes;
    }
    // A block length followed by that many bytes.
    void SkipBlock() { Skip(Long()); }
    void MoveTo(int64_t position) {
        if (position < 0 || position > size_) {
            ok_ = false;
            return;
        }
        pos_ = position;
    }
    int64_t Position() const { return pos_; }
    // A count of records of at least `recordBytes` each that the rest of the file can hold.
    int32_t Count(int64_t recordBytes) {
        const int32_t n = Long();
        if (n < 0 || int64_t(n) * recordBytes > Remaining()) {
            ok_ = false;
            return 0;
        }
        return n;
    }

private:
    bool Need(int64_t bytes) {
        if (!ok_ || bytes > Remaining()) {
            ok_ = false;
            return false;
        }
        return true;
    }

    int64_t size_;
    int64_t pos_ = 0;
    bool ok_ = true;
};

constexpr int64_t kMinBrushBytes = 5 * 4;           // four lengths and counts, empty blocks
constexpr int64_t kMinFaceBytes = 4 + 3 * 4 + 56 + 4;  // material, corners, skipped part, block length

}  // namespace

bool LoadTieModel(const std::string& path, int slot) {
    if (slot < 0 || slot > 1) return false;
    if (!LoadFileToBuffer(path, fsys::kCrosstieObjectFile)) return false;
    FileBufResetReadError();

    TieFileCursor in(static_cast<int64_t>(gFileBuffer.size()));
    if (in.Tag() != "OBSF") return false;
    in.Skip(8);
    if (in.Tag() != "MATS") return false;
    const int64_t matsStart = in.Position() - 4;
    const int32_t matsSize = in.Long();
    in.MoveTo(matsStart + matsSize);
    if (!in.Ok() || in.Tag() != "BRSH") return false;
    in.Skip(8);

    std::vector<TieTriangle> triangles;
    std::vector<Vector3> vertices;
    const int32_t brushCount = in.Count(kMinBrushBytes);
    for (int32_t brush = 0; brush < brushCount && in.Ok(); ++brush) {
        in.SkipBlock();
        in.SkipBlock();
        const int32_t vertexCount = in.Count(12);
        vertices.resize(static_cast<size_t>(vertexCount));
        for (Vector3& v : vertices) {
            v.X = in.Single();
            v.Y = in.Single();
            v.Z = in.Single();
        }
        const int32_t faceCount = in.Count(kMinFaceBytes);
        triangles.reserve(triangles.size() + static_cast<size_t>(faceCount));
        for (int32_t face = 0; face < faceCount && in.Ok(); ++face) {
            in.Skip(4);
            const int32_t i1 = in.Long(), i2 = in.Long(), i3 = in.Long();
            if (i1 < 0 || i2 < 0 || i3 < 0 || i1 >= vertexCount || i2 >= vertexCount || i3 >= vertexCount) return false;
            triangles.push_back(TieTriangle{vertices[i1], vertices[i2], vertices[i3]});
            in.Skip(56);
            in.SkipBlock();
        }
        in.SkipBlock();
    }
    if (!in.Ok() || FileBufReadFailed()) return false;

    TieModel& target = gModelSettings.gTieModels[slot];
    target.TriangleCount = static_cast<int32_t>(triangles.size());
    triangles.emplace_back();  // the spare record
    target.Triangles = std::move(triangles);
    return true;
}
