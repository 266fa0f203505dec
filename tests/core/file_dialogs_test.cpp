#include "core/file_dialogs.h"

#include <gtest/gtest.h>

#include "platform/scripted_prompts.h"
#include "tests/platform/temp_folder.h"

namespace {

const std::string kOpenFilter =
    "Vortaxis Files|*.vxtrack;*.vxelem|Vortaxis Tracks (*.vxtrack)|*.vxtrack|Vortaxis Elements (*.vxelem)|*.vxelem";

class FileDialogsTest : public ::testing::Test {
protected:
    ScriptedPrompts prompts;
    ScopedPrompts scope{prompts};
};

TEST_F(FileDialogsTest, OpenDialogPassesItsArgumentsAndReturnsTheChoice) {
    prompts.FileDialogAnswers = {FileDialogAnswer{true, "/sim/Tracks/Big Loop.vxtrack", 2, false}};
    std::string fileName, fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1;
    int32_t flags = kOfnEnableHook | kOfnEnableTemplate | 0x800;
    const std::string initialDir = "/sim/";
    ASSERT_TRUE(ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, kOpenFilter, filterIndex, initialDir,
                                   "Open Vortaxis Track or Element File...", "vxtrack", nullptr, flags));
    EXPECT_EQ(fileName, "/sim/Tracks/Big Loop.vxtrack");
    EXPECT_EQ(fileTitle, "Big Loop.vxtrack");
    EXPECT_EQ(filterIndex, 2);
    EXPECT_FALSE(readOnly);
    EXPECT_EQ(flags, 0x800 | kOfnFileMustExist | kOfnHideReadOnly);  // hook and template bits removed
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    const FileDialogRequest& request = prompts.FileDialogs[0];
    EXPECT_FALSE(request.Save);
    EXPECT_EQ(request.Title, "Open Vortaxis Track or Element File...");
    EXPECT_EQ(request.Filter, kOpenFilter);
    EXPECT_EQ(request.FilterIndex, 1);
    EXPECT_EQ(request.InitialDir, "/sim/");
    EXPECT_EQ(request.FileName, "");
    EXPECT_EQ(request.DefaultExt, "vxtrack");
    EXPECT_TRUE(request.FileMustExist);
    EXPECT_TRUE(request.HideReadOnly);
}

TEST_F(FileDialogsTest, OpenDialogReportsTheReadOnlyBox) {
    prompts.FileDialogAnswers = {FileDialogAnswer{true, "/a/b.ico", 0, true}};
    std::string fileName = "start", fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    ASSERT_TRUE(ShowOpenFileDialog(fileName, fileTitle, false, readOnly, false, "Icon Files (*.ico)|*.ico",
                                   filterIndex, "/a/", "Select Icon...", "ico", nullptr, flags));
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(flags, kOfnReadOnly);
    EXPECT_EQ(filterIndex, 1);  // the answer kept the filter
    EXPECT_EQ(prompts.FileDialogs[0].FileName, "start");
    EXPECT_FALSE(prompts.FileDialogs[0].HideReadOnly);
}

TEST_F(FileDialogsTest, CancelEmptiesBothNamesEvenWhenGiven) {
    std::string fileName = "/sim/Tracks/old.vxtrack", fileTitle = "old.vxtrack";
    bool readOnly = true;
    int32_t filterIndex = 1, flags = 0x800;
    std::string initialDir = "/sim/Tracks/";
    EXPECT_FALSE(ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, kOpenFilter, filterIndex, initialDir,
                                    "Open", "vxtrack", nullptr, flags));
    EXPECT_EQ(fileName, "");
    EXPECT_EQ(fileTitle, "");
    EXPECT_EQ(filterIndex, -1);
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(initialDir, "/sim/Tracks/");

    fileName = "/sim/Tracks/old.vxtrack";
    filterIndex = 1;
    flags = 0;
    EXPECT_FALSE(ShowSaveFileDialog(fileName, fileTitle, true, "Vortaxis Tracks (*.vxtrack)|*.vxtrack", filterIndex,
                                    initialDir, "Save Vortaxis Track File...", "vxtrack", nullptr, flags));
    EXPECT_EQ(fileName, "");
    EXPECT_EQ(fileTitle, "");
    EXPECT_EQ(filterIndex, 0);
    EXPECT_EQ(flags, 0);
}

