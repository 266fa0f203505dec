#pragma once
// Layout of the tab strip and of a tab page's frame, in twips (15 twips are
// one pixel at 96 dots per inch). The strip's captions are measured by the
// window and handed in; everything else is computed here.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/control_geometry.h"

namespace uc {

struct TabPlace {
    std::string Caption;   // as shown, with one blank on each side
    int CaptionWidth = 0;  // W(i), twips
    int CaptionHeight = 0; // twips
    Rect Label;            // lblTabTitle(i)
    LineSeg Left;          // lineTabLeft(i)
    LineSeg Top;           // lineTabTop(i)
    LineSeg Right;         // lineTabRight(i): a slant for the selected tab
};

// The keys that move between the tabs of a strip, apart from the toolkit.
enum class TabKey { Tab, PageUp, PageDown, Left, Right, Up, Down, Home, End, Other };

// A move from the selected tab to another.
enum class TabStep { None, Next, Previous, First, Last };

// What a key pressed anywhere in the strip's window asks of it: Ctrl+Tab and
// Ctrl+PageDown the next page, Ctrl+Shift+Tab and Ctrl+PageUp the previous
// one, as in the toolkit's own notebooks. Alt or Meta with them asks nothing.
TabStep WindowTabKey(TabKey key, bool control, bool shift, bool altOrMeta);
// What a key pressed while the strip itself has the focus asks of it: the
// arrow keys the previous or next tab, Home and End the first and last one;
// with Ctrl, as WindowTabKey. Other keys (Tab itself) are the window's.
TabStep StripTabKey(TabKey key, bool control, bool shift, bool altOrMeta);

class TabHeadLayout {
public:
    static constexpr int Baseline = 360;

    // Event: a tab was selected by a click or by ShowTab.
    std::function<void(int32_t)> TabClick;

    // The text a caption is shown and measured with.
    static std::string PaddedCaption(const std::string& caption) { return " " + caption + " "; }

    // Appends a tab whose padded caption measures width x height twips.
    void AddTab(const std::string& caption, int widthTwips, int heightTwips);
    // Selects a tab as a click on its caption does. An index that names no
    // tab is ignored: no tab would be drawn selected and the owner's
    // handler would be asked for a page that does not exist.
    void ShowTab(int index);
    // Selects the tab `step` leads to from the selected one, as a click on
    // its caption does; Next after the last tab and Previous before the
    // first wrap around. False when there is no tab to step to.
    bool Step(TabStep step);
    // A click at a point of the strip; true when it hit a caption.
    bool Click(int x, int y);
    int HitTest(int x, int y) const;
    // Lays the strip out for a client width in twips.
    void Resize(int clientWidth);

    int32_t TabCount() const { return static_cast<int32_t>(mTabs.size()); }
    int32_t SelectedTab() const { return mSelectedTab; }
    const TabPlace& Tab(int index) const { return mTabs.at(static_cast<size_t>(index)); }
    const LineSeg& BaselineLeft() const { return mBaseline[0]; }
    const LineSeg& BaselineRight() const { return mBaseline[1]; }
    // Replaces the caption sizes, e.g. after the font or the screen's resolution changed.
    void SetCaptionSize(int index, int widthTwips, int heightTwips);

private:
    void Layout();

    std::vector<TabPlace> mTabs;
    int32_t mSelectedTab = 0;
    int mClientWidth = 0;
    LineSeg mBaseline[2];
};

// The three lines that frame a tab page (left; bottom and right), twips.
// px and py are the twips of one pixel across and down.
struct TabPageFrame {
    LineSeg Left, Bottom, Right;
};
TabPageFrame TabContainerLayout(int width, int height, int px, int py);

}  // namespace uc
