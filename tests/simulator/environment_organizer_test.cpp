// The environment organizer on temporary simulator folders: the scan's rule,
// the worked example (Sunset's loose sky.jpg), only texture values rewritten,
// a second run changing nothing; collisions, folders differing in letter case
// and values that cannot be rewritten; an unreadable environment moving
// nothing, a name on disk in the simulator's single bytes, values that cannot
// be mapped keeping the files they may name, a relative simulator folder,
// environment files that cannot be written, both spellings of a name, links
// and loose files that cannot be moved; other users' folders and links (for
// an ordinary user, run in a child process), folders swapped once opened, and
// the superuser's run on another user's tree; with every file's bytes (and
// every link's target) before and after.

#include "simulator/environment_organizer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/app_state.h"
#include "platform/file_system.h"
#include "simulator/environment_file.h"
#include "simulator/held_folder.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/save_checks.h"
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
    // Every file under the simulator folder and its bytes.
    std::map<std::string, std::string> Snapshot() {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(sim.Path())) {
            const std::string path = entry.path().lexically_relative(sim.Path()).string();
            if (entry.is_regular_file()) files[path] = Read(path);
        }
        return files;
    }
    // Every file of before but the environment files still holds its bytes, in
    // its place or, moved aside, in "__Unused Files__".
    void ExpectNothingLost(const std::map<std::string, std::string>& before) {
        const std::map<std::string, std::string> after = Snapshot();
        for (const auto& [path, bytes] : before) {
            if (fsys::HasExtension(path, ".env")) continue;
            const auto kept = after.find(path);
            const bool loose = path.rfind("Environments/", 0) == 0 && path.find('/', 13) == std::string::npos;
            const auto moved = loose ? after.find("Environments/__Unused Files__/" + path.substr(13)) : after.end();
            EXPECT_TRUE((kept != after.end() && kept->second == bytes) ||
                        (moved != after.end() && moved->second == bytes))
                << path;
        }
    }
    // Every entry under the simulator folder (or `top`): a file's bytes, a
    // link's target ("-> target"), a folder "/"; links are not followed.
    std::map<std::string, std::string> Tree(std::string top = {}) {
        if (top.empty()) top = sim.Path();
        std::map<std::string, std::string> entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
            const std::string path = entry.path().lexically_relative(top).string();
            if (entry.is_symlink()) {
                entries[path] = "-> " + std::filesystem::read_symlink(entry.path()).string();
            } else if (entry.is_directory()) {
                entries[path] = "/";
            } else {
                std::string bytes;
                fsys::ReadWholeFile(entry.path().string(), bytes);
                entries[path] = bytes;
            }
        }
        return entries;
    }
    // The file the key of an organized environment names.
    std::string Named(const std::string& env, const std::string& key) {
        const std::string text = EnvTextFromFileBytes(Read("Environments/" + env));
        const size_t at = text.find("\n" + key + "=");
        if (at == std::string::npos) return "no key " + key;
        const size_t start = at + key.size() + 2;
        std::string bytes;
        fsys::ReadWholeFile(TexturePathOnDisk(text.substr(start, text.find('\r', start) - start)), bytes);
        return bytes;
    }

    TempFolder sim;
    std::string savedSimPath;
};

// Runs `work` in a child process as the user `uid` (group `gid`), as InChild does.
std::optional<std::string> AsUser(uid_t uid, gid_t gid, const std::function<std::string()>& work) {
    const auto become = [&] {
        return ::setgroups(1, &gid) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0 && ::geteuid() == uid;
    };
    return InChild(std::filesystem::current_path().string(), become, work);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

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
        "; notes: http://example.com/a 12/06/2026\r\n"
        "sim.skyboxfront.texture.path=Environments\\sky.jpg\r\n"
        "sim.skyboxback.texture.path=environments/SKY.jpg\r\n"
        "sim.sky.note=Environments\\sky.jpg\r\n"
        "a/b=Environments/sky.jpg\r\n"
        "sim.ground.texture.path=Textures\\ground.jpg\r\n"
        "sim.tree1.texture.path=Environments\\trail.jpg.\r\n"
        "sim.tree2.texture.path=Environments\\space.jpg .\r\n"
        "sim.sun.texture.path=missing.jpg\r\n";
    sim.Write("Environments/Sunset.env", sunset);
    sim.Write("Environments/Tidy.env", "x\r\nsim.ground.texture.path=Environments\\Tidy\\g.jpg\r\n");
    sim.Write("Environments/sky.jpg", "SKY");
    sim.Write("Environments/trail.jpg", "TRAIL");
    sim.Write("Environments/space.jpg", "SPACE");
    sim.Write("Environments/notes.txt", "mine");
    sim.Write("Environments/__Unused Files__/notes.txt", "older");
    sim.Write("Environments/Tidy/g.jpg", "G");
    sim.Write("Textures/ground.jpg", "GROUND");

    EnvironmentOrganizer organizer = Scanned();
    ASSERT_EQ(organizer.Environments().size(), 2u);
    EXPECT_EQ(organizer.Environments()[0].Name, "Sunset");
    EXPECT_EQ(organizer.UnorganizedCount(), 1);
    EXPECT_EQ(organizer.ProblemLines(),
              (std::vector<std::string>{
                  "Sunset: missing.jpg (not found)",
                  "notes.txt: not moved into \"__Unused Files__\" (a file of that name is in \"__Unused Files__\")"}));
    std::vector<int> progress;
    organizer.OrganizeEnvironments([&](int percent) { progress.push_back(percent); });
    EXPECT_EQ(progress, (std::vector<int>{0, 50}));

    // Only the texture values change, each once; a texture that is nowhere keeps
    // its value; the same file under another letter case is the same copy;
    // trailing dots and spaces name the file without them, as in the simulator.
    EXPECT_EQ(Read("Environments/Sunset.env"),
              "# Made by hand/with care\r\n"
              "; notes: http://example.com/a 12/06/2026\r\n"
              "sim.skyboxfront.texture.path=Environments\\Sunset\\sky.jpg\r\n"
              "sim.skyboxback.texture.path=Environments\\Sunset\\sky.jpg\r\n"
              "sim.sky.note=Environments\\sky.jpg\r\n"
              "a/b=Environments/sky.jpg\r\n"
              "sim.ground.texture.path=Environments\\Sunset\\ground.jpg\r\n"
              "sim.tree1.texture.path=Environments\\Sunset\\trail.jpg\r\n"
              "sim.tree2.texture.path=Environments\\Sunset\\space.jpg\r\n"
              "sim.sun.texture.path=missing.jpg\r\n");
    EXPECT_EQ(Read("Environments/Sunset/sky.jpg"), "SKY");
    EXPECT_EQ(Read("Environments/Sunset/trail.jpg"), "TRAIL");
    EXPECT_EQ(Read("Environments/Sunset/space.jpg"), "SPACE");
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
    EXPECT_EQ(again.UnorganizedCount(), 0);  // missing.jpg cannot be rewritten
    EXPECT_EQ(again.ProblemLines().front(), "Sunset: missing.jpg (not found)");
    const std::string organized = Read("Environments/Sunset.env");
    again.OrganizeEnvironments();
    EXPECT_EQ(Read("Environments/Sunset.env"), organized);
    EXPECT_EQ(Read("Environments/__Unused Files__/sky.jpg"), "SKY");
    EXPECT_EQ(Read("Environments/notes.txt"), "mine");
    EXPECT_EQ(again.ProblemMessage(),
              "These texture values could not be rewritten and were kept as they are:\n"
              "Sunset: missing.jpg (not found)\n\n"
              "These files could not be moved into \"__Unused Files__\" and were left where they are:\n"
              "notes.txt (a file of that name is in \"__Unused Files__\")");
}

