// The window title, the menu and tool-bar states by document kind, the File
// menu as it opens, and where the preview lies.
#include <gtest/gtest.h>

#include "core/document_changed.h"
#include "app/menu_state.h"
#include "app/window_title.h"
#include "tests/app/mainwin/mainwin_test_support.h"

TEST(WindowTitle, FollowsKindFileNameAndChangedFlag) {
    EXPECT_EQ(WindowTitle(0, "", false), "Gantrywright");
    EXPECT_EQ(WindowTitle(0, "/home/u/tracks/old.vxtrack", false), "Gantrywright") << "no document, no name";
    EXPECT_EQ(WindowTitle(1, "/home/u/tracks/Big Loop.vxtrack", false), "Gantrywright - Big Loop.vxtrack");
    EXPECT_EQ(WindowTitle(1, "/a/b/c/deep/loop.vxtrack", true), "Gantrywright - loop.vxtrack*");
    EXPECT_EQ(WindowTitle(2, "/e/hill.vxelem", true), "Gantrywright - hill.vxelem*");
    EXPECT_EQ(WindowTitle(1, "bare.vxtrack", false), "Gantrywright - bare.vxtrack");
}

TEST(MenuState, NoDocumentDisablesTheDocumentMenusAndLeavesTheRest) {
    const MenuState s = ComputeMenuState(0, true, true);
    EXPECT_FALSE(s.Element);
    EXPECT_FALSE(s.Track);
    EXPECT_FALSE(s.View);
    EXPECT_FALSE(s.Modeler);
    EXPECT_FALSE(s.SaveModelAs);
    EXPECT_FALSE(s.ViewCombs.has_value()) << "left as it was";
    EXPECT_FALSE(s.ViewPaths.has_value());
    EXPECT_FALSE(s.Save.has_value());
    EXPECT_FALSE(s.SaveButton);
    EXPECT_FALSE(s.SaveAsButton);
    EXPECT_FALSE(s.CreateModelButton);
}

TEST(MenuState, TrackDocument) {
    MenuState s = ComputeMenuState(1, false, false);
    EXPECT_TRUE(s.Track);
    EXPECT_FALSE(s.Element);
    EXPECT_TRUE(s.View);
    EXPECT_TRUE(s.Modeler);
    EXPECT_FALSE(s.SaveModelAs) << "no full model yet";
    EXPECT_EQ(s.ViewCombs, true);
    EXPECT_EQ(s.ViewPaths, true);
    EXPECT_EQ(s.Save, false);
    EXPECT_FALSE(s.SaveButton);
    EXPECT_TRUE(s.SaveAsButton);
    EXPECT_TRUE(s.CreateModelButton);

    s = ComputeMenuState(1, true, true);
    EXPECT_TRUE(s.SaveModelAs);
    EXPECT_EQ(s.Save, true);
    EXPECT_TRUE(s.SaveButton);
}

TEST(MenuState, ElementDocumentHasNoCombsOrPaths) {
    const MenuState s = ComputeMenuState(2, true, true);
    EXPECT_TRUE(s.Element);
    EXPECT_FALSE(s.Track);
    EXPECT_TRUE(s.View);
    EXPECT_TRUE(s.Modeler);
    EXPECT_TRUE(s.SaveModelAs);
    EXPECT_EQ(s.ViewCombs, false);
    EXPECT_EQ(s.ViewPaths, false);
    EXPECT_EQ(s.Save, true);
    EXPECT_TRUE(s.SaveButton);
}

TEST(MenuState, FileMenuAsItOpens) {
    EXPECT_FALSE(ComputeFileMenuState(0, true).Save);
    EXPECT_FALSE(ComputeFileMenuState(0, true).SaveAs);
    EXPECT_FALSE(ComputeFileMenuState(1, false).Save);
    EXPECT_TRUE(ComputeFileMenuState(1, false).SaveAs);
    EXPECT_TRUE(ComputeFileMenuState(2, true).Save);
    EXPECT_TRUE(SaveModelAsEnabled(1, true));
    EXPECT_FALSE(SaveModelAsEnabled(1, false));
    EXPECT_FALSE(SaveModelAsEnabled(0, true));
}

TEST(PreviewPlacement, BetweenTheToolBarsAndTheStatusBar) {
    PreviewPlacement p = PlacePreview(800, 600, 29, false, 29, 22);
    EXPECT_EQ(p.Left, 0);
    EXPECT_EQ(p.Top, 29);
    EXPECT_EQ(p.Width, 800);
    EXPECT_EQ(p.Height, 600 - 22 - 29);
    p = PlacePreview(800, 600, 29, true, 29, 22);
    EXPECT_EQ(p.Top, 58);
    EXPECT_EQ(p.Height, 600 - 22 - 58);
    p = PlacePreview(-5, 40, 29, true, 29, 22);
    EXPECT_EQ(p.Width, 0);
    EXPECT_EQ(p.Height, 0) << "a window too small for its bars gives the preview no room, not a negative one";
}

class DocumentChangedTest : public MainWindowTest {};

TEST_F(DocumentChangedTest, SetsTheFlagAndTellsTheWindowOnce) {
    int told = 0;
    SetDocumentChangedObserver([&] { ++told; });
    SetDocumentChanged();
    SetDocumentChanged();
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_EQ(told, 1) << "calling it twice changes the title once";
    SetDocumentChangedObserver(nullptr);
    gDocumentChanged = false;
    SetDocumentChanged();  // without a window only the flag changes
    EXPECT_TRUE(gDocumentChanged);
}
