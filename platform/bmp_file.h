#pragma once
// BMP pictures decoded by the program itself: every header field and the size
// of the pixels are checked against the file before a pixel is read, and every
// pixel comes from the file's own bytes.

#include <cstdint>
#include <vector>

struct PlatformPicture;

// True when the bytes start as a BMP file does ("BM").
bool LooksLikeBmp(const std::vector<uint8_t>& bytes);

// Decodes an uncompressed BMP into picture (red, green, blue, top row first):
// 1, 4 or 8 bits a pixel through the colour table, 16 or 32 bits through the
// default masks (5-5-5, 8-8-8) or the file's bit fields (an alpha mask is
// read past, its values dropped), 24 bits as stored; an OS/2 1.x header (12
// bytes), an OS/2 2.x one of 16 to 64 bytes ending after any of its fields
// (16, 20, 24, 28, 32, 36, 42, 44, 46, 48, 60 or 64 bytes; the fields it does
// not reach 0) or a Windows one (40, 52, 56, 108 or 124 bytes, which is how
// an OS/2 2.x header of those sizes is read); rows either way up; the pixels where the file header says
// they start, after any colour table or gap. False, the picture untouched,
// for anything else: a header of another size or cut short, run-length or
// other compression, a side of 0 or above kMaxPictureSide, more than maxPixels
// pixels, pixels that start inside the headers or run past the file's end (the
// last row may lack its padding), a colour table shorter than the header
// counts (all 2^bits entries when it gives no count) or a pixel naming an
// entry beyond it, and bit fields that are not runs of bits inside the pixel
// or that hold no colour at all.
bool DecodeBmp(const std::vector<uint8_t>& bytes, int64_t maxPixels, PlatformPicture& picture);
