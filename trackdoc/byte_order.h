#pragma once
// Byte-order helpers shared by the big-endian track buffer and the
// little-endian file buffer. Unaligned access goes through memcpy, which the
// compiler turns into plain loads and stores.

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace byteorder {

inline uint32_t Swap32(uint32_t v) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_bswap32(v);
#else
    return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
#endif
}

inline bool HostIsLittleEndian() {
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

inline uint32_t LoadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void StoreBE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

// Copies count 32-bit words from src to dst, turning host order into
// big-endian order or back (the same operation both ways); the bits of every
// word are kept, so floats come through unchanged, NaN payloads included.
// src and dst may not overlap unless they are equal. With SSE2 (every x86-64)
// four words go at a time: the bytes of each 16-bit half swapped by shifts,
// then the halves swapped by word shuffles, at the speed of a copy (the
// compiler does not vectorise a byte-swap loop by itself); the rest one word
// at a time.
inline void CopySwap32(void* dst, const void* src, size_t count) {
    if (!HostIsLittleEndian()) {
        if (dst != src && count > 0) std::memcpy(dst, src, count * 4);
        return;
    }
    const uint8_t* s = static_cast<const uint8_t*>(src);
    uint8_t* d = static_cast<uint8_t*>(dst);
#if defined(__SSE2__)
    for (; count >= 4; count -= 4, s += 16, d += 16) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        x = _mm_or_si128(_mm_slli_epi16(x, 8), _mm_srli_epi16(x, 8));
        x = _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xB1), 0xB1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), x);
    }
#endif
    for (size_t k = 0; k < count; ++k) {
        uint32_t v;
        std::memcpy(&v, s + k * 4, 4);
        v = Swap32(v);
        std::memcpy(d + k * 4, &v, 4);
    }
}

}  // namespace byteorder
