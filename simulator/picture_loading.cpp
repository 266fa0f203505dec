#include "simulator/picture_loading.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/file_system.h"
#include "platform/picture_file.h"

cDIBSection gLoadedPicture;
std::vector<uint8_t> gPictureBytes;

namespace {

constexpr size_t kTgaHeaderSize = 18;

uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The 4-byte form of a picture, alpha 0, with its spare byte.
std::vector<uint8_t> BgraOf(const cDIBSection& dib) {
    std::vector<uint8_t> bytes(size_t(dib.Width()) * size_t(dib.Height()) * 4 + 1, 0);
    uint8_t* out = bytes.data();
    for (int32_t y = 0; y < dib.Height(); ++y) {
        const uint8_t* p = dib.PixelAt(0, y);
        for (int32_t x = 0; x < dib.Width(); ++x, p += 3, out += 4) std::memcpy(out, p, 3);
    }
    return bytes;
}

bool PictureBytesMatch() {
    return gPictureBytes.size() >= size_t(gLoadedPicture.Width()) * size_t(gLoadedPicture.Height()) * 4;
}

// The stream reordered in place to the bottom row first, each row left to right.
void ToBottomUpLeftToRight(std::vector<uint8_t>& data, int32_t width, int32_t height, int32_t bpp, bool topFirst,
                           bool rightFirst) {
    const size_t row = size_t(width) * size_t(bpp);
    if (topFirst)
        for (int32_t y = 0; y < height / 2; ++y)
            std::swap_ranges(data.begin() + std::ptrdiff_t(size_t(y) * row),
                             data.begin() + std::ptrdiff_t(size_t(y + 1) * row),
                             data.begin() + std::ptrdiff_t(size_t(height - 1 - y) * row));
    if (rightFirst)
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* r = data.data() + size_t(y) * row;
            for (int32_t x = 0; x < width / 2; ++x)
                std::swap_ranges(r + size_t(x) * bpp, r + size_t(x + 1) * bpp, r + size_t(width - 1 - x) * bpp);
        }
}

// The fewest pixels a TGA's data may hold: every row but the last, and at
// least one pixel of the last, whose missing pixels are left zero.
size_t StreamPixelsNeeded(int32_t width, int32_t height) { return size_t(width) * size_t(height - 1) + 1; }

}  // namespace

bool LoadPictureFile(const std::string& path) {
    if (path.empty() || path.back() == '\\' || path.back() == '/' || !fsys::FileExists(path)) return false;
    const std::string lower = LowerAscii(path);
    const std::string ending = lower.size() >= 4 ? lower.substr(lower.size() - 4) : lower;
    if (ending == ".tga") return LoadTgaFile(path);
    const bool platform = ending == ".bmp" || ending == ".gif" || ending == ".jpg" || ending == ".jpe" ||
                          (lower.size() >= 5 && lower.substr(lower.size() - 5) == ".jpeg");
    if (!platform) return false;
    PlatformPicture picture;
    cDIBSection dib;
    if (!LoadPlatformPicture(path, picture) || !dib.CreateFromPicture(picture)) return false;
    gPictureBytes = BgraOf(dib);
    gLoadedPicture = std::move(dib);
    return true;
}

bool LoadTgaFile(const std::string& path) {
    std::vector<uint8_t> file;
    if (!fsys::ReadWholeFile(path, file, fsys::kPictureFile) || file.size() < kTgaHeaderSize) return false;
    const uint8_t* h = file.data();
    const uint8_t idLength = h[0], colorMapType = h[1], imageType = h[2];
    const uint16_t colorMapLength = LoadLE16(h + 5);
    const uint8_t colorMapEntryBits = h[7];
    const auto width = static_cast<int16_t>(LoadLE16(h + 12));
    const auto height = static_cast<int16_t>(LoadLE16(h + 14));
    const uint8_t depth = h[16], descriptor = h[17];
    if ((depth != 24 && depth != 32) || (imageType != 2 && imageType != 10)) return false;
    if (!cDIBSection::SizeAllowed(width, height)) return false;

    size_t offset = kTgaHeaderSize + idLength;
    if (colorMapType != 0) offset += size_t(colorMapLength) * ((colorMapEntryBits + 7u) / 8u);
    if (offset > file.size()) return false;
    std::vector<uint8_t> data;
    data.swap(file);
    data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(offset));

    const int32_t bpp = depth / 8;
    const size_t streamSize = size_t(width) * size_t(height) * size_t(bpp);
    if (imageType == 10) {
        if (!DecodeTgaRle(data, width, height, bpp)) return false;
    } else {
        if (data.size() / size_t(bpp) < StreamPixelsNeeded(width, height)) return false;
        // A last row cut short keeps its whole pixels and ends in zeros.
        if (data.size() < streamSize) data.resize(data.size() / size_t(bpp) * size_t(bpp));
        data.resize(streamSize, 0);
    }
    ToBottomUpLeftToRight(data, width, height, bpp, (descriptor & 0x20) != 0, (descriptor & 0x10) != 0);

    std::vector<uint8_t> bytes;
    if (bpp == 4) {
        bytes = data;
        bytes.push_back(0);
        for (size_t i = 0, o = 0; i + 4 <= streamSize; i += 4, o += 3) std::memmove(&data[o], &data[i], 3);
        data.resize(size_t(width) * size_t(height) * 3);
    }
    cDIBSection dib;
    if (!dib.Create(width, height)) return false;
    const uint8_t* in = data.data();
    for (int32_t y = 0; y < height; ++y, in += size_t(width) * 3) std::memcpy(dib.PixelAt(0, y), in, size_t(width) * 3);
    if (bpp == 3) bytes = BgraOf(dib);
    gPictureBytes.swap(bytes);
    gLoadedPicture = std::move(dib);
    return true;
}