TEST_F(EnvironmentOrganizerTest, CopiesNeverReplaceAFileAndKeysNameTheirOwnCopy) {
    sim.Write("Environments/grass.jpg", "A");
    sim.Write("Environments/Sunset/grass.jpg", "B");
    sim.Write("Environments/sky.jpg", "SKY1");
    sim.Write("Textures/sky.jpg", "SKY2");
    sim.Write("Environments/same.jpg", "SAME");
    sim.Write("Textures/same.jpg", "SAME");
    sim.Write("Environments/Sunset.env",
              "x\r\n"
              "sim.ground.texture.path=Environments\\grass.jpg\r\n"
              "sim.skyboxfront.texture.path=Environments\\sky.jpg\r\n"
              "sim.skyboxback.texture.path=Textures\\sky.jpg\r\n"
              "sim.skyboxup.texture.path=Environments\\same.jpg\r\n"
              "sim.skyboxdown.texture.path=Textures\\same.jpg\r\n");
    // A single-byte value and a name the file system spells in UTF-8 ("Café", "été.jpg").
    sim.Write("Environments/Caf\xC3\xA9.env", "x\r\nsim.sun.texture.path=Environments\\\xE9t\xE9.jpg\r\n");
    sim.Write("Environments/\xC3\xA9t\xC3\xA9.jpg", "SUMMER");
    const auto before = Snapshot();

    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.UnorganizedCount(), 2);
    organizer.OrganizeEnvironments();
    EXPECT_EQ(Read("Environments/Sunset.env"),
              "x\r\n"
              "sim.ground.texture.path=Environments\\Sunset\\grass (2).jpg\r\n"
              "sim.skyboxfront.texture.path=Environments\\Sunset\\sky.jpg\r\n"
              "sim.skyboxback.texture.path=Environments\\Sunset\\sky (2).jpg\r\n"
              "sim.skyboxup.texture.path=Environments\\Sunset\\same.jpg\r\n"
              "sim.skyboxdown.texture.path=Environments\\Sunset\\same.jpg\r\n");
    EXPECT_EQ(Read("Environments/Sunset/grass.jpg"), "B");
    EXPECT_EQ(Read("Environments/Sunset/grass (2).jpg"), "A");
    EXPECT_EQ(Read("Environments/Sunset/sky.jpg"), "SKY1");
    EXPECT_EQ(Read("Environments/Sunset/sky (2).jpg"), "SKY2");
    EXPECT_EQ(Read("Environments/Sunset/same.jpg"), "SAME");
    EXPECT_FALSE(fsys::FileExists(sim / "Environments/Sunset/same (2).jpg"));
    EXPECT_EQ(Read("Environments/Caf\xC3\xA9.env"),
              "x\r\nsim.sun.texture.path=Environments\\Caf\xE9\\\xE9t\xE9.jpg\r\n");
    EXPECT_EQ(Named("Caf\xC3\xA9.env", "sim.sun.texture.path"), "SUMMER");
    EXPECT_TRUE(organizer.ProblemLines().empty());
    ExpectNothingLost(before);
}

