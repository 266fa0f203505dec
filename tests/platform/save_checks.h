#pragma once
// Test helpers for the tests of saves: a file's text, the steps a write
// reports, the entries of a folder, who may use a file (owner, group, mode
// bits, extended attributes and access lists in the system's stored form),
// with the users and groups the tests hand files to, and saves run in a child
// process, as the user nobody or under limits of its own.

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/file_system.h"

inline std::string Text(const std::string& path) {
    std::string text;
    fsys::ReadWholeFile(path, text);
    return text;
}

// Calls the observer after each step of every write for the scope's life.
struct ObserverScope {
    explicit ObserverScope(fsys::WriteStepObserver observer) { fsys::SetWriteStepObserver(std::move(observer)); }
    ~ObserverScope() { fsys::SetWriteStepObserver(nullptr); }
};

inline mode_t Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

inline size_t EntriesIn(const std::string& folder) {
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++entries;
    return entries;
}

inline std::string Hex(const std::string& bytes) {
    std::string text;
    for (const char byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(byte));
        text += hex;
    }
    return text;
}

// Who may use a file: owner, group, mode bits and extended attributes (the
// access list among them), as one line.
inline std::string Who(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return "missing";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    std::string text = std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " " + mode;
    std::vector<char> names(4096);
    const ssize_t size = ::llistxattr(path.c_str(), names.data(), names.size());
    std::vector<std::string> sorted;
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(sorted.back().size()) + 1)
        sorted.emplace_back(names.data() + at);
    std::sort(sorted.begin(), sorted.end());
    for (const std::string& name : sorted) {
        std::string value(4096, '\0');
        value.resize(static_cast<size_t>(
            std::max<ssize_t>(0, ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size()))));
        text += " " + name + "=" + Hex(value);
    }
    return text;
}

// An access list in the system's stored form: its version, then each entry
// as tag, permissions and id (the ids of the owner, group, mask and other
// entries are not used).
inline std::string AccessList(std::initializer_list<std::tuple<uint16_t, uint16_t, uint32_t>> entries) {
    std::string bytes{'\x02', '\0', '\0', '\0'};
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    for (const auto& [tag, permissions, id] : entries) {
        put(tag, 2);
        put(permissions, 2);
        put(id, 4);
    }
    return bytes;
}
inline constexpr uint16_t kAclUserObj = 0x01, kAclUser = 0x02, kAclGroupObj = 0x04, kAclGroup = 0x08, kAclMask = 0x10,
                   kAclOther = 0x20;
inline constexpr uint32_t kNoId = 0xFFFFFFFF;

// A user's id and main group, or a group's id; nullopt where the system has
// no such name.
inline std::optional<std::pair<uid_t, gid_t>> User(const char* name) {
    const passwd* user = ::getpwnam(name);
    return user ? std::optional(std::pair(user->pw_uid, user->pw_gid)) : std::nullopt;
}
inline std::optional<gid_t> Group(const char* name) {
    const group* found = ::getgrnam(name);
    return found ? std::optional(found->gr_gid) : std::nullopt;
}

inline bool SetAttribute(const std::string& path, const char* name, const std::string& value) {
    return ::setxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

// Runs `work` in a child process in `folder`, once `become` has made it what
// the test needs (true); what `work` returns, "ended by signal N" where a
// signal ended the child, or nullopt where it could not start or `become`
// failed. A child that hangs is ended after a minute.
inline std::optional<std::string> InChild(const std::string& folder, const std::function<bool()>& become,
                                          const std::function<std::string()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string text = "!";
        if (::chdir(folder.c_str()) == 0 && become()) {
            ::alarm(60);
            text = work();
        }
        const ssize_t sent = ::write(channel[1], text.data(), text.size());
        ::_exit(sent == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return std::nullopt;
    if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text == "!") return std::nullopt;
    return text;
}

// Runs `work` in a child process in `folder` as the user nobody (group
// nogroup, and a member of `extraGroup`), as InChild; nullopt also where the
// child could not become that user.
inline std::optional<std::string> AsNobody(const std::string& folder, gid_t extraGroup,
                                           const std::function<std::string()>& work) {
    const auto nobody = User("nobody");
    if (!nobody) return std::nullopt;
    const auto [uid, gid] = *nobody;
    // The folder first: its parents need not be open to nobody.
    return InChild(
        folder,
        [&, uid = uid, gid = gid] {
            return ::setgroups(1, &extraGroup) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0 && ::geteuid() == uid;
        },
        work);
}
