// Runs under a display (Xvfb in make test): the dialogs are built but not shown.
#include "platform/wx/wx_prompts.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/html/htmlwin.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/file_system.h"
#include "platform/scripted_prompts.h"
#include "platform/help_links.h"
#include "platform/wx/help_viewer.h"
#include "platform/wx/toolkit_messages.h"
#include "tests/platform/temp_folder.h"

namespace {

FileDialogRequest OpenRequest() {
    FileDialogRequest request;
    request.Title = "Open Vortaxis Track or Element File...";
    request.Filter =
        "Vortaxis Files|*.vxtrack;*.vxelem|Vortaxis Tracks (*.vxtrack)|*.vxtrack|Vortaxis Elements (*.vxelem)|*.vxelem";
    request.FilterIndex = 2;
    request.InitialDir = "/tmp/";
    request.DefaultExt = "vxtrack";
    request.FileMustExist = true;
    return request;
}

TEST(WxPromptsTest, FileDialogGetsCaseInsensitiveFiltersAndTheChosenFilter) {
    std::unique_ptr<wxFileDialog> dialog = CreateFileDialog(OpenRequest());
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->GetWildcard().Contains("*.vxtrack;*.[vV][xX][tT][rR][aA][cC][kK]"));
    EXPECT_EQ(dialog->GetFilterIndex(), 1);
    EXPECT_TRUE(dialog->HasFlag(wxFD_OPEN));
    EXPECT_TRUE(dialog->HasFlag(wxFD_FILE_MUST_EXIST));
    EXPECT_EQ(dialog->GetMessage(), "Open Vortaxis Track or Element File...");
}

TEST(WxPromptsTest, ANameWithItsFolderStartsTheSaveDialogThere) {
    FileDialogRequest request;
    request.Save = true;
    request.Filter = "Vortaxis Tracks (*.vxtrack)|*.vxtrack";
    request.InitialDir = "/nowhere/";
    request.FileName = "/tmp/loop.vxtrack";
    request.FilterIndex = 7;  // out of range: the first filter stays selected
    std::unique_ptr<wxFileDialog> dialog = CreateFileDialog(request);
    EXPECT_TRUE(dialog->HasFlag(wxFD_SAVE));
    EXPECT_FALSE(dialog->HasFlag(wxFD_OVERWRITE_PROMPT));  // asked by WxPrompts under the final name
    EXPECT_EQ(dialog->GetFilterIndex(), 0);
    EXPECT_EQ(dialog->GetFilename(), "loop.vxtrack");
}

TEST(WxPromptsTest, TheHelpViewerRendersThePageAndFollowsItsLinks) {
    TempFolder help;
    const std::string dir = help.Path();
    fsys::WriteFileAtomically(dir + "index.htm", std::string_view("<html><head><title>Contents</title></head>"
                                                                   "<body><b>Gr\xC3\xB6\xC3\x9F" "e</b> "
                                                                   "<a href=\"m_settings.htm#top\">x</a></body></html>"));
    fsys::WriteFileAtomically(dir + "m_settings.htm",
                              std::string_view("<html><head><title>Gantrywright Help - Settings</title></head>"
                                               "<body><a name=\"top\">y</a></body></html>"));
    ScriptedPrompts script;
    ScopedPrompts scope(script);
    {
        frmHelpViewer viewer(nullptr, dir + "index.htm");
        EXPECT_EQ(viewer.GetTitle(), "Gantrywright Help - Contents");
        // Rendered, not shown as its source, whatever the system knows of ".htm".
        EXPECT_EQ(viewer.Html()->ToText(), wxString::FromUTF8("Gr\xC3\xB6\xC3\x9F" "e x"));
        wxHtmlLinkInfo link("m_settings.htm#top");
        wxHtmlLinkEvent click(viewer.Html()->GetId(), link);
        click.SetEventObject(viewer.Html());
        viewer.Html()->GetEventHandler()->ProcessEvent(click);
        EXPECT_EQ(viewer.PagePath(), dir + "m_settings.htm");
        EXPECT_EQ(viewer.GetTitle(), "Gantrywright Help - Settings") << "the page's title names the help once";
        viewer.FollowLink("gone.htm");
        ASSERT_EQ(script.Messages.size(), 1u);
        EXPECT_EQ(script.Messages[0].Text, "Help Topic Not Found!");
        // A page larger than the viewer reads: the message says so, and the page shown stays.
        fsys::WriteFileAtomically(dir + "huge.htm", std::string_view("<html></html>"));
        std::filesystem::resize_file(dir + "huge.htm", fsys::kHelpPage.MostBytes + 1);
        viewer.FollowLink("huge.htm");
        ASSERT_EQ(script.Messages.size(), 2u);
        EXPECT_EQ(script.Messages[1].Text, "Could Not Open the Help Page!\r\n" + dir + "huge.htm\r\n" +
                                               fsys::ReadFailureReason(EFBIG, fsys::kHelpPage));
        EXPECT_EQ(viewer.PagePath(), dir + "m_settings.htm");
        script.Messages.pop_back();
        EXPECT_TRUE(viewer.GoBack());
        EXPECT_EQ(viewer.PagePath(), dir + "index.htm");
        EXPECT_FALSE(viewer.GoBack());
        // Only web and mail links leave the pages; a "://" in a page's query keeps it a page.
        viewer.FollowLink(wxString::FromUTF8("FILE://" + dir + "m_settings.htm"));
        EXPECT_EQ(viewer.PagePath(), dir + "index.htm");
        viewer.FollowLink("m_settings.htm?u=http://#top");
        EXPECT_EQ(viewer.PagePath(), dir + "m_settings.htm");
        EXPECT_TRUE(script.ShellOpened.empty());
        ASSERT_EQ(script.Messages.size(), 2u);
        EXPECT_EQ(script.Messages[1].Text, kRefusedLinkText + ("FILE://" + dir + "m_settings.htm."));
    }
    EXPECT_EQ(frmHelpViewer(nullptr, dir + "none.htm").PagePath(), "");
}

