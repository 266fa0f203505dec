#include "controls/status_bar_layout.h"

namespace uc {

int16_t StatusBarLayout::CreateField(int16_t width, int alignment, bool bold) {
    StatusField f;
    f.Width = width;
    // A label knows only three alignments; anything else reads as left.
    f.Alignment = (alignment == AlignRight || alignment == AlignCentre) ? alignment : AlignLeft;
    f.Bold = bold;
    f.Sep1.Colour = SysColour::DarkShadow3D;
    f.Sep2.Colour = SysColour::ButtonHighlight;
    mFields.push_back(f);
    Layout();
    return static_cast<int16_t>(mFields.size() - 1);
}

void StatusBarLayout::UpdateField(int index, const std::string& text) {
    if (ValidIndex(index)) mFields[static_cast<size_t>(index)].Text = text;
}

void StatusBarLayout::BoldField(int index, bool bold) {
    if (ValidIndex(index)) mFields[static_cast<size_t>(index)].Bold = bold;
}

void StatusBarLayout::Resize(int width, int height) {
    mWidth = width;
    mHeight = height;
    Layout();
}

void StatusBarLayout::Layout() {
    mBorder = {0, 0, mWidth, 0, SysColour::ButtonHighlight, true};
    const int n = static_cast<int>(mFields.size());
    if (n == 0) return;
    std::vector<int> x(static_cast<size_t>(n) + 1), s(static_cast<size_t>(n) + 1);
    x[static_cast<size_t>(n)] = mWidth;
    for (int i = n - 1; i >= 1; --i) {
        s[static_cast<size_t>(i)] = mFields[static_cast<size_t>(i)].Width + 6;
        x[static_cast<size_t>(i)] = x[static_cast<size_t>(i) + 1] - s[static_cast<size_t>(i)];
    }
    x[0] = 0;
    const int firstWidth = mFields[0].Width;
    if (x[1] >= firstWidth) {
        s[0] = x[1];
    } else {
        // The row does not fit: every field keeps its width from the left edge.
        s[0] = firstWidth + 6;
        for (int i = 1; i < n; ++i) x[static_cast<size_t>(i)] = x[static_cast<size_t>(i) - 1] + s[static_cast<size_t>(i) - 1];
    }
    for (int i = 0; i < n; ++i) {
        StatusField& f = mFields[static_cast<size_t>(i)];
        const int xi = x[static_cast<size_t>(i)], si = s[static_cast<size_t>(i)];
        f.Label = {xi, LabelTop, si - 6, LabelHeight};
        const bool shown = i < n - 1;
        f.Sep1 = {xi + si - 4, 3, xi + si - 4, mHeight, SysColour::DarkShadow3D, shown};
        f.Sep2 = {xi + si - 3, 3, xi + si - 3, mHeight, SysColour::ButtonHighlight, shown};
    }
}

}  // namespace uc
