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
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
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

// Starts the program as the user in a child of its own (posix_spawn cannot
// change the user): the child sets the groups, the group and the user, in
// that order, and checks them before it executes the program; where any of
// them fails it ends without running the program. Only calls that are safe
// after a fork run in the child. Standard input and errors go nowhere, the
// output to `outputEnd` when it is not -1. The child's pid, or -1 when it was
// not started.
pid_t StartAs(const std::string& program, char* const* argv, char* const* envp, const ProgramUser& user,
              int outputEnd) {
    // The child reports here why it did not execute the program (the pipe closes on executing).
    int report[2] = {-1, -1};
    if (::pipe2(report, O_CLOEXEC) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        int error = 0;
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(outputEnd >= 0 ? outputEnd : null, 1) < 0 ||
            ::dup2(null, 2) < 0) {
            error = errno;
        } else if (null > 2 && ::close(null) != 0) {
            error = errno;
        } else if (::setgroups(user.Groups.size(), user.Groups.data()) != 0 ||
                   ::setresgid(user.Group, user.Group, user.Group) != 0 ||
                   ::setresuid(user.User, user.User, user.User) != 0) {
            error = errno;
        } else {
            uid_t ruid = 0, euid = 0, suid = 0;
            gid_t rgid = 0, egid = 0, sgid = 0;
            if (::getresuid(&ruid, &euid, &suid) != 0 || ::getresgid(&rgid, &egid, &sgid) != 0 ||
                ruid != user.User || euid != user.User || suid != user.User || rgid != user.Group ||
                egid != user.Group || sgid != user.Group) {
                error = EPERM;
            } else {
                ::execve(program.c_str(), argv, envp);
                error = errno;
            }
        }
        (void)!::write(report[1], &error, sizeof error);
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

// Runs the command, as the user when one is given; its output goes to
// `output` when given, else nowhere.
RunResult Run(const std::vector<std::string>& command, std::string* output, const ProgramUser* user) {
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
    pid_t pid = 0;
    ChildEnvironment environment;
    if (user) {
        pid = StartAs(program, argv.data(), environment.Pointers.data(), *user, pipeEnds[1]);
        result.Started = pid > 0;
    } else {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (output) {
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        } else {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        result.Started =
            ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environment.Pointers.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
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
    return ChildExecuted(report[0]) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<ProgramUser> FolderOwner(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return std::nullopt;
    ProgramUser user{st.st_uid, st.st_gid, {st.st_gid}};
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
    passwd entry {};
    passwd* found = nullptr;
    while (::getpwuid_r(st.st_uid, &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (!found) return user;
    user.Group = entry.pw_gid;
    // The account's groups as logging in gives them (initgroups), the list grown until it holds them.
    int count = 32;
    for (int tries = 0; tries < 8; ++tries) {
        user.Groups.assign(static_cast<size_t>(count), 0);
        const int wanted = count;
        if (::getgrouplist(entry.pw_name, entry.pw_gid, user.Groups.data(), &count) >= 0) {
            user.Groups.resize(static_cast<size_t>(count));
            return user;
        }
        if (count <= wanted) count = wanted * 2;
    }
    user.Groups = {entry.pw_gid};  // a list that keeps growing: the account's group alone
    return user;
}

std::string RunFailure(const std::string& program, const RunResult& result) {
    if (!result.Found || result) return {};
    if (!result.Started) return program + " could not be started.";
    if (result.Stopped) return program + " had not ended after 10 seconds and was stopped.";
    if (result.Signal != 0) return program + " was ended by signal " + std::to_string(result.Signal) + ".";
    if (result.Status < 0) return program + " ended, and how is not known.";
    return program + " ended with exit status " + std::to_string(result.Status) + ".";
}

RunResult RunForOutput(const std::vector<std::string>& command, std::string& output, const ProgramUser* user) {
    return Run(command, &output, user);
}

RunResult RunQuietly(const std::vector<std::string>& command, const ProgramUser* user) {
    return Run(command, nullptr, user);
}

bool UseDesktopOpener(const DesktopProbe& probe) {
    if (!probe.IsInstalled("xdg-open")) return false;
    std::string program;
    if (!probe.Run({"xdg-mime", "query", "default", "text/html"}, program)) return false;
    return program.find_first_not_of(" \t\r\n") != std::string::npos;
}
