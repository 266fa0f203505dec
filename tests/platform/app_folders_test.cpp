#include "platform/app_folders.h"
#include "platform/environment_folders.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "tests/platform/temp_folder.h"

namespace {

TEST(AppFoldersTest, ConfigFolderFollowsTheOverrideThenXdgThenHome) {
    EnvScope home("HOME", "/home/tester");
    {
        EnvScope over("GANTRYWRIGHT_CONFIG_DIR", "/tmp/gw-config");
        EnvScope xdg("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(fsys::ConfigFolder(), "/tmp/gw-config/");
    }
    EnvScope over("GANTRYWRIGHT_CONFIG_DIR", std::nullopt);
    {
        EnvScope xdg("XDG_CONFIG_HOME", "/xdg/");
        EXPECT_EQ(fsys::ConfigFolder(), "/xdg/gantrywright/");
    }
    {
        EnvScope xdg("XDG_CONFIG_HOME", "relative/ignored");
        EXPECT_EQ(fsys::ConfigFolder(), "/home/tester/.config/gantrywright/");
    }
    EnvScope xdg("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(fsys::ConfigFolder(), "/home/tester/.config/gantrywright/");
    // A relative folder would depend on where the program runs: it is ignored.
    {
        EnvScope relative("GANTRYWRIGHT_CONFIG_DIR", "gantrywright");
        EXPECT_EQ(fsys::ConfigFolder(), "/home/tester/.config/gantrywright/");
        EnvScope relativeHome("HOME", ".");
        const std::string folder = fsys::ConfigFolder();  // the account's home, or none
        EXPECT_TRUE(folder.empty() || folder.front() == '/') << folder;
    }
}

// Before the toolkit starts, the folders it would take from the environment are
// absolute or gone: a relative or empty HOME, a relative XDG folder and the
// relative entries of the XDG lists would make it read the current folder.
TEST(AppFoldersTest, RelativeFoldersAreTakenOutOfTheEnvironment) {
    EnvScope home("HOME", "relhome");
    EnvScope config("XDG_CONFIG_HOME", "");
    EnvScope runtime("XDG_RUNTIME_DIR", "./run");
    EnvScope cache("XDG_CACHE_HOME", "/abs/cache");
    EnvScope dataDirs("XDG_DATA_DIRS", "rel:/usr/share::./x:/opt/share/");
    EnvScope configDirs("XDG_CONFIG_DIRS", "etc/xdg:");
    fsys::DropRelativeFolderVariables();
    for (const char* gone : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_DIRS"})
        EXPECT_EQ(std::getenv(gone), nullptr) << gone;
    EXPECT_STREQ(std::getenv("XDG_CACHE_HOME"), "/abs/cache");
    EXPECT_STREQ(std::getenv("XDG_DATA_DIRS"), "/usr/share:/opt/share/");
    EnvScope absoluteHome("HOME", "/home/tester");
    fsys::DropRelativeFolderVariables();
    EXPECT_STREQ(std::getenv("HOME"), "/home/tester");

    // PATH keeps its absolute entries; with none left, or none at all, it is the
    // system's default search path, never unset (GLib would search "." then).
    const std::string standard = [] {
        std::string text(::confstr(_CS_PATH, nullptr, 0), '\0');
        ::confstr(_CS_PATH, text.data(), text.size());
        return text.substr(0, text.size() - 1);
    }();
    ASSERT_FALSE(standard.empty());
    for (const auto& [before, after] : std::vector<std::pair<std::optional<std::string>, std::string>>{
             {":rel:/usr/bin::./x:/bin:", "/usr/bin:/bin"}, {"/usr/bin:/bin:.", "/usr/bin:/bin"},
             {"/opt/b:/a", "/opt/b:/a"}, {"rel:.", standard}, {"", standard}, {std::nullopt, standard}}) {
        EnvScope path("PATH", before);
        fsys::DropRelativeFolderVariables();
        EXPECT_STREQ(std::getenv("PATH"), after.c_str()) << before.value_or("(none)");
    }
}

// An environment that holds a name twice (getenv sees the first, a shell the
// last) holds it once after cleaning: the first copy where it is kept, none
// where the first is relative (unsetenv takes out every copy). Cleaned in a
// child process, whose environment is then its own to replace.
TEST(AppFoldersTest, AVariableHeldTwiceIsHeldOnce) {
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string doubled[] = {"HOME=/home/first", "PATH=/usr/bin:rel", "HOME=relhome",   "XDG_DATA_HOME=rel",
                                 "PATH=.",           "LANG=C",            "XDG_DATA_HOME=/abs",
                                 "XDG_DATA_DIRS=/usr/share:rel",          "XDG_DATA_DIRS=rel", "HOME=/home/last"};
        std::vector<char*> entries;
        for (std::string& entry : doubled) entries.push_back(entry.data());
        entries.push_back(nullptr);
        environ = entries.data();
        fsys::DropRelativeFolderVariables();
        std::string after;
        for (char** entry = environ; *entry; ++entry) after += std::string(*entry) + "\n";
        (void)!::write(report[1], after.data(), after.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string after;
    char buffer[512];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;) after.append(buffer, static_cast<size_t>(n));
    ::close(report[0]);
    ::waitpid(child, nullptr, 0);
    std::vector<std::string> entries;
    for (size_t at = 0, end; (end = after.find('\n', at)) != std::string::npos; at = end + 1)
        entries.push_back(after.substr(at, end - at));
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"HOME=/home/first", "LANG=C", "PATH=/usr/bin",
                                                 "XDG_DATA_DIRS=/usr/share"}));
}

// What a run as the superuser judges (tests/platform/temp_folder.h's folder,
// the superuser's): nobody's folder "ann" holding a folder of root's, a link
// of nobody's to a folder of root's, links of root's into "ann" (by its
// absolute path) and to a folder of root's, and a link of root's that leads
// to itself.
class SuperusersWay : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give folders and links to nobody";
        ASSERT_FALSE(fsys::NotTheSuperusersWay(temp.Path()));
        std::filesystem::create_directories(temp / "ann/root's");
        std::filesystem::create_directories(temp / "root's");
        temp.Write("ann/.Xauthority", "cookie");
        ASSERT_EQ(::chown((temp / "ann").c_str(), 65534, 65534), 0);
        for (const auto& [link, target] : std::vector<std::pair<std::string, std::string>>{
                 {"theirs", "root's"}, {"into-ann", temp / "ann/root's"}, {"to-root's", "root's"}, {"loop", "loop"}})
            ASSERT_EQ(::symlink(target.c_str(), (temp / link).c_str()), 0);
        ASSERT_EQ(::lchown((temp / "theirs").c_str(), 65534, 65534), 0);
    }
    TempFolder temp;
};

