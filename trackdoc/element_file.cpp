// Reading and writing .vxelem files: one "ELEM" chunk holding the element's
// segments, each record carrying the previous node's outgoing control point
// and the next node's incoming control point, position, roll and roll flags.

#include "trackdoc/element_file.h"

#include <algorithm>
#include <cerrno>

#include "platform/file_system.h"
#include "trackdoc/byte_buffer.h"
#include "trackdoc/element_document.h"

namespace {

constexpr const char* kElementExtension = ".vxelem";
constexpr int64_t kRecordLength = 50;

Vector3 ReadVector(int32_t& c) {
    Vector3 v;
    v.X = BufReadSingle(c);
    v.Y = BufReadSingle(c);
    v.Z = BufReadSingle(c);
    return v;
}

void WriteVector(int32_t& c, const Vector3& v) {
    BufWriteSingle(c, v.X);
    BufWriteSingle(c, v.Y);
    BufWriteSingle(c, v.Z);
}

// False when the file is damaged: a negative record count, or fewer records
// than it says it holds. The 64 zero bytes and the child count that close the
// chunk are neither read nor required, and nothing past the last record is
// looked at: a file cut right after its records loads (and is saved whole).
bool ReadChunkELEM(int32_t& c) {
    gElementSize = BufReadLong(c);
    BufSkip(c, 64);
    const int32_t k = BufReadLong(c);
    if (BufReadFailed() || k < 0 || static_cast<int64_t>(k) * kRecordLength > BufBytesLeft(c)) return false;
    gElementNodeCount = k + 1;
    gElementNodes.assign(static_cast<size_t>(k) + 2, TrackNode{});
    for (int32_t i = 1; i <= k; ++i) {
        TrackNode& prev = gElementNodes[static_cast<size_t>(i) - 1];
        TrackNode& node = gElementNodes[static_cast<size_t>(i)];
        prev.ControlOut = ReadVector(c);
        node.ControlIn = ReadVector(c);
        node.Position = ReadVector(c);
        node.Roll = BufReadSingle(c);
        node.RollEasing = BufReadByte(c) != 0;
        node.StrictRoll = BufReadByte(c) != 0;
        BufSkip(c, 8);
    }
    return !BufReadFailed();
}

void WriteChunkELEM(int32_t& c) {
    // An element without nodes has no records; its count is never negative.
    const int32_t nodes = std::min<int64_t>(std::max<int32_t>(gElementNodeCount, 1), gElementNodes.size());
    const int32_t records = std::max<int32_t>(nodes - 1, 0);
    BufWriteTag(c, "ELEM");
    BufWriteLong(c, gElementSize);
    BufWriteZeros(c, 64);
    BufWriteLong(c, records);
    for (int32_t i = 1; i <= records; ++i) {
        const TrackNode& prev = gElementNodes[static_cast<size_t>(i) - 1];
        const TrackNode& node = gElementNodes[static_cast<size_t>(i)];
        WriteVector(c, prev.ControlOut);
        WriteVector(c, node.ControlIn);
        WriteVector(c, node.Position);
        BufWriteSingle(c, node.Roll);
        BufWriteByte(c, node.RollEasing ? 0xFF : 0x00);
        BufWriteByte(c, node.StrictRoll ? 0xFF : 0x00);
        BufWriteZeros(c, 8);
    }
    BufWriteZeros(c, 64);
    BufWriteLong(c, 0);
}

}  // namespace

// The buffer's cursor is a 32-bit number.
static_assert(fsys::kElementFile.MostBytes <= INT32_MAX);

bool LoadElementFile(const std::string& path) {
    // A file that is not there, or of another name, is no read failure: errno 0.
    const bool named = !path.empty() && fsys::FileExists(path) && fsys::HasExtension(path, kElementExtension);
    errno = 0;
    if (!named) return false;
    ClearElementDocument();
    BufResetReadError();
    const bool read = fsys::ReadWholeFile(path, gTrackBuffer, fsys::kElementFile);
    const int readError = read ? 0 : errno;
    int32_t c = 0;
    const bool ok = read && BufReadTag(c) == "ELEM" && ReadChunkELEM(c);
    if (!ok) ClearElementDocument();
    ByteBlock(1, 0).swap(gTrackBuffer);
    errno = readError;
    return ok;
}

bool SaveElementFile(const std::string& path) {
    if (path.empty()) return false;
    int32_t c = 0;
    gTrackBuffer.assign(1, 0);
    WriteChunkELEM(c);
    return fsys::WriteFileAtomically(fsys::SavePathWithExtension(path, kElementExtension), gTrackBuffer,
                                     fsys::kElementFile);
}