// Every message the toolkit logs while it is in scope (its error boxes come from these).
class CapturedLog : public wxLog {
public:
    CapturedLog() : old_(wxLog::SetActiveTarget(this)) {}
    ~CapturedLog() override { wxLog::SetActiveTarget(old_); }
    std::vector<wxString> Messages;

protected:
    void DoLogTextAtLevel(wxLogLevel, const wxString& text) override { Messages.push_back(text); }

private:
    wxLog* old_;
};

TEST(WxPromptsTest, PagesGoToXdgOpenOnlyWhereTheDesktopHasAnOpener) {
    std::vector<std::vector<std::string>> started;
    bool opener = false, starts = true;
    WxPrompts prompts([&] { return opener; },
                      [&](const std::vector<std::string>& command) {
                          started.push_back(command);
                          return starts;
                      });
    CapturedLog log;
    EXPECT_FALSE(prompts.ShellOpen("/usr/share/gantrywright/gtwrhelp/index.htm"));
    EXPECT_FALSE(prompts.ShellOpen("https://example.org/forum"));
    EXPECT_TRUE(started.empty());

    opener = true;
    EXPECT_TRUE(prompts.ShellOpen("https://example.org/forum"));
    EXPECT_TRUE(prompts.ShellOpen("www.example.org"));
    EXPECT_TRUE(prompts.ShellOpen("/usr/share/gantrywright/gtwrhelp/index.htm"));
    EXPECT_FALSE(prompts.ShellOpen("--help"));  // no option for xdg-open
    EXPECT_FALSE(prompts.ShellOpen(""));
    starts = false;
    EXPECT_FALSE(prompts.ShellOpen("https://example.org/forum"));
    EXPECT_EQ(started, (std::vector<std::vector<std::string>>{
                           {"xdg-open", "https://example.org/forum"},
                           {"xdg-open", "http://www.example.org"},
                           {"xdg-open", "/usr/share/gantrywright/gtwrhelp/index.htm"},
                           {"xdg-open", "https://example.org/forum"}}));
    EXPECT_TRUE(log.Messages.empty());
}

TEST(WxPromptsTest, WithoutXdgOpenNothingIsStartedAndTheToolkitSaysNothing) {
    TempFolder empty;
    const std::string dir = empty.Path();
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", dir.c_str(), 1);
    {
        WxPrompts prompts;  // the desktop as it is: no xdg-open on the PATH
        CapturedLog log;
        EXPECT_FALSE(prompts.ShellOpen("https://example.org/forum"));
        EXPECT_FALSE(prompts.ShellOpen(dir + "index.htm"));
        wxLog::FlushActive();
        EXPECT_TRUE(log.Messages.empty());
    }
    ::setenv("PATH", oldPath.c_str(), 1);
}

