// Vortaxis > File Association: the registry keys for each choice and reading
// them back, the dialog's locking rule, and the freedesktop files written into
// and removed from a temporary data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/environment_folders.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "simulator/desktop_association.h"
#include "simulator/file_association.h"
#include "simulator/simulator_location.h"
#include "simulator/track_icons.h"
#include "tests/platform/held_lock.h"
#include "tests/platform/temp_folder.h"

extern char** environ;

namespace {

const AssociationPaths kPaths{"/opt/vx/", "/usr/share/gantrywright/", "/usr/bin/gantrywright"};

std::string Key(const std::string& path) {
    std::string value;
    return RegReadValue(RegClassesRoot, path, "", value) ? value : "<none>";
}

TEST(FileAssociation, NothingRegisteredYet) {
    ConfigFolderScope config;
    const FileAssociationForm form = LoadFileAssociation();
    EXPECT_EQ(form.DoubleClick, 0);
    EXPECT_EQ(form.RightClick, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_FALSE(form.RightClickEnabled[0]);
    EXPECT_EQ(form.Icon, 0);
}

// While another program holds the registry's lock, saving the association's
// eleven keys waits once and says who holds the store; nothing is written.
TEST(FileAssociation, AHeldLockCostsTheSaveOneWait) {
    ConfigFolderScope config;
    const HeldRegistryLock other(RegClassesRoot);
    ASSERT_TRUE(other.Held());
    FileAssociationForm all;
    all.RightClick = {true, true, true, true};
    const uint64_t waits = FileLockWaitsRunOut();
    errno = 0;
    EXPECT_FALSE(SaveFileAssociation(all, kPaths));
    EXPECT_EQ(RegWriteFailureReason(errno), other.Reason());
    EXPECT_EQ(FileLockWaitsRunOut() - waits, 1u);
    EXPECT_EQ(Key(".vxtrack"), "<none>");
}

TEST(FileAssociation, RideWithEditOnlyWritesAndDeletesTheVerbs) {
    ConfigFolderScope config;
    FileAssociationForm all;
    all.RightClick = {true, true, true, true};
    SelectDoubleClick(all, 2);
    all.Icon = 5;
    ASSERT_TRUE(SaveFileAssociation(all, kPaths));
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Tera\\Command"), "\"/opt/vx/VortaxisTerraformer.exe\" \"%1\"");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Tool\\Command"), "\"/usr/bin/gantrywright\" \"%1\"");

    FileAssociationForm form;
    form.RightClick = {false, true, false, false};
    SelectDoubleClick(form, 0);
    form.Icon = 1;
    ASSERT_TRUE(SaveFileAssociation(form, kPaths));
    EXPECT_EQ(Key(".vxtrack"), "Vortaxis.Trackfile");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell"), "Ride");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Ride"), "Ride!");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Ride\\Command"), "\"/opt/vx/VortaxisSimulator.exe\" -s \"%1\"");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Edit"), "Edit");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Tera"), "<none>");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Tera\\Command"), "<none>");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\Shell\\Tool"), "<none>");
    EXPECT_EQ(Key("Vortaxis.Trackfile\\DefaultIcon"), "/opt/vx/VortaxisEditor.exe,0");

    const FileAssociationForm back = LoadFileAssociation();
    EXPECT_EQ(back.DoubleClick, 0);
    EXPECT_EQ(back.RightClick, (std::array<bool, 4>{true, true, false, false}));
    EXPECT_EQ(back.Icon, 1);
}

TEST(FileAssociation, EveryIconOptionRoundTrips) {
    ConfigFolderScope config;
    for (int option = 0; option < kIconOptionCount; ++option) {
        FileAssociationForm form;
        form.Icon = option;
        form.IconPath = "/home/me/icons/track.ico";
        SelectDoubleClick(form, option % 3);
        ASSERT_TRUE(SaveFileAssociation(form, kPaths));
        const FileAssociationForm back = LoadFileAssociation();
        EXPECT_EQ(back.Icon, option);
        EXPECT_EQ(back.DoubleClick, option % 3);
        // The user's own icon comes back with its index, and is not given a second one.
        if (option == kOwnIconOption) {
            EXPECT_EQ(back.IconPath, "/home/me/icons/track.ico,0");
            EXPECT_EQ(IconValue(back, kPaths), "/home/me/icons/track.ico,0");
        }
    }
}

