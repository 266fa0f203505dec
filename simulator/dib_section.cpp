#include "simulator/dib_section.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "platform/picture_file.h"

bool cDIBSection::SizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= 32767 && height <= 32767 && width * height <= 8192LL * 8192LL;
}

bool cDIBSection::Create(int32_t width, int32_t height) {
    ClearUp();
    if (!SizeAllowed(width, height)) return false;
    width_ = width;
    height_ = height;
    stride_ = BytesPerScanLine();
    bits_.assign(size_t(stride_) * size_t(height), 0);
    return true;
}

bool cDIBSection::CreateFromPicture(const PlatformPicture& picture) {
    const size_t need = size_t(std::max(picture.Width, 0)) * size_t(std::max(picture.Height, 0)) * 3;
    if (picture.Pixels.size() < need || !Create(picture.Width, picture.Height)) {
        ClearUp();
        return false;
    }
    for (int32_t y = 0; y < height_; ++y) {
        const uint8_t* source = picture.Pixels.data() + size_t(y) * size_t(width_) * 3;
        uint8_t* row = PixelAt(0, height_ - 1 - y);  // the top row is the last in memory
        for (int32_t x = 0; x < width_; ++x, source += 3, row += 3) {
            row[0] = source[2];
            row[1] = source[1];
            row[2] = source[0];
        }
    }
    return true;
}

void cDIBSection::ClearUp() {
    width_ = height_ = stride_ = 0;
    bits_.clear();
    bits_.shrink_to_fit();
}

int32_t cDIBSection::BytesPerScanLine() const { return ((width_ + 1) * 3) & ~3; }

void cDIBSection::LoadPictureBlt(const cDIBSection& source, int32_t srcLeft, int32_t srcTop, int32_t width,
                                 int32_t height) {
    source.PaintPicture(*this, 0, 0, width < 0 ? width_ : width, height < 0 ? height_ : height, srcLeft, srcTop);
}

void cDIBSection::PaintPicture(cDIBSection& destination, int32_t destLeft, int32_t destTop, int32_t width,
                               int32_t height, int32_t srcLeft, int32_t srcTop) const {
    if (width < 0) width = width_;
    if (height < 0) height = height_;
    // Clip the rectangle to both pictures, in 64 bits so that no sum overflows.
    int64_t sx = srcLeft, sy = srcTop, dx = destLeft, dy = destTop, w = width, h = height;
    auto clipStart = [&](int64_t& a, int64_t& b) {
        const int64_t cut = std::max<int64_t>({0, -a, -b});
        a += cut;
        b += cut;
        return cut;
    };
    w -= clipStart(sx, dx);
    h -= clipStart(sy, dy);
    w = std::min({w, int64_t{width_} - sx, int64_t{destination.width_} - dx});
    h = std::min({h, int64_t{height_} - sy, int64_t{destination.height_} - dy});
    if (w <= 0 || h <= 0) return;
    const bool same = this == &destination;
    std::vector<uint8_t> copy;
    if (same) copy = bits_;
    const uint8_t* from = same ? copy.data() : bits_.data();
    for (int64_t y = 0; y < h; ++y) {
        const int64_t sourceRow = height_ - 1 - (sy + y);
        const int64_t destRow = destination.height_ - 1 - (dy + y);
        std::memmove(destination.PixelAt(int32_t(dx), int32_t(destRow)),
                     from + size_t(sourceRow) * size_t(stride_) + size_t(sx) * 3, size_t(w) * 3);
    }
}

void cDIBSection::StretchPicture(cDIBSection& destination, int32_t destLeft, int32_t destTop, int32_t width,
                                 int32_t height) const {
    if (Empty() || destination.Empty() || width <= 0 || height <= 0 || this == &destination) return;
    for (int32_t y = 0; y < height; ++y) {
        const int64_t dy = int64_t{destTop} + y;
        if (dy < 0 || dy >= destination.height_) continue;
        const int64_t sy = (2 * int64_t{y} + 1) * height_ / (2 * int64_t{height});
        for (int32_t x = 0; x < width; ++x) {
            const int64_t dx = int64_t{destLeft} + x;
            if (dx < 0 || dx >= destination.width_) continue;
            const int64_t sx = (2 * int64_t{x} + 1) * width_ / (2 * int64_t{width});
            std::memcpy(destination.PixelAt(int32_t(dx), int32_t(destination.height_ - 1 - dy)),
                        PixelAt(int32_t(sx), int32_t(height_ - 1 - sy)), 3);
        }
    }
}

void cDIBSection::RandomiseBits(bool grey, uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto level = [&] { return static_cast<uint8_t>(std::nearbyint(unit(generator) * 255.0)); };
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            uint8_t* p = PixelAt(x, y);
            if (grey) {
                p[0] = p[1] = p[2] = level();
            } else {
                p[0] = 0;
                p[1] = level();
                p[2] = level();
            }
        }
    }
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t newHeight, int32_t newWidth) const {
    if (Empty()) return nullptr;
    auto result = std::make_unique<cDIBSection>();
    if (!result->Create(newWidth, newHeight)) return nullptr;
    if (newWidth == width_ && newHeight == height_) {
        result->LoadPictureBlt(*this);
        return result;
    }
    const double stepX = double(width_ - 1) / newWidth;
    const double stepY = double(height_ - 1) / newHeight;
    for (int32_t y = 0; y < newHeight; ++y) {
        const double sy = y * stepY;
        const int32_t iy = static_cast<int32_t>(sy);
        const double fy = sy - iy;
        const int32_t iy1 = std::min(iy + 1, height_ - 1);  // a picture one row high stays inside
        for (int32_t x = 0; x < newWidth; ++x) {
            const double sx = x * stepX;
            const int32_t ix = static_cast<int32_t>(sx);
            const double fx = sx - ix;
            const int32_t ix1 = std::min(ix + 1, width_ - 1);
            uint8_t* out = result->PixelAt(x, y);
            for (int c = 0; c < 3; ++c) {
                const double left = std::nearbyint(PixelAt(ix, iy)[c] * (1.0 - fy) + PixelAt(ix, iy1)[c] * fy);
                const double right = std::nearbyint(PixelAt(ix1, iy)[c] * (1.0 - fy) + PixelAt(ix1, iy1)[c] * fy);
                out[c] = static_cast<uint8_t>(std::nearbyint(left * (1.0 - fx) + right * fx));
            }
        }
    }
    return result;
}
