#pragma once
// Test PNGs written with zlib, for the checks of PNG data and their benchmark:
// chunks with their CRC, and data that inflates to any number of bytes of
// zeros (with a palette, every pixel then has the palette's first colour).

#include <cstdint>
#include <string>
#include <vector>

struct PngOptions {
    uint32_t Width = 16, Height = 16;
    uint8_t Depth = 8, Colour = 3, Interlace = 0;  // a palette of one colour by default
    uint64_t RawSize = 16 * 17;                    // the zeros the data inflates to
    std::vector<uint8_t> Palette = {255, 0, 0};    // written where the colour type is 3
    // Chunks written whole (their length, type, data and CRC) after the palette.
    std::vector<std::vector<uint8_t>> Extra;
};

// A chunk of the type with its data, its length before and its CRC after.
std::vector<uint8_t> PngChunk(const std::string& type, const std::vector<uint8_t>& data);

std::vector<uint8_t> WritePng(const PngOptions& options);

// An icon file (.ico) of the one picture, its entry saying 48 x 48 pixels.
std::vector<uint8_t> IcoOf(const std::vector<uint8_t>& picture);
