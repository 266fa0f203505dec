#include "core/settings_file.h"

#include <filesystem>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/app_version.h"
#include "core/recent_list.h"
#include "platform/app_folders.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "tests/core/core_test_support.h"

namespace {

std::string ReadSettingsFile() {
    std::string text;
    fsys::ReadWholeFile(SettingsFilePath(), text);
    return text;
}

void WriteSettingsFile(const std::string& text) {
    ASSERT_TRUE(fsys::CreateFolders(fsys::ConfigFolder()));
    ASSERT_TRUE(fsys::WriteFileAtomically(SettingsFilePath(), text));
}

const std::string kComments =
    ";Settings of the Gantrywright track kit, written by its Settings dialog.\r\n"
    ";One key=value per line; flags are 1 or 0, numbers use a decimal point.\r\n"
    ";The recent files are read from here only while they are not shared with the editor.\r\n";

using SettingsFileTest = AppStateTest;

TEST_F(SettingsFileTest, AFreshConfigurationFolderGetsTheDefaultFileByteForByte) {
    EXPECT_FALSE(fsys::FolderExists(config.Path()));
    LoadSettings();  // no file: the defaults
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(SettingsFilePath(), config.Path() + "Gantrywright.ini");
    const std::string expected = ";Gantrywright v1.3.3\r\n" + kComments +
                                 "\r\n[General]\r\n"
                                 "UseRecentList=1\r\n"
                                 "SyncRecentList=1\r\n"
                                 "ModelOnLoad=3\r\n"
                                 "CombRadiusScale=0.1\r\n"
                                 "CombRadiusLimit=50\r\n"
                                 "\r\n[RecentList]\r\n"
                                 "File1=\r\nFile2=\r\nFile3=\r\nFile4=\r\nFile5=\r\nFile6=\r\nFile7=\r\nFile8=\r\n";
    EXPECT_EQ(ReadSettingsFile(), expected);
    EXPECT_EQ(AppVersionText(), "1.3.3") << "the version the About box shows";
}

TEST_F(SettingsFileTest, WithoutTheRecentListTheFileEndsAfterGeneral) {
    gUseRecentList = false;
    gSyncRecentList = false;
    gModelOnLoad = 5;
    gCombRadiusScale = 2.75f;
    gCombRadiusLimit = 100;
    gRecentFiles[0] = "/t/a.vxtrack";
    ASSERT_TRUE(SaveSettings());
    const std::string text = ReadSettingsFile();
    EXPECT_NE(text.find("\r\n[General]\r\nUseRecentList=0\r\nSyncRecentList=0\r\nModelOnLoad=5\r\n"
                        "CombRadiusScale=2.75\r\nCombRadiusLimit=100\r\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("CombRadiusLimit=100\r\n"));
    EXPECT_EQ(text.find("RecentList]"), std::string::npos);
}

TEST_F(SettingsFileTest, SavingLeavesTheSharedBufferAsItWas) {
    IniSetBuffer(";environment being edited\r\nsim.fog=1\r\n");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(IniGetBuffer(), ";environment being edited\r\nsim.fog=1\r\n");
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenReportsFailure) {
    // The file's name taken by a folder.
    ASSERT_TRUE(fsys::CreateFolders(SettingsFilePath()));
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(fsys::FolderExists(SettingsFilePath()));
    // A configuration folder that cannot be created.
    TempFolder other;
    EnvScope env("GANTRYWRIGHT_CONFIG_DIR", other.Write("file") + "/config");
    EXPECT_FALSE(SaveSettings());
}

// A settings file too large to be one (a sparse one of 10 GB) gives the
// defaults and is left as it is for the run, however the run saves; so is a
// registry file. The start-up notice names each with its reason.
TEST_F(SettingsFileTest, AFileTooLargeToReadIsLeftAsItIsAndNamedAtStartUp) {
    WriteSettingsFile(";v\r\nModelOnLoad=1\r\n");
    const std::string registry = RegStoreFile(RegCurrentUser);
    ASSERT_TRUE(fsys::WriteFileAtomically(registry, std::string("[a]\n")));
    for (const std::string& path : {SettingsFilePath(), registry})
        std::filesystem::resize_file(path, uintmax_t{10} << 30);
    struct stat before {};
    ASSERT_EQ(::stat(SettingsFilePath().c_str(), &before), 0);
    LoadSettings();
    InitAppPaths();
    EXPECT_EQ(gModelOnLoad, 3);
    EXPECT_FALSE(SettingsFileKept());
    EXPECT_EQ(RefusedSettingsFile().Error, EFBIG);
    gSyncRecentList = false;
    AddToRecentList("/t/a.vxtrack");  // saves the settings
    EXPECT_TRUE(SaveSettings());
    struct stat after {};
    ASSERT_EQ(::stat(SettingsFilePath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(SettingsStartupNotice(),
              "Could not read the settings file " + SettingsFilePath() +
                  "\r\nThe file is larger than a settings file can be (at most 1 MiB).\r\n" + kRefusedSettingsFileText +
                  "\r\n\r\nCould not read the registry file " + registry +
                  "\r\nThe file is larger than a registry file can be (at most 4 MiB).\r\n" + kRefusedRegistryFileText);
    // Another configuration folder is read and written again.
    ConfigFolderScope other;
    LoadSettings();
    EXPECT_TRUE(SettingsFileKept());
    EXPECT_EQ(SettingsStartupNotice(), "");
}

// A registry file with a line the program does not understand is named at
// start-up with the line, as the one its changes refuse.
TEST_F(SettingsFileTest, ARegistryFileNotUnderstoodIsNamedWithItsLineAtStartUp) {
    const std::string registry = RegStoreFile(RegClassesRoot);
    ASSERT_TRUE(fsys::CreateFolders(fsys::ConfigFolder()));
    ASSERT_TRUE(fsys::WriteFileAtomically(registry, std::string("; ours\n[.vxtrack]\n\"\"=string:\"x\"\n\"\"=str\n")));
    LoadSettings();
    InitAppPaths();
    EXPECT_EQ(SettingsStartupNotice(), "The registry file \"" + registry +
                                           "\" has a line the program does not understand (line 4: \"\"\"=str\").\r\n" +
                                           kStrangeRegistryFileText);
}

// Without a home folder (no HOME, no entry in the password file) there is no
// configuration folder: nothing is read from or written to the folder the
// program runs in, the settings and registry values last for the run, and the
// start-up notice says so.
TEST_F(SettingsFileTest, WithoutAHomeFolderTheSettingsLastForTheRun) {
    constexpr uid_t kStranger = 54321;
    if (::geteuid() != 0 || ::getpwuid(kStranger)) GTEST_SKIP() << "needs the superuser and a user id without an entry";
    TempFolder shared;
    ::chmod(shared.Path().c_str(), 0777);
    shared.Write("gantrywright/Gantrywright.ini", ";v\r\nModelOnLoad=1\r\n");
    ::chmod((shared / "gantrywright").c_str(), 0777);
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string result = "!";
        if (::chdir(shared.Path().c_str()) == 0 && ::setgroups(0, nullptr) == 0 && ::setgid(kStranger) == 0 &&
            ::setuid(kStranger) == 0) {
            for (const char* name : {"HOME", "XDG_CONFIG_HOME", "GANTRYWRIGHT_CONFIG_DIR"}) ::unsetenv(name);
            ::setenv("GANTRYWRIGHT_CONFIG_DIR", "gantrywright", 1);  // relative: ignored
            LoadSettings();
            result = "[" + fsys::ConfigFolder() + "] " + std::to_string(gModelOnLoad);
            result += SaveSettings() ? " saved" : " not saved";
            if (RegWriteValue(RegCurrentUser, kSimulatorKey, RegString, "InstPath", "/vx/")) result += " written";
            std::string value;
            if (RegReadValue(RegCurrentUser, kSimulatorKey, "InstPath", value)) result += " read " + value;
            if (SettingsStartupNotice() == kNoSettingsFolderText) result += " said";
        }
        const ssize_t sent = ::write(channel[1], result.data(), result.size());
        ::_exit(sent == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (result == "!") GTEST_SKIP() << "the process cannot become another user";
    EXPECT_EQ(result, "[] 3 saved written read /vx/ said");
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(shared.Path()))
        entries.push_back(entry.path().filename().string());
    EXPECT_EQ(entries, (std::vector<std::string>{"gantrywright", "Gantrywright.ini"}));
}

TEST_F(SettingsFileTest, ReadingHoldsValuesToTheirRanges) {
    WriteSettingsFile(";v\r\n[General]\r\nUseRecentList=True\r\nSyncRecentList=2\r\nModelOnLoad=9\r\n"
                      "CombRadiusScale=0,5\r\nCombRadiusLimit=0\r\n");
    LoadSettings();
    EXPECT_FALSE(gUseRecentList);  // the word True has the numeric value 0
    EXPECT_TRUE(gSyncRecentList);
    EXPECT_EQ(gModelOnLoad, 5);
    EXPECT_FLOAT_EQ(gCombRadiusScale, 0.5f);  // a decimal comma reads as a point
    EXPECT_EQ(gCombRadiusLimit, 1);

    WriteSettingsFile(";v\r\nModelOnLoad=-4\r\nCombRadiusScale=25\r\nCombRadiusLimit=250\r\n");
    LoadSettings();
    EXPECT_EQ(gModelOnLoad, 0);
    EXPECT_FLOAT_EQ(gCombRadiusScale, 20.0f);
    EXPECT_EQ(gCombRadiusLimit, 100);

    WriteSettingsFile(";v\r\nCombRadiusScale=1e999\r\n");
    LoadSettings();
    EXPECT_FLOAT_EQ(gCombRadiusScale, 20.0f);
}

TEST_F(SettingsFileTest, MissingKeysReadAsTheirLowerBounds) {
    WriteSettingsFile(";only a comment\r\n");
    gRecentFiles[3] = "/t/stale.vxtrack";
    LoadSettings();
    EXPECT_FALSE(gUseRecentList);
    EXPECT_FALSE(gSyncRecentList);
    EXPECT_EQ(gModelOnLoad, 0);
    EXPECT_FLOAT_EQ(gCombRadiusScale, 0.01f);
    EXPECT_EQ(gCombRadiusLimit, 1);
    for (const std::string& entry : gRecentFiles) EXPECT_EQ(entry, "");  // list off: all nine emptied
}

TEST_F(SettingsFileTest, AMissingFileGivesTheDefaultsAndTheEditorsList) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kEditorRecentListKey, RegString, "File1", "/t/editor.vxtrack"));
    gModelOnLoad = 0;
    gCombRadiusLimit = 7;
    LoadSettings();
    EXPECT_TRUE(gUseRecentList);
    EXPECT_TRUE(gSyncRecentList);
    EXPECT_EQ(gModelOnLoad, 3);
    EXPECT_FLOAT_EQ(gCombRadiusScale, 0.1f);
    EXPECT_EQ(gCombRadiusLimit, 50);
    EXPECT_EQ(gRecentFiles[0], "/t/editor.vxtrack");
    EXPECT_EQ(gRecentFiles[1], "");
    EXPECT_FALSE(fsys::FileExists(SettingsFilePath()));  // reading writes nothing
}

TEST_F(SettingsFileTest, WithSyncingTheEditorsListWinsOverTheFile) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kEditorRecentListKey, RegString, "File1", "/t/editor.vxtrack"));
    WriteSettingsFile(";v\r\nUseRecentList=1\r\nSyncRecentList=1\r\n[RecentList]\r\nFile1=/t/file.vxtrack\r\n");
    LoadSettings();
    EXPECT_EQ(gRecentFiles[0], "/t/editor.vxtrack");
}

