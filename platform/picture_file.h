#pragma once
// Our stand-in for the platform's picture loader: BMP, GIF (its first frame)
// and JPEG files decoded into plain pixels. It decides by the file's content,
// not by its name.

#include <cstdint>
#include <string>
#include <vector>

struct PlatformPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    // Red, green, blue per pixel, left to right, the top row first.
    std::vector<uint8_t> Pixels;
};

// False, the picture untouched, when the file cannot be read or decoded, is no
// BMP, GIF or JPEG, ends before its last pixel (a BMP or JPEG cut short, see
// DecodeJpeg), is a palette BMP whose palette is shorter than its header counts
// or whose pixels name an entry beyond it, or is larger than maxPixels pixels
// in all or 32767 on a side. A BMP may store its rows either way up.
bool LoadPlatformPicture(const std::string& path, PlatformPicture& picture, int64_t maxPixels = 8192LL * 8192LL);