TEST_F(EnvironmentOrganizerTest, FoldersAreMappedOnceWhateverTheirCase) {
    sim.Write("Environments/SUNSET/old.jpg", "OLD");
    sim.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    sim.Write("Environments/sunset.env", "x\r\nsim.sun.texture.path=sky.jpg\r\n");
    sim.Write("Environments/sky.jpg", "ONE");
    sim.Write("sky.jpg", "TWO");
    sim.Write("Environments/Dusk.env", "x\r\nsim.sun.texture.path=Environments\\dusk.jpg\r\n");
    sim.Write("Environments/dusk.env", "x\r\nsim.sun.texture.path=dusk.jpg\r\n");
    sim.Write("Environments/dusk.jpg", "D1");
    sim.Write("dusk.jpg", "D2");
    const auto before = Snapshot();

    Scanned().OrganizeEnvironments();
    EXPECT_EQ(Read("Environments/Sunset.env"), "x\r\nsim.sun.texture.path=Environments\\SUNSET\\sky.jpg\r\n");
    EXPECT_EQ(Read("Environments/sunset.env"), "x\r\nsim.sun.texture.path=Environments\\SUNSET\\sky (2).jpg\r\n");
    EXPECT_EQ(Read("Environments/Dusk.env"), "x\r\nsim.sun.texture.path=Environments\\Dusk\\dusk.jpg\r\n");
    EXPECT_EQ(Read("Environments/dusk.env"), "x\r\nsim.sun.texture.path=Environments\\Dusk\\dusk (2).jpg\r\n");
    EXPECT_EQ(Named("Sunset.env", "sim.sun.texture.path"), "ONE");
    EXPECT_EQ(Named("sunset.env", "sim.sun.texture.path"), "TWO");
    EXPECT_EQ(Named("Dusk.env", "sim.sun.texture.path"), "D1");
    EXPECT_EQ(Named("dusk.env", "sim.sun.texture.path"), "D2");
    std::vector<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(sim / "Environments"))
        if (entry.is_directory()) folders.push_back(entry.path().filename().string());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"Dusk", "SUNSET", "__Unused Files__"}));
    ExpectNothingLost(before);
}

TEST_F(EnvironmentOrganizerTest, WhatCannotBeRewrittenIsListedAndTheRestIsDone) {
    const std::string odd =
        "x\r\n"
        "sim.skyboxup.texture.path=sky_east.gif\r\n"
        "sim.sun.texture.path=C:\\Pics\\sky.jpg\r\n"
        "sim.ground.texture.path=Environments\\missing.jpg\r\n"
        "sim.tree1.texture.path=Textures\\x.jpg\r\n"
        "sim.tree2.texture.path=Environments\\\r\n"
        "sim.flare1.texture.path=Environments\\ok.jpg\r\n";
    sim.Write("Environments/Odd.env", odd);
    sim.Write("Environments/ok.jpg", "OK");
    sim.Write("Environments/Stuck.env", "x\r\nsim.skyboxup.texture.path=sky_east.gif\r\n");
    // A name that cannot be a folder of its own: the loose texture it names stays.
    sim.Write("Environments/Odd\\Name.env", "x\r\nsim.ground.texture.path=Environments\\rock.jpg\r\n");
    sim.Write("Environments/rock.jpg", "ROCK");
    // An absolute path of this system is no bare name, and its "/" stay.
    const std::string abs = "x\r\nsim.sun.texture.path=" + sim.Write("Pics/sun.jpg", "SUN") + "\r\n";
    sim.Write("Environments/Abs.env", abs);
    const auto before = Snapshot();
    const std::vector<std::string> problems = {
        "Odd: sky_east.gif (not found)",
        "Odd: C:\\Pics\\sky.jpg (not found)",
        "Odd: Environments\\missing.jpg (not found)",
        "Odd: Textures\\x.jpg (not found)",
        "Odd: Environments\\ (names no file)",
        "Odd\\Name: Environments\\rock.jpg (the environment's name cannot be a folder)",
        "Stuck: sky_east.gif (not found)"};

    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.UnorganizedCount(), 1);
    EXPECT_EQ(organizer.ProblemLines(), problems);
    organizer.OrganizeEnvironments();
    EXPECT_EQ(Read("Environments/Odd.env"), std::string(odd).replace(odd.find("Environments\\ok"), 15,
                                                                      "Environments\\Odd\\ok"));
    EXPECT_EQ(Read("Environments/Odd/ok.jpg"), "OK");
    EXPECT_EQ(Read("Environments/rock.jpg"), "ROCK");
    EXPECT_EQ(Read("Environments/Abs.env"), abs);
    EXPECT_EQ(organizer.ProblemLines(), problems);
    EXPECT_EQ(organizer.ProblemMessage().substr(0, organizer.ProblemMessage().find('\n')),
              "These texture values could not be rewritten and were kept as they are:");
    ExpectNothingLost(before);

    // Organized now as far as it can be: nothing left to do, the same list.
    EnvironmentOrganizer again = Scanned();
    EXPECT_EQ(again.UnorganizedCount(), 0);
    EXPECT_EQ(again.ProblemLines(), problems);
}

// An environment's folder is the one the simulator reads its keys' folder as
// ("Sunset..env" copies into "Sunset"); a name with nothing left is refused
// and said; a copy that fails says why and leaves no folder behind.
TEST_F(EnvironmentOrganizerTest, FoldersAsTheSimulatorReadsThemAndCopyFailuresWithTheirReason) {
    const std::string loose = "x\r\nsim.skyboxfront.texture.path=Environments\\sky1.jpg\r\n";
    const std::string big = "x\r\nsim.sun.texture.path=Environments\\big.jpg\r\n";
    sim.Write("Environments/Sunset..env", loose);
    sim.Write("Environments/...env", loose);
    sim.Write("Environments/Big.env", big);
    sim.Write("Environments/sky1.jpg", "SKY");
    sim.Write("Environments/big.jpg", std::string(8192, 'b'));
    const std::string refused = "..: Environments\\sky1.jpg (the environment's name leaves no folder name: the "
                                "simulator drops the dots and spaces at the end of a folder's name)";

    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.UnorganizedCount(), 2);
    EXPECT_EQ(organizer.ProblemLines(), std::vector<std::string>{refused});
    {
        FileSizeLimit limit(4096);
        organizer.OrganizeEnvironments();
    }
    EXPECT_EQ(Read("Environments/Sunset..env"), "x\r\nsim.skyboxfront.texture.path=Environments\\Sunset\\sky1.jpg\r\n");
    EXPECT_EQ(Read("Environments/Sunset/sky1.jpg"), "SKY");
    EXPECT_FALSE(std::filesystem::exists(sim / "Environments/Sunset."));
    EXPECT_EQ(Read("Environments/...env"), loose);
    EXPECT_EQ(Read("Environments/Big.env"), big);
    EXPECT_FALSE(std::filesystem::exists(sim / "Environments/Big"));
    EXPECT_EQ(organizer.ProblemLines(),
              (std::vector<std::string>{refused, "Big: Environments\\big.jpg (cannot be copied. " +
                                                     fsys::WriteFailureReason(EFBIG) + ")"}));
    EXPECT_EQ(Scanned().UnorganizedCount(), 1);  // Big, which may be organized again
}

