// The busy window under a real display: marker, stage text, and the close
// request that only the pipeline may grant.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "model/build_pipeline.h"
#include "model/busy_window.h"
#include "model/wx/frm_working.h"

namespace {

class FrmWorkingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "model_wx_tests";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv));
        ASSERT_TRUE(wxTheApp->CallOnInit());
        owner = new wxFrame(nullptr, wxID_ANY, "owner");
        wxTheApp->SetTopWindow(owner);
        owner->Show();
    }
    static void TearDownTestSuite() {
        owner->Destroy();
        wxTheApp->ProcessIdle();
        wxEntryCleanup();
    }
    void TearDown() override {
        WxBusyWindow().ForceUnload();
        wxTheApp->ProcessIdle();
        SetBusyWindow(nullptr);
    }
    static wxFrame* owner;
};

wxFrame* FrmWorkingTest::owner = nullptr;

}  // namespace

TEST_F(FrmWorkingTest, FreshWindowShowsTheMarkerAtZeroAndMovesItByTwo) {
    BuildProgress& busy = WxBusyWindow();
    busy.Show();
    frmWorking* window = CurrentWorkingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetTitle(), "Working...");
    EXPECT_TRUE(window->IsShown());
    EXPECT_EQ(window->MarkerPosition(), 0);
    busy.UpdateMarker();
    EXPECT_EQ(window->MarkerPosition(), 2);
    busy.UpdateInfo("Creating track model");
    EXPECT_EQ(window->InfoText(), "Creating track model");
}

TEST_F(FrmWorkingTest, UserCannotCloseItButTheDriverCan) {
    BuildProgress& busy = WxBusyWindow();
    busy.Show();
    frmWorking* window = CurrentWorkingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->Close(false));  // a close request from the system menu is refused
    wxTheApp->ProcessIdle();
    EXPECT_EQ(CurrentWorkingWindow(), window);
    EXPECT_TRUE(window->IsShown());

    busy.ForceUnload();
    EXPECT_EQ(CurrentWorkingWindow(), nullptr);
    wxTheApp->ProcessIdle();

    // The next use creates it afresh.
    busy.UpdateMarker();
    ASSERT_NE(CurrentWorkingWindow(), nullptr);
    EXPECT_EQ(CurrentWorkingWindow()->MarkerPosition(), 2);
}

TEST_F(FrmWorkingTest, PipelineClosesItAfterABuild) {
    SetBusyWindow(&WxBusyWindow());
    RemodelChangedParts();  // no flags: shows the window, closes it, redraws
    wxTheApp->ProcessIdle();
    EXPECT_EQ(CurrentWorkingWindow(), nullptr);
}
