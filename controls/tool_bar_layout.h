#pragma once
// Layout and mouse behaviour of the picture-button tool bar, kept apart from
// the window so that positions, hover frames and events can be checked
// without drawing. All coordinates are pixels in the bar's client area.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/control_geometry.h"

namespace uc {

enum class MouseButton { Left, Right, Middle };

struct ToolBarButton {
    int HomeX = 0;             // shpPlaceHolder: the button's home position
    int HomeY = 0;
    int PictureX = 0;          // imgNormal: moved by (1, 1) while pressed
    int PictureY = 0;
    bool Enabled = true;       // imgNormal shown (else imgDisabled)
    bool Selected = false;     // lblSelected shown
    std::string ToolTip;
};

struct ToolBarSeparator {
    LineSeg Dark;   // lineSeparator1
    LineSeg Light;  // lineSeparator2
};

class ToolBarLayout {
public:
    static constexpr int PictureSize = 16;
    static constexpr int ButtonPitch = 22;
    static constexpr int FrameSize = 22;
    static constexpr int FirstButtonX = 6;
    static constexpr int ButtonTop = 6;

    ToolBarLayout();

    // Events: a click on an enabled button; the button under the mouse changed (-1: none).
    std::function<void(int16_t)> ButtonClick;
    std::function<void(int16_t)> ButtonHover;

    // Appends a button at NextButtonX and returns its index.
    int16_t CreateButton(const std::string& toolTip);
    // Appends a separator; clientHeight is the bar's current client height.
    void CreateSeparator(int clientHeight);
    void ButtonEnabled(int index, bool enabled);
    void ButtonSelected(int index, bool selected);
    bool ButtonIsSelected(int index) const;
    void HideMouseOver();
    void KillContent();
    void Resize(int width, int height);

    // Mouse input, in client coordinates. MouseDown returns true when it
    // pressed a button (the window then holds the mouse until MouseUp).
    void MouseMove(int x, int y);
    bool MouseDown(int x, int y, MouseButton button);
    void MouseUp(int x, int y, MouseButton button);
    // The press ends without a click (the window lost the mouse).
    void CancelPress();

    // Keyboard, while the bar has the focus: the button that Enter and Space
    // press, an enabled one (the first, until the arrows chose another);
    // -1 when no button is enabled.
    int KeyButton() const;
    // Moves the key button to the next (direction > 0) or previous enabled
    // button, stopping at the ends; Home and End go to the first and last.
    void StepKeyButton(int direction);
    void KeyButtonToEnd(bool last);
    // Enter or Space: ButtonClick of the key button; false when there is none.
    bool PressKeyButton();

    enum class HitKind { Background, NormalPicture, DisabledPicture };
    struct Hit {
        HitKind Kind = HitKind::Background;
        int Index = -1;
    };
    Hit HitTest(int x, int y) const;
    // Tool tip shown at a point: only an enabled button's picture carries one.
    std::string ToolTipAt(int x, int y) const;

    // State and drawing elements, read by the window and the tests.
    int16_t ButtonCount() const { return static_cast<int16_t>(mButtons.size()); }
    int16_t NextButtonX() const { return mNextButtonX; }
    int16_t SeparatorCount() const { return static_cast<int16_t>(mSeparators.size()); }
    bool HoverShown() const { return mHoverShown; }
    int16_t HoverIndex() const { return mHoverIndex; }
    int PressedIndex() const { return mPressedIndex; }
    MouseButton PressedButton() const { return mPressedButton; }
    const ToolBarButton& Button(int index) const { return mButtons.at(static_cast<size_t>(index)); }
    const ToolBarSeparator& Separator(int index) const { return mSeparators.at(static_cast<size_t>(index)); }
    Rect NormalPictureRect(int index) const;
    Rect DisabledPictureRect(int index) const;
    Rect SelectedBoxRect(int index) const;
    const std::array<LineSeg, 4>& HoverLines() const { return mHoverLines; }
    const std::array<LineSeg, 4>& BorderLines() const { return mBorderLines; }

private:
    bool ValidIndex(int index) const { return index >= 0 && index < static_cast<int>(mButtons.size()); }
    void ShowMouseOver(int index);
    void ShowButtonDown(int index);
    void ShowButtonUp(int index);
    void ColourHover(bool sunken);

    std::vector<ToolBarButton> mButtons;
    std::vector<ToolBarSeparator> mSeparators;
    int16_t mNextButtonX = FirstButtonX;
    bool mHoverShown = false;
    int16_t mHoverIndex = -1;
    int mPressedIndex = -1;
    int mKeyButton = -1;
    MouseButton mPressedButton = MouseButton::Left;
    std::array<LineSeg, 4> mHoverLines;
    std::array<LineSeg, 4> mBorderLines;
};

}  // namespace uc