// Which files an environment names cannot be told: no file moves in that run,
// and that is said. Sunset is organized all the same (copies only).
TEST_F(EnvironmentOrganizerTest, AnUnreadableEnvironmentMovesNothing) {
    namespace fs = std::filesystem;
    EXPECT_TRUE(Scanned().ProblemLines().empty());  // no Environments folder: nothing to say
    const std::string sunsetOrganized = "x\r\nsim.sun.texture.path=Environments\\Sunset\\sky.jpg\r\n";
    struct Case {
        const char* what;
        std::function<void()> make;
        std::string withheld;
        int error;  // why Secret cannot be read
    };
    std::vector<Case> cases;
    // Mode 000 keeps out all but the superuser, who reads every file.
    if (::geteuid() != 0) {
        cases.push_back({"mode 000", [&] { ::chmod((sim / "Environments/Secret.env").c_str(), 0); },
                         "the environment file Secret.env cannot be read, so the files it names are not known",
                         EACCES});
    }
    cases.push_back({"a link that names nothing",
                     [&] {
                         fs::remove(sim / "Environments/Secret.env");
                         fs::create_symlink("Gone/Secret.env", sim / "Environments/Secret.env");
                     },
                     "the environment file Secret.env cannot be read, so the files it names are not known", ENOENT});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(sim / "Environments");
        sim.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
        sim.Write("Environments/sky.jpg", "SKY");
        sim.Write("Environments/Secret.env", "x\r\nsim.sun.texture.path=Environments\\secret.jpg\r\n");
        sim.Write("Environments/secret.jpg", "SECRET");
        // A single-byte value naming the file whose name on disk is single-byte too.
        sim.Write("Environments/Summer.env", "x\r\nsim.sun.texture.path=Environments\\\xE9t\xE9.jpg\r\n");
        sim.Write("Environments/notes.txt", "mine");
        c.make();
        std::map<std::string, std::string> expected = Tree();

        EnvironmentOrganizer organizer = Scanned();
        const std::string withheld = "No file is moved into \"__Unused Files__\": " + c.withheld;
        EXPECT_EQ(organizer.MovesWithheld(), c.withheld);
        EXPECT_EQ(organizer.ProblemLines().front(), "Secret: the environment file cannot be read. " +
                                                        fsys::ReadFailureReason(c.error, fsys::kEnvironmentFile));
        EXPECT_EQ(organizer.ProblemLines().back(), withheld);
        organizer.OrganizeEnvironments();
        expected["Environments/Sunset.env"] = sunsetOrganized;
        expected["Environments/Sunset"] = "/";
        expected["Environments/Sunset/sky.jpg"] = "SKY";
        if (organizer.Environments()[0].Readable) {  // Secret, organized as Sunset is
            expected["Environments/Secret.env"] = "x\r\nsim.sun.texture.path=Environments\\Secret\\secret.jpg\r\n";
            expected["Environments/Secret"] = "/";
            expected["Environments/Secret/secret.jpg"] = "SECRET";
        }
        EXPECT_EQ(Tree(), expected);
        EXPECT_EQ(organizer.ProblemLines().back(), withheld);
        EXPECT_NE(organizer.ProblemMessage().find("\n\nNo file was moved into \"__Unused Files__\": " + c.withheld + "."),
                  std::string::npos);
    }
    // Once every environment can be read, the loose files no environment names
    // move aside. A name the file system spells in the simulator's single bytes
    // is the name Summer's value gives: Summer gets its copy, then the loose
    // file moves with its name as it was. Secret's value names a folder that
    // is not there, so the loose file of its name stays.
    fs::remove(sim / "Environments/Secret.env");
    sim.Write("Environments/Secret.env", "x\r\nsim.sun.texture.path=Environments\\Secret\\secret.jpg\r\n");
    sim.Write("Environments/\xE9t\xE9.jpg", "SUMMER");
    EnvironmentOrganizer organizer = Scanned();
    organizer.OrganizeEnvironments();
    EXPECT_EQ(organizer.MovesWithheld(), "");
    EXPECT_EQ(Read("Environments/Summer.env"), "x\r\nsim.sun.texture.path=Environments\\Summer\\\xE9t\xE9.jpg\r\n");
    EXPECT_EQ(Read("Environments/Summer/\xC3\xA9t\xC3\xA9.jpg"), "SUMMER");
    EXPECT_EQ(Read("Environments/__Unused Files__/\xE9t\xE9.jpg"), "SUMMER");
    EXPECT_EQ(Read("Environments/__Unused Files__/notes.txt"), "mine");
    EXPECT_EQ(Read("Environments/__Unused Files__/sky.jpg"), "SKY");
    EXPECT_EQ(Read("Environments/secret.jpg"), "SECRET");
    EXPECT_EQ(organizer.ProblemLines(),
              std::vector<std::string>{"secret.jpg: not moved into \"__Unused Files__\" (Secret may name it in "
                                       "sim.sun.texture.path=Environments\\Secret\\secret.jpg)"});
}

