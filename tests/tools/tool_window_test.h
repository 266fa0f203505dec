#pragma once
// Shared fixture of the tools' window tests: the tool tests' fresh state with
// an owner window shown on the test display and destroyed after the test;
// and the check of the help page a dialog's Help button opened.
// Header only: the display-free tool suite must not pull in the toolkit.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>

#include "tests/app/dialogs/dialog_events.h"
#include "tests/tools/tool_test_support.h"

// The one page opened is the topic's help page of the build's data folder,
// and that page is there.
inline void ExpectHelpPage(const std::vector<std::string>& opened, const std::string& topic) {
    ASSERT_EQ(opened.size(), 1u) << topic;
    const std::string page = std::string(GW_TEST_DATA_DIR "gtwrhelp/") + topic + ".htm";
    EXPECT_EQ(std::filesystem::path(opened[0]), std::filesystem::path(page));
    EXPECT_TRUE(std::filesystem::exists(page)) << page;
}

// Escape pressed while `focus` has the keyboard: the key's hook runs up to its dialog.
inline void PressEscape(wxWindow& focus) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    key.SetEventObject(&focus);
    focus.GetEventHandler()->ProcessEvent(key);
}

class ToolWindowTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        frame = new wxFrame(nullptr, wxID_ANY, "main", wxDefaultPosition, wxSize(800, 600));
        frame->Show();
    }
    void TearDown() override {
        frame->Destroy();
        wxTheApp->ProcessIdle();
        ToolTest::TearDown();
    }
    // A click on the Help button opens the topic's page.
    void ExpectHelpOpens(wxButton* help, const std::string& topic) {
        ASSERT_NE(help, nullptr) << topic;
        prompts.ShellOpened.clear();
        Press(*help);
        ExpectHelpPage(prompts.ShellOpened, topic);
    }

    wxFrame* frame = nullptr;
};
