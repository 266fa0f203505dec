#include "core/file_dialogs.h"

#include <gtest/gtest.h>

#include "platform/scripted_prompts.h"

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

}  // namespace
