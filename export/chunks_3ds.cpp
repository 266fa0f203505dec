#include "export/chunks_3ds.h"

#include <algorithm>

Chunk3DSWriter::Chunk3DSWriter(size_t expectedSize)
    : buffer_(std::make_unique_for_overwrite<uint8_t[]>(std::max<size_t>(expectedSize, 1))),
      capacity_(std::max<size_t>(expectedSize, 1)) {}

size_t Chunk3DSWriter::BeginChunk(uint16_t id) {
    const size_t start = size_;
    Put3DSChunkHeader(*this, id, 0);
    return start;
}

void Chunk3DSWriter::EndChunk(size_t start) {
    // Callers refuse files whose length does not fit a u32 before writing.
    StoreLE32(buffer_.get() + start + 2, static_cast<uint32_t>(size_ - start));
}

void Chunk3DSWriter::GrowFor(size_t n) {
    const size_t capacity = std::max(capacity_ * 2, size_ + n);
    auto bigger = std::make_unique_for_overwrite<uint8_t[]>(capacity);
    if (size_ > 0) std::memcpy(bigger.get(), buffer_.get(), size_);
    buffer_ = std::move(bigger);
    capacity_ = capacity;
}

void Put3DSColor24(Chunk3DSWriter& w, uint8_t red, uint8_t green, uint8_t blue) {
    const size_t chunk = w.BeginChunk(kChunkColor24);
    uint8_t* p = w.Extend(3);
    p[0] = red;
    p[1] = green;
    p[2] = blue;
    w.EndChunk(chunk);
}

void Put3DSPercent(Chunk3DSWriter& w, uint16_t value) {
    const size_t chunk = w.BeginChunk(kChunkIntPercentage);
    Put3DSWord(w, value);
    w.EndChunk(chunk);
}
