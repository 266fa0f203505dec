// The program's window under a window manager: showing it and opening a track
// prints nothing on the terminal. Run by with_window_manager.sh, which starts
// a window manager on the test display first; a window manager makes GTK show
// the window in two steps while it learns the size of the frame's borders.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include "platform/wx/event_pump.h"
#include "tests/app/mainwin/program_window_test.h"

namespace {

class WindowManagerStart : public ProgramWindowTest {};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(WindowManagerStart, ShowingTheWindowAndOpeningATrackPrintsNothing) {
    char path[] = "/tmp/gw-start-stderr.XXXXXX";
    const int file = mkstemp(path);
    ASSERT_GE(file, 0);
    fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    ASSERT_GE(saved, 0);
    ASSERT_GE(dup2(file, STDERR_FILENO), 0);

    // The window counts as shown only when the toolkit maps it, which under a
    // window manager follows the manager's answer about the borders.
    bool mapped = false;
    auto* f = new frmMain();
    frame = f;
    f->Bind(wxEVT_SHOW, [&mapped](wxShowEvent& e) {
        if (e.IsShown()) mapped = true;
        e.Skip();
    });
    wxTheApp->SetTopWindow(f);
    f->Show();
    f->StartUp(std::string(GW_SAMPLES_DIR) + "circuit.vxtrack");
    RunEventsUntil([&mapped] { return mapped; }, 20000);
    Settle(20);
    const bool hasMenus = f->GetMenuBar() != nullptr && f->GetMenuBar()->GetMenuCount() == 8;
    const wxString title = f->GetTitle();
    CloseAndSettle(frame);

    fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    const std::string printed = ReadAll(path);
    unlink(path);
    EXPECT_TRUE(mapped) << "the window was never mapped";
    EXPECT_TRUE(hasMenus) << "the menu bar is in place once the window is shown";
    EXPECT_EQ(title, "Gantrywright - circuit.vxtrack");
    EXPECT_EQ(printed, "");
}