TEST_F(FileDialogsTest, SaveDialogAsksToConfirmOverwritingAndHidesReadOnly) {
    prompts.FileDialogAnswers = {FileDialogAnswer{true, "/sim/Tracks/new.vxtrack", 0, false}};
    std::string fileName = "/sim/Tracks/old.vxtrack", fileTitle;
    int32_t filterIndex = 1, flags = 0;
    ASSERT_TRUE(ShowSaveFileDialog(fileName, fileTitle, true, "Vortaxis Tracks (*.vxtrack)|*.vxtrack", filterIndex,
                                   "/sim/", "Save Vortaxis Track File...", "vxtrack", nullptr, flags));
    EXPECT_EQ(fileName, "/sim/Tracks/new.vxtrack");
    EXPECT_EQ(fileTitle, "new.vxtrack");
    EXPECT_EQ(filterIndex, 1);
    EXPECT_EQ(flags, kOfnOverwritePrompt | kOfnHideReadOnly);
    const FileDialogRequest& request = prompts.FileDialogs[0];
    EXPECT_TRUE(request.Save);
    EXPECT_TRUE(request.OverwritePrompt);
    EXPECT_TRUE(request.HideReadOnly);
    EXPECT_EQ(request.FileName, "/sim/Tracks/old.vxtrack");
    EXPECT_EQ(request.DefaultExt, "vxtrack");
}

// The question is about the file the save writes: "v1.2" writes v1.2.vxtrack.
// No shows the dialog again on that name; only Yes gives it back.
TEST_F(FileDialogsTest, SaveDialogAsksAboutTheFileTheSaveWrites) {
    TempFolder folder;
    const std::string existing = folder.Write("v1.2.vxtrack", "mine");
    const std::string filter = "Vortaxis Tracks (*.vxtrack)|*.vxtrack";
    const std::string title = "Save Vortaxis Track File...";
    prompts.FileDialogAnswers = {{true, folder / "v1.2"}, {true, folder / "v1.2"}};
    prompts.MessageAnswers = {MsgResult::No, MsgResult::Yes};
    std::string fileName, fileTitle;
    int32_t filterIndex = 1, flags = 0;
    ASSERT_TRUE(ShowSaveFileDialog(fileName, fileTitle, true, filter, filterIndex, folder.Path(), title, "vxtrack",
                                   nullptr, flags));
    EXPECT_EQ(fileName, existing);
    EXPECT_EQ(fileTitle, "v1.2.vxtrack");
    ASSERT_EQ(prompts.Messages.size(), 2u);
    for (const ShownMessage& m : prompts.Messages) {
        EXPECT_EQ(m.Text, existing + " already exists.\r\nDo you want to replace it?");
        EXPECT_EQ(m.Title, title);
        EXPECT_EQ(m.Buttons, MsgButtons::YesNoNoDefault);
        EXPECT_EQ(m.Icon, MsgIcon::Exclamation);
    }
    ASSERT_EQ(prompts.FileDialogs.size(), 2u);
    EXPECT_EQ(prompts.FileDialogs[1].FileName, existing) << "back to the dialog on the name asked about";

    // No and then cancel; a new name, a folder in the way and no prompt asked for ask nothing.
    prompts.Messages.clear();
    prompts.FileDialogAnswers = {{true, folder / "v1.2"}, {false, ""}};
    prompts.MessageAnswers = {MsgResult::No};
    EXPECT_FALSE(ShowSaveFileDialog(fileName, fileTitle, true, filter, filterIndex, folder.Path(), title, "vxtrack",
                                    nullptr, flags));
    EXPECT_EQ(prompts.Messages.size(), 1u);
    folder.Write("box.vxtrack/inside");
    for (const std::string& answer : {folder / "v1.3", folder / "box"}) {
        prompts.FileDialogAnswers = {{true, answer}};
        ASSERT_TRUE(ShowSaveFileDialog(fileName, fileTitle, true, filter, filterIndex, folder.Path(), title,
                                       "vxtrack", nullptr, flags));
        EXPECT_EQ(fileName, answer + ".vxtrack");
    }
    prompts.FileDialogAnswers = {{true, folder / "v1.2"}};
    flags = 0;
    ASSERT_TRUE(ShowSaveFileDialog(fileName, fileTitle, false, filter, filterIndex, folder.Path(), title, "vxtrack",
                                   nullptr, flags));
    EXPECT_EQ(fileName, existing);
    EXPECT_EQ(prompts.Messages.size(), 1u);

    // A link is asked about even when it leads nowhere.
    std::filesystem::create_symlink("nowhere", folder / "dangling.vxtrack");
    EXPECT_TRUE(SaveReplacesFile(folder / "dangling.vxtrack"));
    EXPECT_FALSE(SaveReplacesFile(folder / "box.vxtrack"));
    EXPECT_FALSE(SaveReplacesFile(folder / "v1.3.vxtrack"));
}

}  // namespace
