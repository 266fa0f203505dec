#pragma once
// Shared fixture of the tools' program suites: the real main window started on
// a copy of a sample with every tool dialog registered, menu commands sent as
// the user picks them, Save As to a file of the test's folder; and the small
// comparisons the suites share. The dialogs are driven as in the window tests.
// Header only: the display-free tool suite must not pull in the toolkit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/menu.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "tests/app/dialogs/dialog_events.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "trackdoc/math3d.h"

inline bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
inline bool SameBits(const Vector3& a, const Vector3& b) {
    return SameBits(a.X, b.X) && SameBits(a.Y, b.Y) && SameBits(a.Z, b.Z);
}

// How often the busy window showed this stage.
inline int Count(const std::vector<std::string>& stages, const std::string& stage) {
    return static_cast<int>(std::count(stages.begin(), stages.end(), stage));
}

class ToolProgramTest : public ProgramWindowTest {
protected:
    // A copy of the sample in the test's folder.
    std::string CopySample(const std::string& sample) {
        const std::string path = temp / sample;
        std::filesystem::copy_file(SamplesFolder() + sample, path, std::filesystem::copy_options::overwrite_existing);
        return path;
    }
    // The program started on a copy of the sample, every tool dialog registered.
    frmMain& Start(const std::string& sample) {
        const std::string path = CopySample(sample);
        RegisterToolDialogs();
        return StartProgram(path);
    }
    // The menu entry picked; it must be there and enabled.
    void Menu(const std::string& name) {
        wxMenuItem* item = frame->MenuItem(name);
        ASSERT_NE(item, nullptr) << name;
        ASSERT_TRUE(item->IsEnabled()) << name;
        wxCommandEvent e(wxEVT_MENU, item->GetId());
        e.SetEventObject(frame.get());
        frame->GetEventHandler()->ProcessEvent(e);
    }
    // Save As to a new file in the test's folder, through the program's command.
    std::string SaveAs(const std::string& name) {
        prompts.FileDialogAnswers.push_back({true, temp / name});
        EXPECT_TRUE(frame->mnuSaveAs_Click());
        return temp / name;
    }
    std::string Title() { return frame->GetTitle().ToStdString(); }

    EnvScope dataDir{"GANTRYWRIGHT_DATA_DIR", DataFolder()};
};
