#pragma once
// JPEG pictures through libjpeg-turbo: every fault of a file is an error the
// library reports, never a read or write outside its buffers.

#include <cstdint>
#include <vector>

struct PlatformPicture;

// True when the bytes start as a JPEG file does.
bool LooksLikeJpeg(const std::vector<uint8_t>& bytes);

// Decodes the JPEG into picture (red, green, blue, top row first); false, the
// picture untouched, when the file is broken, holds corrupt codes where pixels
// would be made up, or claims more than maxPixels pixels or more than
// maxPixelsPerByte pixels per byte of the file (above a small allowance); and
// when its scans are not whole: a scan cut short, a component that no scan
// holds, a progressive file whose scans leave a coefficient without its last
// bits, an arithmetic-coded file that lacks its end marker (a cut inside its
// last scan gives no sign). A file that lacks only its end marker loads.
bool DecodeJpeg(const std::vector<uint8_t>& bytes, int64_t maxPixels, int64_t maxPixelsPerByte,
                int64_t pixelsAlwaysAllowed, PlatformPicture& picture);
