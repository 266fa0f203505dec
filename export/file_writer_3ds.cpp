#include "export/file_writer_3ds.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/file_system.h"

namespace {

// Chunk identifiers.
constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kFileVersion = 0x0002;
constexpr uint16_t kEditor = 0x3D3D;
constexpr uint16_t kMeshVersion = 0x3D3E;
constexpr uint16_t kMaterialEntry = 0xAFFF;
constexpr uint16_t kMaterialName = 0xA000;
constexpr uint16_t kAmbient = 0xA010;
constexpr uint16_t kDiffuse = 0xA020;
constexpr uint16_t kSpecular = 0xA030;
constexpr uint16_t kShininess = 0xA040;
constexpr uint16_t kShinStrength = 0xA041;
constexpr uint16_t kTransparency = 0xA050;
constexpr uint16_t kTransFalloff = 0xA052;
constexpr uint16_t kRefBlur = 0xA053;
constexpr uint16_t kShading = 0xA100;
constexpr uint16_t kSelfIllum = 0xA084;
constexpr uint16_t kWireSize = 0xA087;
constexpr uint16_t kTextureMap = 0xA200;
constexpr uint16_t kMapFileName = 0xA300;
constexpr uint16_t kMapTiling = 0xA351;
constexpr uint16_t kMapBlur = 0xA353;
constexpr uint16_t kMasterScale = 0x0100;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kTriangleMesh = 0x4100;
constexpr uint16_t kVertexList = 0x4110;
constexpr uint16_t kTexCoords = 0x4140;
constexpr uint16_t kLocalAxes = 0x4160;
constexpr uint16_t kFaceList = 0x4120;
constexpr uint16_t kFaceMaterial = 0x4130;
constexpr uint16_t kSmoothGroups = 0x4150;

constexpr uint32_t kVersion = 3;
constexpr float kMasterScaleValue = 39.370079f;  // inches per metre
constexpr uint16_t kFaceFlagsAllEdgesVisible = 7;

// The four leading chunks: main header 6, file version 10, editor header 6, mesh version 10.
constexpr uint64_t kLeadingLength = 32;
constexpr uint64_t kMasterScaleLength = 10;

const std::string kNoMaterialName;

// Material entry 0xAFFF (M = name length, T = texture file name length):
//   offset       length   chunk
//        0            6   0xAFFF header: 160 + M, plus 39 + T with a texture
//        6        M + 7   0xA000 name: string
//   M + 13           15   0xA010 ambient: COLOR_24
//   M + 28           15   0xA020 diffuse: COLOR_24
//   M + 43           15   0xA030 specular: COLOR_24
//   M + 58           14   0xA040 shininess: INT_PERCENTAGE
//   M + 72           14   0xA041 shininess strength: INT_PERCENTAGE
//   M + 86           14   0xA050 transparency: INT_PERCENTAGE
//  M + 100           14   0xA052 transparency falloff: INT_PERCENTAGE
//  M + 114           14   0xA053 reflection blur: INT_PERCENTAGE
//  M + 128            8   0xA100 shading: u16
//  M + 136           14   0xA084 self-illumination: INT_PERCENTAGE
//  M + 150           10   0xA087 wire size: float
//  M + 160       T + 39   0xA200 texture map (only with a texture): INT_PERCENTAGE 100, then
//  M + 174        T + 7     0xA300 map file name: string
//  M + T + 181        8     0xA351 map tiling: u16 0
//  M + T + 189       10     0xA353 map blur: float 0
constexpr uint64_t kMaterialFixedLength = 160;
constexpr uint64_t kTextureFixedLength = 39;

void WriteMaterialEntry(Chunk3DSWriter& w, const Mat3DS& m) {
    const size_t entry = w.BeginChunk(kMaterialEntry);
    size_t c = w.BeginChunk(kMaterialName);
    Put3DSString(w, m.Name);
    w.EndChunk(c);
    const std::pair<uint16_t, const Color3DS*> colours[] = {
        {kAmbient, &m.Ambient}, {kDiffuse, &m.Diffuse}, {kSpecular, &m.Specular}};
    for (const auto& [id, colour] : colours) {
        c = w.BeginChunk(id);
        Put3DSColor24(w, colour->R, colour->G, colour->B);
        w.EndChunk(c);
    }
    const std::pair<uint16_t, int16_t> percentages[] = {{kShininess, m.Shininess},
                                                        {kShinStrength, m.ShinStrength},
                                                        {kTransparency, m.Transparency},
                                                        {kTransFalloff, m.Falloff},
                                                        {kRefBlur, m.RefBlur}};
    for (const auto& [id, value] : percentages) {
        c = w.BeginChunk(id);
        Put3DSPercent(w, static_cast<uint16_t>(value));
        w.EndChunk(c);
    }
    c = w.BeginChunk(kShading);
    Put3DSWord(w, static_cast<uint16_t>(m.Shading));
    w.EndChunk(c);
    c = w.BeginChunk(kSelfIllum);
    Put3DSPercent(w, static_cast<uint16_t>(m.SelfIllum));
    w.EndChunk(c);
    c = w.BeginChunk(kWireSize);
    Put3DSDword(w, m.WireSize);
    w.EndChunk(c);
    if (!m.Texture.empty()) {
        const size_t map = w.BeginChunk(kTextureMap);
        Put3DSPercent(w, 100);
        c = w.BeginChunk(kMapFileName);
        Put3DSString(w, m.Texture);
        w.EndChunk(c);
        c = w.BeginChunk(kMapTiling);
        Put3DSWord(w, 0);
        w.EndChunk(c);
        c = w.BeginChunk(kMapBlur);
        Put3DSDword(w, 0.0f);
        w.EndChunk(c);
        w.EndChunk(map);
    }
    w.EndChunk(entry);
}

// Named object 0x4000 (N = name length, K = length of its material's name,
// V, U, F = vertex, texture-coordinate and face counts):
//   offset              length         chunk
//        0                   6         0x4000 header: N + 98 + K + 12V + 14F, plus 8U + 8 with HasUV
//        6               N + 1         name: string
//    N + 7                   6         0x4100 triangle mesh header: the object's length - (N + 7)
//   N + 13             12V + 8         0x4110 vertex list: u16 V, then V x float x, y, z (file axes)
//   N + 21 + 12V        8U + 8         0x4140 texture coordinates (only with HasUV): u16 U, U x float u, v
//   next                    54         0x4160 local axes: floats 1 0 0, 0 1 0, 0 0 1, 0.001 0.001 0.001
//   next          14F + K + 23         0x4120 face list: u16 F, F x u16 a, b, c, flags 7; then
//                   2F + K + 9           0x4130 face material: string, u16 F, u16 0 .. F - 1
//                       4F + 6           0x4150 smoothing groups: F x u32 mask
constexpr uint64_t kObjectFixedLength = 98;

void WriteVertexList(Chunk3DSWriter& w, const Obj3DS& o) {
    const size_t c = w.BeginChunk(kVertexList);
    const size_t n = o.Vertices.size();
    Put3DSWord(w, static_cast<uint16_t>(n));
    uint8_t* p = w.Extend(12 * n);
    for (const Vector3& v : o.Vertices) {
        StoreLEFloat(p, RoundCoordinate3DS(v.X));
        StoreLEFloat(p + 4, RoundCoordinate3DS(-v.Z));
        StoreLEFloat(p + 8, RoundCoordinate3DS(v.Y));
        p += 12;
    }
    w.EndChunk(c);
}

void WriteTexCoords(Chunk3DSWriter& w, const Obj3DS& o) {
    const size_t c = w.BeginChunk(kTexCoords);
    const size_t n = o.UVs.size();
    Put3DSWord(w, static_cast<uint16_t>(n));
    uint8_t* p = w.Extend(8 * n);
    for (const UV3DS& uv : o.UVs) {
        StoreLEFloat(p, uv.U);
        StoreLEFloat(p + 4, uv.V);
        p += 8;
    }
    w.EndChunk(c);
}

void WriteLocalAxes(Chunk3DSWriter& w) {
    const size_t c = w.BeginChunk(kLocalAxes);
    Put3DSVector(w, 1.0f, 0.0f, 0.0f);
    Put3DSVector(w, 0.0f, 1.0f, 0.0f);
    Put3DSVector(w, 0.0f, 0.0f, 1.0f);
    Put3DSVector(w, 0.001f, 0.001f, 0.001f);
    w.EndChunk(c);
}

void WriteFaceList(Chunk3DSWriter& w, const Obj3DS& o) {
    const size_t list = w.BeginChunk(kFaceList);
    const size_t n = o.Faces.size();
    Put3DSWord(w, static_cast<uint16_t>(n));
    uint8_t* p = w.Extend(8 * n);
    for (const Face3DS& f : o.Faces) {
        StoreLE16(p, f.A);
        StoreLE16(p + 2, f.B);
        StoreLE16(p + 4, f.C);
        StoreLE16(p + 6, kFaceFlagsAllEdgesVisible);
        p += 8;
    }
    size_t c = w.BeginChunk(kFaceMaterial);
    Put3DSString(w, ObjectMaterialName3DS(o));
    Put3DSWord(w, static_cast<uint16_t>(n));
    p = w.Extend(2 * n);
    for (size_t i = 0; i < n; ++i, p += 2) StoreLE16(p, static_cast<uint16_t>(i));
    w.EndChunk(c);
    c = w.BeginChunk(kSmoothGroups);
    p = w.Extend(4 * n);
    for (size_t i = 0; i < n; ++i, p += 4) StoreLE32(p, i < o.FaceSmooth.size() ? o.FaceSmooth[i] : 0u);
    w.EndChunk(c);
    w.EndChunk(list);
}

void WriteNamedObject(Chunk3DSWriter& w, const Obj3DS& o) {
    const size_t object = w.BeginChunk(kNamedObject);
    Put3DSString(w, o.Name);
    const size_t mesh = w.BeginChunk(kTriangleMesh);
    WriteVertexList(w, o);
    if (o.HasUV) WriteTexCoords(w, o);
    WriteLocalAxes(w);
    WriteFaceList(w, o);
    w.EndChunk(mesh);
    w.EndChunk(object);
}

}  // namespace

