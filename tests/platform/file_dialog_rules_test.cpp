#include "platform/file_dialog_rules.h"

#include <gtest/gtest.h>

#include "tests/platform/temp_folder.h"

namespace {

TEST(FileDialogRulesTest, PatternsMatchEitherLetterCase) {
    EXPECT_EQ(fsys::CaseInsensitivePattern("*.vxtrack"), "*.[vV][xX][tT][rR][aA][cC][kK]");
    EXPECT_EQ(fsys::CaseInsensitivePattern("*.3DS"), "*.3[dD][sS]");
    EXPECT_EQ(fsys::CaseInsensitivePattern("*.*"), "*.*");
    EXPECT_EQ(fsys::CaseInsensitivePattern("img[0-9]?.bmp"), "[iI][mM][gG][0-9]?.[bB][mM][pP]");
    EXPECT_EQ(fsys::CaseInsensitivePattern("[!]a]x"), "[!]a][xX]");
}

TEST(FileDialogRulesTest, FiltersKeepTheirFirstPatternAndGainTheFoldedOnes) {
    EXPECT_EQ(fsys::CaseInsensitiveFilter(
                  "Vortaxis Files|*.vxtrack;*.vxelem|Vortaxis Tracks (*.vxtrack)|*.vxtrack"),
              "Vortaxis Files|*.vxtrack;*.[vV][xX][tT][rR][aA][cC][kK];*.vxelem;*.[vV][xX][eE][lL][eE][mM]|"
              "Vortaxis Tracks (*.vxtrack)|*.vxtrack;*.[vV][xX][tT][rR][aA][cC][kK]");
    EXPECT_EQ(fsys::CaseInsensitiveFilter("Vortaxis Simulator|vortaxissimulator.exe"),
              "Vortaxis Simulator|vortaxissimulator.exe;"
              "[vV][oO][rR][tT][aA][xX][iI][sS][sS][iI][mM][uU][lL][aA][tT][oO][rR].[eE][xX][eE]");
    EXPECT_EQ(fsys::CaseInsensitiveFilter("All Files|*.*"), "All Files|*.*");
    EXPECT_EQ(fsys::CaseInsensitiveFilter(""), "");
}

// Save dialogs give the path the writers write: the extension is added to
// every name that does not end in it, a name holding "." included.
TEST(FileDialogRulesTest, SaveDialogsGiveThePathTheWritersWrite) {
    EXPECT_EQ(fsys::WithDefaultExtension("/t/loop", "vxtrack", true), "/t/loop.vxtrack");
    EXPECT_EQ(fsys::WithDefaultExtension("/t/loop.vxtrack", "vxtrack", true), "/t/loop.vxtrack");
    EXPECT_EQ(fsys::WithDefaultExtension("/t/LOOP.VXTRACK", "vxtrack", true), "/t/LOOP.VXTRACK");
    EXPECT_EQ(fsys::WithDefaultExtension("/t/v1.2", "vxtrack", true), "/t/v1.2.vxtrack");
    EXPECT_EQ(fsys::WithDefaultExtension("/t/Sunset.v2", ".env", true), "/t/Sunset.v2.env");
    EXPECT_EQ(fsys::WithDefaultExtension("/t/v1.2/loop", ".vxtrack", true), "/t/v1.2/loop.vxtrack");
    EXPECT_EQ(fsys::WithDefaultExtension("/t/loop", "", true), "/t/loop");
    EXPECT_EQ(fsys::SavePathWithExtension("/t/", ".vxtrack"), "/t/") << "no file name, nothing to extend";
    EXPECT_EQ(fsys::SavePathWithExtension("v1.2", "vxelem"), "v1.2.vxelem");
}

TEST(FileDialogRulesTest, OpenDialogsTakeTheNameWithTheExtensionOnlyWhenThatExists) {
    TempFolder folder;
    folder.Write("loop.vxtrack");
    folder.Write("README");
    EXPECT_EQ(fsys::WithDefaultExtension(folder / "loop", "vxtrack", false), folder / "loop.vxtrack");
    EXPECT_EQ(fsys::WithDefaultExtension(folder / "README", "vxtrack", false), folder / "README");
    EXPECT_EQ(fsys::WithDefaultExtension(folder / "missing", "vxtrack", false), folder / "missing");
    folder.Write("v1.2.vxtrack");
    EXPECT_EQ(fsys::WithDefaultExtension(folder / "v1.2", "vxtrack", false), folder / "v1.2.vxtrack");
    EXPECT_EQ(fsys::FileNameOf("/a/b/c.vxtrack"), "c.vxtrack");
    EXPECT_EQ(fsys::FileNameOf("c.vxtrack"), "c.vxtrack");
}

}  // namespace
