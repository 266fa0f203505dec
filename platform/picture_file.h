#pragma once
// Our stand-in for the platform's picture loader: BMP, GIF (its first frame)
// and JPEG files decoded into plain pixels. It decides by the file's content,
// not by its name. BMPs are decoded by bmp_file.cpp, JPEGs by jpeg_file.cpp.
// Beside it, the checks of the pictures the toolkit decodes (icons and PNG
// files): their size is read from their header before any of them is decoded.

#include <cstdint>
#include <string>
#include <vector>

// The longest side of a picture that is loaded.
inline constexpr int64_t kMaxPictureSide = 32767;
// The most pixels of a picture that is loaded: 8192 x 8192.
inline constexpr int64_t kMaxPicturePixels = int64_t{8192} * 8192;

struct PlatformPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    // Red, green, blue per pixel, left to right, the top row first.
    std::vector<uint8_t> Pixels;
};

// False, the picture untouched, when the file cannot be read or decoded, is no
// BMP, GIF or JPEG, is a BMP or JPEG the program refuses (see DecodeBmp and
// DecodeJpeg: among them, one cut short), or is larger than maxPixels pixels in
// all or kMaxPictureSide on a side; every size is checked before the pixels
// are decoded.
bool LoadPlatformPicture(const std::string& path, PlatformPicture& picture, int64_t maxPixels = kMaxPicturePixels);
// The same from the file's bytes.
bool DecodePlatformPicture(const std::vector<uint8_t>& bytes, PlatformPicture& picture,
                           int64_t maxPixels = kMaxPicturePixels);

// True when the bytes start with the PNG signature.
bool LooksLikePng(const std::vector<uint8_t>& bytes);

// The size a PNG file gives itself in its first chunk (IHDR): false when the
// bytes lack the signature or a whole IHDR chunk of 13 bytes right after it.
bool PngSize(const uint8_t* bytes, size_t size, int64_t& width, int64_t& height);

// True for a PNG file whose header gives it 1 to kMaxPictureSide pixels a side
// and at most maxPixels pixels: one the toolkit may decode.
bool PngWithinBounds(const std::vector<uint8_t>& bytes, int64_t maxPixels = kMaxPicturePixels);

// The PNG file as the toolkit is to be given it, once its data is known to
// need no more work than its header's size: its chunks walked from the
// signature to IEND (each whole inside the bytes), the header (IHDR, first)
// giving sides of 1 to kMaxPictureSide pixels and a colour type with one of
// its bit depths, and its IDAT data inflated, in a small buffer, no further
// than the bytes its rows take (a filter byte and the packed pixels of each
// row, of each of the seven passes when interlaced) and one byte more. A
// picture whose data inflates past its rows, that zlib finds damaged, or that
// holds a critical chunk other than IHDR, PLTE, IDAT and IEND is refused:
// false, png untouched. Only the chunks its pixels need are kept, in their
// order (IHDR, PLTE, tRNS, IDAT, IEND, each with its own CRC, which the
// toolkit checks), so the toolkit inflates no compressed text or colour
// profile of any size either.
bool ToolkitPng(const uint8_t* bytes, size_t size, std::vector<uint8_t>& png);

// The longest side of an icon's picture.
inline constexpr int64_t kMaxIconSide = 256;

// Of the pictures of an icon file (.ico bytes: a directory of 16-byte entries
// after a 6-byte header of type 1), the one to show, as the bytes of an icon
// file that holds it alone (its entry at 22 bytes): the widest, the first of
// equals, of the pictures that are icons. A picture is an icon when its bytes
// lie inside the file and its own header gives it a size an icon has, from
// 1 to kMaxIconSide pixels a side: a PNG by its IHDR chunk; a DIB by its
// 40-byte BITMAPINFOHEADER, whose height counts the picture and its mask
// together, and which must be uncompressed, of 1, 4, 8, 16, 24 or 32 bits a
// pixel, with a whole colour table up to 8 bits (0 or 2^bits colours), and
// followed by its colours, rows and mask. Nothing is decoded here, but the
// picture picked, when it is a PNG, is checked and cut by ToolkitPng: false
// when it is refused, when no picture is an icon, and for bytes that are no
// icon file.
bool PickIconPicture(const std::vector<uint8_t>& ico, std::vector<uint8_t>& single);
