// The controls as real windows under a display: what they paint, and the
// events that real mouse events raise.
#include <gtest/gtest.h>

#include <vector>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/rawbmp.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "controls/frm_progress.h"
#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "controls/uc_status_bar.h"
#include "controls/uc_tab_head.h"
#include "controls/uc_tool_bar.h"

namespace {

wxBitmap Solid(const wxColour& c, int size = 16) {
    wxImage img(size, size);
    img.SetRGB(wxRect(0, 0, size, size), c.Red(), c.Green(), c.Blue());
    return wxBitmap(img);
}

// Paints a control through its Render into an image of its client size.
template <class Control>
wxImage Paint(Control& control) {
    const wxSize size = control.GetClientSize();
    wxBitmap bmp(size.x, size.y, 24);
    {
        wxMemoryDC dc(bmp);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        control.Render(dc);
    }
    return bmp.ConvertToImage();
}

wxColour At(const wxImage& img, int x, int y) { return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)); }

void Send(wxWindow& w, wxEventType type, int x, int y) {
    wxMouseEvent e(type);
    e.SetEventObject(&w);
    e.SetId(w.GetId());
    e.m_x = x;
    e.m_y = y;
    if (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_UP) e.m_leftDown = type == wxEVT_LEFT_DOWN;
    w.GetEventHandler()->ProcessEvent(e);
}

class ControlsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "controls", wxDefaultPosition, wxSize(900, 400));
        frame->Show();
    }
    void TearDown() override {
        frame->Destroy();
        wxTheApp->ProcessIdle();
    }
    wxFrame* frame = nullptr;
};

}  // namespace

TEST_F(ControlsWindow, ToolBarPaintsPicturesFramesAndBorder) {
    auto* bar = new ucToolBar(frame, wxID_ANY, wxPoint(0, 0), wxSize(300, 29));
    bar->CreateButton(Solid(*wxRED), Solid(*wxGREEN), "Open File...");
    bar->CreateSeparator();
    bar->CreateButton(Solid(*wxBLUE, 32), wxNullBitmap, "Save File");
    bar->CreateButton(Solid(*wxRED), Solid(*wxGREEN), "Save File As...");
    bar->ButtonEnabled(2, false);
    bar->ButtonSelected(0, true);
    ASSERT_EQ(bar->GetClientSize(), wxSize(300, 29));

    wxImage img = Paint(*bar);
    EXPECT_EQ(At(img, 6, 6), *wxRED);
    EXPECT_EQ(At(img, 21, 21), *wxRED);
    EXPECT_EQ(At(img, 35, 10), *wxBLUE) << "a 32 x 32 picture is scaled into 16 x 16";
    EXPECT_EQ(At(img, 50, 21), *wxBLUE);
    EXPECT_NE(At(img, 51, 22), *wxBLUE);
    EXPECT_EQ(At(img, 57, 6), *wxGREEN) << "a disabled button shows its disabled picture";
    EXPECT_EQ(At(img, 28, 10), uc::SystemColour(uc::SysColour::DarkShadow3D)) << "separator, dark line";
    EXPECT_EQ(At(img, 29, 10), uc::SystemColour(uc::SysColour::ButtonHighlight)) << "separator, light line";
    EXPECT_EQ(At(img, 5, 5), uc::SystemColour(uc::SysColour::Light3D)) << "selected box behind button 0";
    EXPECT_EQ(At(img, 150, 0), uc::SystemColour(uc::SysColour::ButtonHighlight));
    EXPECT_EQ(At(img, 150, 28), uc::SystemColour(uc::SysColour::DarkShadow3D));
    EXPECT_EQ(At(img, 299, 10), uc::SystemColour(uc::SysColour::DarkShadow3D));
}