uint64_t MaterialEntryLength3DS(const Mat3DS& m) {
    uint64_t length = kMaterialFixedLength + m.Name.size();
    if (!m.Texture.empty()) length += kTextureFixedLength + m.Texture.size();
    return length;
}

uint64_t ObjectChunkLength3DS(uint64_t nameLength, uint64_t materialNameLength, uint64_t vertices, uint64_t uvs,
                              bool hasUV, uint64_t faces) {
    uint64_t length = nameLength + kObjectFixedLength + materialNameLength + 12 * vertices + 14 * faces;
    if (hasUV) length += 8 * uvs + 8;
    return length;
}

uint64_t ObjectChunkLength3DS(const Obj3DS& o) {
    return ObjectChunkLength3DS(o.Name.size(), ObjectMaterialName3DS(o).size(), o.Vertices.size(), o.UVs.size(),
                                o.HasUV, o.Faces.size());
}

uint64_t Get3DSFileSize() {
    uint64_t size = kLeadingLength;
    for (int32_t i = 0; i < gMaterialCount3DS; ++i) size += MaterialEntryLength3DS(gMaterials3DS[size_t(i)]);
    size += kMasterScaleLength;
    for (int32_t i = 0; i < gObjectCount3DS; ++i) size += ObjectChunkLength3DS(gObjects3DS[size_t(i)]);
    return size;
}

