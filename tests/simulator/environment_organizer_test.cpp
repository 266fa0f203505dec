// The environment organizer on temporary simulator folders: the scan's rule,
// the worked example (Sunset's loose sky.jpg), only texture values rewritten,
// a second run changing nothing, and no file lost or replaced by the moves.

#include "simulator/environment_organizer.h"

#include <gtest/gtest.h>

#include "core/app_state.h"
#include "platform/file_system.h"
#include "tests/platform/temp_folder.h"

namespace {

class EnvironmentOrganizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedSimPath = gSimPath;
        gSimPath = sim.Path();
    }
    void TearDown() override { gSimPath = savedSimPath; }
    std::string Read(const std::string& relative) {
        std::string text;
        EXPECT_TRUE(fsys::ReadWholeFile(sim / relative, text)) << relative;
        return text;
    }
    EnvironmentOrganizer Scanned() {
        EnvironmentOrganizer organizer;
        organizer.ScanEnvironments();
        return organizer;
    }

    TempFolder sim;
    std::string savedSimPath;
};

TEST(EnvironmentOrganizerText, TextureKeysAndTheScanRule) {
    const std::string text =
        "# sim.x.texture.path=not/a.key\r\n"
        "sim.ground.texture.path = Environments\\Sunset\\g.jpg \r\n"
        "sim.fog.enabled=true\r\n"
        "sim.sun.TEXTURE.PATH=sun.tga\r\n"
        "sim.sky.texture.path\r\n"
        "=Environments\\loose.jpg\r\n"
        "sim.tree1.texture.path=\r\n"
        "sim.tree2.texture.path=a=b.jpg";
    const std::vector<EnvTextureKey> keys = CollectTexturePaths(text);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].Value, "Environments\\Sunset\\g.jpg");
    EXPECT_EQ(keys[0].FileName, "g.jpg");
    EXPECT_EQ(text.substr(keys[0].ValueStart, keys[0].Value.size()), keys[0].Value);
    EXPECT_EQ(keys[1].Value, "sun.tga");
    EXPECT_EQ(keys[2].Value, "a=b.jpg");

    EXPECT_FALSE(NeedsOrganizing("x\r\nsim.a.texture.path=Environments\\Sunset\\sky.jpg\r\n"
                                 "sim.b.texture.path=Textures\\x.jpg\r\nsim.c.texture.path=/pics/x.jpg"));
    EXPECT_TRUE(NeedsOrganizing("x\r\nsim.a.texture.path=Textures\\x.jpg\r\nsim.b.texture.path=ENVIRONMENTS\\sky.jpg"));
    EXPECT_TRUE(NeedsOrganizing("x\r\nsim.a.texture.path=Environments/sky.jpg"));
    EXPECT_FALSE(NeedsOrganizing("x\r\nsim.a.texture.path=\r\nsim.b.path=sky.jpg"));
}