// Values that cannot be mapped to one file with certainty (a drive letter,
// ".." out of the simulator folder, even when it comes back in) keep every
// loose file their last name could be, letter case and spelling aside, in an
// environment that needs organizing or not; each is listed with the
// environment and key.
TEST_F(EnvironmentOrganizerTest, ValuesThatCannotBeMappedKeepTheLooseFilesTheyMayName) {
    const std::string back =
        "..\\" + std::filesystem::path(sim.Path()).parent_path().filename().string() + "\\Environments\\sky.jpg";
    sim.Write("Environments/Tidy.env",
              "x\r\n"
              "sim.sun.texture.path=C:\\Program Files\\Vortaxis\\Environments\\drv.jpg\r\n"
              "sim.ground.texture.path=Z:\\home\\ride\\Sim\\Environments\\ZED.JPG\r\n"
              "sim.tree1.texture.path=Z:\\Sim\\Environments\\\xC9T\xC9.jpg\r\n");
    sim.Write("Environments/Sunset.env",
              "x\r\n"
              "sim.skyboxup.texture.path=" + back + "\r\n"
              "sim.sun.texture.path=Environments\\sun.jpg\r\n");
    for (const char* name : {"drv.jpg", "zed.jpg", "\xE9t\xE9.jpg", "sky.jpg", "sun.jpg", "other.jpg"})
        sim.Write("Environments/" + std::string(name), name);
    std::map<std::string, std::string> expected = Tree();
    const std::vector<std::string> listed = {
        "Sunset: " + back + " (not found)",
        "drv.jpg: not moved into \"__Unused Files__\" (Tidy may name it in "
        "sim.sun.texture.path=C:\\Program Files\\Vortaxis\\Environments\\drv.jpg)",
        "sky.jpg: not moved into \"__Unused Files__\" (Sunset may name it in sim.skyboxup.texture.path=" + back + ")",
        "zed.jpg: not moved into \"__Unused Files__\" (Tidy may name it in "
        "sim.ground.texture.path=Z:\\home\\ride\\Sim\\Environments\\ZED.JPG)",
        "\xC3\xA9t\xC3\xA9.jpg: not moved into \"__Unused Files__\" (Tidy may name it in "
        "sim.tree1.texture.path=Z:\\Sim\\Environments\\\xC3\x89T\xC3\x89.jpg)"};

    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.UnorganizedCount(), 1);
    EXPECT_EQ(organizer.ProblemLines(), listed);
    organizer.OrganizeEnvironments();
    EXPECT_EQ(organizer.ProblemLines(), listed);
    expected["Environments/Sunset.env"] =
        "x\r\nsim.skyboxup.texture.path=" + back + "\r\n"
        "sim.sun.texture.path=Environments\\Sunset\\sun.jpg\r\n";
    expected["Environments/Sunset"] = "/";
    expected["Environments/Sunset/sun.jpg"] = "sun.jpg";
    expected["Environments/__Unused Files__"] = "/";
    for (const std::string moved : {"sun.jpg", "other.jpg"}) {
        expected["Environments/__Unused Files__/" + moved] = moved;
        expected.erase("Environments/" + moved);
    }
    EXPECT_EQ(Tree(), expected);
}

// The simulator folder given relative to the working folder; environment files
// that cannot be written keep what they name, as the simulator reads it (up
// to a zero byte, without trailing dots; a value that names nothing so keeps
// the files its last name could be), and the copies made for them are removed
// (a copy found in place already stays, and so does a folder that was there).
TEST_F(EnvironmentOrganizerTest, ARelativeSimulatorFolderAndEnvironmentsThatCannotBeWritten) {
    namespace fs = std::filesystem;
    struct WorkingFolder {
        fs::path saved = fs::current_path();
        ~WorkingFolder() { fs::current_path(saved); }
    } working;
    const fs::path folder = fs::path(sim.Path()).parent_path();
    fs::current_path(folder.parent_path());
    gSimPath = folder.filename().string() + "/";

    sim.Write("Environments/Rocky.env",
              "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n"
              "sim.ground.texture.path=Environments\\ground.jpg\r\n"
              "sim.tree1.texture.path=Environments\\zero.jpg" + std::string(1, '\0') + "old\r\n"
              "sim.tree2.texture.path=Environments\\trail.jpg.\r\n"
              "sim.tree3.texture.path=Environments\\odd.jpg.\r\n");
    sim.Write("Environments/Stone.env",
              "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n"
              "sim.ground.texture.path=environments\\GROUND.jpg\r\n");
    for (const char* env : {"Rocky.env", "Stone.env"}) ::chmod((sim / "Environments/" + env).c_str(), 0444);
    sim.Write("Environments/Stone/ground.jpg", "GROUND");
    sim.Write("Environments/sky.jpg", "SKY");
    sim.Write("Environments/ground.jpg", "GROUND");
    sim.Write("Environments/notes.txt", "mine");
    for (const char* name : {"zero.jpg", "trail.jpg", "odd.jpg."}) sim.Write("Environments/" + std::string(name), name);
    std::map<std::string, std::string> expected = Tree();
    const std::string readOnly = "the environment file cannot be written. " + fsys::WriteFailureReason(EROFS);
    const std::string odd = "Rocky: Environments\\odd.jpg. (not found)";
    const std::string oddKept = "odd.jpg.: not moved into \"__Unused Files__\" (Rocky may name it in "
                                "sim.tree3.texture.path=Environments\\odd.jpg.)";

    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.UnorganizedCount(), 2);
    EXPECT_EQ(organizer.ProblemLines(), (std::vector<std::string>{odd, oddKept}));
    organizer.OrganizeEnvironments();
    EXPECT_EQ(organizer.ProblemLines(),
              (std::vector<std::string>{"Rocky: " + readOnly, odd, "Stone: " + readOnly, oddKept}));
    expected["Environments/__Unused Files__"] = "/";
    expected["Environments/__Unused Files__/notes.txt"] = "mine";
    expected.erase("Environments/notes.txt");
    EXPECT_EQ(Tree(), expected);
}