TEST_F(SettingsFileTest, WithoutSyncingTheListComesFromTheFileCommasAndAll) {
    WriteSettingsFile(";v\r\nUseRecentList=1\r\nSyncRecentList=0\r\n[RecentList]\r\nFile10=/t/ten\r\n"
                      "File1=/t/one, two.vxtrack\r\nFile8=/t/eight.vxelem\r\n");
    RecentMenuState shown;
    int calls = 0;
    SetRecentMenuObserver([&](const RecentMenuState& state) {
        shown = state;
        ++calls;
    });
    LoadSettings();
    EXPECT_EQ(gRecentFiles[0], "/t/one, two.vxtrack");
    EXPECT_EQ(gRecentFiles[7], "/t/eight.vxelem");
    EXPECT_EQ(gRecentFiles[1], "");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(shown.Captions[0], "one, two.vxtrack");
    EXPECT_TRUE(shown.Visible[7]);
    EXPECT_FALSE(shown.Visible[1]);
}

TEST_F(SettingsFileTest, TheRecentListSurvivesARestartWithAndWithoutSyncing) {
    for (bool sync : {false, true}) {
        SCOPED_TRACE(sync ? "syncing" : "not syncing");
        ConfigFolderScope fresh;
        ResetAppState();
        LoadSettings();
        gSyncRecentList = sync;
        ASSERT_TRUE(SaveSettings());  // the settings dialog's OK
        AddToRecentList("/t/first.vxtrack");
        AddToRecentList("/t/second, v2.vxtrack");
        if (sync) SaveRecentListToRegistry();  // what the open command does when syncing
        // Restart.
        ResetAppState();
        LoadSettings();
        EXPECT_EQ(gSyncRecentList, sync);
        EXPECT_EQ(gRecentFiles[0], "/t/second, v2.vxtrack");
        EXPECT_EQ(gRecentFiles[1], "/t/first.vxtrack");
        EXPECT_EQ(gRecentFiles[2], "");
    }
}

