#include "platform/desktop_programs.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/environment_folders.h"
#include "platform/file_system.h"

extern char** environ;

namespace {

constexpr size_t kMaxOutput = 64 * 1024;
constexpr auto kTimeLimit = std::chrono::seconds(10);

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the child until the deadline, then stops it; what became of it goes into `result`.
void AwaitChild(pid_t pid, Clock::time_point deadline, RunResult& result) {
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) return;  // reaped elsewhere: how it ended is not known
        if (Clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            result.Stopped = true;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status)) result.Status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
}

// The environment a started program gets: this program's, with the PATH this
// program searches (fsys::ProgramSearchPath: a shell script such as xdg-open
// runs sed, grep and the like by the PATH it is given, which must not lead it
// into the current folder). Made before any fork, since building it allocates.
struct ChildEnvironment {
    std::vector<std::string> Entries;
    std::vector<char*> Pointers;

    ChildEnvironment() {
        for (char** entry = environ; entry && *entry; ++entry) {
            if (std::strncmp(*entry, "PATH=", 5) != 0) Entries.emplace_back(*entry);
        }
        Entries.push_back("PATH=" + fsys::ProgramSearchPath());
        for (std::string& entry : Entries) Pointers.push_back(entry.data());
        Pointers.push_back(nullptr);
    }
};

// Reads the report pipe of a child (closed here): nothing comes once the
// child executed its program (the pipe closes on executing), an errno when it
// could not.
bool ChildExecuted(int reportEnd) {
    int error = 0;
    ssize_t n = 0;
    do {
        n = ::read(reportEnd, &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(reportEnd);
    return n == 0;
}

// Sets a started program's process up, in the child after the fork (only
// calls that are safe there): standard input and errors from and to
// /dev/null, the output to `outputEnd` (-1: /dev/null too), the working
// folder "/", no other descriptor but `reportEnd` (close-on-exec, so gone
// once the program runs), no signal blocked, and the signals this program or
// its libraries may ignore for themselves (a broken pipe, a file-size limit)
// at their defaults again. 0, or the errno of the step that failed.
int PrepareChild(int outputEnd, int& reportEnd, int openMax) {
    // Ends that landed among 0, 1 and 2 (a parent without them) move up first.
    if (outputEnd >= 0 && outputEnd < 3 && (outputEnd = ::fcntl(outputEnd, F_DUPFD, 3)) < 0) return errno;
    if (reportEnd < 3 && (reportEnd = ::fcntl(reportEnd, F_DUPFD_CLOEXEC, 3)) < 0) return errno;
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(null, 2) < 0 || ::dup2(outputEnd >= 0 ? outputEnd : null, 1) < 0)
        return errno;
    if (::chdir("/") != 0) return errno;
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(SIGPIPE, &standard, nullptr);
    ::sigaction(SIGXFSZ, &standard, nullptr);
    // Every descriptor from 3 up goes, whatever this program inherited or
    // opened without close-on-exec; the report end goes on executing.
    const auto closeRange = [](unsigned first, unsigned last) {
        return first > last || ::syscall(SYS_close_range, first, last, 0u) == 0;
    };
    const auto report = static_cast<unsigned>(reportEnd);
    if (!closeRange(3, report - 1) || !closeRange(report + 1, ~0U)) {
        // A system without close_range: each descriptor this process may hold.
        for (int fd = 3; fd < openMax; ++fd)
            if (fd != reportEnd) ::close(fd);
    }
    return 0;
}

// The highest descriptor number PrepareChild closes where the system has no
// close_range, taken before the fork.
int OpenDescriptorLimit() {
    const long limit = ::sysconf(_SC_OPEN_MAX);
    return static_cast<int>(limit > 0 ? std::min(limit, 1L << 20) : 1L << 16);
}

// Starts the program in a child of its own, set up by PrepareChild. The
// child's pid once the program is executed; -1 where it was not.
pid_t Start(const std::string& program, char* const* argv, char* const* envp, int outputEnd) {
    const int openMax = OpenDescriptorLimit();
    // The child reports here why it did not execute the program (the pipe closes on executing).
    int report[2] = {-1, -1};
    if (::pipe2(report, O_CLOEXEC) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        int reportEnd = report[1];
        int error = PrepareChild(outputEnd, reportEnd, openMax);
        if (error == 0) {
            ::execve(program.c_str(), argv, envp);
            error = errno;
        }
        (void)!::write(reportEnd, &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        return -1;
    }
    if (!ChildExecuted(report[0])) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return -1;
    }
    return pid;
}

// Runs the command; its output goes to `output` when given, else nowhere.
RunResult Run(const std::vector<std::string>& command, std::string* output) {
    RunResult result;
    if (command.empty()) return result;
    const std::string program = FindProgramOnPath(command[0]);
    if (program.empty()) return result;
    result.Found = true;
    std::vector<char*> argv;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (output && ::pipe2(pipeEnds, O_CLOEXEC) != 0) return result;
    ChildEnvironment environment;
    const pid_t pid = Start(program, argv.data(), environment.Pointers.data(), output ? pipeEnds[1] : -1);
    result.Started = pid > 0;
    if (output) ::close(pipeEnds[1]);
    if (!result.Started) {
        if (output) ::close(pipeEnds[0]);
        return result;
    }

    const Clock::time_point deadline = Clock::now() + kTimeLimit;
    if (output) {
        output->clear();
        char buffer[4096];
        for (;;) {
            pollfd wait{pipeEnds[0], POLLIN, 0};
            const int ready = ::poll(&wait, 1, MillisecondsLeft(deadline));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) break;  // out of time (the child is stopped below) or a poll failure
            const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            const size_t room = kMaxOutput - std::min(kMaxOutput, output->size());
            output->append(buffer, std::min(room, static_cast<size_t>(n)));
        }
        ::close(pipeEnds[0]);
    }
    AwaitChild(pid, deadline, result);
    return result;
}

}  // namespace

