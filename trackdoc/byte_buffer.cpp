#include "trackdoc/byte_buffer.h"

#include <cstring>

#include "platform/code_page.h"
#include "trackdoc/byte_order.h"
#include "trackdoc/track_document.h"

namespace {

bool gReadFailed = false;

// True when n bytes can be read at the cursor; otherwise marks the failure and
// parks the cursor at the end so every later read fails too.
bool CanRead(int32_t& cursor, int64_t n) {
    const int64_t size = static_cast<int64_t>(gTrackBuffer.size());
    if (cursor >= 0 && n >= 0 && cursor + n <= size) return true;
    gReadFailed = true;
    cursor = static_cast<int32_t>(size > INT32_MAX ? INT32_MAX : size);
    return false;
}

// Grows the buffer to hold n bytes at the cursor and returns where they go.
uint8_t* Room(int32_t& cursor, size_t n) {
    const size_t end = static_cast<size_t>(cursor) + n;
    if (end > gTrackBuffer.size()) gTrackBuffer.resize(end);
    uint8_t* p = gTrackBuffer.data() + cursor;
    cursor = static_cast<int32_t>(end);
    return p;
}

}  // namespace

bool BufReadFailed() { return gReadFailed; }

void BufResetReadError() { gReadFailed = false; }

int64_t BufBytesLeft(int32_t cursor) {
    const int64_t left = static_cast<int64_t>(gTrackBuffer.size()) - cursor;
    return cursor < 0 || left < 0 ? 0 : left;
}

uint8_t BufReadByte(int32_t& cursor) {
    if (!CanRead(cursor, 1)) return 0;
    return gTrackBuffer[static_cast<size_t>(cursor++)];
}

int32_t BufReadLong(int32_t& cursor) {
    if (!CanRead(cursor, 4)) return 0;
    const uint32_t v = byteorder::LoadBE32(gTrackBuffer.data() + cursor);
    cursor += 4;
    return static_cast<int32_t>(v);
}

float BufReadSingle(int32_t& cursor) {
    if (!CanRead(cursor, 4)) return 0.0f;
    const uint32_t v = byteorder::LoadBE32(gTrackBuffer.data() + cursor);
    cursor += 4;
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

int32_t BufReadColor(int32_t& cursor) {
    if (!CanRead(cursor, 4)) return 0;
    const uint8_t* p = gTrackBuffer.data() + cursor;
    cursor += 4;
    return static_cast<int32_t>((uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]));
}

std::string BufReadString(int32_t& cursor, int32_t n) {
    if (n <= 0) return std::string();
    if (!CanRead(cursor, n)) return std::string();
    std::string text = cp::TextFromBytes(
        std::string_view(reinterpret_cast<const char*>(gTrackBuffer.data() + cursor), static_cast<size_t>(n)));
    cursor += n;
    return text;
}

std::string BufReadTag(int32_t& cursor) {
    if (!CanRead(cursor, 4)) return std::string();
    std::string tag(reinterpret_cast<const char*>(gTrackBuffer.data() + cursor), 4);
    cursor += 4;
    for (char& c : tag)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return tag;
}

void BufSkip(int32_t& cursor, int64_t n) {
    if (CanRead(cursor, n)) cursor = static_cast<int32_t>(cursor + n);
}

void BufReadSingles(int32_t& cursor, float* out, size_t count) {
    if (count > static_cast<size_t>(INT32_MAX) / 4 || !CanRead(cursor, static_cast<int64_t>(count) * 4)) return;
    byteorder::CopySwap32(out, gTrackBuffer.data() + cursor, count);
    cursor += static_cast<int32_t>(count * 4);
}

void BufWriteByte(int32_t& cursor, uint8_t value) { *Room(cursor, 1) = value; }

void BufWriteLong(int32_t& cursor, int32_t value) {
    byteorder::StoreBE32(Room(cursor, 4), static_cast<uint32_t>(value));
}

void BufWriteSingle(int32_t& cursor, float value) {
    uint32_t v;
    std::memcpy(&v, &value, 4);
    byteorder::StoreBE32(Room(cursor, 4), v);
}

void BufWriteColor(int32_t& cursor, int32_t color) {
    byteorder::StoreBE32(Room(cursor, 4), static_cast<uint32_t>(color) & 0x00FFFFFFu);
}

void BufWriteString(int32_t& cursor, const std::string& text) {
    if (text.empty()) return;
    const std::string bytes = cp::BytesOrMarks(text);
    std::memcpy(Room(cursor, bytes.size()), bytes.data(), bytes.size());
}

void BufWriteTag(int32_t& cursor, const char* tag) {
    // Always four bytes, even should a caller pass a shorter tag.
    uint8_t* p = Room(cursor, 4);
    const size_t n = tag ? strnlen(tag, 4) : 0;
    std::memset(p, 0, 4);
    if (n) std::memcpy(p, tag, n);
}

void BufWriteZeros(int32_t& cursor, int32_t n) {
    if (n < 1) return;
    std::memset(Room(cursor, static_cast<size_t>(n)), 0, static_cast<size_t>(n));
}

void BufWriteSingles(int32_t& cursor, const float* values, size_t count) {
    if (count == 0) return;
    byteorder::CopySwap32(Room(cursor, count * 4), values, count);
}
