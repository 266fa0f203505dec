#pragma once
// The picture loaded last, shared by the texture viewer, sun placement and the
// environment editor's texture check. TGA files are read here (uncompressed
// and run-length encoded true-colour, 24 or 32 bits); BMP, GIF and JPEG files
// go through the platform's picture loader (platform/picture_file.h).
//
// Every load fills two forms of the picture, and only when it succeeds (a
// failed load leaves the previous picture as it was):
// - gLoadedPicture: the 24-bit bottom-up picture for painting;
// - gPictureBytes: 4 bytes per pixel, blue, green, red, alpha, in the same
//   bottom-up row order without padding, followed by one spare byte. Alpha is
//   0 except for a 32-bit TGA, whose alpha bytes are kept as stored.

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/dib_section.h"

extern cDIBSection gLoadedPicture;
extern std::vector<uint8_t> gPictureBytes;

// By the file's ending: ".tga" through LoadTgaFile; ".bmp", ".gif", ".jpg",
// ".jpe" and ".jpeg" through the platform's loader; anything else is false.
bool LoadPictureFile(const std::string& path);

// The TGA reader: image types 2 and 10, depths 24 and 32. The image ID field
// and any colour map are skipped; the origin bits of the image descriptor are
// honoured (rows stored top first and pixels stored right first). Sizes of 0
// or below, other types or depths and data that ends before the last stored
// row has begun are refused; data that ends within the last row leaves the
// rest of that row zero.
bool LoadTgaFile(const std::string& path);

// Decodes run-length packets of the data after the header into
// width x height pixels of bytesPerPixel bytes, which replace the data.
// Packets that end within the last row keep their whole pixels and leave the
// rest of the row zero; false, the data untouched, when they end before the
// last row has begun. Pixels of a packet beyond the last are dropped.
bool DecodeTgaRle(std::vector<uint8_t>& data, int32_t width, int32_t height, int32_t bytesPerPixel);

// For a 32-bit stream (blue, green, red, alpha per pixel): gPictureBytes
// becomes a copy of it, and the stream is repacked to blue, green, red.
void SplitTgaAlpha(std::vector<uint8_t>& data);

// gPictureBytes from gLoadedPicture, alpha 0.
void DibToBgraBuffer();

// The colours of gPictureBytes written back into gLoadedPicture.
void RenderColorView();
// Each pixel's colour weighted by its alpha (alpha / 255 in single precision,
// each channel rounded to the nearest, halves to even) into gLoadedPicture.
void RenderAlphaView();
// A square gLoadedPicture turned a quarter clockwise as the screen shows it;
// other pictures and gPictureBytes are left as they are.
void RotatePicture90();

// Empties gLoadedPicture and gPictureBytes and hands their memory back to the
// system, for when nothing will read the picture again before the next load.
void ReleaseLoadedPicture();

// The whole loaded picture copied to (0, 0) of the destination.
void PaintLoadedPicture(cDIBSection& destination);
