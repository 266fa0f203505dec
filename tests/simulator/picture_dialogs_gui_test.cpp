// The texture viewer and sun placement as real windows: the viewer's size
// verdict and alpha view, its double-click and Escape; the panorama built with the
// window's input held off, clicks, keys and OK and Cancel on the sliders.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/dcmemory.h>
#include <wx/scrolbar.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "core/app_state.h"
#include "platform/scripted_prompts.h"
#include "simulator/frm_view_texture.h"
#include "simulator/frm_vx_env_place_sun.h"
#include "simulator/picture_loading.h"
#include "simulator/picture_wx.h"
#include "tests/app/dialogs/dialog_events.h"
#include "tests/platform/temp_folder.h"
#include "tests/simulator/picture_test_support.h"

namespace {

class PictureDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        savedSimPath = gSimPath;
        gSimPath = sim.Path();
        frame = new wxFrame(nullptr, wxID_ANY, "main", wxDefaultPosition, wxSize(800, 600));
        frame->Show();
    }
    void TearDown() override {
        frame->Destroy();
        wxTheApp->ProcessIdle();
        gSimPath = savedSimPath;
    }
    std::string Face(const std::string& name, uint8_t level) {
        const Bytes file = Tga(2, 24, 1, 1, 0, Bytes(3, level));
        sim.Write("Environments/Sky/" + name, std::string(file.begin(), file.end()));
        return "Environments\\Sky\\" + name;
    }
    TempFolder sim;
    std::string savedSimPath;
    wxFrame* frame = nullptr;
};

}  // namespace

TEST_F(PictureDialogs, TextureViewerVerdictAndAlpha) {
    // 16 x 16 at 32 bits: blue 200, green 100, red 50, alpha 128 everywhere.
    Bytes pixels;
    for (int i = 0; i < 256; ++i) pixels.insert(pixels.end(), {200, 100, 50, 128});
    const Bytes file = Tga(2, 32, 16, 16, 8, pixels);
    ASSERT_TRUE(LoadPictureFile(sim.Write("t.tga", std::string(file.begin(), file.end()))));
    {
        frmViewTexture viewer(frame);
        EXPECT_EQ(viewer.GetTitle(), "View Texture...");
        EXPECT_EQ(viewer.WidthLabel()->GetLabel(), "16");
        EXPECT_EQ(viewer.HeightLabel()->GetLabel(), "16");
        EXPECT_EQ(viewer.SizeInfoLabel()->GetLabel(), "Valid");
        EXPECT_EQ(viewer.SizeInfoLabel()->GetForegroundColour(), wxColour(0, 255, 0));
        EXPECT_EQ(viewer.SizeInfoLabel()->GetBackgroundColour(), *wxBLACK);
        EXPECT_EQ(viewer.ShowAlphaBox()->GetLabel(), "Show with Alpha");
        EXPECT_GE(viewer.PictureBox()->GetClientSize().x, 16);
        EXPECT_FALSE(viewer.HorizontalBar() || viewer.VerticalBar()) << "a picture that fits does not scroll";
        viewer.ShowAlphaBox()->SetValue(true);
        viewer.chkShowAlpha_Click();
        EXPECT_EQ(gLoadedPicture.PixelAt(3, 3)[0], 100);
        EXPECT_EQ(viewer.Shown().GetWidth(), 16);
        viewer.ShowAlphaBox()->SetValue(false);
        viewer.chkShowAlpha_Click();
        EXPECT_EQ(gLoadedPicture.PixelAt(3, 3)[0], 200);
    }
    // Escape in the picture box and a double-click on it close the viewer,
    // which then gives the picture's memory back.
    for (const bool escape : {true, false}) {
        ASSERT_TRUE(gLoadedPicture.Create(100, 128));
        WhenModal<frmViewTexture>([escape](frmViewTexture& viewer) {
            EXPECT_EQ(viewer.SizeInfoLabel()->GetLabel(), "Invalid Dimensions");
            EXPECT_EQ(viewer.SizeInfoLabel()->GetForegroundColour(), wxColour(255, 0, 0));
            if (escape) {
                wxKeyEvent key(wxEVT_CHAR_HOOK);
                key.m_keyCode = WXK_ESCAPE;
                key.SetEventObject(viewer.PictureBox());
                viewer.PictureBox()->GetEventHandler()->ProcessEvent(key);
            } else {
                viewer.pbMain_DblClick();
            }
            if (viewer.IsModal()) {
                ADD_FAILURE() << "still open, escape " << escape;
                viewer.EndModal(wxID_CANCEL);
            }
        });
        ShowViewTexture(frame);
        EXPECT_TRUE(gLoadedPicture.Empty());
        EXPECT_TRUE(gPictureBytes.empty());
    }
}

