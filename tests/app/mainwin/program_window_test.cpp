#include "tests/app/mainwin/program_window_test.h"

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include "app/gui_program.h"
#include "model/render/wx/gl_canvas.h"
#include "platform/wx/event_pump.h"

void Settle(int rounds) { SettleEvents(rounds); }

void CloseAndSettle(wxWeakRef<frmMain>& frame) {
    if (!frame) return;
    frame->Close(true);
    for (int i = 0; i < 50 && frame; ++i) DeliverReadyEvents();
}

void ProgramWindowTest::SetUpTestSuite() {
    SelectX11Backend();
    static int argc = 1;
    static char name[] = "gantrywright-window-tests";
    static char* argv[] = {name, nullptr};
    wxApp::SetInstance(new ProgramApp());
    ASSERT_TRUE(wxEntryStart(argc, argv));
    ASSERT_TRUE(wxTheApp->CallOnInit());
    wxInitAllImageHandlers();
}

void ProgramWindowTest::TearDownTestSuite() { wxEntryCleanup(); }

void ProgramWindowTest::TearDown() {
    CloseAndSettle(frame);
    EXPECT_FALSE(frame) << "the window is gone";
    MainWindowTest::TearDown();
}

frmMain& ProgramWindowTest::StartProgram(const std::string& commandLine) {
    auto* f = new frmMain();
    frame = f;
    wxTheApp->SetTopWindow(f);
    f->Show();
    f->StartUp(commandLine);
    Settle();
    return *f;
}