float RoundCoordinate3DS(float value) {
    // Every float from 2^24 up is a whole number already (and NaN fails the test).
    if (!(std::fabs(value) < 16777216.0f)) return value + 0.0f;
    // A float has 24 significant bits and 10^6 = 2^6 * 15625 has 14, so the
    // product is exact in a double; nearbyint rounds halves to even in the
    // default rounding mode. The quotient, rounded once to a double and once
    // to a float, lands on the float nearest to the 6-decimal value: that
    // value cannot lie close enough to a halfway point between two floats for
    // the first rounding to move it onto one.
    const double scaled = std::nearbyint(static_cast<double>(value) * 1e6);
    return static_cast<float>(scaled / 1e6) + 0.0f;  // + 0 turns -0 into 0
}

const std::string& ObjectMaterialName3DS(const Obj3DS& o) {
    if (o.Material < 0 || o.Material >= gMaterialCount3DS) return kNoMaterialName;
    return gMaterials3DS[static_cast<size_t>(o.Material)].Name;
}

std::string TooLargeText3DS(uint64_t size, uint64_t maxSize) {
    return "The model is too large for a 3DS file: it needs " + std::to_string(size) +
           " bytes, and a 3DS file holds at most " + std::to_string(maxSize) +
           " bytes.\nExport fewer parts, or build the ground at low detail.";
}