TEST_F(PictureDialogs, ALargePictureScrollsToItsEveryPixel) {
    // Larger than the window on both axes; the bottom-right pixel stands out.
    const int side = 2048;
    ASSERT_TRUE(gLoadedPicture.Create(side, side));
    uint8_t* corner = gLoadedPicture.PixelAt(side - 1, 0);  // bottom-up: row 0 is the bottom
    corner[0] = 10, corner[1] = 200, corner[2] = 30;
    frmViewTexture viewer(frame);
    ASSERT_EQ(viewer.Shown().GetRed(side - 1, side - 1), 30);
    wxScrollBar* across = viewer.HorizontalBar();
    wxScrollBar* down = viewer.VerticalBar();
    ASSERT_TRUE(across && down) << "scroll bars beside and below the picture";
    const wxSize client = viewer.PictureBox()->GetClientSize();
    ASSERT_LT(client.x, side);
    ASSERT_LT(client.y, side);
    EXPECT_EQ(down->GetRange(), side);
    EXPECT_EQ(down->GetThumbSize(), client.y);
    EXPECT_EQ(viewer.ViewOrigin(), wxPoint(0, 0));

    // The picture as the box paints it, at its bottom-right corner.
    auto cornerShown = [&] {
        wxBitmap bitmap(client.x, client.y, 24);
        {
            wxMemoryDC dc(bitmap);
            viewer.RenderPicture(dc, wxRect(client));
        }
        const wxImage image = bitmap.ConvertToImage();
        return wxColour(image.GetRed(client.x - 1, client.y - 1), image.GetGreen(client.x - 1, client.y - 1),
                        image.GetBlue(client.x - 1, client.y - 1));
    };
    EXPECT_NE(cornerShown(), wxColour(30, 200, 10));
    // End on the picture brings its last pixel into the box's corner, and the bars follow.
    wxKeyEvent end(wxEVT_KEY_DOWN);
    end.m_keyCode = WXK_END;
    viewer.PictureBox()->GetEventHandler()->ProcessEvent(end);
    EXPECT_EQ(viewer.ViewOrigin(), wxPoint(side - client.x, side - client.y));
    EXPECT_EQ(cornerShown(), wxColour(30, 200, 10));
    EXPECT_EQ(across->GetThumbPosition(), side - client.x);
    EXPECT_EQ(down->GetThumbPosition(), side - client.y);
    // Dragging a bar scrolls that axis; the view never runs past the picture.
    wxScrollEvent drag(wxEVT_SCROLL_THUMBTRACK, down->GetId(), 100, wxVERTICAL);
    drag.SetEventObject(down);
    down->GetEventHandler()->ProcessEvent(drag);
    EXPECT_EQ(viewer.ViewOrigin(), wxPoint(side - client.x, 100));
    viewer.ScrollPicture(-5, 1 << 30);
    EXPECT_EQ(viewer.ViewOrigin(), wxPoint(0, side - client.y));
    // The wheel scrolls down, and across with Shift.
    viewer.ScrollPicture(0, 0);
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelRotation = -120;
    wheel.m_wheelDelta = 120;
    wheel.m_linesPerAction = 3;
    viewer.PictureBox()->GetEventHandler()->ProcessEvent(wheel);
    EXPECT_EQ(viewer.ViewOrigin(), wxPoint(0, 48));
    wheel.SetShiftDown(true);
    viewer.PictureBox()->GetEventHandler()->ProcessEvent(wheel);
    EXPECT_EQ(viewer.ViewOrigin(), wxPoint(48, 48));
}

