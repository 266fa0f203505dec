// The desktop's programs: running one for its output, starting one to run on
// its own, and whether pages go to the desktop's opener or to the program's
// own help viewer.
#include "platform/desktop_programs.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
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
// failure to say.
TEST(DesktopPrograms, HowAProgramEnded) {
    EXPECT_EQ(RunFailure("sh", RunQuietly({"sh", "-c", "exit 3"})), "sh ended with exit status 3.");
    EXPECT_EQ(RunFailure("sh", RunQuietly({"sh", "-c", "kill -9 $$"})), "sh was ended by signal 9.");
    EXPECT_EQ(RunFailure("gw-no-such-program-here", RunQuietly({"gw-no-such-program-here"})), "");
    EXPECT_EQ(RunFailure("true", RunQuietly({"true"})), "");
}

// Every started program works in "/" and holds descriptors 0, 1 and 2 alone,
// whatever this program holds without close-on-exec (one of them numbered
// high, one among the first), with no signal blocked and a broken pipe and a
// file-size limit at their defaults.
TEST(DesktopPrograms, AStartedProgramStartsClean) {
    TempFolder here;
    const std::string mark = here / "started";
    const int stray = ::open(here.Path().c_str(), O_RDONLY | O_DIRECTORY);  // without close-on-exec
    ASSERT_GE(stray, 0);
    ASSERT_EQ(::dup2(stray, 1000), 1000);
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(here.Path());
    sigset_t blocked, before;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, &before), 0);
    const auto pipeWas = std::signal(SIGPIPE, SIG_IGN);
    const auto sizeWas = std::signal(SIGXFSZ, SIG_IGN);
    // sh's own descriptors (ls lists another process's); the signals of a program that leaves them as given.
    const std::string script = "pwd; ls /proc/$$/fd";
    std::string output, signals;
    EXPECT_TRUE(RunForOutput({"sh", "-c", script}, output));
    EXPECT_TRUE(RunForOutput({"grep", "-E", "^Sig(Blk|Ign)", "/proc/self/status"}, signals));
    const bool quiet = static_cast<bool>(RunQuietly({"sh", "-c", "exec > \"$0\"; " + script, mark + ".quiet"}));
    const bool detached = StartDetached({"sh", "-c", "exec > \"$0.part\"; " + script + "; mv \"$0.part\" \"$0\"", mark});
    std::signal(SIGXFSZ, sizeWas);
    std::signal(SIGPIPE, pipeWas);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    std::filesystem::current_path(old);
    ::close(1000);
    ::close(stray);
    // The bits of SIGUSR1 among the blocked signals, SIGPIPE and SIGXFSZ among the ignored ones (a
    // signal that the test's own runner ignores, as nohup does, stays ignored).
    const auto bits = [&](const char* line) {
        const size_t at = signals.find(line);
        return at == std::string::npos ? ~0ULL : std::stoull(signals.substr(at + 8, 16), nullptr, 16);
    };
    const auto bit = [](int signal) { return 1ULL << (signal - 1); };
    EXPECT_EQ(bits("SigBlk:\t") & bit(SIGUSR1), 0u) << signals;
    EXPECT_EQ(bits("SigIgn:\t") & (bit(SIGPIPE) | bit(SIGXFSZ)), 0u) << signals;
    const std::string clean = "/\n0\n1\n2\n";
    EXPECT_EQ(output, clean);
    std::string text;
    EXPECT_TRUE(quiet);
    EXPECT_TRUE(fsys::ReadWholeFile(mark + ".quiet", text));
    EXPECT_EQ(text, clean);
    ASSERT_TRUE(detached);
    text.clear();
    for (int i = 0; i < 500 && !fsys::ReadWholeFile(mark, text); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(text, clean);

    // A program started without standard input and errors of its own (in a child that closed them):
    // the output pipe, or the pipe that tells whether the program was executed, takes those numbers,
    // and the output still arrives, and a program that could not be executed is still told.
    here.Write("bin/not-a-program", "\x7f" "ELF garbage");
    ::chmod((here / "bin/not-a-program").c_str(), 0755);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(0);
        ::close(2);
        std::string said;
        const bool ran = static_cast<bool>(RunForOutput({"sh", "-c", "echo said"}, said));
        said = (ran ? "ran:" : "failed:") + said;
        ::setenv("PATH", (here / "bin").c_str(), 1);
        said += RunQuietly({"not-a-program"}).Started ? "started" : "not started";
        (void)!::write(report[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(report[1]);
    text.clear();
    char buffer[64];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    ::close(report[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(text, "ran:said\nnot started");
}

}  // namespace
