// Environment files: the exact text for the default and a full set of values
// under a German locale, single-byte names and paths byte for byte, every
// slider and channel through a write and a read, the texture copies (never
// replacing a file, found as the simulator reads the value, a value not found
// kept as it was, readable by no one who could not read the source, never
// written through a link), the reader's rules for odd values, refused names.

#include "simulator/environment_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "core/app_state.h"
#include "core/app_version.h"
#include "core/settings_text.h"
#include "platform/file_system.h"
#include "simulator/held_folder.h"
#include "tests/core/locale_scope.h"
#include "tests/platform/temp_folder.h"

namespace {

std::tm Sunday0832() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 6;
    t.tm_wday = 0;
    t.tm_hour = 8;
    t.tm_min = 32;
    t.tm_sec = 20;
    return t;
}

class EnvironmentFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedSimPath = gSimPath;
        gSimPath = sim.Path();
        SetEnvironmentClock(Sunday0832);
        ResetEnvironmentControls();
    }
    void TearDown() override {
        SetEnvironmentClock(nullptr);
        gSimPath = savedSimPath;
        ResetEnvironmentControls();
    }
    std::string Read(const std::string& relative) {
        std::string text;
        fsys::ReadWholeFile(sim / relative, text);
        return text;
    }
    TempFolder sim;
    std::string savedSimPath;
};

const std::string kRule = "# " + std::string(80, '-') + "\r\n";

std::string Header(const std::string& date) {
    return kRule + "# Gantrywright - Environment Editor v" + AppVersionText() +
           "\r\n# Scenery, sky, sun and textures of a Vortaxis ride\r\n" +
           kRule + "# Last Modified: " + date + "\r\n" + kRule + "\r\n";
}

std::string Env(const char* file) { return std::string("Environments\\Full\\") + file; }

EnvironmentValues FullValues() {
    EnvironmentValues v;
    v.txtRegionGround = Env("ground.jpg");
    v.chkRegionPanaramic = false;
    const char* faces[6] = {"n.jpg", "s.jpg", "e.jpg", "w.jpg", "u.jpg", "d.jpg"};
    for (int i = 0; i < 6; ++i) v.txtRegionSkybox[i] = Env(faces[i]);
    v.chkFog = true;
    v.lblFogColor = EnvRGB(2, 128, 255);
    v.hsFogDensity = 3;
    v.chkLightingEnable = true;
    v.lblLightingColor = EnvRGB(1, 0, 254);
    v.chkLightingShadows = false;
    v.txtTree = {Env("t1.tga"), "", Env("t3.tga")};
    v.chkTreeUseSize = {true, false, true};
    v.hsTreeWidth = {1234, 800, 0};
    v.hsTreeHeight = {1100, 1100, 10000};
    v.chkTreeDistanceEnable = false;
    v.lblSkyColor = {EnvRGB(0, 0, 0), EnvRGB(10, 20, 30)};
    v.chkSkyClouds = false;
    v.txtSun = Env("sun.tga");
    v.hsSunPosition = {14401, 0};
    v.lblSunColor = {EnvRGB(255, 255, 254), EnvRGB(100, 140, 255), EnvRGB(128, 128, 129)};
    v.txtSunFlare[0] = Env("f1.tga");
    v.txtSunFlare[5] = Env("f6.tga");
    v.txtStation[0] = Env("panel.jpg");
    v.txtStation[9] = Env("rafters.jpg");
    v.chkStationRafters = true;
    v.txtTrack[7] = Env("rail.jpg");
    v.txtWood[10] = Env("side.jpg");
    return v;
}