TEST_F(PictureDialogs, SunPlacementClicksKeysOkAndCancel) {
    EnvironmentValues values;
    values.txtRegionSkybox = {Face("n.tga", 10), Face("s.tga", 20), Face("e.tga", 30), Face("w.tga", 40), "", ""};
    {
        frmVXEnvPlaceSun window(frame, values);
        EXPECT_EQ(window.GetTitle(), "Place Sun");
        EXPECT_EQ(window.SunPosLabel(0)->GetLabel(), "48.0");
        EXPECT_EQ(window.SunPosLabel(1)->GetLabel(), "135.0");
        EXPECT_EQ(window.Viewport()->GetClientSize(), wxSize(512, 384));
        window.Show();
        window.BuildPanorama();
        ASSERT_TRUE(window.Built());
        EXPECT_EQ(window.Panorama().PixelAt(256 + 128, 767 - 384)[0], 10);  // North's cell
        EXPECT_EQ(window.PictureBox()->GetSize(), wxSize(512, 384));

        window.pbMain_MouseMove(false, false, 320, 192);
        EXPECT_EQ(window.SunPosLabel(2)->GetLabel(), "0.0");
        EXPECT_EQ(window.SunPosLabel(3)->GetLabel(), "90.0");
        EXPECT_EQ(window.SunPosLabel(1)->GetLabel(), "135.0");  // moving does not place the sun
        window.pbMain_LeftDown(192, 0);
        EXPECT_EQ(window.SunPosLabel(0)->GetLabel(), "90.0");
        EXPECT_EQ(window.SunPosLabel(1)->GetLabel(), "0.0");

        window.Form_KeyPress('+');
        EXPECT_EQ(window.PictureBox()->GetSize(), wxSize(1024, 768));
        EXPECT_EQ(window.PictureBox()->GetPosition(), wxPoint(256 - 384, 192 - 128));  // the sun at (384, 128)
        window.pbMain_RightDown(100, 100);
        window.pbMain_MouseMove(false, true, 50, 50);  // dragged up and left: clamped at the top
        EXPECT_EQ(window.PictureBox()->GetPosition(), wxPoint(256 - 384 - 50, 0));

        window.btnCancel_Click();
        EXPECT_EQ(window.GetReturnCode(), wxID_CANCEL);
        EXPECT_EQ(values.hsSunPosition, (std::array<int32_t, 2>{18240, 25200}));
    }
    {
        frmVXEnvPlaceSun window(frame, values);
        window.BuildPanorama();
        window.pbMain_LeftDown(320, 192);  // altitude 0, heading 90
        window.btnOkay_Click();
        EXPECT_EQ(window.GetReturnCode(), wxID_OK);
        EXPECT_EQ(values.hsSunPosition, (std::array<int32_t, 2>{14400, 21600}));
    }
}

// Closes the window once its panorama is built, looking every few
// milliseconds (a timer also fires inside the build's own event loop, where a
// handler that posted itself again would never let the build go on).
class CloseWhenBuilt : public wxTimer {
public:
    explicit CloseWhenBuilt(frmVXEnvPlaceSun& window) : window_(window) { Start(10); }
    void Notify() override {
        if (!window_.Built()) return;
        Stop();
        EXPECT_TRUE(window_.IsModal());
        EXPECT_TRUE(window_.OkayButton()->IsEnabled());
        window_.Close();  // now the close box cancels
    }

private:
    frmVXEnvPlaceSun& window_;
};

TEST_F(PictureDialogs, ThePanoramaIsBuiltBeforeTheWindowCanClose) {
    EnvironmentValues values;
    values.txtRegionSkybox = {Face("n.tga", 10), "", "", "", Face("u.tga", 50), Face("d.tga", 60)};
    bool triedDuringBuild = false;
    std::unique_ptr<CloseWhenBuilt> closer;
    WhenModal<frmVXEnvPlaceSun>([&](frmVXEnvPlaceSun& window) {
        // While the panorama is built the close box, Cancel and Escape do nothing.
        auto tryToClose = [&window, &triedDuringBuild] {
            triedDuringBuild = window.Building();
            window.Close();
            window.btnCancel_Click();
            EXPECT_TRUE(window.IsModal());
        };
        if (window.Building()) {
            // The window's own start-up delay began the build before this ran
            // (a loaded machine): this already runs inside the build.
            tryToClose();
        } else {
            wxTheApp->CallAfter(tryToClose);
            window.BuildPanorama();
            EXPECT_TRUE(window.Built());
        }
        closer = std::make_unique<CloseWhenBuilt>(window);
    });
    EXPECT_FALSE(ShowPlaceSun(frame, values));
    EXPECT_TRUE(triedDuringBuild);
}

TEST_F(PictureDialogs, ImagesAndTheClipboard) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(3, 2));
    dib.RandomiseBits(false, 11);
    const wxImage image = DibToImage(dib);
    // The top screen row is the last memory row; wxImage holds red first.
    EXPECT_EQ(image.GetRed(2, 0), dib.PixelAt(2, 1)[2]);
    EXPECT_EQ(image.GetGreen(0, 1), dib.PixelAt(0, 0)[1]);
    cDIBSection back;
    ASSERT_TRUE(ImageToDib(image, back));
    EXPECT_EQ(std::memcmp(back.DIBSectionBitsPtr(), dib.DIBSectionBitsPtr(), dib.BitsSize()), 0);

    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    EXPECT_FALSE(CopyToClipboard(dib, true));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
}
