#include "controls/tool_bar_layout.h"

namespace uc {

ToolBarLayout::ToolBarLayout() {
    ColourHover(false);
    mBorderLines[0].Colour = SysColour::ButtonHighlight;
    mBorderLines[1].Colour = SysColour::ButtonHighlight;
    mBorderLines[2].Colour = SysColour::DarkShadow3D;
    mBorderLines[3].Colour = SysColour::DarkShadow3D;
}

int16_t ToolBarLayout::CreateButton(const std::string& toolTip) {
    ToolBarButton b;
    b.HomeX = mNextButtonX;
    b.HomeY = ButtonTop;
    b.PictureX = b.HomeX;
    b.PictureY = b.HomeY;
    b.ToolTip = toolTip;
    mButtons.push_back(b);
    mNextButtonX = static_cast<int16_t>(mNextButtonX + ButtonPitch);
    return static_cast<int16_t>(mButtons.size() - 1);
}

void ToolBarLayout::CreateSeparator(int clientHeight) {
    const int x = mNextButtonX;
    ToolBarSeparator s;
    s.Dark = {x, 2, x, clientHeight - 2, SysColour::DarkShadow3D, true};
    s.Light = {x + 1, 2, x + 1, clientHeight - 2, SysColour::ButtonHighlight, true};
    mSeparators.push_back(s);
    mNextButtonX = static_cast<int16_t>(x + 1 + 6);
}

void ToolBarLayout::ButtonEnabled(int index, bool enabled) {
    if (ValidIndex(index)) mButtons[static_cast<size_t>(index)].Enabled = enabled;
}

void ToolBarLayout::ButtonSelected(int index, bool selected) {
    if (ValidIndex(index)) mButtons[static_cast<size_t>(index)].Selected = selected;
}

bool ToolBarLayout::ButtonIsSelected(int index) const {
    return ValidIndex(index) && mButtons[static_cast<size_t>(index)].Selected;
}

void ToolBarLayout::ShowMouseOver(int index) {
    if (!ValidIndex(index)) return;
    const ToolBarButton& b = mButtons[static_cast<size_t>(index)];
    const int l = b.HomeX - 3, t = b.HomeY - 3, r = l + FrameSize, bottom = t + FrameSize;
    auto place = [](LineSeg& line, int x1, int y1, int x2, int y2) {
        line.X1 = x1;
        line.Y1 = y1;
        line.X2 = x2;
        line.Y2 = y2;
        line.Visible = true;
    };
    place(mHoverLines[0], l, t, r, t);
    place(mHoverLines[1], l, t, l, bottom);
    place(mHoverLines[2], l, bottom, r, bottom);
    place(mHoverLines[3], r, t, r, bottom);
    const bool changed = mHoverIndex != index;
    mHoverShown = true;
    mHoverIndex = static_cast<int16_t>(index);
    if (changed && ButtonHover) ButtonHover(static_cast<int16_t>(index));
}

void ToolBarLayout::HideMouseOver() {
    if (!mHoverShown) return;
    for (LineSeg& line : mHoverLines) line.Visible = false;
    const bool hadButton = mHoverIndex != -1;
    mHoverShown = false;
    mHoverIndex = -1;
    if (hadButton && ButtonHover) ButtonHover(-1);
}

void ToolBarLayout::ColourHover(bool sunken) {
    const SysColour topLeft = sunken ? SysColour::DarkShadow3D : SysColour::ButtonHighlight;
    const SysColour bottomRight = sunken ? SysColour::ButtonHighlight : SysColour::DarkShadow3D;
    mHoverLines[0].Colour = topLeft;
    mHoverLines[1].Colour = topLeft;
    mHoverLines[2].Colour = bottomRight;
    mHoverLines[3].Colour = bottomRight;
}

void ToolBarLayout::ShowButtonDown(int index) {
    if (!ValidIndex(index)) return;
    ToolBarButton& b = mButtons[static_cast<size_t>(index)];
    b.PictureX = b.HomeX + 1;
    b.PictureY = b.HomeY + 1;
    ColourHover(true);
}

void ToolBarLayout::ShowButtonUp(int index) {
    // The click handler may have emptied the bar; the button is then gone.
    if (!ValidIndex(index)) return;
    ToolBarButton& b = mButtons[static_cast<size_t>(index)];
    b.PictureX = b.HomeX;
    b.PictureY = b.HomeY;
    ColourHover(false);
}

int ToolBarLayout::KeyButton() const {
    if (ValidIndex(mKeyButton) && mButtons[static_cast<size_t>(mKeyButton)].Enabled) return mKeyButton;
    for (int i = 0; i < ButtonCount(); ++i)
        if (mButtons[static_cast<size_t>(i)].Enabled) return i;
    return -1;
}

void ToolBarLayout::StepKeyButton(int direction) {
    const int from = KeyButton();
    if (from < 0) return;
    const int step = direction > 0 ? 1 : -1;
    for (int i = from + step; ValidIndex(i); i += step)
        if (mButtons[static_cast<size_t>(i)].Enabled) {
            mKeyButton = i;
            return;
        }
    mKeyButton = from;
}

void ToolBarLayout::KeyButtonToEnd(bool last) {
    for (int k = 0; k < ButtonCount(); ++k) {
        const int i = last ? ButtonCount() - 1 - k : k;
        if (mButtons[static_cast<size_t>(i)].Enabled) {
            mKeyButton = i;
            return;
        }
    }
}

bool ToolBarLayout::PressKeyButton() {
    const int index = KeyButton();
    if (index < 0) return false;
    mKeyButton = index;
    if (ButtonClick) ButtonClick(static_cast<int16_t>(index));
    return true;
}

void ToolBarLayout::KillContent() {
    mKeyButton = -1;
    mButtons.clear();
    mSeparators.clear();
    mNextButtonX = FirstButtonX;
    mHoverIndex = -1;
    mPressedIndex = -1;
    // The hover frame keeps its visibility: the next move over the bar settles it.
}

void ToolBarLayout::Resize(int w, int h) {
    mBorderLines[0] = {0, 0, w, 0, SysColour::ButtonHighlight, true};
    mBorderLines[1] = {0, 0, 0, h, SysColour::ButtonHighlight, true};
    mBorderLines[2] = {0, h - 1, w, h - 1, SysColour::DarkShadow3D, true};
    mBorderLines[3] = {w - 1, 0, w - 1, h, SysColour::DarkShadow3D, true};
}

Rect ToolBarLayout::NormalPictureRect(int index) const {
    const ToolBarButton& b = Button(index);
    return {b.PictureX, b.PictureY, PictureSize, PictureSize};
}

Rect ToolBarLayout::DisabledPictureRect(int index) const {
    const ToolBarButton& b = Button(index);
    return {b.HomeX, b.HomeY, PictureSize, PictureSize};
}

Rect ToolBarLayout::SelectedBoxRect(int index) const {
    const ToolBarButton& b = Button(index);
    return {b.HomeX - 3, b.HomeY - 3, FrameSize, FrameSize};
}

ToolBarLayout::Hit ToolBarLayout::HitTest(int x, int y) const {
    // Later buttons lie on top of earlier ones where pictures overlap.
    for (int i = static_cast<int>(mButtons.size()) - 1; i >= 0; --i) {
        const ToolBarButton& b = mButtons[static_cast<size_t>(i)];
        if (b.Enabled && NormalPictureRect(i).Contains(x, y)) return {HitKind::NormalPicture, i};
        if (!b.Enabled && DisabledPictureRect(i).Contains(x, y)) return {HitKind::DisabledPicture, i};
    }
    return {};
}

std::string ToolBarLayout::ToolTipAt(int x, int y) const {
    const Hit hit = HitTest(x, y);
    return hit.Kind == HitKind::NormalPicture ? mButtons[static_cast<size_t>(hit.Index)].ToolTip : std::string();
}

void ToolBarLayout::MouseMove(int x, int y) {
    if (mPressedIndex >= 0) {
        // The pressed picture holds the mouse: its moves keep its frame.
        ShowMouseOver(mPressedIndex);
        return;
    }
    const Hit hit = HitTest(x, y);
    if (hit.Kind == HitKind::NormalPicture)
        ShowMouseOver(hit.Index);
    else
        HideMouseOver();
}

bool ToolBarLayout::MouseDown(int x, int y, MouseButton button) {
    if (mPressedIndex >= 0) return true;  // a second button while one is held
    const Hit hit = HitTest(x, y);
    if (hit.Kind != HitKind::NormalPicture) return false;
    mPressedIndex = hit.Index;
    mPressedButton = button;
    ShowButtonDown(hit.Index);
    return true;
}

void ToolBarLayout::MouseUp(int x, int y, MouseButton button) {
    if (mPressedIndex < 0 || button != mPressedButton) return;
    const int index = mPressedIndex;
    mPressedIndex = -1;
    // The click counts only where the press began, on a picture that is still enabled.
    const bool click = button == MouseButton::Left && ValidIndex(index) &&
                       mButtons[static_cast<size_t>(index)].Enabled && NormalPictureRect(index).Contains(x, y);
    ShowButtonUp(index);
    if (click) {
        if (ButtonClick) ButtonClick(static_cast<int16_t>(index));
        ShowButtonUp(index);
    }
}

void ToolBarLayout::CancelPress() {
    if (mPressedIndex < 0) return;
    const int index = mPressedIndex;
    mPressedIndex = -1;
    ShowButtonUp(index);
}

}  // namespace uc