const char* const kFullKeys =
    "sim.ground.texture.path=Environments\\Full\\ground.jpg\r\n"
    "sim.background.texture.enabled=false\r\n"
    "sim.skyboxfront.texture.path=Environments\\Full\\n.jpg\r\n"
    "sim.skyboxback.texture.path=Environments\\Full\\s.jpg\r\n"
    "sim.skyboxleft.texture.path=Environments\\Full\\e.jpg\r\n"
    "sim.skyboxright.texture.path=Environments\\Full\\w.jpg\r\n"
    "sim.skyboxup.texture.path=Environments\\Full\\u.jpg\r\n"
    "sim.skyboxdown.texture.path=Environments\\Full\\d.jpg\r\n"
    "sim.fog.enabled=true\r\n"
    "sim.fog.red=0.007843\r\nsim.fog.green=0.501961\r\nsim.fog.blue=1.0\r\n"
    "sim.fog.density=0.0003\r\n"
    "sim.tree1.texture.path=Environments\\Full\\t1.tga\r\n"
    "sim.tree1.sizex=12.34\r\nsim.tree1.sizey=11.0\r\n"
    "sim.tree3.texture.path=Environments\\Full\\t3.tga\r\n"
    "sim.tree3.sizex=0.0\r\nsim.tree3.sizey=100.0\r\n"
    "sim.background.trees.enabled=false\r\n"
    "sim.lighting.globalmodulate.red=0.003922\r\n"
    "sim.lighting.globalmodulate.green=0.0\r\n"
    "sim.lighting.globalmodulate.blue=0.996078\r\n"
    "sim.shadows.visible=false\r\n"
    "sim.sky.gradient.top.red=0.0\r\nsim.sky.gradient.top.green=0.0\r\nsim.sky.gradient.top.blue=0.0\r\n"
    "sim.sky.gradient.horz.red=0.039216\r\nsim.sky.gradient.horz.green=0.078431\r\n"
    "sim.sky.gradient.horz.blue=0.117647\r\n"
    "sim.clouds.enabled=false\r\nsim.clouds.visible=false\r\n"
    "sim.sun.texture.path=Environments\\Full\\sun.tga\r\n"
    "sim.sun.pos.alpha=0.0125\r\nsim.sun.pos.beta=-180.0\r\n"
    "sim.sun.diffuse.red=1.0\r\nsim.sun.diffuse.green=1.0\r\nsim.sun.diffuse.blue=0.996078\r\n"
    "sim.sun.specular.red=0.392157\r\nsim.sun.specular.green=0.54902\r\nsim.sun.specular.blue=1.0\r\n"
    "sim.sun.ambient.red=0.501961\r\nsim.sun.ambient.green=0.501961\r\nsim.sun.ambient.blue=0.505882\r\n"
    "sim.flare1.texture.path=Environments\\Full\\f1.tga\r\n"
    "sim.flare6.texture.path=Environments\\Full\\f6.tga\r\n"
    "sim.operatorspanel.texture.path=Environments\\Full\\panel.jpg\r\n"
    "sim.stationrafters.enabled=true\r\n"
    "sim.stationrafters.texture.path=Environments\\Full\\rafters.jpg\r\n"
    "sim.railing.texture.path=Environments\\Full\\rail.jpg\r\n"
    "sim.woody.tunnel.side1inside.texture.path=Environments\\Full\\side.jpg\r\n";

}  // namespace

TEST_F(EnvironmentFileTest, DefaultAndFullTextsUnderAGermanLocaleReadBackUnchanged) {
    LocaleScope german("de_DE.UTF-8");
    SKIP_WITHOUT_LOCALE(german);
    const std::string header = Header("Sonntag, Dezember 06, 2026 - 08:32.20 ");

    ASSERT_TRUE(WriteEnvironmentFile("Plain"));
    EXPECT_EQ(Read("Environments/Plain.env"), header + "sim.stationrafters.enabled=false\r\n");
    EXPECT_TRUE(fsys::FolderExists(sim / "Environments/Plain"));

    gEnvironment = FullValues();
    ASSERT_TRUE(WriteEnvironmentFile("Full"));
    EXPECT_EQ(Read("Environments/Full.env"), header + kFullKeys);
    EXPECT_EQ(EnvironmentFileText("Full", FullValues()), header + kFullKeys);

    ResetEnvironmentControls();
    ASSERT_TRUE(ReadEnvironmentFile(sim / "Environments/Full.env"));
    EXPECT_TRUE(gEnvironment == FullValues());
    ASSERT_TRUE(ReadEnvironmentFile(sim / "Environments/Plain.env"));
    EXPECT_TRUE(gEnvironment == EnvironmentValues());
}

TEST_F(EnvironmentFileTest, HeaderDateFollowsTheLocale) {
    std::tm evening = Sunday0832();
    evening.tm_hour = 20;
    evening.tm_mon = 2;
    evening.tm_wday = 5;
    {
        LocaleScope english("en_US.UTF-8");
        SKIP_WITHOUT_LOCALE(english);
        EXPECT_EQ(EnvironmentDateText(Sunday0832()), "Sunday, December 06, 2026 - 08:32.20 AM");
        EXPECT_EQ(EnvironmentDateText(evening), "Friday, March 06, 2026 - 08:32.20 PM");
    }
    LocaleScope german("de_DE.UTF-8");
    SKIP_WITHOUT_LOCALE(german);
    EXPECT_EQ(EnvironmentDateText(evening), "Freitag, M\xC3\xA4rz 06, 2026 - 08:32.20 ");
}

