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
#include <spawn.h>
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

// Waits for the child until the deadline, then stops it; true when it ended by itself with status 0.
bool AwaitChild(pid_t pid, Clock::time_point deadline) {
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR) return false;
        if (Clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
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

// Runs the command; its output goes to `output` when given, else nowhere.
bool Run(const std::vector<std::string>& command, std::string* output) {
    if (command.empty()) return false;
    const std::string program = FindProgramOnPath(command[0]);
    if (program.empty()) return false;
    std::vector<char*> argv;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (output && ::pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ChildEnvironment environment;
    const bool started =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environment.Pointers.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (output) ::close(pipeEnds[1]);
    if (!started) {
        if (output) ::close(pipeEnds[0]);
        return false;
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
    return AwaitChild(pid, deadline);
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
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            if (null > 2) ::close(null);
        }
        ::execve(program.c_str(), argv.data(), environment.Pointers.data());
        const int error = errno;
        (void)!::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // Nothing to read once the program runs (the pipe closed on executing), an errno when it could not.
    int error = 0;
    ssize_t n = 0;
    do {
        n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

bool RunForOutput(const std::vector<std::string>& command, std::string& output) { return Run(command, &output); }

bool RunQuietly(const std::vector<std::string>& command) { return Run(command, nullptr); }

bool UseDesktopOpener(const DesktopProbe& probe) {
    if (!probe.IsInstalled("xdg-open")) return false;
    std::string program;
    if (!probe.Run({"xdg-mime", "query", "default", "text/html"}, program)) return false;
    return program.find_first_not_of(" \t\r\n") != std::string::npos;
}
