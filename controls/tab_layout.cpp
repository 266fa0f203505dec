#include "controls/tab_layout.h"

namespace uc {

void TabHeadLayout::AddTab(const std::string& caption, int widthTwips, int heightTwips) {
    TabPlace t;
    t.Caption = PaddedCaption(caption);
    t.CaptionWidth = widthTwips;
    t.CaptionHeight = heightTwips;
    mTabs.push_back(t);
    Layout();
}

void TabHeadLayout::SetCaptionSize(int index, int widthTwips, int heightTwips) {
    if (index < 0 || index >= TabCount()) return;
    mTabs[static_cast<size_t>(index)].CaptionWidth = widthTwips;
    mTabs[static_cast<size_t>(index)].CaptionHeight = heightTwips;
    Layout();
}

void TabHeadLayout::ShowTab(int index) {
    if (index < 0 || index >= TabCount()) return;
    mSelectedTab = index;
    if (TabClick) TabClick(index);
    Layout();
}

bool TabHeadLayout::Step(TabStep step) {
    const int count = TabCount();
    if (count == 0 || step == TabStep::None) return false;
    // A selection that names no tab steps as if the first tab were selected.
    const int from = mSelectedTab >= 0 && mSelectedTab < count ? mSelectedTab : 0;
    int to = from;
    switch (step) {
        case TabStep::Next: to = (from + 1) % count; break;
        case TabStep::Previous: to = (from + count - 1) % count; break;
        case TabStep::First: to = 0; break;
        case TabStep::Last: to = count - 1; break;
        case TabStep::None: break;
    }
    ShowTab(to);
    return true;
}

TabStep WindowTabKey(TabKey key, bool control, bool shift, bool altOrMeta) {
    if (!control || altOrMeta) return TabStep::None;
    switch (key) {
        case TabKey::Tab: return shift ? TabStep::Previous : TabStep::Next;
        case TabKey::PageDown: return shift ? TabStep::None : TabStep::Next;
        case TabKey::PageUp: return shift ? TabStep::None : TabStep::Previous;
        default: return TabStep::None;
    }
}

TabStep StripTabKey(TabKey key, bool control, bool shift, bool altOrMeta) {
    if (control || altOrMeta) return WindowTabKey(key, control, shift, altOrMeta);
    if (shift) return TabStep::None;
    switch (key) {
        case TabKey::Left:
        case TabKey::Up: return TabStep::Previous;
        case TabKey::Right:
        case TabKey::Down: return TabStep::Next;
        case TabKey::Home: return TabStep::First;
        case TabKey::End: return TabStep::Last;
        default: return TabStep::None;
    }
}

int TabHeadLayout::HitTest(int x, int y) const {
    for (int i = 0; i < TabCount(); ++i)
        if (mTabs[static_cast<size_t>(i)].Label.Contains(x, y)) return i;
    return -1;
}

bool TabHeadLayout::Click(int x, int y) {
    const int index = HitTest(x, y);
    if (index < 0) return false;
    ShowTab(index);
    return true;
}

void TabHeadLayout::Resize(int clientWidth) {
    mClientWidth = clientWidth;
    Layout();
}

void TabHeadLayout::Layout() {
    int x = 30, selLeft = 0, selRight = 0;
    for (int i = 0; i < TabCount(); ++i) {
        TabPlace& t = mTabs[static_cast<size_t>(i)];
        const bool selected = i == mSelectedTab;
        const int w = t.CaptionWidth;
        const int dy = selected ? 0 : 60;
        t.Label = {x, dy + 60, w, t.CaptionHeight};
        if (i == 0 || i - 1 != mSelectedTab) {
            t.Left = {x - 30, dy, x - 30, Baseline, SysColour::ButtonHighlight, true};
            t.Top = {x - 30, dy, x + w + 60, dy, SysColour::ButtonHighlight, true};
        } else {
            t.Left.Visible = false;
            t.Top = {x - 330, dy, x + w + 60, dy, SysColour::ButtonHighlight, true};
        }
        if (selected) {
            t.Right = {x + w + 60, dy, x + w + 420, Baseline, SysColour::ButtonShadow, true};
            selLeft = t.Left.X2;
            selRight = x + w + 420;
        } else {
            t.Right = {x + w + 60, dy, x + w + 60, Baseline, SysColour::DarkShadow3D, true};
        }
        x += w + 105 + (selected ? 360 : 0);
    }
    if (selRight == 0) {
        mBaseline[0] = {0, Baseline, 0, Baseline, SysColour::ButtonHighlight, false};
        mBaseline[1] = {0, Baseline, mClientWidth, Baseline, SysColour::ButtonHighlight, true};
    } else {
        mBaseline[0] = {0, Baseline, selLeft, Baseline, SysColour::ButtonHighlight, true};
        mBaseline[1] = {selRight, Baseline, mClientWidth, Baseline, SysColour::ButtonHighlight, true};
    }
}

TabPageFrame TabContainerLayout(int width, int height, int px, int py) {
    TabPageFrame f;
    f.Left = {0, 0, 0, height, SysColour::ButtonHighlight, true};
    f.Bottom = {0, height - py, width, height - py, SysColour::DarkShadow3D, true};
    f.Right = {width - px, 0, width - px, height, SysColour::DarkShadow3D, true};
    return f;
}

}  // namespace uc