TEST_F(EnvironmentOrganizerTest, SunsetGetsItsOwnFolderAndTheLooseFilesMoveAside) {
    const std::string sunset =
        "# Made by hand/with care\r\n"
        "sim.skyboxfront.texture.path=Environments\\sky.jpg\r\n"
        "sim.skyboxback.texture.path=environments/SKY.jpg\r\n"
        "sim.sky.note=Environments\\sky.jpg\r\n"
        "sim.ground.texture.path=Textures\\ground.jpg\r\n"
        "sim.sun.texture.path=missing.jpg\r\n";
    sim.Write("Environments/Sunset.env", sunset);
    sim.Write("Environments/Tidy.env", "x\r\nsim.ground.texture.path=Environments\\Tidy\\g.jpg\r\n");
    sim.Write("Environments/sky.jpg", "SKY");
    sim.Write("Environments/notes.txt", "mine");
    sim.Write("Environments/__Unused Files__/notes.txt", "older");
    sim.Write("Environments/Tidy/g.jpg", "G");
    sim.Write("Textures/ground.jpg", "GROUND");

    EnvironmentOrganizer organizer = Scanned();
    ASSERT_EQ(organizer.Environments().size(), 2u);
    EXPECT_EQ(organizer.Environments()[0].Name, "Sunset");
    EXPECT_EQ(organizer.UnorganizedCount(), 1);
    std::vector<int> progress;
    organizer.OrganizeEnvironments([&](int percent) { progress.push_back(percent); });
    EXPECT_EQ(progress, (std::vector<int>{0, 50}));

    // Only the texture values change, each once; a texture that is nowhere keeps its value.
    EXPECT_EQ(Read("Environments/Sunset.env"),
              "# Made by hand\\with care\r\n"
              "sim.skyboxfront.texture.path=Environments\\Sunset\\sky.jpg\r\n"
              "sim.skyboxback.texture.path=Environments\\Sunset\\SKY.jpg\r\n"
              "sim.sky.note=Environments\\sky.jpg\r\n"
              "sim.ground.texture.path=Environments\\Sunset\\ground.jpg\r\n"
              "sim.sun.texture.path=missing.jpg\r\n");
    EXPECT_EQ(Read("Environments/Sunset/sky.jpg"), "SKY");
    EXPECT_EQ(Read("Environments/Sunset/ground.jpg"), "GROUND");
    EXPECT_EQ(Read("Textures/ground.jpg"), "GROUND");
    EXPECT_EQ(Read("Environments/__Unused Files__/sky.jpg"), "SKY");
    EXPECT_FALSE(fsys::FileExists(sim / "Environments/sky.jpg"));
    // A move never replaces a file; folders and environment files stay.
    EXPECT_EQ(Read("Environments/notes.txt"), "mine");
    EXPECT_EQ(Read("Environments/__Unused Files__/notes.txt"), "older");
    EXPECT_EQ(Read("Environments/Tidy.env"), "x\r\nsim.ground.texture.path=Environments\\Tidy\\g.jpg\r\n");
    EXPECT_EQ(Read("Environments/Tidy/g.jpg"), "G");

    // A second run finds nothing to do and changes nothing.
    EnvironmentOrganizer again = Scanned();
    EXPECT_EQ(again.UnorganizedCount(), 1);  // missing.jpg is still a bare name
    const std::string organized = Read("Environments/Sunset.env");
    again.OrganizeEnvironments();
    EXPECT_EQ(Read("Environments/Sunset.env"), organized);
    EXPECT_EQ(Read("Environments/__Unused Files__/sky.jpg"), "SKY");
    EXPECT_EQ(Read("Environments/notes.txt"), "mine");
}

TEST_F(EnvironmentOrganizerTest, FilesAnEnvironmentStillNamesStayPut) {
    // A name that cannot be a folder of its own: that environment stays as it
    // is, and so do the loose textures it names.
    const std::string odd = "x\r\nsim.ground.texture.path=Environments\\rock.jpg\r\n";
    sim.Write("Environments/Odd\\Name.env", odd);
    sim.Write("Environments/rock.jpg", "ROCK");
    sim.Write("Environments/Abs.env", "x\r\nsim.sun.texture.path=" + sim / "Pics/sun.jpg\r\n");
    sim.Write("Pics/sun.jpg", "SUN");
    sim.Write("Environments/old.txt", "old");

    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.UnorganizedCount(), 1);
    organizer.OrganizeEnvironments();
    EXPECT_EQ(Read("Environments/Odd\\Name.env"), odd);
    EXPECT_EQ(Read("Environments/rock.jpg"), "ROCK");
    EXPECT_EQ(Read("Environments/__Unused Files__/old.txt"), "old");
    // An absolute path of this system is no bare name, and its "/" stay.
    EXPECT_EQ(Read("Environments/Abs.env"), "x\r\nsim.sun.texture.path=" + sim / "Pics/sun.jpg\r\n");
}

}  // namespace