TEST_F(EnvironmentFileTest, NamesAndPathsAreSingleByteTextInTheFile) {
    LocaleScope german("de_DE.UTF-8");
    SKIP_WITHOUT_LOCALE(german);
    SetEnvironmentClock([] {
        std::tm march = Sunday0832();
        march.tm_mon = 2;
        return march;
    });
    // "Café" and "été.jpg" as the file system and the windows spell them (UTF-8).
    sim.Write("Textures/\xC3\xA9t\xC3\xA9.jpg", "summer");
    gEnvironment.txtRegionGround = "Textures\\\xC3\xA9t\xC3\xA9.jpg";
    ASSERT_TRUE(WriteEnvironmentFile("Caf\xC3\xA9"));
    const std::string bytes = Header("Sonntag, M\xE4rz 06, 2026 - 08:32.20 ") +
                              "sim.ground.texture.path=Environments\\Caf\xE9\\\xE9t\xE9.jpg\r\n"
                              "sim.stationrafters.enabled=false\r\n";
    EXPECT_EQ(Read("Environments/Caf\xC3\xA9.env"), bytes);
    EXPECT_EQ(Read("Environments/Caf\xC3\xA9/\xC3\xA9t\xC3\xA9.jpg"), "summer");

    // Read back (as an older file holding single-byte names is read), the key finds its copy.
    ResetEnvironmentControls();
    ASSERT_TRUE(ReadEnvironmentFile(sim / "Environments/Caf\xC3\xA9.env"));
    EXPECT_EQ(gEnvironment.txtRegionGround, "Environments\\Caf\xC3\xA9\\\xC3\xA9t\xC3\xA9.jpg");
    EXPECT_EQ(TexturePathOnDisk(gEnvironment.txtRegionGround), sim / "Environments/Caf\xC3\xA9/\xC3\xA9t\xC3\xA9.jpg");
    EXPECT_EQ(EnvironmentFileText("Caf\xC3\xA9", gEnvironment), bytes);

    // What the code page lacks is refused before anything is written.
    EXPECT_EQ(TextOutsideCodePage("Caf\xC3\xA9", gEnvironment), std::nullopt);
    EXPECT_EQ(TextOutsideCodePage("\xD0\x9C\xD0\xB8\xD1\x80", gEnvironment), "\xD0\x9C\xD0\xB8\xD1\x80");
    EXPECT_FALSE(WriteEnvironmentFile("\xD0\x9C\xD0\xB8\xD1\x80"));
    gEnvironment.txtSun = "Textures\\\xE2\x82\xAC.jpg";  // the euro sign
    EXPECT_EQ(TextOutsideCodePage("Caf\xC3\xA9", gEnvironment), "Textures\\\xE2\x82\xAC.jpg");  // not found: kept
    EXPECT_FALSE(WriteEnvironmentFile("Night"));
    EXPECT_FALSE(fsys::FileExists(sim / "Environments/Night.env"));
    EXPECT_FALSE(fsys::FolderExists(sim / "Environments/Night"));
    EXPECT_EQ(Read("Environments/Caf\xC3\xA9.env"), bytes);

    // Every byte of an older file survives a read and a write.
    std::string all;
    for (int c = 33; c < 256; ++c) all.push_back(static_cast<char>(c));
    EnvironmentValues values;
    ReadEnvironmentText("#\r\nsim.sun.texture.path=" + all + "\r\n", values);
    EXPECT_NE(EnvironmentFileText("A", values).find("\r\nsim.sun.texture.path=" + all + "\r\n"), std::string::npos);
}