TEST_F(SuperusersWay, EveryFolderAndLinkOnTheWayIsJudged) {
    for (const char* root : {"root's", "root's/not/yet", "to-root's/not/yet", "root's/../to-root's"})
        EXPECT_FALSE(fsys::NotTheSuperusersWay(temp / root)) << root;
    const std::string ann = temp / "ann";
    for (const auto& [path, step] : std::vector<std::pair<std::string, std::string>>{
             {"ann", ann},                           // another user's folder
             {"ann/.config/gantrywright", ann},      // not there yet: its nearest folder
             {"ann/root's", ann},                    // a folder of root's in it
             {"into-ann", ann},                      // reached through a link of root's
             {"root's/../ann/root's", ann},          // and back up
             {"ann/../root's", ann},                 // on the way, even where the way comes back
             {"theirs", temp / "theirs"}}) {         // a link of another user's to a folder of root's
        const std::optional<fsys::ForeignEntry> foreign = fsys::NotTheSuperusersWay(temp / path);
        ASSERT_TRUE(foreign) << path;
        EXPECT_EQ(foreign->Path, step) << path;
        EXPECT_EQ(foreign->Owner, 65534u) << path;
    }
    // Nothing to judge: a link that leads to itself, a relative path.
    for (const std::string& path : {temp / "loop/x", std::string("relative"), std::string()}) {
        const std::optional<fsys::ForeignEntry> foreign = fsys::NotTheSuperusersWay(path);
        ASSERT_TRUE(foreign) << path;
        EXPECT_EQ(foreign->Owner, static_cast<uid_t>(-1)) << path;
    }
}

// The start-up step in a child of its own (as the superuser, or dropped to
// nobody): the environment after it, one entry a line in order, then the
// configuration folder; and what it said on standard error.
std::pair<std::string, std::string> StartUp(std::vector<std::string> entries, bool asNobody = false) {
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> pointers;
        for (std::string& entry : entries) pointers.push_back(entry.data());
        pointers.push_back(nullptr);
        environ = pointers.data();
        if (::dup2(err[1], 2) != 2 || (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0))) ::_exit(1);
        fsys::DropRelativeFolderVariables();
        std::vector<std::string> after;
        for (char** entry = environ; *entry; ++entry) after.emplace_back(*entry);
        std::sort(after.begin(), after.end());
        std::string text;
        for (const std::string& entry : after) text += entry + "\n";
        text += "config=" + fsys::ConfigFolder();
        (void)!::write(out[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(out[1]);
    ::close(err[1]);
    std::pair<std::string, std::string> result;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) result.first.append(buffer, static_cast<size_t>(n));
    for (ssize_t n; (n = ::read(err[0], buffer, sizeof buffer)) > 0;) result.second.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    ::close(err[0]);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    return result;
}