std::string FindProgramOnPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return {};
    std::istringstream dirs(fsys::ProgramSearchPath());
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = dir + "/" + name;
        if (fsys::FileExists(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

bool IsProgramOnPath(const std::string& name) { return !FindProgramOnPath(name).empty(); }

bool StartDetached(const std::vector<std::string>& command) {
    if (command.empty() || command[0].empty()) return false;
    const std::string program = FindProgramOnPath(command[0]);
    if (program.empty()) return false;
    std::vector<char*> argv;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ChildEnvironment environment;
    const int openMax = OpenDescriptorLimit();
    // The started program's grandparent reads from this pipe whether it could be executed.
    int report[2] = {-1, -1};
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // Only calls that are safe after a fork from here on. The child leaves
        // at once, so the program it starts belongs to the system, not to us.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        int reportEnd = report[1];
        int error = PrepareChild(-1, reportEnd, openMax);
        if (error == 0) {
            ::execve(program.c_str(), argv.data(), environment.Pointers.data());
            error = errno;
        }
        (void)!::write(reportEnd, &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return ChildExecuted(report[0]) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string RunFailure(const std::string& program, const RunResult& result) {
    if (!result.Found || result) return {};
    if (!result.Started) return program + " could not be started.";
    if (result.Stopped) return program + " had not ended after 10 seconds and was stopped.";
    if (result.Signal != 0) return program + " was ended by signal " + std::to_string(result.Signal) + ".";
    if (result.Status < 0) return program + " ended, and how is not known.";
    return program + " ended with exit status " + std::to_string(result.Status) + ".";
}

RunResult RunForOutput(const std::vector<std::string>& command, std::string& output) {
    return Run(command, &output);
}

RunResult RunQuietly(const std::vector<std::string>& command) { return Run(command, nullptr); }

bool UseDesktopOpener(const DesktopProbe& probe) {
    if (!probe.IsInstalled("xdg-open")) return false;
    std::string program;
    if (!probe.Run({"xdg-mime", "query", "default", "text/html"}, program)) return false;
    return program.find_first_not_of(" \t\r\n") != std::string::npos;
}
