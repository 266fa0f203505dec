#include "platform/environment_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/write_way.h"

extern char** environ;

namespace fsys {

std::string AbsoluteFolderEntries(const std::string& list) {
    std::string kept;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t stop = std::min(list.find(':', start), list.size());
        if (stop > start && list[start] == '/') {
            if (!kept.empty()) kept += ':';
            kept.append(list, start, stop - start);
        }
        start = stop + 1;
    }
    return kept;
}

std::string ProgramSearchPath() {
    const char* path = std::getenv("PATH");
    std::string kept = path ? AbsoluteFolderEntries(path) : std::string();
    if (!kept.empty()) return kept;
    // The system's own default, which names the folders of its standard programs.
    const size_t length = ::confstr(_CS_PATH, nullptr, 0);
    if (length > 1) {
        std::string standard(length, '\0');
        ::confstr(_CS_PATH, standard.data(), length);
        standard.resize(length - 1);
        kept = AbsoluteFolderEntries(standard);
    }
    return kept.empty() ? "/bin:/usr/bin" : kept;
}

namespace {

// How many times the environment holds the variable: an environment handed
// over by another program may hold one name twice, of which getenv sees the
// first and a shell started later may take the last.
int Copies(const char* name) {
    const size_t length = std::strlen(name);
    int copies = 0;
    for (char** entry = environ; entry && *entry; ++entry)
        if (std::strncmp(*entry, name, length) == 0 && (*entry)[length] == '=') ++copies;
    return copies;
}

// Holds the variable once with the value: unsetenv takes out every copy, and
// setenv sets the one left. Nothing changes where it is held once with that
// value already.
void HoldOnce(const char* name, const std::string& value) {
    const char* now = std::getenv(name);
    if (now && value == now && Copies(name) == 1) return;
    ::unsetenv(name);
    ::setenv(name, value.c_str(), 1);
}

// The value as one line of a message: control characters shown as "?".
std::string OnOneLine(const std::string& value) {
    std::string shown = value;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}

// The superuser's part of the clean-up: each judged variable naming a folder
// that is not root's goes (HOME to root's own home), and one line says so.
void KeepToTheSuperusersFolders() {
    std::optional<std::string> oldHome;
    std::vector<std::pair<std::string, std::string>> dropped;  // name, value
    for (const char* name : kSuperuserJudgedVariables) {
        const char* value = std::getenv(name);
        // A relative one is no folder (the configuration folder's is ignored); the others are gone by now.
        if (!value || value[0] != '/' || !NotTheSuperusersWay(value)) continue;
        if (std::strcmp(name, "HOME") == 0) {
            oldHome = value;
        } else {
            dropped.emplace_back(name, value);
        }
    }
    if (!oldHome && dropped.empty()) return;
    for (const auto& [name, value] : dropped) ::unsetenv(name.c_str());

    std::string line = "gantrywright: run as the superuser, with ";
    if (oldHome) {
        // X finds the display's cookie through HOME where XAUTHORITY is unset: it stays reachable.
        if (!std::getenv("XAUTHORITY")) {
            const std::string cookie = *oldHome + (oldHome->back() == '/' ? "" : "/") + ".Xauthority";
            struct stat st {};
            if (::stat(cookie.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::setenv("XAUTHORITY", cookie.c_str(), 1);
        }
        const passwd* root = ::getpwuid(0);
        const std::string rootHome = root && root->pw_dir && root->pw_dir[0] == '/' ? root->pw_dir : "";
        ::unsetenv("HOME");
        if (!rootHome.empty()) ::setenv("HOME", rootHome.c_str(), 1);
        line += "HOME naming another user's folder (" + OnOneLine(*oldHome) + "): the program " +
                (rootHome.empty() ? std::string("runs without a home, as the password file names none for the superuser")
                                  : "uses the superuser's own home, " + OnOneLine(rootHome) + ", instead");
        for (size_t i = 0; i < dropped.size(); ++i) {
            line += i == 0 ? ", and leaves out " : (i + 1 == dropped.size() ? " and " : ", ");
            line += dropped[i].first + " (" + OnOneLine(dropped[i].second) + ")";
        }
    } else {
        for (size_t i = 0; i < dropped.size(); ++i) {
            if (i > 0) line += i + 1 == dropped.size() ? " and " : ", ";
            line += dropped[i].first + " (" + OnOneLine(dropped[i].second) + ")";
        }
        line += dropped.size() == 1 ? " naming another user's folder: the program leaves it out"
                                    : " naming other users' folders: the program leaves them out";
        line += " and keeps to the superuser's own folders";
    }
    line += ". To work with that user's settings, run the program as that user.\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

void DropRelativeFolderVariables() {
    // unsetenv takes out every copy of the name, so a relative value goes whole.
    for (const char* name : kSingleFolderVariables) {
        const char* value = std::getenv(name);
        if (!value) continue;
        if (value[0] != '/') {
            ::unsetenv(name);
        } else {
            HoldOnce(name, value);
        }
    }
    for (const char* name : kFolderListVariables) {
        const char* value = std::getenv(name);
        if (!value) continue;
        const std::string kept = AbsoluteFolderEntries(value);
        if (kept.empty()) {
            ::unsetenv(name);
        } else {
            HoldOnce(name, kept);
        }
    }
    // Each judged variable is absolute (or gone) by now, and held once.
    if (::geteuid() == 0) KeepToTheSuperusersFolders();
    HoldOnce("PATH", ProgramSearchPath());
}

}  // namespace fsys
