#pragma once
// The program's main window inside a test process: the toolkit is started once
// per suite, each test starts the window as the program does, and the window
// is closed again after the test.

#include <string>

#include <wx/weakref.h>

#include "app/frm_main.h"
#include "tests/app/mainwin/mainwin_test_support.h"

// Lets the toolkit deliver pending events for a few rounds, each bounded.
void Settle(int rounds = 10);

// Closes the window and delivers events until it is gone (a bounded number of rounds).
void CloseAndSettle(wxWeakRef<frmMain>& frame);

class ProgramWindowTest : public MainWindowTest {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void TearDown() override;

    // Shows a new main window and runs its start-up with this command line.
    frmMain& StartProgram(const std::string& commandLine);

    wxWeakRef<frmMain> frame;
};