bool DecodeTgaRle(std::vector<uint8_t>& data, int32_t width, int32_t height, int32_t bytesPerPixel) {
    if (width <= 0 || height <= 0 || bytesPerPixel < 1 || bytesPerPixel > 4) return false;
    const size_t pixels = size_t(width) * size_t(height);
    const size_t needed = StreamPixelsNeeded(width, height);
    const size_t bpp = size_t(bytesPerPixel);
    // Every packet of at most 128 pixels takes at least 1 + bpp bytes: refuse
    // data too short for the picture before making room for it.
    if (data.size() / (1 + bpp) < (needed + 127) / 128) return false;
    std::vector<uint8_t> out(pixels * bpp, 0);
    size_t in = 0, written = 0;
    // Packets cut short keep their whole pixels; the rest stays zero.
    while (written < pixels && in < data.size()) {
        const uint8_t c = data[in++];
        const size_t count = size_t(c & 0x7F) + 1;
        const size_t room = pixels - written;
        if (c < 128) {
            const size_t kept = std::min({count, room, (data.size() - in) / bpp});
            std::memcpy(out.data() + written * bpp, data.data() + in, kept * bpp);
            in += std::min(count * bpp, data.size() - in);
            written += kept;
        } else {
            if (data.size() - in < bpp) break;
            const size_t kept = std::min(count, room);
            for (size_t k = 0; k < kept; ++k) std::memcpy(&out[(written + k) * bpp], &data[in], bpp);
            in += bpp;
            written += kept;
        }
    }
    if (written < needed) return false;
    data.swap(out);
    return true;
}

void SplitTgaAlpha(std::vector<uint8_t>& data) {
    gPictureBytes = data;
    gPictureBytes.push_back(0);
    const size_t pixels = data.size() / 4;
    for (size_t i = 0; i < pixels; ++i) std::memmove(&data[i * 3], &data[i * 4], 3);
    data.resize(pixels * 3);
}

void DibToBgraBuffer() { gPictureBytes = BgraOf(gLoadedPicture); }

void RenderColorView() {
    if (!PictureBytesMatch()) return;
    const uint8_t* in = gPictureBytes.data();
    for (int32_t y = 0; y < gLoadedPicture.Height(); ++y) {
        uint8_t* p = gLoadedPicture.PixelAt(0, y);
        for (int32_t x = 0; x < gLoadedPicture.Width(); ++x, p += 3, in += 4) std::memcpy(p, in, 3);
    }
}

void RenderAlphaView() {
    if (!PictureBytesMatch()) return;
    const uint8_t* in = gPictureBytes.data();
    for (int32_t y = 0; y < gLoadedPicture.Height(); ++y) {
        uint8_t* p = gLoadedPicture.PixelAt(0, y);
        for (int32_t x = 0; x < gLoadedPicture.Width(); ++x, p += 3, in += 4) {
            const float a = static_cast<float>(in[3]) / 255.0f;
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(std::nearbyint(static_cast<float>(in[c]) * a));
        }
    }
}

void RotatePicture90() {
    const int32_t n = gLoadedPicture.Width();
    if (n != gLoadedPicture.Height() || gLoadedPicture.Empty()) return;
    const cDIBSection copy = gLoadedPicture;
    for (int32_t y = 0; y < n; ++y)
        for (int32_t x = 0; x < n; ++x) std::memcpy(gLoadedPicture.PixelAt(y, n - 1 - x), copy.PixelAt(x, y), 3);
}

void ReleaseLoadedPicture() {
    gLoadedPicture.ClearUp();
    std::vector<uint8_t>().swap(gPictureBytes);
}

void PaintLoadedPicture(cDIBSection& destination) { gLoadedPicture.PaintPicture(destination); }