TEST_F(ControlsWindow, ToolBarMouseEventsRaiseHoverAndClick) {
    auto* bar = new ucToolBar(frame, wxID_ANY, wxPoint(0, 0), wxSize(300, 29));
    bar->CreateButton(Solid(*wxRED), Solid(*wxGREEN), "Open File...");
    bar->CreateButton(Solid(*wxRED), Solid(*wxGREEN), "Save File");
    std::vector<int> clicks, hovers;
    bool tipDuringClick = true;
    // The click may open a modal dialog: the tip is gone by then.
    bar->ButtonClick = [&](int16_t i) {
        clicks.push_back(i);
        tipDuringClick = bar->GetToolTip() != nullptr;
    };
    bar->ButtonHover = [&](int16_t i) { hovers.push_back(i); };

    Send(*bar, wxEVT_MOTION, 30, 10);
    EXPECT_EQ(hovers, std::vector<int>{1});
    ASSERT_NE(bar->GetToolTip(), nullptr);
    EXPECT_EQ(bar->GetToolTipText(), "Save File");
    wxImage img = Paint(*bar);
    EXPECT_EQ(At(img, 25, 3), uc::SystemColour(uc::SysColour::ButtonHighlight)) << "raised hover frame";
    EXPECT_EQ(At(img, 30, 25), uc::SystemColour(uc::SysColour::DarkShadow3D));

    Send(*bar, wxEVT_LEFT_DOWN, 30, 10);
    img = Paint(*bar);
    EXPECT_EQ(At(img, 29, 7), *wxRED) << "the pressed picture moves by one pixel";
    EXPECT_EQ(At(img, 30, 3), uc::SystemColour(uc::SysColour::DarkShadow3D)) << "sunken frame";
    Send(*bar, wxEVT_LEFT_UP, 30, 10);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_FALSE(tipDuringClick);
    EXPECT_FALSE(bar->HasCapture());
    Send(*bar, wxEVT_MOTION, 31, 10);
    EXPECT_EQ(bar->GetToolTipText(), "Save File") << "shown again by the next move";

    Send(*bar, wxEVT_MOTION, 200, 10);
    EXPECT_EQ(hovers, (std::vector<int>{1, -1}));
    EXPECT_EQ(bar->GetToolTip(), nullptr);

    bar->KillContent();
    EXPECT_EQ(bar->Layout().ButtonCount(), 0);
    EXPECT_EQ(bar->CreateButton(Solid(*wxRED), Solid(*wxGREEN), "again"), 0);
}

TEST_F(ControlsWindow, StatusBarPaintsSeparatorsAtTheirPlaces) {
    auto* bar = new ucStatusBar(frame, wxID_ANY, wxPoint(0, 0), wxSize(792, 22));
    bar->CreateField(200, 0, false);
    bar->CreateField(60, 0, true);
    bar->UpdateField(1, "FPS: Idle");
    bar->UpdateField(5, "ignored");
    EXPECT_EQ(bar->Layout().Field(1).Text, "FPS: Idle");
    wxImage img = Paint(*bar);
    EXPECT_EQ(At(img, 722, 10), uc::SystemColour(uc::SysColour::DarkShadow3D));
    EXPECT_EQ(At(img, 723, 10), uc::SystemColour(uc::SysColour::ButtonHighlight));
    EXPECT_EQ(At(img, 400, 0), uc::SystemColour(uc::SysColour::ButtonHighlight));
    // Some of the text's pixels differ from the face colour inside field 1.
    const wxColour face = uc::SystemColour(uc::SysColour::ButtonFace);
    int inked = 0;
    for (int x = 726; x < 786; ++x)
        for (int y = 2; y < 21; ++y) inked += At(img, x, y) != face;
    EXPECT_GT(inked, 20);
    bar->SetSize(500, 22);
    EXPECT_EQ(bar->Layout().Field(1).Label.X, 434);
}

TEST_F(ControlsWindow, TabStripSelectsByClickAndDrawsItsBaseline) {
    auto* strip = new ucTabHead(frame, wxID_ANY, wxPoint(0, 0), wxSize(400, 30));
    auto* page0 = new ucTabContainer(frame, wxID_ANY, wxPoint(0, 24), wxSize(400, 200));
    std::vector<int> clicks;
    strip->TabClick = [&](int32_t i) { clicks.push_back(i); };
    strip->AddTab("General");
    strip->AddTab("Combs");
    const double tpp = strip->TwipsPerPixel();
    const uc::Rect label1 = strip->Layout().Tab(1).Label;
    EXPECT_GT(label1.Width, 0);
    const int x = uc::TwipsToPixels(label1.X, tpp) + 3, y = uc::TwipsToPixels(label1.Y, tpp) + 3;
    Send(*strip, wxEVT_LEFT_DOWN, x, y);
    Send(*strip, wxEVT_LEFT_UP, x, y);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(strip->Layout().SelectedTab(), 1);
    strip->ShowTab(7);
    EXPECT_EQ(clicks, std::vector<int>{1});

    const wxImage img = Paint(*strip);
    const int baseline = uc::TwipsToPixels(360, tpp);
    EXPECT_EQ(At(img, 1, baseline), uc::SystemColour(uc::SysColour::ButtonHighlight));
    EXPECT_EQ(At(img, 399, baseline), uc::SystemColour(uc::SysColour::ButtonHighlight));

    const wxImage frameImg = Paint(*page0);
    EXPECT_EQ(At(frameImg, 0, 100), uc::SystemColour(uc::SysColour::ButtonHighlight));
    EXPECT_EQ(At(frameImg, 399, 100), uc::SystemColour(uc::SysColour::DarkShadow3D));
    EXPECT_EQ(At(frameImg, 200, 199), uc::SystemColour(uc::SysColour::DarkShadow3D));
    EXPECT_EQ(At(frameImg, 200, 0), *wxBLACK) << "a tab page has no top line";
}

