#pragma once
// cDIBSection: a 24-bit picture whose pixel memory the program reads and
// writes directly. Rows are stored bottom-up (memory row 0 is the picture's
// bottom row), 3 bytes per pixel in the order blue, green, red, each row
// padded to a multiple of 4 bytes (BytesPerScanLine).
//
// Block transfers between pictures take their positions as the screen shows
// them: (0, 0) is the top-left pixel. They are plain copies, clipped to both
// pictures. Drawing into windows, the clipboard and wxImage conversions are
// in the windowed layer (simulator/picture_wx.h).

#include <cstdint>
#include <memory>
#include <vector>

struct PlatformPicture;

class cDIBSection {
public:
    cDIBSection() = default;
    ~cDIBSection() { ClearUp(); }
    cDIBSection(const cDIBSection&) = default;
    cDIBSection& operator=(const cDIBSection&) = default;
    cDIBSection(cDIBSection&&) noexcept = default;
    cDIBSection& operator=(cDIBSection&&) noexcept = default;

    // The largest picture the program holds: sides up to 32767 pixels, at most
    // 8192 x 8192 pixels in all.
    static bool SizeAllowed(int64_t width, int64_t height);

    // Releases the old picture first; a zero-filled picture of the size. False
    // (and no picture) for a size of 0 or below or beyond SizeAllowed.
    bool Create(int32_t width, int32_t height);
    // The decoded picture of the platform's picture loader; false when it holds none.
    bool CreateFromPicture(const PlatformPicture& picture);
    // Drops the picture.
    void ClearUp();

    // The row size in bytes: ((width + 1) x 3) with the two low bits cleared.
    int32_t BytesPerScanLine() const;
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Empty() const { return bits_.empty(); }
    uint8_t* DIBSectionBitsPtr() { return bits_.empty() ? nullptr : bits_.data(); }
    const uint8_t* DIBSectionBitsPtr() const { return bits_.empty() ? nullptr : bits_.data(); }
    // The pixel memory's size: BytesPerScanLine x Height.
    size_t BitsSize() const { return bits_.size(); }

    // The blue byte of the pixel at (x, memory row); x and row must lie inside.
    uint8_t* PixelAt(int32_t x, int32_t row) { return bits_.data() + size_t(row) * size_t(stride_) + size_t(x) * 3; }
    const uint8_t* PixelAt(int32_t x, int32_t row) const {
        return bits_.data() + size_t(row) * size_t(stride_) + size_t(x) * 3;
    }

    // Copies width x height pixels from the source at (srcLeft, srcTop) into
    // this picture at (0, 0); a width or height below 0 means this picture's own.
    void LoadPictureBlt(const cDIBSection& source, int32_t srcLeft = 0, int32_t srcTop = 0, int32_t width = -1,
                        int32_t height = -1);
    // Copies width x height pixels of this picture from (srcLeft, srcTop) into
    // the destination at (destLeft, destTop); below 0 means this picture's own size.
    void PaintPicture(cDIBSection& destination, int32_t destLeft = 0, int32_t destTop = 0, int32_t width = -1,
                      int32_t height = -1, int32_t srcLeft = 0, int32_t srcTop = 0) const;
    // Stretches the whole picture over the rectangle of the destination, each
    // destination pixel taking the source pixel under its centre.
    void StretchPicture(cDIBSection& destination, int32_t destLeft, int32_t destTop, int32_t width,
                        int32_t height) const;

    // Fills the picture with noise from the seed: grey gives every pixel one
    // random level for all three channels, otherwise blue 0 and random green and red.
    void RandomiseBits(bool grey, uint32_t seed);

    // A new picture of the size, resampled bilinearly (an exact copy at the same
    // size); nullptr when it cannot be created or this picture is empty.
    std::unique_ptr<cDIBSection> Resample(int32_t newHeight, int32_t newWidth) const;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t stride_ = 0;
    std::vector<uint8_t> bits_;
};