TEST_F(EnvironmentFileTest, EverySliderAndChannelValueSurvivesAWriteAndARead) {
    auto roundTrip = [](const EnvironmentValues& v) {
        EnvironmentValues back;
        ReadEnvironmentText(EnvironmentFileText("R", v), back);
        return back == v;
    };
    // The two sun sliders cover 0..14400 and 14400..28800 between them.
    for (int i = 0; i <= 14400; ++i) {
        EnvironmentValues v;
        v.chkFog = true;
        v.hsSunPosition = {i, 28800 - i};
        v.hsFogDensity = i % 10001;
        ASSERT_TRUE(roundTrip(v)) << "sun and fog step " << i;
    }
    for (int i = 0; i <= 10000; i += 6) {
        EnvironmentValues v;
        v.chkTreeUseSize = {true, true, true};
        for (int t = 0; t < 3; ++t) {
            v.hsTreeWidth[t] = std::min(i + t, 10000);
            v.hsTreeHeight[t] = std::min(i + 3 + t, 10000);
        }
        ASSERT_TRUE(roundTrip(v)) << "tree step " << i;
    }
    for (int c = 0; c < 256; ++c) {
        EnvironmentValues v;
        v.chkFog = true;
        v.chkLightingEnable = true;
        v.lblFogColor = EnvRGB(c, 255 - c, (c * 7) % 256);
        v.lblLightingColor = EnvRGB(255 - c, c, c == 255 ? 0 : c);
        v.lblSkyColor = {EnvRGB(c, c, 0), EnvRGB(0, c, 255 - c)};
        v.lblSunColor = {EnvRGB(c, 1, 2), EnvRGB(3, c, 4), EnvRGB(5, 6, c)};
        ASSERT_TRUE(roundTrip(v)) << "channel " << c;
    }
}

TEST_F(EnvironmentFileTest, TexturesAreCopiedOnceUnderTheNameTheirKeyGives) {
    const std::string outside = sim.Write("outside/Sky,Blue.tga", "new sky");
    sim.Write("Textures/wood.jpg", "wood");
    sim.Write("Environments/Mine/kept.jpg", "old");
    const std::string keptSource = sim.Write("elsewhere/kept.jpg", "newer");
    gEnvironment.txtRegionGround = outside;
    gEnvironment.txtRegionSkybox[0] = "textures\\WOOD.JPG";  // relative to the simulator, any case
    gEnvironment.txtRegionSkybox[1] = keptSource;
    gEnvironment.txtRegionSkybox[2] = sim / "missing.jpg";
    gEnvironment.txtRegionSkybox[3] = "x";  // too short: no key
    gEnvironment.txtRegionSkybox[4] = sim.Write("third/kept.jpg", "third");
    gEnvironment.txtRegionSkybox[5] = sim.Write("same/kept.jpg", "newer");
    ASSERT_TRUE(WriteEnvironmentFile("Mine"));

    const std::string text = Read("Environments/Mine.env");
    EXPECT_NE(text.find("\r\nsim.ground.texture.path=Environments\\Mine\\Sky.Blue.tga\r\n"), std::string::npos);
    EXPECT_EQ(Read("Environments/Mine/Sky.Blue.tga"), "new sky");
    EXPECT_NE(text.find("\r\nsim.skyboxfront.texture.path=Environments\\Mine\\WOOD.JPG\r\n"), std::string::npos);
    EXPECT_EQ(Read("Environments/Mine/WOOD.JPG"), "wood");
    // A file already there with other bytes stays; the new copy takes the next free name.
    EXPECT_EQ(Read("Environments/Mine/kept.jpg"), "old");
    EXPECT_NE(text.find("\r\nsim.skyboxback.texture.path=Environments\\Mine\\kept (2).jpg\r\n"), std::string::npos);
    EXPECT_EQ(Read("Environments/Mine/kept (2).jpg"), "newer");
    EXPECT_NE(text.find("\r\nsim.skyboxup.texture.path=Environments\\Mine\\kept (3).jpg\r\n"), std::string::npos);
    EXPECT_EQ(Read("Environments/Mine/kept (3).jpg"), "third");
    EXPECT_NE(text.find("\r\nsim.skyboxdown.texture.path=Environments\\Mine\\kept (2).jpg\r\n"), std::string::npos);
    EXPECT_FALSE(fsys::FileExists(sim / "Environments/Mine/kept (4).jpg"));
    EXPECT_NE(text.find("\r\nsim.skyboxleft.texture.path=" + sim / "missing.jpg\r\n"), std::string::npos);
    EXPECT_EQ(text.find("sim.skyboxright"), std::string::npos);

    // A comma in the name: the keys and the texture folder both carry a point.
    ASSERT_TRUE(WriteEnvironmentFile("Dusk,2"));
    EXPECT_NE(Read("Environments/Dusk,2.env").find("Environments\\Dusk.2\\Sky.Blue.tga"), std::string::npos);
    EXPECT_EQ(Read("Environments/Dusk.2/Sky.Blue.tga"), "new sky");

    // A name ending in dots and spaces: its folder is the one the simulator reads the keys as.
    ResetEnvironmentControls();
    gEnvironment.txtSun = "Textures\\wood.jpg";
    ASSERT_TRUE(WriteEnvironmentFile("Sunset. "));
    EXPECT_EQ(EnvironmentTextureFolder("Sunset. "), sim / "Environments/Sunset/");
    EXPECT_NE(Read("Environments/Sunset. .env").find("\r\nsim.sun.texture.path=Environments\\Sunset\\wood.jpg\r\n"),
              std::string::npos);
    EXPECT_EQ(Read("Environments/Sunset/wood.jpg"), "wood");
}