TEST(FileAssociation, IconValuesAndVerbsReadBack) {
    std::string path;
    EXPECT_EQ(IconOptionOfValue("C:\\Prog\\VXEXTRAICONS.DLL,3", path), 5);
    EXPECT_EQ(IconOptionOfValue("/opt/vx/vortaxiseditor.exe,0", path), 1);
    EXPECT_EQ(IconOptionOfValue("/opt/gw/VXExtraIcons.dll,0", path), 2);
    EXPECT_EQ(IconOptionOfValue("/opt/gw/VXExtraIcons.dll,9", path), kOwnIconOption);  // no such picture
    EXPECT_EQ(path, "/opt/gw/VXExtraIcons.dll,9");
    EXPECT_EQ(IconOptionOfValue("/home/me/mine.ico,0", path), kOwnIconOption);
    EXPECT_EQ(path, "/home/me/mine.ico,0");

    ConfigFolderScope config;
    RegWriteValue(RegClassesRoot, ".vxtrack", RegString, "", "Vortaxis.Trackfile");
    RegWriteValue(RegClassesRoot, "Vortaxis.Trackfile\\DefaultIcon", RegString, "", "x.ico,0");
    RegWriteValue(RegClassesRoot, "Vortaxis.Trackfile\\Shell", RegString, "", "Tool");
    EXPECT_EQ(LoadFileAssociation().DoubleClick, 0);  // "Tool" is no double-click action
    // The double-click action is always on the right-click menu, even when its caption is missing.
    RegWriteValue(RegClassesRoot, "Vortaxis.Trackfile\\Shell", RegString, "", "TERA");
    const FileAssociationForm tera = LoadFileAssociation();
    EXPECT_EQ(tera.DoubleClick, 2);
    EXPECT_TRUE(tera.RightClick[2]);
    EXPECT_FALSE(tera.RightClickEnabled[2]);
}

TEST(FileAssociation, DoubleClickLocksItsVerb) {
    FileAssociationForm form;
    SelectDoubleClick(form, 2);
    EXPECT_TRUE(form.RightClick[2]);
    EXPECT_FALSE(form.RightClickEnabled[2]);
    SelectDoubleClick(form, 0);
    EXPECT_TRUE(form.RightClick[2]);  // unlocked, still ticked
    EXPECT_TRUE(form.RightClickEnabled[2]);
    EXPECT_FALSE(form.RightClickEnabled[0]);
    EXPECT_TRUE(form.RightClickEnabled[3]);
}

// The program's own path as the system shows it once its file was replaced
// (an upgrade renamed over it) or removed while it runs: "<path> (deleted)".
TEST(FileAssociation, TheProgramsOwnPathOnceItsFileIsReplacedOrRemoved) {
    TempFolder folder;
    const std::string program = folder / "gantrywright";
    const std::string odd = folder / "gw (deleted)";
    auto start = [](const std::string& path) {
        std::filesystem::copy_file("/bin/sleep", path);
        char* argv[] = {const_cast<char*>("sleep"), const_cast<char*>("30"), nullptr};
        pid_t pid = 0;
        return ::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) == 0 ? pid : 0;
    };
    const pid_t running = start(program), named = start(odd);
    auto stop = [](pid_t pid) {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    };
    if (running <= 0 || named <= 0) {
        stop(running);
        stop(named);
        GTEST_SKIP() << "no program can be run from the temporary folder";
    }
    const std::string link = "/proc/" + std::to_string(running) + "/exe";
    std::string problem;
    EXPECT_EQ(ProgramPathOfLink(link, problem), program);
    EXPECT_EQ(problem, "");
    // A file whose name ends so is the running program itself.
    EXPECT_EQ(ProgramPathOfLink("/proc/" + std::to_string(named) + "/exe", problem), odd);
    EXPECT_EQ(problem, "");
    // Replaced: the new program at that path.
    std::filesystem::copy_file("/bin/sleep", program + ".new");
    std::filesystem::rename(program + ".new", program);
    EXPECT_EQ(ProgramPathOfLink(link, problem), program);
    EXPECT_EQ(problem, "");
    // Removed: no program to name, and that is said.
    std::filesystem::remove(program);
    EXPECT_EQ(ProgramPathOfLink(link, problem), program);
    EXPECT_EQ(problem, "There is no program at \"" + program +
                           "\" any more (its file was removed or replaced while Gantrywright ran), so track files "
                           "cannot be opened with it.");
    stop(running);
    stop(named);
    EXPECT_EQ(ProgramPathOfLink(folder / "none", problem), "");
    EXPECT_EQ(problem, "The program's own file cannot be found. The file does not exist.");
}

