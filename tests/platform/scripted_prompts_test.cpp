#include "platform/scripted_prompts.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptedPromptsTest, AnswersFromItsQueuesAndRecordsEverything) {
    ScriptedPrompts script;
    script.MessageAnswers = {MsgResult::No};
    script.FileDialogAnswers = {FileDialogAnswer{true, "/t/a.vxtrack", 2, true}, FileDialogAnswer{false, "", 0, false}};
    script.ShellOpenResults = {false};
    {
        ScopedPrompts scope(script);
        EXPECT_EQ(MsgBox("Save Changes?", "Unsaved Changes", MsgButtons::YesNoCancel, MsgIcon::Exclamation),
                  MsgResult::No);
        EXPECT_EQ(MsgBox("Next", "T", MsgButtons::YesNo), MsgResult::Yes);  // queue empty: the default button
        EXPECT_EQ(MsgBox("Note", "T"), MsgResult::OK);
        FileDialogRequest request;
        request.Title = "Open";
        request.FileName = "start";
        ASSERT_TRUE(CurrentPrompts().FileDialog(request));
        EXPECT_EQ(request.FileName, "/t/a.vxtrack");
        EXPECT_EQ(request.FilterIndex, 2);
        EXPECT_TRUE(request.ReadOnly);
        request.FileName = "again";
        EXPECT_FALSE(CurrentPrompts().FileDialog(request));
        EXPECT_EQ(request.FileName, "");
        EXPECT_FALSE(CurrentPrompts().FileDialog(request));  // nothing queued: cancelled
        EXPECT_FALSE(CurrentPrompts().ShellOpen("/x.htm"));
        EXPECT_TRUE(CurrentPrompts().ShellOpen("https://example.org/"));
    }
    EXPECT_NE(&CurrentPrompts(), &script);  // the scope put the silent prompts back
    ASSERT_EQ(script.Messages.size(), 3u);
    EXPECT_EQ(script.Messages[0].Text, "Save Changes?");
    EXPECT_EQ(script.Messages[0].Title, "Unsaved Changes");
    EXPECT_EQ(script.Messages[0].Buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(script.Messages[0].Icon, MsgIcon::Exclamation);
    ASSERT_EQ(script.FileDialogs.size(), 3u);
    EXPECT_EQ(script.FileDialogs[0].FileName, "start");  // recorded as asked, before the answer
    EXPECT_EQ(script.ShellOpened, (std::vector<std::string>{"/x.htm", "https://example.org/"}));
}

}  // namespace