// No one reads a copy who could not read its source: a copy takes the
// source's permission bits less the umask, the group's only where its group is
// the source's. A copy is never written through a link at its name (one
// planted once the folder's names were looked at, or one there before that
// leads to the same bytes): such a name counts as taken.
TEST_F(EnvironmentFileTest, ACopyKeepsItsReadersAndIsNeverWrittenThroughALink) {
    namespace fs = std::filesystem;
    struct UmaskScope {
        mode_t saved;
        explicit UmaskScope(mode_t mask) : saved(::umask(mask)) {}
        ~UmaskScope() { ::umask(saved); }
    };
    const auto mode = [](const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 07777;
    };
    const std::string folder = sim / "Environments/Mine";
    const auto place = [](const std::string& source, const std::string& into, const std::string& name) {
        errno = 0;
        return PlaceTextureCopy(source, into, name).value_or("failed: " + TextureCopyFailureReason(errno));
    };
    const std::string secret = sim.Write("pics/secret.jpg", "SECRET");
    const std::string open = sim.Write("pics/open.jpg", "OPEN");
    ::chmod(secret.c_str(), 0600);
    ::chmod(open.c_str(), 0644);
    {
        UmaskScope umask(022);
        EXPECT_EQ(place(secret, folder, "secret.jpg"), "secret.jpg");
        EXPECT_EQ(mode(folder + "/secret.jpg"), 0600u);
        EXPECT_EQ(place(open, folder, "open.jpg"), "open.jpg");
        EXPECT_EQ(mode(folder + "/open.jpg"), 0644u);
    }
    {
        UmaskScope umask(077);
        EXPECT_EQ(place(open, folder, "private.jpg"), "private.jpg");
        EXPECT_EQ(mode(folder + "/private.jpg"), 0600u);
    }
    if (::geteuid() == 0) {  // a source of another group, and a folder that hands that group on
        UmaskScope umask(0);
        const std::string shared = sim.Write("pics/shared.jpg", "SHARED");
        ASSERT_EQ(::chown(shared.c_str(), 0, 65534), 0);
        ::chmod(shared.c_str(), 0664);
        EXPECT_EQ(place(shared, folder, "shared.jpg"), "shared.jpg");
        EXPECT_EQ(mode(folder + "/shared.jpg"), 0604u);
        const std::string group = sim / "Environments/Group";
        fs::create_directories(group);
        ASSERT_EQ(::chown(group.c_str(), 0, 65534), 0);
        ::chmod(group.c_str(), 02775);
        EXPECT_EQ(place(shared, group, "shared.jpg"), "shared.jpg");
        EXPECT_EQ(mode(group + "/shared.jpg"), 0664u);
    }

    const std::string target = sim.Write("pics/target.jpg", "TARGET");
    bool planted = false;
    SetHeldFolderObserverForTests([&](HeldFolderStep step, const std::string& path) {
        if (step == HeldFolderStep::Listed && !planted) planted = (fs::create_symlink(target, path + "/sky.jpg"), true);
    });
    EXPECT_EQ(place(open, folder, "sky.jpg"), "sky (2).jpg");
    SetHeldFolderObserverForTests(nullptr);
    EXPECT_TRUE(planted);
    EXPECT_EQ(Read("pics/target.jpg"), "TARGET");
    EXPECT_EQ(fs::read_symlink(folder + "/sky.jpg"), target);
    EXPECT_EQ(Read("Environments/Mine/sky (2).jpg"), "OPEN");
    fs::create_symlink(open, folder + "/linked.jpg");
    EXPECT_EQ(place(open, folder, "linked.jpg"), "linked (2).jpg");
}

