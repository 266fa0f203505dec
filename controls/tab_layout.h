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