// A failed assertion of the toolkit is written on the terminal and the
// program goes on: no box whose Stop would end it.
TEST(WxPromptsTest, ToolkitAssertionsGoToTheTerminal) {
    const wxAssertHandler_t before = wxSetAssertHandler(ToolkitAssertionToTerminal);
    testing::internal::CaptureStderr();
    const wxImage none;
    const int width = none.GetWidth();  // of no picture: the toolkit asserts, and returns
    const std::string said = testing::internal::GetCapturedStderr();
    wxSetAssertHandler(before);
    EXPECT_EQ(width, 0);
    EXPECT_NE(said.find("Toolkit assertion"), std::string::npos) << said;
    EXPECT_NE(said.find("invalid image"), std::string::npos) << said;
}

// The message box's text without the invisible places to wrap.
wxString Visible(wxString text) {
    text.Replace(wxString(wxUniChar(0x200B)), "");
    return text;
}

TEST(WxPromptsTest, LongMessagesWrapToFitTheScreen) {
    const std::string name(300, 'A');
    const std::string text = "Unable to save file!\n/home/me/Vortaxis/Environments/" + name + ".env";
    std::unique_ptr<wxDialog> box = CreateMessageDialog(text, "Error!", MsgButtons::OK, MsgIcon::Exclamation);
    auto* message = dynamic_cast<wxMessageDialog*>(box.get());
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(Visible(message->GetMessage()), wxString(text));
    int run = 0, longest = 0;
    for (wxUniChar c : message->GetMessage()) {
        run = (c == '\n' || c == '/' || c == wxUniChar(0x200B)) ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    EXPECT_LE(longest, 40);

    // Too many lines for one screen: a box that scrolls them, its text exact.
    std::string many;
    for (int i = 0; i < 200; ++i) many += "Could not write /home/me/.local/share/applications/entry" + std::to_string(i) + "\n";
    box = CreateMessageDialog(many, "Error!", MsgButtons::YesNo, MsgIcon::Critical);
    ASSERT_EQ(dynamic_cast<wxMessageDialog*>(box.get()), nullptr);
    auto* shown = dynamic_cast<wxTextCtrl*>(box->FindWindow("messageText"));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetValue(), wxString(many));
    EXPECT_LE(box->GetSize().x, 1024);
    EXPECT_LE(box->GetSize().y, 768);
    EXPECT_NE(box->FindWindow(wxID_YES), nullptr);
    EXPECT_NE(box->FindWindow(wxID_NO), nullptr);
}

// A question whose Yes replaces a file has No as its default button, in the
// desktop's box and in the scrolling one; the silent prompts answer No too.
TEST(WxPromptsTest, AReplaceQuestionDefaultsToNo) {
    std::unique_ptr<wxDialog> box = CreateMessageDialog("x already exists.", "Save As", MsgButtons::YesNoNoDefault,
                                                        MsgIcon::Exclamation);
    auto* message = dynamic_cast<wxMessageDialog*>(box.get());
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->GetMessageDialogStyle() & wxNO_DEFAULT);
    EXPECT_TRUE(message->GetMessageDialogStyle() & wxYES_NO);

    std::string many;
    for (int i = 0; i < 200; ++i) many += "line " + std::to_string(i) + "\n";
    box = CreateMessageDialog(many, "Save As", MsgButtons::YesNoNoDefault, MsgIcon::Exclamation);
    auto* no = dynamic_cast<wxButton*>(box->FindWindow(wxID_NO));
    ASSERT_NE(no, nullptr);
    EXPECT_EQ(box->GetDefaultItem(), no);
    EXPECT_EQ(box->GetEscapeId(), wxID_NO);

    SetPrompts(nullptr);
    EXPECT_EQ(MsgBox("x", "Save As", MsgButtons::YesNoNoDefault), MsgResult::No);
}

TEST(WxPromptsTest, TextsAndPathsConvert) {
    EXPECT_EQ(ToWxText("line one\r\nline two"), "line one\nline two");
    EXPECT_EQ(ToWxText("gr\xC3\xBC\xC3\x9F" "e"), wxString::FromUTF8("gr\xC3\xBC\xC3\x9F" "e"));
    EXPECT_EQ(ToWxText("Caf\xE9"), wxString(L"Caf\u00E9"));  // single-byte text of the simulator's files
    const std::string path = "/tmp/B\xC3\xA4hn/loop.vxtrack";
    EXPECT_EQ(FromWxPath(ToWxPath(path)), path);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "wxWidgets could not start (no display?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