// An unchanged save keeps every picture the simulator reads: a value with
// trailing dots or spaces is found as the simulator reads it and its copy
// takes that name; a value whose file is not found here stays as it was
// (commas too) and is listed.
TEST_F(EnvironmentFileTest, AnUnchangedSaveKeepsThePicturesTheSimulatorReads) {
    sim.Write("Environments/tdsky.jpg", "SKY");
    sim.Write("Environments/back.jpg", "BACK");
    sim.Write("Environments/left.jpg", "LEFT");
    const std::string kept = "sim.tree1.texture.path=D:\\textures\\tree.jpg\r\n"
                             "sim.tree2.texture.path=Textures\\gone,1.jpg\r\n";
    sim.Write("Environments/TD.env", "x\r\n"
                                     "sim.skyboxfront.texture.path=Environments\\tdsky.jpg.\r\n"
                                     "sim.skyboxback.texture.path=Environments\\back.jpg .\r\n"
                                     "sim.skyboxleft.texture.path=Environments.\\left.jpg\r\n" + kept);
    std::vector<std::string> notFound;
    for (int save = 0; save < 2; ++save) {
        EnvironmentValues v;
        ASSERT_TRUE(ReadEnvironmentFile(sim / "Environments/TD.env", v));
        ASSERT_TRUE(WriteEnvironmentFile("TD", v, nullptr, &notFound));
        EXPECT_EQ(notFound, (std::vector<std::string>{"D:\\textures\\tree.jpg", "Textures\\gone,1.jpg"}));
        const std::string text = Read("Environments/TD.env");
        EXPECT_NE(text.find("\r\nsim.skyboxfront.texture.path=Environments\\TD\\tdsky.jpg\r\n"
                            "sim.skyboxback.texture.path=Environments\\TD\\back.jpg\r\n"
                            "sim.skyboxleft.texture.path=Environments\\TD\\left.jpg\r\n" + kept),
                  std::string::npos)
            << save;
    }
    EXPECT_EQ(Read("Environments/TD/tdsky.jpg"), "SKY");
    EXPECT_EQ(Read("Environments/TD/back.jpg"), "BACK");
    EXPECT_EQ(Read("Environments/TD/left.jpg"), "LEFT");
}

