#pragma once
// Test pictures: TGA files built byte by byte.

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A TGA file: header, an image ID field of idLength bytes, a colour map of
// mapEntries 24-bit entries when mapEntries > 0, then the data.
inline Bytes Tga(uint8_t type, uint8_t depth, int16_t width, int16_t height, uint8_t descriptor, const Bytes& data,
          uint8_t idLength = 0, uint16_t mapEntries = 0) {
    Bytes f(18, 0);
    f[0] = idLength;
    f[1] = mapEntries ? 1 : 0;
    f[2] = type;
    f[5] = uint8_t(mapEntries & 0xFF);
    f[6] = uint8_t(mapEntries >> 8);
    f[7] = mapEntries ? 24 : 0;
    f[12] = uint8_t(width & 0xFF);
    f[13] = uint8_t((width >> 8) & 0xFF);
    f[14] = uint8_t(height & 0xFF);
    f[15] = uint8_t((height >> 8) & 0xFF);
    f[16] = depth;
    f[17] = descriptor;
    f.insert(f.end(), idLength, 0x49);
    f.insert(f.end(), size_t(mapEntries) * 3, 0xEE);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