namespace {

// Runs the events the display server has sent, a bounded number of them.
void RunPending() {
    for (int i = 0; i < 200 && wxTheApp->Pending(); ++i) wxTheApp->Dispatch();
    wxTheApp->ProcessIdle();
}

// Waits up to about two seconds for `done`, running events meanwhile.
template <class F>
bool RunUntil(F done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        RunPending();
        wxMilliSleep(10);
    }
    return done();
}

// A key as the window sees it before its focused control does.
bool WindowKey(wxWindow& focused, int keyCode, bool control, bool shift = false) {
    wxKeyEvent e(wxEVT_CHAR_HOOK);
    e.SetEventObject(&focused);
    e.m_keyCode = keyCode;
    e.SetControlDown(control);
    e.SetRawControlDown(control);
    e.SetShiftDown(shift);
    focused.GetEventHandler()->ProcessEvent(e);
    return !e.GetSkipped();  // taken by the strip
}

bool StripKey(ucTabHead& strip, int keyCode) {
    wxKeyEvent e(wxEVT_KEY_DOWN);
    e.SetEventObject(&strip);
    e.m_keyCode = keyCode;
    strip.GetEventHandler()->ProcessEvent(e);
    return !e.GetSkipped();
}

}  // namespace

TEST_F(ControlsWindow, TabStripPagesChangeFromTheKeyboard) {
    auto* strip = new ucTabHead(frame, wxID_ANY, wxPoint(0, 0), wxSize(400, 30));
    auto* page = new ucTabContainer(frame, wxID_ANY, wxPoint(0, 30), wxSize(400, 200));
    auto* box = new wxTextCtrl(page, wxID_ANY, "", wxPoint(10, 10));
    std::vector<int> clicks;
    strip->TabClick = [&](int32_t i) { clicks.push_back(i); };
    EXPECT_FALSE(strip->AcceptsFocus()) << "nothing to select yet";
    for (const char* caption : {"World", "Region", "Fog"}) strip->AddTab(caption);
    EXPECT_TRUE(strip->AcceptsFocusFromKeyboard());

    // From a control of the window: Ctrl+Tab and Ctrl+PageDown forward,
    // Ctrl+Shift+Tab and Ctrl+PageUp back; other keys are the control's.
    EXPECT_TRUE(WindowKey(*box, WXK_TAB, true));
    EXPECT_TRUE(WindowKey(*box, WXK_PAGEDOWN, true));
    EXPECT_TRUE(WindowKey(*box, WXK_PAGEDOWN, true));
    EXPECT_TRUE(WindowKey(*box, WXK_TAB, true, true));
    EXPECT_TRUE(WindowKey(*box, WXK_PAGEUP, true));
    EXPECT_FALSE(WindowKey(*box, WXK_TAB, false));
    EXPECT_FALSE(WindowKey(*box, 'A', true));
    EXPECT_EQ(clicks, (std::vector<int>{1, 2, 0, 2, 1}));

    // On the strip itself: the arrows, Home and End.
    clicks.clear();
    EXPECT_TRUE(StripKey(*strip, WXK_RIGHT));
    EXPECT_TRUE(StripKey(*strip, WXK_HOME));
    EXPECT_TRUE(StripKey(*strip, WXK_LEFT));
    EXPECT_FALSE(StripKey(*strip, WXK_TAB)) << "Tab moves the focus on";
    EXPECT_EQ(clicks, (std::vector<int>{2, 0, 2}));

    // A hidden strip leaves the keys alone.
    strip->Hide();
    EXPECT_FALSE(WindowKey(*box, WXK_TAB, true));
    strip->Show();

    // The strip takes the focus and then frames its selected caption.
    frame->Raise();
    strip->SetFocus();
    if (!RunUntil([&] { return strip->HasFocus(); })) GTEST_SKIP() << "the test display gives no keyboard focus";
    auto pixels = [&] {
        const wxImage img = Paint(*strip);
        return std::vector<unsigned char>(img.GetData(), img.GetData() + img.GetWidth() * img.GetHeight() * 3);
    };
    const std::vector<unsigned char> focused = pixels();
    box->SetFocus();
    ASSERT_TRUE(RunUntil([&] { return box->HasFocus(); }));
    EXPECT_NE(focused, pixels()) << "the focus frame shows";

    // A page change that hides the focused control hands the focus to the
    // strip, where the keyboard still reaches the window.
    strip->TabClick = [&](int32_t i) { page->Show(i == 0); };
    EXPECT_TRUE(WindowKey(*box, WXK_PAGEUP, true));  // from Fog to Region
    EXPECT_FALSE(box->IsShownOnScreen());
    EXPECT_TRUE(RunUntil([&] { return strip->HasFocus(); }));
}