std::string CannotWriteText3DS(const std::string& path, int error) {
    const std::string reason = fsys::WriteFailureReason(error);
    return "The file could not be written:\n" + path + "\n" +
           (reason.empty() ? "Check that its folder exists and that you may write to it." : reason);
}

std::string TooManyEntriesText3DS(const std::string& objectName) {
    return "The model cannot be saved: the object " + objectName +
           " has more than 65535 vertices, texture coordinates or faces.";
}

namespace {

bool TooManyEntries(const Obj3DS& o) {
    return o.Vertices.size() > kMaxObjectEntries3DS || o.UVs.size() > kMaxObjectEntries3DS ||
           o.Faces.size() > kMaxObjectEntries3DS;
}

// The length of everything before the first object: the four leading chunks,
// the material entries and the master scale.
uint64_t SceneHeadLength() {
    uint64_t size = kLeadingLength;
    for (int32_t i = 0; i < gMaterialCount3DS; ++i) size += MaterialEntryLength3DS(gMaterials3DS[size_t(i)]);
    return size + kMasterScaleLength;
}

// Everything before the first object, for a file of `total` bytes: the main
// chunk holds the whole file, the editor chunk all but the main chunk's header
// and the file version chunk (16 bytes).
void WriteSceneHead(Chunk3DSWriter& w, uint64_t total) {
    Put3DSChunkHeader(w, kMain, static_cast<uint32_t>(total));
    size_t c = w.BeginChunk(kFileVersion);
    Put3DSDword(w, kVersion);
    w.EndChunk(c);
    Put3DSChunkHeader(w, kEditor, static_cast<uint32_t>(total - 16));
    c = w.BeginChunk(kMeshVersion);
    Put3DSDword(w, kVersion);
    w.EndChunk(c);
    for (int32_t i = 0; i < gMaterialCount3DS; ++i) WriteMaterialEntry(w, gMaterials3DS[size_t(i)]);
    c = w.BeginChunk(kMasterScale);
    Put3DSDword(w, kMasterScaleValue);
    w.EndChunk(c);
}

const char* const kEncodingFailure = "The model could not be encoded as a 3DS file.";

// Encodes every object it is given into a scratch file, in order, and counts
// their bytes; it stops writing (but goes on counting) once the objects alone
// are longer than a file may be.
class ObjectSpill final : public ObjectSink3DS {
public:
    ObjectSpill(std::FILE* file, uint64_t maxSize) : file_(file), maxSize_(maxSize) {}

    void Take(const Obj3DS& o) override {
        if (TooManyEntries(o)) {
            if (tooMany_.empty()) tooMany_ = o.Name;
            return;
        }
        writer_.Clear();
        WriteNamedObject(writer_, o);
        if (writer_.Size() != ObjectChunkLength3DS(o)) encodingFailed_ = true;
        bytes_ += writer_.Size();
        if (bytes_ <= maxSize_ && !writeFailed_)
            writeFailed_ = std::fwrite(writer_.Data(), 1, writer_.Size(), file_) != writer_.Size();
    }

