#include "trackdoc/file_buffer.h"

#include <cstring>

#include "platform/file_system.h"
#include "trackdoc/byte_order.h"

std::vector<uint8_t> gFileBuffer(1, 0);

namespace {

bool gFileBufReadFailed = false;

// True when n bytes can be read at the cursor; otherwise marks the failure and
// parks the cursor at the end so that every later read fails too.
bool CanRead(int32_t& cursor, int64_t n) {
    const int64_t size = static_cast<int64_t>(gFileBuffer.size());
    if (cursor >= 0 && cursor + n <= size) return true;
    gFileBufReadFailed = true;
    cursor = static_cast<int32_t>(size > INT32_MAX ? INT32_MAX : size);
    return false;
}

}  // namespace

void ClearFileBuffer() { gFileBuffer.assign(1, 0); }

bool LoadFileToBuffer(const std::string& path, const fsys::FileKind& kind) {
    if (path.empty() || !fsys::FileExists(path)) return false;
    // ReadWholeFile leaves the buffer as it was when the read fails.
    return fsys::ReadWholeFile(path, gFileBuffer, kind);
}

bool SaveBufferToFile(const std::string& path) {
    if (path.empty()) return false;
    return fsys::WriteFileAtomically(path, gFileBuffer);
}

bool FileBufReadFailed() { return gFileBufReadFailed; }

void FileBufResetReadError() { gFileBufReadFailed = false; }

int32_t FileBufReadLong(int32_t& cursor) {
    if (!CanRead(cursor, 4)) return 0;
    const uint32_t v = byteorder::LoadLE32(gFileBuffer.data() + cursor);
    cursor += 4;
    return static_cast<int32_t>(v);
}

float FileBufReadSingle(int32_t& cursor) {
    if (!CanRead(cursor, 4)) return 0.0f;
    const uint32_t v = byteorder::LoadLE32(gFileBuffer.data() + cursor);
    cursor += 4;
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

std::string FileBufReadTag(int32_t& cursor) {
    if (!CanRead(cursor, 4)) return std::string();
    std::string tag(reinterpret_cast<const char*>(gFileBuffer.data() + cursor), 4);
    cursor += 4;
    for (char& ch : tag)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return tag;
}
