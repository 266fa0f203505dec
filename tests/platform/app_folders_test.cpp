#include "platform/app_folders.h"
#include "platform/environment_folders.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
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
