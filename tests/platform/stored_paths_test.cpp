#include "platform/stored_paths.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/platform/temp_folder.h"

namespace {

class StoredPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Write("Objects/Scenery/Tree Big.3DS", "tree");
        sim.Write("Environments/Desert.env", "env");
        sim.Write("VortaxisSimulator.exe", "exe");
    }
    TempFolder sim;
};

TEST_F(StoredPathsTest, ResolvesWindowsNamesInAnyLetterCase) {
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "objects\\SCENERY\\tree big.3ds"),
              sim / "Objects/Scenery/Tree Big.3DS");
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "Objects/Scenery/Tree Big.3DS"),
              sim / "Objects/Scenery/Tree Big.3DS");
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "vortaxissimulator.exe"), sim / "VortaxisSimulator.exe");
    // The folder given without its trailing separator works the same.
    std::string folder = sim.Path();
    folder.pop_back();
    EXPECT_EQ(fsys::ResolveStoredName(folder, "ENVIRONMENTS\\desert.ENV"), sim / "Environments/Desert.env");
}

TEST_F(StoredPathsTest, MissingNamesAndEscapesAreNotResolved) {
    EXPECT_FALSE(fsys::ResolveStoredName(sim.Path(), "Objects\\Scenery\\Bush.3ds"));
    EXPECT_FALSE(fsys::ResolveStoredName(sim.Path(), "Nowhere\\Tree Big.3ds"));
    EXPECT_FALSE(fsys::ResolveStoredName(sim.Path(), "..\\etc\\passwd"));
    EXPECT_FALSE(fsys::ResolveStoredName(sim.Path(), "Objects\\..\\..\\x"));
    EXPECT_FALSE(fsys::ResolveStoredName(sim / "missing-folder", "x"));
    // ".." that only climbs back out of a folder the name entered stays inside.
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "Objects\\..\\Environments\\desert.env"),
              sim / "Environments/Desert.env");
}

TEST_F(StoredPathsTest, AnExactMatchWinsOverAnotherCase) {
    sim.Write("Objects/tree.3ds", "lower");
    sim.Write("Objects/TREE.3DS", "upper");
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "Objects\\TREE.3DS"), sim / "Objects/TREE.3DS");
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "Objects\\tree.3ds"), sim / "Objects/tree.3ds");
    // Neither spelled like that: the first in sorted order, so the answer never changes.
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "Objects\\Tree.3ds"), sim / "Objects/TREE.3DS");
}

// A stored name is the text of a file's single bytes ("cr\xE8me" holds "crème"):
// the entry spelled in exactly those bytes is the one it names, before the
// UTF-8 spelling, in any letter case too; a name from the disk is its own spelling.
TEST_F(StoredPathsTest, TheStoredBytesNameTheirEntryBeforeTheUtf8Spelling) {
    sim.Write("Env/cr\xC3\xA8me.jpg", "UTF-8");
    sim.Write("Env/cr\xE8me.jpg", "single bytes");
    sim.Write("Env/CR\xC3\xA8ME.JPG", "UTF-8, upper case");
    sim.Write("Env/CR\xE8ME.JPG", "single bytes, upper case");
    const std::string creme = "cr\xC3\xA8me.jpg";
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "env\\" + creme), sim / "Env/cr\xE8me.jpg");
    EXPECT_EQ(fsys::MapStoredName(sim.Path(), "env\\" + creme), sim / "Env/cr\xE8me.jpg");
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "env\\Cr\xC3\xA8me.jpg"), sim / "Env/CR\xE8ME.JPG");
    EXPECT_EQ(fsys::FindStoredEntry(sim / "Env", creme), "cr\xE8me.jpg");
    EXPECT_EQ(fsys::FindEntryIgnoringCase(sim / "Env", creme), creme);
    std::filesystem::remove(sim / "Env/cr\xE8me.jpg");
    std::filesystem::remove(sim / "Env/CR\xE8ME.JPG");
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "env\\" + creme), sim / "Env/" + creme);
}

TEST_F(StoredPathsTest, MapsNamesOfFilesStillToBeCreated) {
    EXPECT_EQ(fsys::MapStoredName(sim.Path(), "environments\\Canyon\\sky.tga"), sim / "Environments/Canyon/sky.tga");
    EXPECT_EQ(fsys::MapStoredName(sim.Path(), "objects\\scenery\\tree big.3ds"), sim / "Objects/Scenery/Tree Big.3DS");
    EXPECT_EQ(fsys::MapStoredName(sim.Path(), "..\\outside.txt"), "");
    EXPECT_EQ(fsys::MapStoredName(sim.Path(), ""), "");
}

TEST_F(StoredPathsTest, TurnsPathsUnderTheFolderBackIntoStoredNames) {
    EXPECT_EQ(fsys::ToStoredName(sim.Path(), sim / "Objects/Scenery/Tree Big.3DS"), "Objects\\Scenery\\Tree Big.3DS");
    std::string folder = sim.Path();
    folder.pop_back();
    EXPECT_EQ(fsys::ToStoredName(folder, sim / "Objects/./Scenery/../Scenery/x.3ds"), "Objects\\Scenery\\x.3ds");
    EXPECT_FALSE(fsys::ToStoredName(sim / "Objects/", sim / "Environments/Desert.env"));
    EXPECT_FALSE(fsys::ToStoredName(sim.Path(), sim.Path()));
    // A sibling folder whose name starts like the simulator's is not under it.
    EXPECT_FALSE(fsys::ToStoredName(sim / "Obj", sim / "Objects/Scenery/Tree Big.3DS"));
}

TEST_F(StoredPathsTest, FollowsALinkedSimulatorFolder) {
    TempFolder other;
    const std::string link = other / "sim-link";
    std::filesystem::create_directory_symlink(sim.Path(), link);
    EXPECT_EQ(fsys::ToStoredName(link, sim / "Objects/Scenery/Tree Big.3DS"), "Objects\\Scenery\\Tree Big.3DS");
    EXPECT_EQ(fsys::ResolveStoredName(link, "objects\\scenery\\TREE BIG.3ds"),
              link + "/Objects/Scenery/Tree Big.3DS");
}

}  // namespace
