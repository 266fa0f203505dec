#pragma once
// Test JPEGs written by the JPEG library itself, for the decoder's tests and
// its benchmark: every kind of file the library writes, from a picture of
// ramps with a little noise (so that every scan holds data) or of one colour.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>

struct JpegOptions {
    int Width = 32, Height = 24;
    J_COLOR_SPACE Space = JCS_YCbCr;  // the file's: grey, YCbCr (from RGB), CMYK or YCCK (from CMYK)
    int H = 2, V = 2;                 // YCbCr: Y's sampling factors (Cb's and Cr's are 1)
    bool Progressive = false;         // the library's own progressive script
    std::vector<jpeg_scan_info> Script;
    bool Arithmetic = false;
    bool OptimalTables = false;    // Huffman tables made for the picture, as most encoders write them
    unsigned RestartInterval = 0;  // in MCUs
    int Quality = 90;
    std::optional<std::array<uint8_t, 4>> Colour;  // every pixel's (grey, RGB or CMYK), else the ramps
};

std::vector<uint8_t> WriteJpeg(const JpegOptions& options);

// A valid progressive script for a grey picture of exactly the given number
// of scans (64 to 704): each coefficient in scans of its own, the first ones
// in successive approximation of up to ten refinements.
std::vector<jpeg_scan_info> LongGreyScript(int scans);
