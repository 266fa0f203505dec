#include "core/recent_list.h"

#include "core/settings_file.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "tests/core/core_test_support.h"

namespace {

class RecentListTest : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        SetRecentMenuObserver([this](const RecentMenuState& state) {
            shown = state;
            ++refreshes;
        });
    }
    void Fill(int count) {
        for (int i = 0; i < count; ++i) gRecentFiles[i] = "/t/" + std::to_string(i) + ".vxtrack";
    }
    RecentMenuState shown;
    int refreshes = 0;
};

TEST_F(RecentListTest, AnEntryAlreadyListedMovesToTheTop) {
    Fill(8);
    AddToRecentList("/t/2.vxtrack");
    EXPECT_EQ(gRecentFiles[0], "/t/2.vxtrack");
    EXPECT_EQ(gRecentFiles[1], "/t/0.vxtrack");
    EXPECT_EQ(gRecentFiles[2], "/t/1.vxtrack");
    for (int i = 3; i < 8; ++i) EXPECT_EQ(gRecentFiles[i], "/t/" + std::to_string(i) + ".vxtrack");
    EXPECT_EQ(refreshes, 1);
}

TEST_F(RecentListTest, ANinthFilePushesTheOldestOut) {
    Fill(8);
    AddToRecentList("/t/new.vxtrack");
    EXPECT_EQ(gRecentFiles[0], "/t/new.vxtrack");
    for (int i = 1; i < 8; ++i) EXPECT_EQ(gRecentFiles[i], "/t/" + std::to_string(i - 1) + ".vxtrack");
    EXPECT_EQ(gRecentFiles[8], "");  // the spare entry is never filled
}

TEST_F(RecentListTest, PathsDifferingInLetterCaseAreDifferentFiles) {
    AddToRecentList("/t/Loop.vxtrack");
    AddToRecentList("/t/loop.vxtrack");
    EXPECT_EQ(gRecentFiles[0], "/t/loop.vxtrack");
    EXPECT_EQ(gRecentFiles[1], "/t/Loop.vxtrack");
    AddToRecentList("/t/Loop.vxtrack");
    EXPECT_EQ(gRecentFiles[0], "/t/Loop.vxtrack");
    EXPECT_EQ(gRecentFiles[1], "/t/loop.vxtrack");
    EXPECT_EQ(gRecentFiles[2], "");
}

TEST_F(RecentListTest, NothingChangesWhileTheListIsNotInUse) {
    Fill(3);
    gUseRecentList = false;
    AddToRecentList("/t/new.vxtrack");
    EXPECT_EQ(gRecentFiles[0], "/t/0.vxtrack");
    RefreshRecentMenu();
    EXPECT_EQ(refreshes, 0);  // the menu keeps its last state
    AddToRecentList("");
    EXPECT_EQ(gRecentFiles[0], "/t/0.vxtrack");
}

TEST_F(RecentListTest, TheMenuShowsFileNamesOfTheEntriesInUse) {
    gRecentFiles[0] = "/home/u/tracks/Big Loop.vxtrack";
    gRecentFiles[2] = "C:\\Games\\Vortaxis\\Tracks\\old.vxtrack";
    gRecentFiles[3] = "bare.vxelem";
    RefreshRecentMenu();
    ASSERT_EQ(refreshes, 1);
    EXPECT_TRUE(shown.Enabled);
    EXPECT_EQ(shown.Captions[0], "Big Loop.vxtrack");
    EXPECT_FALSE(shown.Visible[1]);
    EXPECT_EQ(shown.Captions[2], "old.vxtrack");
    EXPECT_EQ(shown.Captions[3], "bare.vxelem");
    EXPECT_FALSE(shown.Visible[7]);
    ClearRecentList();
    EXPECT_EQ(refreshes, 2);
    EXPECT_FALSE(shown.Enabled);
    for (bool visible : shown.Visible) EXPECT_FALSE(visible);
}

TEST_F(RecentListTest, WithoutSyncingEveryChangeIsWrittenToTheSettingsFile) {
    gSyncRecentList = false;
    EXPECT_FALSE(fsys::FileExists(SettingsFilePath()));
    AddToRecentList("/t/a.vxtrack");
    std::string text;
    ASSERT_TRUE(fsys::ReadWholeFile(SettingsFilePath(), text));
    EXPECT_NE(text.find("\r\nFile1=/t/a.vxtrack\r\nFile2=\r\n"), std::string::npos) << text;
    ClearRecentList();
    ASSERT_TRUE(fsys::ReadWholeFile(SettingsFilePath(), text));
    EXPECT_NE(text.find("\r\nFile1=\r\n"), std::string::npos);
}

TEST_F(RecentListTest, WithSyncingTheSettingsFileIsLeftAlone) {
    AddToRecentList("/t/a.vxtrack");
    ClearRecentList();
    EXPECT_FALSE(fsys::FileExists(SettingsFilePath()));
}

TEST_F(RecentListTest, TheEditorsListRoundTripsThroughTheRegistry) {
    Fill(5);
    gRecentFiles[1] = "/t/with \"quotes\", commas\\and back\\slashes.vxtrack";
    ASSERT_TRUE(SaveRecentListToRegistry());
    const auto saved = gRecentFiles;
    for (std::string& entry : gRecentFiles) entry = "stale";
    LoadRecentListFromRegistry();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(gRecentFiles[i], saved[i]) << i;
    std::string value = "x";
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kEditorRecentListKey, "File8", value));
    EXPECT_EQ(value, "");  // empty entries are written as empty texts
    EXPECT_EQ(gRecentFiles[8], "stale");  // entry 8 is not part of the editor's list
}

TEST_F(RecentListTest, UnreadableEditorValuesGiveEmptyEntries) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kEditorRecentListKey, RegString, "File2", "/t/two.vxtrack"));
    Fill(8);
    LoadRecentListFromRegistry();
    EXPECT_EQ(gRecentFiles[0], "");
    EXPECT_EQ(gRecentFiles[1], "/t/two.vxtrack");
    EXPECT_EQ(gRecentFiles[7], "");
}

}  // namespace