    uint64_t Bytes() const { return bytes_; }
    bool WriteFailed() const { return writeFailed_ || std::fflush(file_) != 0; }
    bool EncodingFailed() const { return encodingFailed_; }
    const std::string& TooManyName() const { return tooMany_; }

private:
    std::FILE* file_;
    uint64_t maxSize_;
    Chunk3DSWriter writer_;
    uint64_t bytes_ = 0;
    bool writeFailed_ = false;
    bool encodingFailed_ = false;
    std::string tooMany_;
};

// Clears the sink however the staging ends.
struct SinkScope {
    explicit SinkScope(ObjectSink3DS* sink) { gObjectSink3DS = sink; }
    ~SinkScope() { gObjectSink3DS = nullptr; }
};

}  // namespace

bool Encode3DSScene(Chunk3DSWriter& w, std::string* failure, uint64_t maxSize) {
    const uint64_t total = Get3DSFileSize();
    if (total > maxSize || total > kMax3DSFileSize) {
        if (failure) *failure = TooLargeText3DS(total, std::min(maxSize, kMax3DSFileSize));
        return false;
    }
    for (int32_t i = 0; i < gObjectCount3DS; ++i) {
        const Obj3DS& o = gObjects3DS[size_t(i)];
        if (TooManyEntries(o)) {
            if (failure) *failure = TooManyEntriesText3DS(o.Name);
            return false;
        }
    }
    const size_t start = w.Size();
    WriteSceneHead(w, total);
    for (int32_t i = 0; i < gObjectCount3DS; ++i) WriteNamedObject(w, gObjects3DS[size_t(i)]);
    if (w.Size() - start != total) {  // the length rules and the writers disagree: never expected
        if (failure) *failure = kEncodingFailure;
        return false;
    }
    return true;
}

bool Write3DSFileStreamed(const std::string& path, const std::function<void()>& stage, std::string* failure,
                          uint64_t maxSize) {
    const uint64_t limit = std::min(maxSize, kMax3DSFileSize);
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> scratch(fsys::OpenScratchFileBeside(path), &std::fclose);
    if (!scratch) {
        if (failure) *failure = CannotWriteText3DS(path, errno);
        return false;
    }
    ObjectSpill spill(scratch.get(), limit);
    {
        SinkScope scope(&spill);
        stage();
    }
    const uint64_t head = SceneHeadLength();
    const uint64_t total = head + spill.Bytes();
    if (total > limit) {
        if (failure) *failure = TooLargeText3DS(total, limit);
        return false;
    }
    if (!spill.TooManyName().empty()) {
        if (failure) *failure = TooManyEntriesText3DS(spill.TooManyName());
        return false;
    }
    if (spill.EncodingFailed()) {
        if (failure) *failure = kEncodingFailure;
        return false;
    }
    if (spill.WriteFailed() || std::fseek(scratch.get(), 0, SEEK_SET) != 0) {
        if (failure) *failure = CannotWriteText3DS(path, 0);
        return false;
    }
    errno = 0;
    const bool written = fsys::WriteFileAtomically(path, [&](const fsys::ByteWriter& write) {
        Chunk3DSWriter w(static_cast<size_t>(head));
        WriteSceneHead(w, total);
        if (w.Size() != head || !write(w.Data(), w.Size())) return false;
        std::vector<uint8_t> block(size_t(1) << 20);
        uint64_t copied = 0;
        while (copied < spill.Bytes()) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(block.size(), spill.Bytes() - copied));
            if (std::fread(block.data(), 1, want, scratch.get()) != want || !write(block.data(), want)) return false;
            copied += want;
        }
        return true;
    });
    if (!written) {
        if (failure) *failure = CannotWriteText3DS(path, errno);
        return false;
    }
    return true;
}

bool Write3DSFile(const std::string& path, std::string* failure, uint64_t maxSize) {
    const uint64_t total = Get3DSFileSize();
    Chunk3DSWriter w(total <= maxSize && total <= kMax3DSFileSize ? static_cast<size_t>(total) : 0);
    if (!Encode3DSScene(w, failure, maxSize)) return false;
    errno = 0;
    if (!fsys::WriteFileAtomically(path, w.Data(), w.Size())) {
        if (failure) *failure = CannotWriteText3DS(path, errno);
        return false;
    }
    return true;
}
