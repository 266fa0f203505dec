// The desktop's programs: running one for its output, starting one to run on
// its own, and whether pages go to the desktop's opener or to the program's
// own help viewer.
#include "platform/desktop_programs.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/environment_folders.h"
#include "tests/platform/temp_folder.h"

namespace {

// A desktop as the probe sees it: whether xdg-open is installed and what
// xdg-mime answers for web pages (nullptr: xdg-mime fails).
DesktopProbe Desktop(bool xdgOpen, const char* htmlDefault, std::vector<std::string>* asked) {
    DesktopProbe probe;
    probe.IsInstalled = [xdgOpen](const std::string& program) { return program == "xdg-open" && xdgOpen; };
    probe.Run = [htmlDefault, asked](const std::vector<std::string>& command, std::string& output) {
        asked->insert(asked->end(), command.begin(), command.end());
        output = htmlDefault ? htmlDefault : "";
        return htmlDefault != nullptr;
    };
    return probe;
}

TEST(DesktopPrograms, TheOpenerIsUsedOnlyWhereItHasAProgramForWebPages) {
    std::vector<std::string> asked;
    EXPECT_TRUE(UseDesktopOpener(Desktop(true, "firefox.desktop\n", &asked)));
    EXPECT_EQ(asked, (std::vector<std::string>{"xdg-mime", "query", "default", "text/html"}));
    EXPECT_FALSE(UseDesktopOpener(Desktop(true, "\n", &asked)));  // xdg-open would start and find nothing
    EXPECT_FALSE(UseDesktopOpener(Desktop(true, nullptr, &asked)));
    asked.clear();
    // Without xdg-open there is no desktop opener, whatever xdg-mime would say.
    EXPECT_FALSE(UseDesktopOpener(Desktop(false, "firefox.desktop\n", &asked)));
    EXPECT_TRUE(asked.empty());

    // The real probe on a PATH without xdg-open.
    TempFolder empty;
    EnvScope path("PATH", empty.Path());
    EXPECT_FALSE(UseDesktopOpener());
}

TEST(DesktopPrograms, StartDetachedRunsOnItsOwnAndSaysWhetherItStarted) {
    TempFolder folder;
    const std::string mark = folder / "started";
    {
        // The program gets the absolute entries of the PATH only.
        EnvScope path("PATH", std::string(":rel:/usr/bin::./x:/bin:"));
        ASSERT_TRUE(StartDetached({"sh", "-c", "sleep 0.2; echo \"$0|$PATH\" > \"$1\"", "one two", mark}));
    }
    // Returned before the program ended, which leaves no child of ours behind.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    std::string text;
    for (int i = 0; i < 500 && !fsys::ReadWholeFile(mark, text); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(text, "one two|/usr/bin:/bin\n");

    // Not found, or found and not executable as a program: not started.
    EXPECT_FALSE(StartDetached({"gw-no-such-program-here"}));
    EXPECT_FALSE(StartDetached({}));
    folder.Write("bin/not-a-program", "\x7f" "ELF garbage");
    ::chmod((folder / "bin/not-a-program").c_str(), 0755);
    EnvScope path("PATH", folder / "bin");
    EXPECT_TRUE(IsProgramOnPath("not-a-program"));
    EXPECT_FALSE(StartDetached({"not-a-program"}));
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
}

TEST(DesktopPrograms, RunForOutputReportsTheOutputAndTheExitStatus) {
    std::string output;
    EXPECT_TRUE(RunForOutput({"sh", "-c", "printf 'one\\ntwo'; echo noise >&2"}, output));
    EXPECT_EQ(output, "one\ntwo");
    EXPECT_FALSE(RunForOutput({"sh", "-c", "echo partial; exit 3"}, output));
    EXPECT_FALSE(RunForOutput({"gw-no-such-program-here"}, output));
    EXPECT_FALSE(RunForOutput({}, output));
    EXPECT_TRUE(RunQuietly({"true"}));
    EXPECT_TRUE(IsProgramOnPath("sh"));
    EXPECT_EQ(FindProgramOnPath("sh").front(), '/');
    EXPECT_FALSE(IsProgramOnPath("gw-no-such-program-here"));
    EXPECT_FALSE(IsProgramOnPath("/bin/sh"));

    // An empty or relative entry of the PATH is no folder to search: the
    // program the current folder holds is neither found nor run, by the
    // check or by any way of starting.
    TempFolder here;
    const std::string mark = here / "ran";
    for (const char* fake : {"gw-fake-tool", "rel/gw-fake-tool", "abs/gw-fake-tool"}) {
        here.Write(fake, "#!/bin/sh\necho " + std::string(fake) + " >> '" + mark + "'\n");
        ::chmod((here / fake).c_str(), 0755);
    }
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(here.Path());
    {
        EnvScope path("PATH", std::string("::rel:./rel"));
        EXPECT_FALSE(IsProgramOnPath("gw-fake-tool"));
        EXPECT_FALSE(RunQuietly({"gw-fake-tool"}));
        EXPECT_FALSE(RunForOutput({"gw-fake-tool"}, output));
        EXPECT_FALSE(StartDetached({"gw-fake-tool"}));
        // With no absolute entry left, the system's default folders are searched, and handed on.
        EXPECT_TRUE(RunForOutput({"sh", "-c", "echo \"$PATH\""}, output));
        EXPECT_EQ(output, fsys::ProgramSearchPath() + "\n");
        EXPECT_EQ(output.front(), '/');
        // Nor does a script started by the program find it: its PATH holds the absolute entries only.
        EnvScope shell("PATH", std::string(":rel:/usr/bin::/bin:"));
        EXPECT_TRUE(RunForOutput({"sh", "-c", "echo \"$PATH\""}, output));
        EXPECT_EQ(output, "/usr/bin:/bin\n");
        EXPECT_FALSE(RunQuietly({"sh", "-c", "gw-fake-tool"}));
        // An absolute entry after them is searched, and its program run by that path.
        EnvScope withAbsolute("PATH", ":rel:" + (here / "abs"));
        EXPECT_TRUE(IsProgramOnPath("gw-fake-tool"));
        EXPECT_TRUE(RunQuietly({"gw-fake-tool"}));
    }
    std::filesystem::current_path(old);
    std::string ran;
    fsys::ReadWholeFile(mark, ran);
    EXPECT_EQ(ran, "abs/gw-fake-tool\n");
}

// How a program ended is said with its name; a program not installed is no
// failure to say. Run as another user (as the superuser hands the desktop's
// refreshes to the data folder's owner), it has that user's groups, group and
// user; where they cannot all be set, it does not run at all.
TEST(DesktopPrograms, RunAsAUserAndHowAProgramEnded) {
    EXPECT_EQ(RunFailure("sh", RunQuietly({"sh", "-c", "exit 3"})), "sh ended with exit status 3.");
    EXPECT_EQ(RunFailure("sh", RunQuietly({"sh", "-c", "kill -9 $$"})), "sh was ended by signal 9.");
    EXPECT_EQ(RunFailure("gw-no-such-program-here", RunQuietly({"gw-no-such-program-here"})), "");
    EXPECT_EQ(RunFailure("true", RunQuietly({"true"})), "");

    TempFolder folder;
    std::optional<ProgramUser> owner = FolderOwner(folder.Path());
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->User, ::geteuid());
    EXPECT_FALSE(FolderOwner(folder / "none"));
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to run programs as another user";
    ASSERT_EQ(::chown(folder.Path().c_str(), 65534, 65534), 0);
    owner = FolderOwner(folder.Path());
    ASSERT_TRUE(owner);
    std::string output;
    EXPECT_TRUE(RunForOutput({"sh", "-c", "id -u; id -g; id -G"}, output, &*owner));
    EXPECT_EQ(output, "65534\n65534\n65534\n");
    // A user the system leaves as it is (-1 changes no ID): not run, least of all as root.
    const ProgramUser unchanged{static_cast<uid_t>(-1), static_cast<gid_t>(-1), {65534}};
    output.clear();
    const RunResult refused = RunForOutput({"sh", "-c", "id -u"}, output, &unchanged);
    EXPECT_EQ(RunFailure("sh", refused), "sh could not be started.");
    EXPECT_EQ(output, "");
}

}  // namespace