TEST_F(SettingsFileTest, ModelDetailHookRunsFirst) {
    std::vector<std::string> order;
    SetModelDetailDefaultsHook([&] { order.push_back(gIniBuffer.empty() ? "hook before load" : "hook after load"); });
    WriteSettingsFile(";v\r\nModelOnLoad=2\r\n");
    LoadSettings();
    SetModelDetailDefaultsHook(nullptr);
    EXPECT_EQ(order, std::vector<std::string>{"hook before load"});
    EXPECT_EQ(gModelOnLoad, 2);
}

class InitAppPathsTest : public AppStateTest {
protected:
    TempFolder data;
    TempFolder sim;
    EnvScope dataEnv{"GANTRYWRIGHT_DATA_DIR", data.Path()};
};

TEST_F(InitAppPathsTest, WithoutAnInstallationTheDialogsStartInTheUsersFolder) {
    TempFolder home;
    EnvScope homeEnv("HOME", home.Path());
    gDocumentPath = "/t/old.vxtrack";
    gDocumentType = DocumentTrack;
    InitAppPaths();
    EXPECT_EQ(gAppPath, data.Path());
    EXPECT_EQ(gSimPath, data.Path());
    // The open, save and export dialogs never start among the program's data.
    EXPECT_EQ(gOpenDir, home.Path());
    EXPECT_EQ(gSaveDir, home.Path());
    EXPECT_EQ(gDocumentPath, "");
    EXPECT_EQ(gDocumentType, DocumentNone);
}

TEST_F(InitAppPathsTest, TheRegistrysFolderIsTakenWhenItHoldsTheSimulator) {
    sim.Write("vortaxissimulator.EXE", "exe");  // copied from elsewhere in another letter case
    std::string folder = sim.Path();
    folder.pop_back();  // stored without its separator
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kSimulatorKey, RegString, "InstPath", folder));
    InitAppPaths();
    EXPECT_EQ(gAppPath, data.Path());
    EXPECT_EQ(gSimPath, sim.Path());
    EXPECT_EQ(gOpenDir, sim.Path());
    EXPECT_EQ(gSaveDir, sim.Path());
}

TEST_F(InitAppPathsTest, AFolderWithoutTheSimulatorIsIgnored) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kSimulatorKey, RegString, "InstPath", sim.Path()));
    InitAppPaths();
    EXPECT_EQ(gSimPath, data.Path());
    sim.Write("VortaxisSimulator.exe/inside", "a folder, not the program");
    InitAppPaths();
    EXPECT_EQ(gSimPath, data.Path());
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kSimulatorKey, RegString, "InstPath", ""));
    InitAppPaths();
    EXPECT_EQ(gSimPath, data.Path());
}

}  // namespace