TEST_F(ControlsWindow, TitledPanelTitleEventsAndColours) {
    auto* panel = new ucContainer(frame, wxID_ANY, wxPoint(0, 0), wxSize(300, 150), "Lift");
    auto* inner = new wxWindow(panel, wxID_ANY, wxPoint(20, 40), wxSize(50, 30));
    int moved = 0, clicked = 0;
    panel->MouseMoved = [&] { ++moved; };
    panel->TitleClicked = [&] { ++clicked; };
    EXPECT_EQ(panel->Alignment(), 2);
    EXPECT_EQ(panel->Title(), "Lift");

    Send(*panel, wxEVT_LEFT_DOWN, 100, 5);
    Send(*panel, wxEVT_LEFT_UP, 100, 5);
    EXPECT_EQ(clicked, 1);
    Send(*panel, wxEVT_LEFT_DOWN, 100, 80);
    Send(*panel, wxEVT_LEFT_UP, 100, 80);
    EXPECT_EQ(clicked, 1) << "a click below the title is no title click";
    Send(*panel, wxEVT_MOTION, 100, 80);
    EXPECT_EQ(moved, 1);
    Send(*inner, wxEVT_MOTION, 5, 5);
    EXPECT_EQ(moved, 1) << "moves over a control inside the panel are not reported";

    const int h = uc::TwipsToPixels(210, uc::TwipsPerPixelY(panel));
    EXPECT_EQ(panel->TitleRect(), wxRect(0, 0, 300, h));
    wxImage img = Paint(*panel);
    EXPECT_EQ(At(img, 298, 1), uc::SystemColour(uc::SysColour::Highlight));
    EXPECT_EQ(At(img, 299, 100), uc::SystemColour(uc::SysColour::DarkShadow3D));
    EXPECT_EQ(At(img, 100, 149), uc::SystemColour(uc::SysColour::DarkShadow3D));
    panel->InBackground(true);
    img = Paint(*panel);
    EXPECT_EQ(At(img, 298, 1), uc::SystemColour(uc::SysColour::ActiveCaption));
    panel->InBackground(false);
    img = Paint(*panel);
    EXPECT_EQ(At(img, 298, 1), uc::SystemColour(uc::SysColour::Highlight));

    panel->Alignment(5);
    EXPECT_EQ(panel->Alignment(), 2);
    panel->Alignment(0);
    uc::PropertyBag bag;
    panel->WriteProperties(bag);
    auto* copy = new ucContainer(frame);
    copy->ReadProperties(bag);
    EXPECT_EQ(copy->Title(), "Lift");
    EXPECT_EQ(copy->Alignment(), 0);
}

TEST_F(ControlsWindow, ProgressWindowRefusesToCloseUntilForced) {
    wxWeakRef<frmProgress> progress(new frmProgress(frame));
    progress->Show();
    EXPECT_EQ(progress->GetTitle(), "Modeler Working...");
    EXPECT_EQ(progress->InfoText(), "Working...");
    EXPECT_EQ(progress->GetClientSize(), wxSize(394, 70));
    progress->SetCaption("Reducing");
    progress->SetInfo("Step 1");
    EXPECT_EQ(progress->GetTitle(), "Reducing");
    EXPECT_EQ(progress->InfoText(), "Step 1");

    progress->UpdateProgress(10);  // no limit yet: ignored
    progress->SetProgressLimit(200);
    progress->UpdateProgress(100);
    EXPECT_EQ(progress->Model().LastPercent(), 50);
    wxBitmap bmp(391, 13, 24);
    {
        wxMemoryDC dc(bmp);
        progress->RenderBar(dc, wxSize(391, 13));
    }
    const wxImage img = bmp.ConvertToImage();
    EXPECT_EQ(At(img, 0, 6), wxColour(0, 0, 255));
    EXPECT_EQ(At(img, 194, 6), wxColour(0, 0, 255));
    EXPECT_NE(At(img, 196, 6), wxColour(0, 0, 255));

    EXPECT_FALSE(progress->Close(false));
    wxTheApp->ProcessIdle();
    ASSERT_TRUE(progress);
    EXPECT_FALSE(progress->IsBeingDeleted());
    progress->ForceUnload();
    wxTheApp->ProcessIdle();
    EXPECT_FALSE(progress) << "ForceUnload closes and destroys the window";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "no display for the window tests\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
