#pragma once
// The progress window's state: the limit that stands for 100 %, the last
// percentage drawn, the bar colour and what the bar shows. The bar is never
// cleared: each step paints a box from the left over what is there, so the
// model keeps the colour of every whole-percent column.

#include <array>
#include <cstdint>
#include <optional>

namespace uc {

class ProgressModel {
public:
    static constexpr uint32_t DefaultBarColor = 0xFF0000;  // blue; red is the low byte

    void SetProgressLimit(int32_t limit) { mProgressLimit = limit; }
    void SetBarColor(uint32_t color) { mBarColor = color; }
    // Returns true when the bar was painted (the whole percentage changed).
    // Nothing happens while the limit is 0 or less; the percentage is held
    // to 0..100.
    bool UpdateProgress(int32_t value);

    void ForceUnload() { mAllowUnload = true; }
    // Whether a request to close the window is granted.
    bool CanClose() const { return mAllowUnload; }

    int32_t ProgressLimit() const { return mProgressLimit; }
    int32_t LastPercent() const { return mLastPercent; }
    uint32_t BarColor() const { return mBarColor; }
    // Colour of the column from k % to k + 1 % of the bar, none where unpainted.
    const std::array<std::optional<uint32_t>, 100>& Columns() const { return mColumns; }

    // The whole percentage of value against limit, held to 0..100 (limit > 0).
    static int32_t Percent(int32_t value, int32_t limit);

private:
    int32_t mProgressLimit = 0;
    int32_t mLastPercent = 0;
    uint32_t mBarColor = DefaultBarColor;
    bool mAllowUnload = false;
    std::array<std::optional<uint32_t>, 100> mColumns{};
};

}  // namespace uc