// Run as the superuser with another user's HOME and folders (as sudo without
// -H leaves them), the program keeps to root's own home and folders, the
// display's cookie still found; standard error says so in one line. The same
// environment as another user stays as it is.
TEST_F(SuperusersWay, ARunAsTheSuperuserKeepsToItsOwnHome) {
    const passwd* account = ::getpwuid(0);
    ASSERT_TRUE(account && account->pw_dir && account->pw_dir[0] == '/');
    const std::string rootHome = account->pw_dir;
    const std::string ann = temp / "ann";
    const std::vector<std::string> sudo = {
        "HOME=" + ann,  "GANTRYWRIGHT_CONFIG_DIR=" + ann + "/gw", "LANG=C", "PATH=/usr/bin:/bin",
        "XDG_CACHE_HOME=" + temp / "theirs", "XDG_CONFIG_HOME=" + ann + "/.config",
        "XDG_DATA_HOME=" + temp / "to-root's/not/yet", "XDG_RUNTIME_DIR=" + ann + "/run",
        "XDG_STATE_HOME=" + temp / "into-ann"};
    auto [environment, said] = StartUp(sudo);
    EXPECT_EQ(environment, "HOME=" + rootHome + "\nLANG=C\nPATH=/usr/bin:/bin\nXAUTHORITY=" + ann +
                               "/.Xauthority\nXDG_DATA_HOME=" + temp / "to-root's/not/yet\nconfig=" + rootHome +
                               "/.config/gantrywright/");
    EXPECT_EQ(said, "gantrywright: run as the superuser, with HOME naming another user's folder (" + ann +
                        "): the program uses the superuser's own home, " + rootHome +
                        ", instead, and leaves out XDG_CONFIG_HOME (" + ann + "/.config), XDG_CACHE_HOME (" +
                        temp / "theirs" + "), XDG_STATE_HOME (" + temp / "into-ann" + "), XDG_RUNTIME_DIR (" + ann +
                        "/run) and GANTRYWRIGHT_CONFIG_DIR (" + ann +
                        "/gw). To work with that user's settings, run the program as that user.\n");

    // As nobody, whose folder it is, nothing changes and nothing is said.
    std::vector<std::string> sorted = sudo;
    std::sort(sorted.begin(), sorted.end());
    std::string unchanged;
    for (const std::string& entry : sorted) unchanged += entry + "\n";
    std::tie(environment, said) = StartUp(sudo, true);
    EXPECT_EQ(environment, unchanged + "config=" + ann + "/gw/");
    EXPECT_EQ(said, "");

    // Root's own HOME stays; a relative configuration folder (ignored) is no folder to judge.
    std::tie(environment, said) =
        StartUp({"GANTRYWRIGHT_CONFIG_DIR=gw", "HOME=" + temp / "root's", "PATH=/bin", "XDG_RUNTIME_DIR=" + ann});
    EXPECT_EQ(environment, "GANTRYWRIGHT_CONFIG_DIR=gw\nHOME=" + temp / "root's" + "\nPATH=/bin\nconfig=" +
                               temp / "root's/.config/gantrywright/");
    EXPECT_EQ(said, "gantrywright: run as the superuser, with XDG_RUNTIME_DIR (" + ann +
                        ") naming another user's folder: the program leaves it out and keeps to the superuser's own "
                        "folders. To work with that user's settings, run the program as that user.\n");
    // A cookie named already stays; a home's .Xauthority that is no file is not named.
    std::tie(environment, said) = StartUp({"HOME=" + ann, "PATH=/bin", "XAUTHORITY=/run/cookie"});
    EXPECT_EQ(environment, "HOME=" + rootHome + "\nPATH=/bin\nXAUTHORITY=/run/cookie\nconfig=" + rootHome +
                               "/.config/gantrywright/");
    std::filesystem::create_directories(temp / "ann/root's/.Xauthority");
    std::tie(environment, said) = StartUp({"HOME=" + temp / "into-ann", "PATH=/bin"});
    EXPECT_EQ(environment, "HOME=" + rootHome + "\nPATH=/bin\nconfig=" + rootHome + "/.config/gantrywright/");
}

TEST(AppFoldersTest, ProgramDataFolderEndsInTheSeparator) {
    {
        EnvScope data("GANTRYWRIGHT_DATA_DIR", "/usr/share/gw");
        EXPECT_EQ(fsys::ProgramDataFolder(), "/usr/share/gw/");
    }
    EnvScope data("GANTRYWRIGHT_DATA_DIR", std::nullopt);
    const std::string folder = fsys::ProgramDataFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    const std::string exe = fsys::ExecutableFolder();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.back(), '/');
    EXPECT_TRUE(fsys::FolderExists(exe));
}

TEST(FileSystemTest, TrailingSeparatorAndFolderCreation) {
    EXPECT_EQ(fsys::WithTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(fsys::WithTrailingSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(fsys::WithTrailingSeparator(""), "");
    TempFolder temp;
    EXPECT_TRUE(fsys::CreateFolders(temp / "x/y/z"));
    EXPECT_TRUE(fsys::FolderExists(temp / "x/y/z"));
    EXPECT_TRUE(fsys::CreateFolders(temp / "x/y/z"));  // already there
    const std::string file = temp.Write("file", "1");
    EXPECT_FALSE(fsys::CreateFolders(file + "/below"));
    EXPECT_FALSE(fsys::CreateFolders(""));
}

}  // namespace
