// Runs under a display (Xvfb in make test): the dialogs are built but not shown.
#include "platform/wx/wx_prompts.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/html/htmlwin.h>
#include <wx/init.h>

#include <filesystem>

#include "platform/file_system.h"
#include "platform/wx/help_viewer.h"

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

TEST(WxPromptsTest, TheHelpViewerShowsThePageAndFollowsItsLinks) {
    const std::string dir = "/tmp/gw-help-viewer-" + std::to_string(::getpid()) + "/";
    ASSERT_TRUE(fsys::CreateFolders(dir));
    fsys::WriteFileAtomically(dir + "index.htm", std::string_view("<html><head><title>Contents</title></head>"
                                                                   "<body><a href=\"m_settings.htm\">x</a></body></html>"));
    fsys::WriteFileAtomically(dir + "m_settings.htm",
                              std::string_view("<html><head><title>Settings</title></head><body>y</body></html>"));
    {
        frmHelpViewer viewer(nullptr, dir + "index.htm");
        EXPECT_EQ(viewer.GetTitle(), "Gantrywright Help - Contents");
        wxHtmlLinkInfo link("m_settings.htm");
        wxHtmlLinkEvent click(viewer.Html()->GetId(), link);
        click.SetEventObject(viewer.Html());
        viewer.Html()->GetEventHandler()->ProcessEvent(click);
        EXPECT_EQ(viewer.GetTitle(), "Gantrywright Help - Settings") << "a link to the next page";
    }
    std::filesystem::remove_all(dir);
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