TEST(SimulatorLocation, FolderRulesAndStoredText) {
    ConfigFolderScope config;
    TempFolder sim;
    sim.Write("Vortaxis/vortaxissimulator.exe", "x");
    const std::string folder = sim / "Vortaxis";
    EXPECT_TRUE(IsSimulatorFolder(folder));
    EXPECT_TRUE(IsSimulatorFolder(folder + "/"));
    EXPECT_FALSE(IsSimulatorFolder(sim.Path()));
    EXPECT_FALSE(IsSimulatorFolder(""));
    EXPECT_FALSE(IsSimulatorFolder(std::string("/tmp/a\0b", 8)));
    EXPECT_EQ(FolderOfPickedFile(folder + "/vortaxissimulator.exe"), folder + "/");
    ASSERT_TRUE(StoreSimulatorLocation(folder));
    std::string stored;
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Software\\Vortaxis Coasters", "InstPath", stored));
    EXPECT_EQ(stored, folder);  // exactly as typed, without a separator added

    // A relative folder is stored absolute: the program reads it from other working folders.
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(sim.Path());
    const std::string here = std::filesystem::current_path().string();
    EXPECT_TRUE(IsSimulatorFolder("Vortaxis"));
    EXPECT_EQ(SimulatorLocationToStore("./Vortaxis/"), here + "/Vortaxis/");
    ASSERT_TRUE(StoreSimulatorLocation("Vortaxis"));
    std::filesystem::current_path(old);
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Software\\Vortaxis Coasters", "InstPath", stored));
    EXPECT_EQ(stored, here + "/Vortaxis");
    EXPECT_TRUE(IsSimulatorFolder(stored));
}

class DesktopAssociationTest : public ::testing::Test {
protected:
    TempFolder home;
    DesktopFolders folders{home.Path() + "data/", home.Path() + "config/"};

    DesktopAssociation Association(int doubleClick, std::array<bool, 4> rightClick, bool wine) {
        DesktopAssociation a;
        a.DoubleClick = doubleClick;
        a.RightClick = rightClick;
        for (int i = 0; i < 4; ++i) a.Programs[i] = VerbProgram(i, kPaths);
        a.Wine = wine ? "/usr/bin/wine" : "";
        a.IconPng = EncodePng(DrawTrackIcon(0, 48), 48, 48);
        return a;
    }
    bool Has(const std::string& relative) const { return fsys::FileExists(home.Path() + relative); }
    std::string Read(const std::string& relative) const {
        std::string text;
        fsys::ReadWholeFile(home.Path() + relative, text);
        return text;
    }
};

TEST_F(DesktopAssociationTest, WritesTypeIconEntriesAndDefault) {
    home.Write("config/mimeapps.list", "[Default Applications]\ntext/plain=editor.desktop\n");
    std::vector<std::string> failures;
    ASSERT_TRUE(ApplyDesktopAssociation(Association(1, {true, true, false, true}, true), folders, failures));
    EXPECT_TRUE(Has("data/mime/packages/gantrywright-vxtrack.xml"));
    EXPECT_NE(Read("data/mime/packages/gantrywright-vxtrack.xml").find("<glob pattern=\"*.vxtrack\"/>"),
              std::string::npos);
    EXPECT_EQ(Read("data/icons/hicolor/48x48/mimetypes/application-x-vortaxis-track.png").substr(1, 3), "PNG");
    EXPECT_TRUE(Has("data/applications/gantrywright-vxtrack-ride.desktop"));
    EXPECT_TRUE(Has("data/applications/gantrywright-vxtrack-edit.desktop"));
    EXPECT_FALSE(Has("data/applications/gantrywright-vxtrack-tera.desktop"));
    EXPECT_EQ(Read("data/applications/gantrywright-vxtrack-ride.desktop"),
              "[Desktop Entry]\nType=Application\nName=Vortaxis Simulator (Ride!)\n"
              "Exec=\"/usr/bin/wine\" \"/opt/vx/VortaxisSimulator.exe\" -s %f\n"
              "MimeType=application/x-vortaxis-track;\nNoDisplay=true\nTerminal=false\n");
    EXPECT_EQ(Read("config/mimeapps.list"),
              "[Default Applications]\napplication/x-vortaxis-track=gantrywright-vxtrack-edit.desktop;\n"
              "text/plain=editor.desktop\n");

    // Where xdg-mime is installed, it agrees on the default.
    if (IsProgramOnPath("xdg-mime")) {
        EnvScope data("XDG_DATA_HOME", folders.DataHome);
        EnvScope dirs("XDG_DATA_DIRS", folders.DataHome);
        EnvScope config("XDG_CONFIG_HOME", folders.ConfigHome);
        EnvScope desktop("XDG_CURRENT_DESKTOP", std::nullopt);
        EnvScope session("DESKTOP_SESSION", std::nullopt);
        std::FILE* pipe = ::popen("xdg-mime query default application/x-vortaxis-track 2>/dev/null", "r");
        ASSERT_NE(pipe, nullptr);
        char line[256] = {};
        const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
        ::pclose(pipe);
        ASSERT_TRUE(read);
        EXPECT_EQ(std::string(line), "gantrywright-vxtrack-edit.desktop\n");
    }

    // An entry whose program no entry can name, or whose program is gone, is
    // not written, and that is said; the double-click default does not name
    // the refused entry (the user's file is as it was).
    DesktopAssociation latin1 = Association(1, {true, true, false, true}, true);
    latin1.Programs[1] = "/opt/vx\xE9/VortaxisEditor.exe";
    latin1.ProgramProblems[3] = "There is no program at \"/usr/bin/gantrywright\" any more.";
    failures.clear();
    EXPECT_FALSE(ApplyDesktopAssociation(latin1, folders, failures));
    const std::string entries = "Could not write " + folders.DataHome + "applications/gantrywright-vxtrack-";
    EXPECT_EQ(failures, (std::vector<std::string>{
                            entries + "edit.desktop: The path \"/opt/vx\xC3\xA9/VortaxisEditor.exe\" is not UTF-8, "
                                      "which a desktop entry requires.",
                            entries + "tool.desktop: There is no program at \"/usr/bin/gantrywright\" any more."}));
    EXPECT_EQ(Read("config/mimeapps.list"), "[Default Applications]\ntext/plain=editor.desktop\n");

    // A mimeapps.list larger than such a file can be is left as it is, with the reason.
    std::filesystem::resize_file(home / "config/mimeapps.list", fsys::kDesktopListFile.MostBytes + 1);
    failures.clear();
    EXPECT_FALSE(ApplyDesktopAssociation(Association(1, {true, true, false, true}, true), folders, failures));
    EXPECT_EQ(failures, std::vector<std::string>{"Could not write " + folders.ConfigHome +
                                                 "mimeapps.list: It cannot be read, so its lines could not be kept. "
                                                 "The file is larger than a desktop settings file can be (at most "
                                                 "4 MiB)."});
}

