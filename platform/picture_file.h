#pragma once
// Our stand-in for the platform's picture loader: BMP, GIF (its first frame)
// and JPEG files decoded into plain pixels. It decides by the file's content,
// not by its name. BMPs are decoded by bmp_file.cpp, JPEGs by jpeg_file.cpp.

#include <cstdint>
#include <string>
#include <vector>

// The longest side of a picture that is loaded.
inline constexpr int64_t kMaxPictureSide = 32767;

struct PlatformPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    // Red, green, blue per pixel, left to right, the top row first.
    std::vector<uint8_t> Pixels;
};

// False, the picture untouched, when the file cannot be read or decoded, is no
// BMP, GIF or JPEG, is a BMP or JPEG the program refuses (see DecodeBmp and
// DecodeJpeg: among them, one cut short), or is larger than maxPixels pixels in
// all or kMaxPictureSide on a side.
bool LoadPlatformPicture(const std::string& path, PlatformPicture& picture, int64_t maxPixels = 8192LL * 8192LL);