// A folder holding both spellings of a name: a value whose bytes name the
// single-byte file takes that file, for the copy and for what stays.
TEST_F(EnvironmentOrganizerTest, AValueTakesTheFileItsBytesNameExactly) {
    const std::string value = "x\r\nsim.sun.texture.path=Environments\\cr\xE8me.jpg\r\n";
    sim.Write("Environments/Sunset.env", value);
    sim.Write("Environments/Rocky.env", value);
    ::chmod((sim / "Environments/Rocky.env").c_str(), 0444);
    sim.Write("Environments/cr\xC3\xA8me.jpg", "UTF-8");
    sim.Write("Environments/cr\xE8me.jpg", "single bytes");
    std::map<std::string, std::string> expected = Tree();

    EnvironmentOrganizer organizer = Scanned();
    organizer.OrganizeEnvironments();
    expected["Environments/Sunset.env"] = "x\r\nsim.sun.texture.path=Environments\\Sunset\\cr\xE8me.jpg\r\n";
    expected["Environments/Sunset"] = "/";
    expected["Environments/Sunset/cr\xC3\xA8me.jpg"] = "single bytes";
    expected["Environments/__Unused Files__"] = "/";
    expected["Environments/__Unused Files__/cr\xC3\xA8me.jpg"] = "UTF-8";
    expected.erase("Environments/cr\xC3\xA8me.jpg");
    EXPECT_EQ(Tree(), expected);
    EXPECT_EQ(Named("Sunset.env", "sim.sun.texture.path"), "single bytes");
    EXPECT_EQ(organizer.ProblemLines(), std::vector<std::string>{"Rocky: the environment file cannot be written. " +
                                                                 fsys::WriteFailureReason(EROFS)});
}

// Links still name their targets once moved, or stay; a file named through a
// link stays; an environment file that is a link is written through it, stays
// a link, and its target stays; what cannot be moved is listed with its reason.
TEST_F(EnvironmentOrganizerTest, LinksKeepTheirTargetsAndWhatCannotMoveIsListed) {
    namespace fs = std::filesystem;
    sim.Write("Textures/real.jpg", "REAL");
    sim.Write("Environments/sunset.env.v2", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    fs::create_symlink("sunset.env.v2", sim / "Environments/Sunset.env");
    sim.Write("Saved/dusk.env", "x\r\nsim.sun.texture.path=Environments\\dusk.jpg\r\n");
    fs::create_symlink(sim / "Saved/dusk.env", sim / "Environments/Dusk.env");
    sim.Write("Environments/dusk.jpg", "DUSK");
    sim.Write("Environments/sky.jpg", "SKY");
    // Tidy names its texture through a link into the loose file.
    sim.Write("Environments/Tidy.env", "x\r\nsim.sun.texture.path=Environments\\Tidy\\sun.jpg\r\n");
    sim.Write("Environments/loose_sun.jpg", "SUN");
    fs::create_directories(sim / "Environments/Tidy");
    fs::create_symlink("../loose_sun.jpg", sim / "Environments/Tidy/sun.jpg");
    fs::create_symlink("../Textures/real.jpg", sim / "Environments/relative.jpg");
    fs::create_symlink(sim / "Textures/real.jpg", sim / "Environments/absolute.jpg");
    fs::create_symlink("gone.jpg", sim / "Environments/dangling.jpg");
    sim.Write("Environments/taken.txt", "NEW");
    sim.Write("Environments/__Unused Files__/taken.txt", "OLD");
    std::map<std::string, std::string> expected = Tree();
    const std::vector<std::string> taken = {
        "taken.txt: not moved into \"__Unused Files__\" (a file of that name is in \"__Unused Files__\")"};

    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.ProblemLines(), taken);
    organizer.OrganizeEnvironments();
    EXPECT_EQ(organizer.ProblemLines(), taken);
    EXPECT_EQ(organizer.ProblemMessage(),
              "These files could not be moved into \"__Unused Files__\" and were left where they are:\n"
              "taken.txt (a file of that name is in \"__Unused Files__\")");
    expected["Environments/sunset.env.v2"] = "x\r\nsim.sun.texture.path=Environments\\Sunset\\sky.jpg\r\n";
    expected["Environments/Sunset"] = "/";
    expected["Environments/Sunset/sky.jpg"] = "SKY";
    expected["Saved/dusk.env"] = "x\r\nsim.sun.texture.path=Environments\\Dusk\\dusk.jpg\r\n";
    expected["Environments/Dusk"] = "/";
    expected["Environments/Dusk/dusk.jpg"] = "DUSK";
    for (const char* moved : {"sky.jpg", "dusk.jpg", "relative.jpg", "absolute.jpg", "dangling.jpg"}) {
        expected["Environments/__Unused Files__/" + std::string(moved)] = expected["Environments/" + std::string(moved)];
        expected.erase("Environments/" + std::string(moved));
    }
    expected["Environments/__Unused Files__/relative.jpg"] = "-> ../../Textures/real.jpg";
    expected["Environments/__Unused Files__/dangling.jpg"] = "-> ../gone.jpg";
    EXPECT_EQ(Tree(), expected);
    EXPECT_EQ(Read("Environments/__Unused Files__/relative.jpg"), "REAL");
    EXPECT_EQ(Read("Environments/__Unused Files__/absolute.jpg"), "REAL");
    EXPECT_EQ(Read("Environments/Tidy/sun.jpg"), "SUN");

    // A file where "__Unused Files__" should be: every loose file stays, listed.
    fs::rename(sim / "Environments/__Unused Files__", sim / "old");
    sim.Write("Environments/__Unused Files__", "NOT A FOLDER");
    expected = Tree();
    organizer = Scanned();
    const std::vector<std::string> blocked = {
        "taken.txt: not moved into \"__Unused Files__\" (\"__Unused Files__\" is not a folder)"};
    EXPECT_EQ(organizer.ProblemLines(), blocked);
    organizer.MoveUnusedFiles();
    EXPECT_EQ(organizer.ProblemLines(), blocked);
    EXPECT_EQ(Tree(), expected);

    // A folder that cannot be written (the superuser writes every folder).
    if (::geteuid() != 0) {
        fs::remove(sim / "Environments/__Unused Files__");
        fs::create_directories(sim / "Environments/__Unused Files__");
        ::chmod((sim / "Environments/__Unused Files__").c_str(), 0555);
        expected = Tree();
        organizer = Scanned();
        const std::vector<std::string> denied = {
            "taken.txt: not moved into \"__Unused Files__\" (permission denied)"};
        EXPECT_EQ(organizer.ProblemLines(), denied);
        organizer.MoveUnusedFiles();
        EXPECT_EQ(organizer.ProblemLines(), denied);
        EXPECT_EQ(Tree(), expected);
        ::chmod((sim / "Environments/__Unused Files__").c_str(), 0755);
    }
}