TEST_F(DesktopAssociationTest, WithoutWineOnlyThisProgramsEntryAndUntickingRemovesIt) {
    std::vector<std::string> failures;
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, true, true, true}, true), folders, failures));
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, false, false, true}, false), folders, failures));
    EXPECT_FALSE(Has("data/applications/gantrywright-vxtrack-ride.desktop"));
    EXPECT_FALSE(Has("data/applications/gantrywright-vxtrack-edit.desktop"));
    EXPECT_TRUE(Has("data/applications/gantrywright-vxtrack-tool.desktop"));
    EXPECT_FALSE(Has("config/mimeapps.list"));  // the Ride default went with its entry, and the file made for it
    home.Write("data/applications/other.desktop", "[Desktop Entry]\n");
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, false, false, false}, false), folders, failures));
    EXPECT_FALSE(Has("data/applications/gantrywright-vxtrack-tool.desktop"));
    EXPECT_TRUE(Has("data/applications/other.desktop"));
}

TEST_F(DesktopAssociationTest, ALinkedOrCrLfMimeappsListIsUpdatedInPlace) {
    // A dotfile manager's link: the file it names is written, the link stays a link.
    const std::string user = "[Added Associations]\ntext/plain=editor.desktop;\n";
    home.Write("dotfiles/mimeapps.list", user);
    std::filesystem::create_directories(home / "config");
    std::filesystem::create_symlink("../dotfiles/mimeapps.list", home / "config/mimeapps.list");
    std::filesystem::permissions(home / "dotfiles/mimeapps.list", std::filesystem::perms(0600));
    std::vector<std::string> failures;
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, false, false, true}, true), folders, failures));
    EXPECT_TRUE(std::filesystem::is_symlink(home / "config/mimeapps.list"));
    EXPECT_EQ(Read("dotfiles/mimeapps.list"),
              user + "\n[Default Applications]\n# gantrywright-vxtrack added: entry line section blank-line\n"
                     "application/x-vortaxis-track=gantrywright-vxtrack-ride.desktop;\n");
    EXPECT_EQ(std::filesystem::status(home / "dotfiles/mimeapps.list").permissions(), std::filesystem::perms(0600));

    // CR LF lines are read like LF ones: one section, the default replaced, every line end kept.
    std::filesystem::remove(home / "config/mimeapps.list");
    const std::string crlf =
        "[Default Applications]\r\napplication/x-vortaxis-track = other.desktop;\r\ntext/plain=ed.desktop";
    home.Write("config/mimeapps.list", crlf);
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, false, false, true}, true), folders, failures));
    EXPECT_EQ(Read("config/mimeapps.list"),
              "[Default Applications]\r\napplication/x-vortaxis-track = gantrywright-vxtrack-ride.desktop;other.desktop;"
              "\r\ntext/plain=ed.desktop");
    EXPECT_EQ(SetDefaultApplication("[Default Applications]\r\na=b\r\n", "gantrywright-vxtrack-tool.desktop"),
              "[Default Applications]\r\napplication/x-vortaxis-track=gantrywright-vxtrack-tool.desktop;\r\na=b\r\n");
    // Without wine the ride default goes with its entry, and the user's default is back as it was.
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, false, false, true}, false), folders, failures));
    EXPECT_EQ(Read("config/mimeapps.list"), crlf);
    EXPECT_TRUE(failures.empty());
}

