#pragma once
// JPEG pictures through libjpeg-turbo: every fault of a file is an error the
// library reports, never a read or write outside its buffers.

#include <cstdint>
#include <vector>

struct PlatformPicture;

// No encoder writes more than a few dozen scans (the library's own scripts at
// most 60), but a file may hold thousands of valid ones, and every scan is a
// pass over the blocks of the components it holds. A file is refused, as its
// scans are read, at its scan past kJpegMaxScans, and at the scan that would
// take the blocks read by all its scans past maxBlocksRead: the default lets
// a picture of 8192 x 8192 pixels in three full-size components be read
// twenty times over, and keeps any refusal within a second or two.
constexpr int kJpegMaxScans = 300;
constexpr int64_t kJpegMaxBlocksRead = int64_t{64} << 20;

// True when the bytes start as a JPEG file does.
bool LooksLikeJpeg(const std::vector<uint8_t>& bytes);

// Decodes the JPEG into picture (red, green, blue, top row first); false, the
// picture untouched, when the file is broken, holds corrupt codes where pixels
// would be made up, or claims more than maxPixels pixels, more than
// kMaxPictureSide on a side (refused before any pixel is decoded) or more than
// maxPixelsPerByte pixels per byte of the file (above a small allowance); when
// it holds more scans or blocks than the bounds above; and when its scans are
// not whole and in an order the format allows: a scan cut short, a component
// that no scan holds or that a sequential file holds twice, a progressive file
// whose scans leave a coefficient without its last bits, give a component's
// AC coefficients before its first DC scan, or give a coefficient's first
// scan or any of its refinement bits twice or out of turn; an
// arithmetic-coded file that lacks its end marker (a cut inside its last scan
// gives no sign). A file that lacks only its end marker loads. CMYK and YCCK
// files (four components) are read as Adobe writes them, with inverted
// values: 255 is no ink.
bool DecodeJpeg(const std::vector<uint8_t>& bytes, int64_t maxPixels, int64_t maxPixelsPerByte,
                int64_t pixelsAlwaysAllowed, PlatformPicture& picture,
                int64_t maxBlocksRead = kJpegMaxBlocksRead);