// In an Environments folder that others may write (sticky), an environment
// file that is another user's link is neither followed nor written through,
// and what it leads to stays. Only the superuser can give the link to
// another user.
TEST_F(EnvironmentOrganizerTest, AnotherUsersLinkInASharedFolderIsNotWrittenThrough) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give files to other users";
    namespace fs = std::filesystem;
    const std::string env = sim / "Environments";
    sim.Write("Environments/sunset.env.v2", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    sim.Write("Environments/sky.jpg", "SKY");
    fs::create_symlink("sunset.env.v2", env + "/Sunset.env");
    ASSERT_EQ(::lchown((env + "/Sunset.env").c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(env.c_str(), 01777), 0);
    const std::map<std::string, std::string> before = Tree();
    EnvironmentOrganizer organizer = Scanned();
    organizer.OrganizeEnvironments();
    EXPECT_EQ(Tree(), before);
    const std::vector<std::string> lines = organizer.ProblemLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.front().find("a link that another user placed in a shared folder"), std::string::npos)
        << lines.front();
}

// The superuser's run on another user's tree is refused once, by the scan,
// with the reason and the way out, and does nothing to the files.
TEST_F(EnvironmentOrganizerTest, ASuperusersRunOnAnotherUsersTreeDoesNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser";
    sim.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    sim.Write("Environments/sky.jpg", "SKY");
    sim.Write("Environments/notes.txt", "mine");
    const std::string top = sim.Path().substr(0, sim.Path().size() - 1);
    ASSERT_EQ(::chown(top.c_str(), 65534, 65534), 0);
    const std::map<std::string, std::string> before = Tree();
    const std::string refusal = NobodysFolderRefusal(top);
    EnvironmentOrganizer organizer = Scanned();
    EXPECT_EQ(organizer.Refusal(), refusal);
    EXPECT_EQ(organizer.UnorganizedCount(), 1);
    EXPECT_EQ(organizer.ProblemLines(), std::vector<std::string>{refusal});
    organizer.OrganizeEnvironments();
    organizer.MoveUnusedFiles();
    EXPECT_EQ(Tree(), before);
    EXPECT_EQ(organizer.ProblemMessage(), refusal);
}

// In a shared (sticky) Environments folder, files go only into an "__Unused
// Files__" folder of the user's or of the simulator folder's owner: another
// user's folder of that name, or their link to a folder, gets nothing (they
// could delete what it holds), and that is said. It is judged on the folder
// opened: a name that no longer leads to it once it is open (another folder
// there, or another user's link to it) gets nothing either, and neither does
// an environment's folder swapped so; the user's own link to it is taken.
TEST_F(EnvironmentOrganizerTest, AnotherUsersUnusedFolderOrOneSwappedOnceOpenedGetsNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give folders to other users";
    namespace fs = std::filesystem;
    const std::string env = sim / "Environments", unused = env + "/__Unused Files__";
    sim.Write("Environments/Sunset.env", "x\r\n");
    sim.Write("Environments/notes.txt", "mine");
    fs::create_directories(unused);
    fs::create_directories(sim / "Mine");
    ASSERT_EQ(::chmod(env.c_str(), 01777), 0);
    const std::vector<std::string> line = {"No file is moved into \"__Unused Files__\": it belongs to another user"};
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "another user's link to a folder of the user's" : "another user's folder");
        if (link) {
            fs::remove(unused);
            fs::create_symlink(sim / "Mine", unused);
        }
        ASSERT_EQ(::lchown(unused.c_str(), 65534, 65534), 0);
        const std::map<std::string, std::string> before = Tree();
        EnvironmentOrganizer organizer = Scanned();
        EXPECT_EQ(organizer.ProblemLines(), line);
        organizer.OrganizeEnvironments();
        EXPECT_EQ(Tree(), before);
        EXPECT_EQ(organizer.ProblemLines(), line);
        EXPECT_EQ(organizer.ProblemMessage(), "No file was moved into \"__Unused Files__\": it belongs to another user.");
    }

    // Swapped once opened, before its name is looked at again.
    fs::remove(unused);
    sim.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    sim.Write("Environments/sky.jpg", "SKY");
    struct Swap {
        const char* what;
        std::string folder;  // the folder of the Environments folder that is swapped
        uid_t linkOwner;     // of the link to the folder opened put in its place; 0 is the user
        bool link;
        bool taken;
    };
    const std::string replaced = "its name led to another folder once it was opened";
    for (const Swap& swap : {Swap{"another folder", "__Unused Files__", 0, false, false},
                             Swap{"the user's own link to it", "__Unused Files__", 0, true, true},
                             Swap{"another user's link to it", "__Unused Files__", 65534, true, false},
                             Swap{"the environment's folder", "Sunset", 0, false, false}}) {
        SCOPED_TRACE(swap.what);
        fs::remove_all(sim / "Opened");
        fs::remove_all(env + "/Sunset");
        fs::remove_all(unused);
        fs::create_directories(unused);
        std::map<std::string, std::string> expected = Tree();
        EnvironmentOrganizer organizer = Scanned();
        bool swapped = false;
        SetHeldFolderObserverForTests([&](HeldFolderStep step, const std::string& path) {
            if (step != HeldFolderStep::Opened || swapped || path != env + "/" + swap.folder) return;
            swapped = true;
            fs::rename(path, sim / "Opened");
            if (!swap.link) {
                fs::create_directories(path);
                return;
            }
            fs::create_symlink(sim / "Opened", path);
            ::lchown(path.c_str(), swap.linkOwner, swap.linkOwner);
        });
        organizer.OrganizeEnvironments();
        SetHeldFolderObserverForTests(nullptr);
        EXPECT_TRUE(swapped);
        const std::string sunset = "Sunset: Environments\\sky.jpg (cannot be copied. The environment's folder was "
                                   "replaced by another while it was opened.)";
        if (swap.folder == "Sunset") {
            // The key keeps its value, and the picture it names stays where it is.
            EXPECT_EQ(organizer.ProblemLines(), (std::vector<std::string>{sunset}));
            expected["Environments/__Unused Files__/notes.txt"] = "mine";
            expected.erase("Environments/notes.txt");
            expected["Environments/Sunset"] = expected["Opened"] = "/";
        } else {
            EXPECT_EQ(organizer.MovesWithheld(), swap.taken ? "" : replaced);
            expected["Environments/Sunset.env"] = "x\r\nsim.sun.texture.path=Environments\\Sunset\\sky.jpg\r\n";
            expected["Environments/Sunset"] = "/";
            expected["Environments/Sunset/sky.jpg"] = "SKY";
            expected["Opened"] = "/";
            if (swap.link) expected["Environments/__Unused Files__"] = "-> " + sim / "Opened";
            if (swap.taken) {
                expected["Opened/notes.txt"] = expected["Environments/notes.txt"];
                expected["Opened/sky.jpg"] = expected["Environments/sky.jpg"];
                expected.erase("Environments/notes.txt");
                expected.erase("Environments/sky.jpg");
            }
        }
        EXPECT_EQ(Tree(), expected);
        sim.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
        sim.Write("Environments/sky.jpg", "SKY");
        sim.Write("Environments/notes.txt", "mine");
    }
}