TEST_F(DesktopAssociationTest, UnassociatingRestoresTheUsersPreviousDefault) {
    const std::string user =
        "[Added Associations]\napplication/x-vortaxis-track=other.desktop;\n\n"
        "[Default Applications]\napplication/x-vortaxis-track=myviewer.desktop;\ntext/plain=ed.desktop\n";
    home.Write("config/mimeapps.list", user);
    home.Write("data/applications/myviewer.desktop",
               "[Desktop Entry]\nType=Application\nName=My Viewer\nExec=true %f\n"
               "MimeType=application/x-vortaxis-track;\n");
    // The default xdg-mime names, where it is installed; "-" where it is not.
    auto queried = [&]() -> std::string {
        if (!IsProgramOnPath("xdg-mime")) return "-";
        EnvScope data("XDG_DATA_HOME", folders.DataHome);
        EnvScope dirs("XDG_DATA_DIRS", folders.DataHome);
        EnvScope config("XDG_CONFIG_HOME", folders.ConfigHome);
        EnvScope desktop("XDG_CURRENT_DESKTOP", std::nullopt);
        EnvScope session("DESKTOP_SESSION", std::nullopt);
        std::string answer;
        RunForOutput({"xdg-mime", "query", "default", kTrackMimeType}, answer);
        return answer;
    };
    const std::string before = queried();
    if (before != "-") {
        EXPECT_EQ(before, "myviewer.desktop\n");
    }

    // Associating puts this program's entry first and keeps the user's after it.
    std::vector<std::string> failures;
    ASSERT_TRUE(ApplyDesktopAssociation(Association(1, {true, true, false, true}, true), folders, failures));
    std::string expected = user;
    expected.replace(expected.find("=myviewer"), 1, "=gantrywright-vxtrack-edit.desktop;");
    EXPECT_EQ(Read("config/mimeapps.list"), expected);
    if (before != "-") {
        EXPECT_EQ(queried(), "gantrywright-vxtrack-edit.desktop\n");
    }
    // Another action takes the first place again; the user's default stays once.
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, true, false, true}, true), folders, failures));
    expected.replace(expected.find("-edit.desktop"), 13, "-ride.desktop");
    EXPECT_EQ(Read("config/mimeapps.list"), expected);

    // Unassociating (no program for the double-click action here) restores the file byte for byte.
    ASSERT_TRUE(ApplyDesktopAssociation(Association(0, {true, true, false, true}, false), folders, failures));
    EXPECT_EQ(Read("config/mimeapps.list"), user);
    EXPECT_EQ(queried(), before);
    EXPECT_TRUE(failures.empty());

    // The user's list as written: blanks, no last ";", several entries, this
    // program's entry moved elsewhere in it by another tool.
    const std::string spaced = "[Default Applications]\napplication/x-vortaxis-track = a.desktop;b.desktop\n";
    const std::optional<std::string> set = SetDefaultApplication(spaced, "gantrywright-vxtrack-tool.desktop");
    EXPECT_EQ(set, "[Default Applications]\napplication/x-vortaxis-track = gantrywright-vxtrack-tool.desktop;"
                   "a.desktop;b.desktop\n");
    EXPECT_EQ(SetDefaultApplication(set, ""), spaced);
    EXPECT_EQ(SetDefaultApplication("[Default Applications]\napplication/x-vortaxis-track=a.desktop;"
                                    "gantrywright-vxtrack-edit.desktop;b.desktop;\n",
                                    ""),
              "[Default Applications]\napplication/x-vortaxis-track=a.desktop;b.desktop;\n");
}