TEST_F(EnvironmentFileTest, ReaderRules) {
    auto read = [](const std::string& keys) {
        EnvironmentValues v;
        ReadEnvironmentText("# comment\r\n" + keys, v);
        return v;
    };
    EnvironmentValues v;
    ReadEnvironmentText("sim.fog.enabled=true\r\n#sim.shadows.visible=false\r\n", v);
    EXPECT_FALSE(v.chkFog);  // the first line is never found
    EXPECT_TRUE(v.chkLightingShadows);
    EnvironmentValues comments;  // every control at its default; the comment is kept
    comments.FirstLine = "# comment";
    EXPECT_TRUE(read("") == comments);

    EXPECT_EQ(read("sim.fog.density=0.0003\r\n").hsFogDensity, 3);
    EXPECT_EQ(read("sim.fog.density=1.5\r\n").hsFogDensity, 10000);
    EXPECT_EQ(read("sim.fog.density=-0.2\r\n").hsFogDensity, 0);
    EXPECT_EQ(read("sim.fog.density=thick\r\n").hsFogDensity, 100);
    EXPECT_EQ(read("sim.sun.pos.alpha=200\r\nsim.sun.pos.beta=-500\r\n").hsSunPosition,
              (std::array<int32_t, 2>{1600, 3200}));
    EXPECT_EQ(read("sim.sun.pos.alpha=400\r\nsim.sun.pos.beta=-600\r\n").hsSunPosition,
              (std::array<int32_t, 2>{17600, 0}));
    EXPECT_EQ(read("sim.fog.red=0.007843\r\nsim.fog.green=2\r\nsim.fog.blue=-1\r\n").lblFogColor, EnvRGB(2, 255, 0));
    EXPECT_EQ(read("sim.fog.red=0.5\r\nsim.fog.blue=0.5\r\n").lblFogColor, EnvRGB(128, 128, 128));  // no green

    v = read("sim.tree1.sizex=12.5\r\nsim.tree1.sizey=11.0\r\nsim.tree2.sizex=8.0\r\nsim.tree2.sizey=11\r\n"
             "sim.tree3.sizex=250\r\n");
    EXPECT_EQ(v.chkTreeUseSize, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(v.hsTreeWidth, (std::array<int32_t, 3>{1250, 800, 10000}));

    v = read("sim.lighting.globalmodulate.red=1.0\r\nsim.lighting.globalmodulate.green=1.0\r\n"
             "sim.lighting.globalmodulate.blue=1.0\r\n");
    EXPECT_FALSE(v.chkLightingEnable);
    v = read("sim.lighting.globalmodulate.red=1.0\r\nsim.lighting.globalmodulate.green=0.99\r\n"
             "sim.lighting.globalmodulate.blue=1.0\r\n");
    EXPECT_TRUE(v.chkLightingEnable);
    EXPECT_EQ(v.lblLightingColor, EnvRGB(255, 252, 255));

    EXPECT_TRUE(read("sim.clouds.enabled=TRUE\r\nsim.clouds.visible=false\r\n").chkSkyClouds);
    EXPECT_FALSE(read("sim.clouds.visible=0\r\n").chkSkyClouds);
    EXPECT_FALSE(read("sim.ground.visible=0\r\nsim.shadows.visible=False\r\n").chkRegionGround);
    EXPECT_TRUE(read("sim.ground.visible=maybe\r\n").chkRegionGround);  // neither word nor number: default
    EXPECT_TRUE(read("sim.fog.enabled=2\r\n").chkFog);
    EXPECT_EQ(read("sim.ground.texture.path=  a\\b c.jpg \t\r\n").txtRegionGround, "a\\b c.jpg");
    EXPECT_FLOAT_EQ(EnvValueToSingle("  0.12345678xyz"), 0.123457f);
}

// World lighting is read from the colour as it is held: 0.9999 and 2 are
// white, so lighting reads as off, and what is read is what a save writes.
TEST_F(EnvironmentFileTest, LightingIsReadFromTheColourAsHeld) {
    for (const char* red : {"0.9999", "2", "1.0"}) {
        EnvironmentValues v;
        ReadEnvironmentText(std::string("#\r\nsim.lighting.globalmodulate.red=") + red +
                                "\r\nsim.lighting.globalmodulate.green=1.0\r\nsim.lighting.globalmodulate.blue=1\r\n",
                            v);
        EXPECT_EQ(v.lblLightingColor, EnvRGB(255, 255, 255)) << red;
        EXPECT_FALSE(v.chkLightingEnable) << red;
        const std::string text = EnvironmentFileText("L", v);
        EXPECT_EQ(text.find("lighting"), std::string::npos) << red;
        EnvironmentValues again;
        ReadEnvironmentText(text, again);
        EXPECT_EQ(again, v) << red;
    }
    EnvironmentValues v;
    ReadEnvironmentText("#\r\nsim.lighting.globalmodulate.red=0.998\r\nsim.lighting.globalmodulate.green=1\r\n"
                        "sim.lighting.globalmodulate.blue=1\r\n",
                        v);
    EXPECT_TRUE(v.chkLightingEnable);
    EXPECT_EQ(v.lblLightingColor, EnvRGB(254, 255, 255));
    EnvironmentValues again;
    ReadEnvironmentText(EnvironmentFileText("L", v), again);
    EXPECT_EQ(again, v);
}

// Lines the editor neither reads nor writes stay as they were: the first line,
// which the reader skips, stays first, before the editor's header; the others
// (keys it has no control for, comments, other text) follow the editor's own
// lines. Its own keys (in any case, repeated ones too), blank lines and its
// header, wherever it stands, are its own to write.
TEST_F(EnvironmentFileTest, LinesTheEditorDoesNotEditAreKeptAfterItsOwn) {
    const std::string file =
        "sim.water.texture.path=Textures\\water,1.jpg\r\n"
        "# a comment=with an equals sign\r\n"
        "sim.fog.enabled=true\r\n"
        "sim.custom.scale = 1,5 \r\n"
        "SIM.FOG.ENABLED = false\r\n"
        "not a key line\r\n"
        " \t\r\n"
        "sim.Sun.Pos.Alpha\t=10\r\n"
        "  sim.fog.red=0.5\n"
        "sim.caf\xE9=\xE9t\xE9";
    sim.Write("Environments/Kept.env", file);
    ASSERT_TRUE(ReadEnvironmentFile(sim / "Environments/Kept.env"));
    EXPECT_EQ(gEnvironment.FirstLine, "sim.water.texture.path=Textures\\water,1.jpg");
    EXPECT_EQ(gEnvironment.KeptLines,
              (std::vector<std::string>{"# a comment=with an equals sign", "sim.custom.scale = 1,5 ", "not a key line",
                                        "  sim.fog.red=0.5", "sim.caf\xC3\xA9=\xC3\xA9t\xC3\xA9"}));
    EXPECT_TRUE(gEnvironment.chkFog);
    EXPECT_EQ(gEnvironment.hsSunPosition[0], 15200);
    ASSERT_TRUE(WriteEnvironmentFile("Kept"));
    EnvironmentValues own = gEnvironment;
    own.FirstLine.clear();
    own.KeptLines.clear();
    EXPECT_EQ(Read("Environments/Kept.env"),
              "sim.water.texture.path=Textures\\water,1.jpg\r\n" + EnvironmentFileText("Kept", own) +
                  "# a comment=with an equals sign\r\n"
                  "sim.custom.scale = 1,5 \r\nnot a key line\r\n  sim.fog.red=0.5\r\nsim.caf\xE9=\xE9t\xE9\r\n");
    const EnvironmentValues before = gEnvironment;
    ASSERT_TRUE(ReadEnvironmentFile(sim / "Environments/Kept.env"));
    EXPECT_EQ(gEnvironment, before);

    // A key of the editor's on the first line stays unread there, save after
    // save; an older header below it is the editor's own (one header is
    // written), and the user's comment right under it is kept. Every unchanged
    // save from the first on writes the same lines.
    const std::string older = kRule + "# Gantrywright - Environment Editor v0.9.1\r\n" +
                              "# Scenery, sky, sun and textures of a Vortaxis ride\r\n" + kRule +
                              "# Last Modified: Monday, May 04, 2026 - 10:00.00 PM\r\n" + kRule;
    sim.Write("Environments/First.env",
              "sim.ground.visible=false\r\n" + older + "# \xE9t\xE9, under the header\r\n\r\nsim.fog.enabled=true\r\n");
    std::string saved;
    for (int save = 0; save < 2; ++save) {
        ASSERT_TRUE(ReadEnvironmentFile(sim / "Environments/First.env"));
        EXPECT_TRUE(gEnvironment.chkRegionGround) << save;
        EXPECT_TRUE(gEnvironment.chkFog) << save;
        EXPECT_EQ(gEnvironment.KeptLines, std::vector<std::string>{"# \xC3\xA9t\xC3\xA9, under the header"});
        ASSERT_TRUE(WriteEnvironmentFile("First"));
        if (save == 0) saved = Read("Environments/First.env");
    }
    EXPECT_EQ(Read("Environments/First.env"), saved);
    own = gEnvironment;
    own.FirstLine.clear();
    own.KeptLines.clear();
    EXPECT_EQ(saved, "sim.ground.visible=false\r\n" + EnvironmentFileText("First", own) +
                         "# \xE9t\xE9, under the header\r\n");

    // A file the editor wrote starts with its header; a comment right under it stays.
    const std::string plain = EnvironmentFileText("Mine", EnvironmentValues());
    std::string text = plain;
    text.insert(text.find("\r\n\r\n") + 2, "# mine\r\n");
    EnvironmentValues mine;
    ReadEnvironmentText(text, mine);
    EXPECT_EQ(mine.FirstLine, "");
    EXPECT_EQ(EnvironmentFileText("Mine", mine), plain + "# mine\r\n");
}

TEST_F(EnvironmentFileTest, MissingFilesBadNamesAndWriteFailuresAreReported) {
    gEnvironment.chkFog = true;
    EXPECT_FALSE(ReadEnvironmentFile(sim / "nothing.env"));
    EXPECT_TRUE(gEnvironment.chkFog);

    for (const char* name : {"", ".", "..", "...", " . ", ",", "a/b", "..\\up", "../up", "tab\there"}) {
        EXPECT_FALSE(IsEnvironmentNameAllowed(name)) << name;
        EXPECT_FALSE(WriteEnvironmentFile(name)) << name;
    }
    EXPECT_FALSE(fsys::FolderExists(sim / "up"));
    EXPECT_FALSE(fsys::FileExists(sim / "up.env"));
    EXPECT_TRUE(IsEnvironmentNameAllowed("Night... at 8?"));
    EXPECT_EQ(EnvironmentNameRefusal(".."), "the environment's name leaves no folder name: the simulator drops the "
                                            "dots and spaces at the end of a folder's name");
    EXPECT_EQ(EnvironmentTextureFolder(".."), "");

    std::filesystem::create_directories(sim / "Environments/Blocked.env");
    EXPECT_FALSE(WriteEnvironmentFile("Blocked"));
    ASSERT_TRUE(WriteEnvironmentFile("Fine"));
    EXPECT_TRUE(fsys::FileExists(sim / "Environments/Fine.env"));
}