// Users sharing a simulator folder: another user's folder at an
// environment's own name (made 0777 by them), or the user's own link to such
// a folder, takes no copy, the key keeps its value and the picture stays
// where it is, said already by the scan; nor does another user's "__Unused
// Files__" take a file. The simulator folder's owner's folders are taken.
TEST_F(EnvironmentOrganizerTest, AnotherUsersFoldersTakeNothingOfAUsers) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as other users";
    namespace fs = std::filesystem;
    constexpr uid_t kUser = 1, kNeighbour = 65534;  // daemon and nobody
    // Under a folder that every user may search, as the other users' runs need.
    EnvScope base("TMPDIR", "/tmp");
    TempFolder shared;
    gSimPath = shared.Path();
    const std::string env = shared / "Environments";
    shared.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    shared.Write("Environments/sky.jpg", "SKY");
    shared.Write("Environments/Dusk.env", "x\r\nsim.sun.texture.path=Environments\\dusk.jpg\r\n");
    shared.Write("Environments/dusk.jpg", "DUSK");
    shared.Write("Environments/notes.txt", "mine");
    for (const auto& entry : fs::recursive_directory_iterator(shared.Path()))
        ASSERT_EQ(::chown(entry.path().c_str(), kUser, kUser), 0);
    ASSERT_EQ(::chmod(shared.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chown(shared.Path().c_str(), kUser, kUser), 0);
    ASSERT_EQ(::chmod(env.c_str(), 01777), 0);
    for (const std::string& theirs : {env + "/Sunset", env + "/__Unused Files__", shared / "Theirs"}) {
        fs::create_directories(theirs);
        ASSERT_EQ(::chown(theirs.c_str(), kNeighbour, kNeighbour), 0);
        ASSERT_EQ(::chmod(theirs.c_str(), 0777), 0);
    }
    fs::create_symlink(shared / "Theirs", env + "/Dusk");
    ASSERT_EQ(::lchown((env + "/Dusk").c_str(), kUser, kUser), 0);
    const auto organize = [] {
        return AsUser(kUser, kUser, [] {
            EnvironmentOrganizer organizer;
            organizer.ScanEnvironments();
            const std::string scanned = Lines(organizer.ProblemLines());
            organizer.OrganizeEnvironments();
            return scanned + "--\n" + Lines(organizer.ProblemLines());
        });
    };
    std::map<std::string, std::string> expected = Tree(shared.Path());
    const std::string lines = Lines({"Dusk: Environments\\dusk.jpg (cannot be copied. The environment's folder "
                                     "belongs to another user.)",
                                     "Sunset: Environments\\sky.jpg (cannot be copied. The environment's folder "
                                     "belongs to another user.)",
                                     "No file is moved into \"__Unused Files__\": it belongs to another user"});
    const auto outcome = organize();
    if (!outcome) GTEST_SKIP() << "the process cannot become the user daemon";
    EXPECT_EQ(*outcome, lines + "--\n" + lines);
    EXPECT_EQ(Tree(shared.Path()), expected);

    // The simulator folder's owner's folders are taken, as the user's own are.
    ASSERT_EQ(::chown(shared.Path().c_str(), kNeighbour, kNeighbour), 0);
    EXPECT_EQ(organize(), "--\n");
    expected["Environments/Sunset.env"] = "x\r\nsim.sun.texture.path=Environments\\Sunset\\sky.jpg\r\n";
    expected["Environments/Dusk.env"] = "x\r\nsim.sun.texture.path=Environments\\Dusk\\dusk.jpg\r\n";
    expected["Environments/Sunset/sky.jpg"] = "SKY";
    expected["Theirs/dusk.jpg"] = "DUSK";
    for (const char* name : {"sky.jpg", "dusk.jpg", "notes.txt"}) {
        expected["Environments/__Unused Files__/" + std::string(name)] = expected["Environments/" + std::string(name)];
        expected.erase("Environments/" + std::string(name));
    }
    EXPECT_EQ(Tree(shared.Path()), expected);
}

}  // namespace