// Associating twice and unassociating twice gives every kind of
// mimeapps.list back byte for byte: what associating added (the entry, the
// type's line, a section, a blank line, a line end, the file) goes again, and
// nothing else does.
TEST_F(DesktopAssociationTest, UnassociatingGivesEveryMimeappsListBackByteForByte) {
    const std::string section = "[Default Applications]\n";
    const std::string ours = "application/x-vortaxis-track=gantrywright-vxtrack-edit.desktop;\n";
    const std::string note = "# gantrywright-vxtrack added: entry";
    const std::string bom = "\xEF\xBB\xBF";
    const std::string others = "[Added Associations]\ntext/plain=ed.desktop;\n";
    struct Case {
        const char* name;
        std::optional<std::string> start;  // nullopt: no file
        std::string associated;
    };
    const Case cases[] = {
        {"no file", std::nullopt, section + note + " line section file\n" + ours},
        {"empty file", "", section + note + " line section\n" + ours},
        {"no section", others, others + "\n" + section + note + " line section blank-line\n" + ours},
        {"no section, blank last line", others + "\n", others + "\n" + section + note + " line section\n" + ours},
        {"no section, no last line end", "[Added Associations]\ntext/plain=ed.desktop;",
         others + "\n" + section + note + " line section blank-line line-end\n" + ours},
        {"section without the type", section + "text/plain=ed.desktop\n", section + ours + "text/plain=ed.desktop\n"},
        {"the type only among added associations",
         "[Added Associations]\napplication/x-vortaxis-track=v.desktop;\n\n" + section + "text/plain=ed.desktop\n",
         "[Added Associations]\napplication/x-vortaxis-track=v.desktop;\n\n" + section + ours +
             "text/plain=ed.desktop\n"},
        {"the user's default", section + "application/x-vortaxis-track = v.desktop;\n",
         section + "application/x-vortaxis-track = gantrywright-vxtrack-edit.desktop;v.desktop;\n"},
        {"an empty value", section + "application/x-vortaxis-track=\n", section + note + "\n" + ours},
        {"section, no last line end", section + "text/plain=ed.desktop", section + ours + "text/plain=ed.desktop"},
        {"the section's line last, no line end", "[Default Applications]",
         section + note + " line line-end\n" + ours},
        {"CR LF with the section", "[Default Applications]\r\ntext/plain=ed.desktop\r\n",
         "[Default Applications]\r\napplication/x-vortaxis-track=gantrywright-vxtrack-edit.desktop;\r\n"
         "text/plain=ed.desktop\r\n"},
        {"CR LF without the section", "[Added Associations]\r\ntext/plain=ed.desktop;\r\n",
         "[Added Associations]\r\ntext/plain=ed.desktop;\r\n\r\n[Default Applications]\r\n" + note +
             " line section blank-line\r\napplication/x-vortaxis-track=gantrywright-vxtrack-edit.desktop;\r\n"},
        {"byte-order mark", bom + section + "text/plain=ed.desktop\n", bom + section + ours + "text/plain=ed.desktop\n"},
        {"byte-order mark only", bom, bom + section + note + " line section\n" + ours},
        {"two sections, the user's default in the second",
         section + "text/plain=ed.desktop\n\n" + section + "application/x-vortaxis-track=v.desktop;\n",
         section + "text/plain=ed.desktop\n\n" + section +
             "application/x-vortaxis-track=gantrywright-vxtrack-edit.desktop;v.desktop;\n"},
    };
    const std::string path = home / "config/mimeapps.list";
    auto read = [&]() -> std::optional<std::string> {
        std::string text;
        if (!fsys::ReadWholeFile(path, text)) return std::nullopt;
        return text;
    };
    const std::array<bool, 4> verbs{true, true, false, true};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        if (c.start) home.Write("config/mimeapps.list", *c.start);
        std::vector<std::string> failures;
        ApplyDesktopAssociation(Association(1, verbs, true), folders, failures);
        EXPECT_EQ(read(), c.associated);
        // Another double-click action replaces the entry and nothing else.
        std::string ride = c.associated;
        ride.replace(ride.find("-edit.desktop"), 13, "-ride.desktop");
        ApplyDesktopAssociation(Association(0, verbs, true), folders, failures);
        EXPECT_EQ(read(), ride);
        for (int again = 0; again < 2; ++again) {
            ApplyDesktopAssociation(Association(0, verbs, false), folders, failures);
            EXPECT_EQ(read(), c.start);
        }
        EXPECT_TRUE(failures.empty());
    }

    // What the user added since stays: a line in the section added for the type keeps it.
    EXPECT_EQ(SetDefaultApplication(cases[2].associated + "text/plain=ed.desktop\n", ""),
              others + "\n" + section + "text/plain=ed.desktop\n");
    // A line written without a note (by an earlier version) goes once it holds no entry.
    EXPECT_EQ(SetDefaultApplication(section + ours, ""), section);
}

