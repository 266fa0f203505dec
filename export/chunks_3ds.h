#pragma once
// The chunk layer of 3D Studio files: a little-endian byte sink in which every
// chunk is written as a header with a length still open, then its data and
// nested chunks, then its length patched to the bytes actually written.
//
//   offset  size  field
//        0     2  u16 chunk identifier
//        2     4  u32 length of the whole chunk: these 6 bytes, the data and every nested chunk
//        6     -  data, then nested chunks
//
// Numbers are little-endian; a string is its bytes and one zero byte.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class Chunk3DSWriter {
public:
    // Reserves room for a file of the expected length (it may still grow).
    explicit Chunk3DSWriter(size_t expectedSize = 0);

    // Writes a header with length 0 and returns its offset, for EndChunk.
    size_t BeginChunk(uint16_t id);
    // Sets the length of the chunk begun at `start` to everything written since.
    void EndChunk(size_t start);

    // Room for n more bytes; returns where they go. The pointer is valid until
    // the next call that writes.
    uint8_t* Extend(size_t n) {
        if (n > capacity_ - size_) GrowFor(n);
        uint8_t* p = buffer_.get() + size_;
        size_ += n;
        return p;
    }

    // Forgets what was written, keeping the memory for the next bytes.
    void Clear() { size_ = 0; }

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return buffer_.get(); }
    std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(Data(), Data() + size_); }

private:
    void GrowFor(size_t n);
    std::unique_ptr<uint8_t[]> buffer_;  // not zero-filled: every byte is written before it is read
    size_t capacity_ = 0;
    size_t size_ = 0;
};

// ---- Little-endian stores ----------------------------------------------------

inline void StoreLE16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void StoreLE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline void StoreLEFloat(uint8_t* p, float f) { StoreLE32(p, std::bit_cast<uint32_t>(f)); }

// ---- Write operations ----------------------------------------------------------

// A chunk header with a known length (the chunk's data follows).
inline void Put3DSChunkHeader(Chunk3DSWriter& w, uint16_t id, uint32_t length) {
    uint8_t* p = w.Extend(6);
    StoreLE16(p, id);
    StoreLE32(p + 2, length);
}

inline void Put3DSWord(Chunk3DSWriter& w, uint16_t v) { StoreLE16(w.Extend(2), v); }

inline void Put3DSDword(Chunk3DSWriter& w, uint32_t v) { StoreLE32(w.Extend(4), v); }
inline void Put3DSDword(Chunk3DSWriter& w, float v) { StoreLEFloat(w.Extend(4), v); }

inline void Put3DSVector(Chunk3DSWriter& w, float x, float y, float z) {
    uint8_t* p = w.Extend(12);
    StoreLEFloat(p, x);
    StoreLEFloat(p + 4, y);
    StoreLEFloat(p + 8, z);
}

// The string's bytes and a zero byte. The scene holds its names in the file's
// single-byte code page already (scene_staging_3ds.h), so the bytes go as they stand.
inline void Put3DSString(Chunk3DSWriter& w, const std::string& s) {
    uint8_t* p = w.Extend(s.size() + 1);
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
    p[s.size()] = 0;
}

// Value chunks:
//   COLOR_24        0x0011  length 9   u8 red, u8 green, u8 blue
//   INT_PERCENTAGE  0x0030  length 8   u16 value
inline constexpr uint16_t kChunkColor24 = 0x0011;
inline constexpr uint16_t kChunkIntPercentage = 0x0030;
void Put3DSColor24(Chunk3DSWriter& w, uint8_t red, uint8_t green, uint8_t blue);
void Put3DSPercent(Chunk3DSWriter& w, uint16_t value);