TEST_F(DesktopAssociationTest, WhatThisDesktopCannotDoIsSaid) {
    DesktopAssociation a = Association(2, {true, false, true, true}, false);
    EXPECT_EQ(DesktopAssociationNotice(a, folders),
              "Wine was not found, so this desktop cannot run the simulator's programs.\n"
              "Double-Click Action \"Terraform in Terraformer\": not set on this desktop.\n"
              "Right-Click Menu \"Ride!\", \"Terraform\": not offered on this desktop.");
    a.Wine = "/usr/bin/wine";
    EXPECT_EQ(DesktopAssociationNotice(a, folders), "");

    // Without an absolute home or XDG folder nothing is written anywhere, and that is said.
    EnvScope noHome("HOME", std::nullopt);
    EnvScope data("XDG_DATA_HOME", std::string("relative/data"));
    EnvScope config("XDG_CONFIG_HOME", std::nullopt);
    const DesktopFolders unknown = UserDesktopFolders();
    EXPECT_FALSE(DesktopFoldersKnown(unknown));
    EXPECT_EQ(DesktopAssociationNotice(a, unknown),
              "The desktop's association of track files was not changed: no home folder is known "
              "(HOME, XDG_DATA_HOME and XDG_CONFIG_HOME name no absolute folder).");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(home.Path());
    std::vector<std::string> failures;
    EXPECT_FALSE(ApplyDesktopAssociation(a, unknown, failures));
    std::filesystem::current_path(old);
    EXPECT_TRUE(std::filesystem::is_empty(home.Path()));
    EnvScope absolute("XDG_CONFIG_HOME", home / "cfg");
    EnvScope dataHome("XDG_DATA_HOME", home / "dat");
    EXPECT_EQ(UserDesktopFolders().ConfigHome, home / "cfg/");
    EXPECT_EQ(UserDesktopFolders().DataHome, home / "dat/");
}

// The refresh runs the desktop's two tools as this program's own user; a tool
// that fails is said, naming it; one not installed is not. The superuser runs
// them only where the way to their folder is root's: a data folder of another
// user's is not refreshed, and the failure names it, its owner and the way out.
TEST(DesktopAssociation, TheRefreshRunsAsItsOwnUserAndAFailureIsSaid) {
    TempFolder home;
    const bool root = ::geteuid() == 0;
    if (root && fsys::NotTheSuperusersWay(home.Path())) GTEST_SKIP() << "the temporary folder is not the superuser's";
    home.Write("bin/update-mime-database", "#!/bin/sh\nPATH=/usr/bin:/bin\nid -u > \"$1/ids\"\n");
    home.Write("bin/update-desktop-database", "#!/bin/sh\nexit 3\n");
    for (const char* tool : {"bin/update-mime-database", "bin/update-desktop-database"})
        ASSERT_EQ(::chmod((home / tool).c_str(), 0755), 0);
    for (const char* folder : {"data/mime", "data/applications"}) std::filesystem::create_directories(home / folder);
    EnvScope path("PATH", home / "bin");
    const DesktopFolders folders{home / "data/", home / "config/"};
    std::vector<std::string> failures;
    RefreshDesktopDatabases(folders, failures);
    EXPECT_EQ(failures, std::vector<std::string>{"Could not refresh " + home / "data/applications" +
                                                 ": update-desktop-database ended with exit status 3."});
    std::string ids;
    EXPECT_TRUE(fsys::ReadWholeFile(home / "data/mime/ids", ids));
    EXPECT_EQ(ids, std::to_string(::geteuid()) + "\n");
    if (root) {
        // Another user's data folder (the tools' folders in it root's): neither tool runs.
        ASSERT_EQ(::unlink((home / "data/mime/ids").c_str()), 0);
        ASSERT_EQ(::chown((home / "data").c_str(), 65534, 65534), 0);
        failures.clear();
        RefreshDesktopDatabases(folders, failures);
        const std::string why = ": " + NobodysFolderRefusal(home / "data");
        EXPECT_EQ(failures, (std::vector<std::string>{"Could not refresh " + home / "data/mime" + why,
                                                      "Could not refresh " + home / "data/applications" + why}));
        EXPECT_FALSE(std::filesystem::exists(home / "data/mime/ids"));
    }
    // Not installed: nothing to refresh with, and nothing said.
    std::filesystem::remove_all(home / "bin");
    failures.clear();
    RefreshDesktopDatabases(folders, failures);
    EXPECT_EQ(failures, std::vector<std::string>{});
}

TEST(DesktopAssociation, DefaultsOfOtherProgramsStayAndExecQuoting) {
    EXPECT_EQ(SetDefaultApplication("[Default Applications]\napplication/x-vortaxis-track=other.desktop;\n", ""),
              "[Default Applications]\napplication/x-vortaxis-track=other.desktop;\n");
    EXPECT_EQ(SetDefaultApplication("[Added Associations]\na=b\n", "gantrywright-vxtrack-tool.desktop"),
              "[Added Associations]\na=b\n\n[Default Applications]\n"
              "# gantrywright-vxtrack added: entry line section blank-line\n"
              "application/x-vortaxis-track=gantrywright-vxtrack-tool.desktop;\n");
    DesktopAssociation a;
    a.Programs[3] = "/opt/my \"gw\" $HOME\\100%/gantrywright";
    std::string problem;
    EXPECT_NE(DesktopEntryText(3, a, problem)->find("Exec=\"/opt/my \\\\\"gw\\\\\" \\\\$HOME\\\\\\\\100%%/gantrywright\" %f\n"),
              std::string::npos);
    // Line breaks and tabs stay in the path as the format's escapes, inside the quotes;
    // wine is named by the absolute path found, so the launcher's own PATH does not choose it.
    a.Programs[0] = "/opt/new\nline/\tvx\r/VortaxisSimulator.exe";
    EXPECT_FALSE(DesktopEntryText(0, a, problem));
    EXPECT_EQ(problem, "Wine was not found, so this desktop cannot run the simulator's programs.");
    a.Wine = "/opt/wine $1/bin/wine";
    EXPECT_NE(DesktopEntryText(0, a, problem)->find("\nExec=\"/opt/wine \\\\$1/bin/wine\" "
                                                    "\"/opt/new\\nline/\\tvx\\r/VortaxisSimulator.exe\" -s %f\n"),
              std::string::npos);
    // A relative folder is taken from the current folder now, so no argument starts with "-".
    TempFolder here;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(here.Path());
    const std::string current = std::filesystem::current_path().string();
    a.Programs[1] = "-x/VortaxisEditor.exe";
    const std::optional<std::string> relative = DesktopEntryText(1, a, problem);
    std::filesystem::current_path(old);
    ASSERT_TRUE(relative);
    EXPECT_NE(relative->find("\nExec=\"/opt/wine \\\\$1/bin/wine\" \"" + current + "/-x/VortaxisEditor.exe\" %f\n"),
              std::string::npos);
    // A path that is not UTF-8, or holds another control character, is refused with the reason.
    a.Programs[2] = "/opt/vx\xE9/VortaxisTerraformer.exe";
    EXPECT_FALSE(DesktopEntryText(2, a, problem));
    EXPECT_EQ(problem, "The path \"/opt/vx\xC3\xA9/VortaxisTerraformer.exe\" is not UTF-8, which a desktop entry requires.");
    a.Programs[2] = "/opt/v\x1bx/VortaxisTerraformer.exe";
    EXPECT_FALSE(DesktopEntryText(2, a, problem));
    EXPECT_EQ(problem,
              "The path \"/opt/v\x1bx/VortaxisTerraformer.exe\" holds a control character, which a desktop entry "
              "cannot hold.");
}

TEST(TrackIcons, EachTrackInItsColourAndEncoded) {
    std::array<std::array<uint64_t, 3>, kTrackIconCount> sums{};
    for (int icon = 0; icon < kTrackIconCount; ++icon) {
        const std::vector<uint8_t> rgba = DrawTrackIcon(icon, 48);
        ASSERT_EQ(rgba.size(), 48u * 48u * 4u);
        int opaque = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            if (rgba[i + 3] != 255) continue;
            ++opaque;
            for (size_t c = 0; c < 3; ++c) sums[icon][c] += rgba[i + c];
        }
        EXPECT_GT(opaque, 100) << icon;
        EXPECT_EQ(rgba[3], 0) << "the corner stays transparent";
    }
    // Blue, red and green tracks are led by their own channel; the gray one by none.
    EXPECT_GT(sums[0][2], std::max(sums[0][0], sums[0][1]));
    EXPECT_GT(sums[1][0], std::max(sums[1][1], sums[1][2]));
    EXPECT_GT(sums[2][1], std::max(sums[2][0], sums[2][2]));
    const auto [least, most] = std::minmax({sums[3][0], sums[3][1], sums[3][2]});
    EXPECT_LT(most - least, most / 10);
    EXPECT_NE(DrawTrackIcon(4, 48), DrawTrackIcon(0, 48));

    const std::vector<uint8_t> png = EncodePng(DrawTrackIcon(1, 48), 48, 48);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(std::string(png.begin(), png.begin() + 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    EXPECT_EQ(std::vector<uint8_t>(png.begin() + 16, png.begin() + 24), (std::vector<uint8_t>{0, 0, 0, 48, 0, 0, 0, 48}));
    EXPECT_TRUE(EncodePng({1, 2, 3}, 1, 1).empty());
}

}  // namespace
