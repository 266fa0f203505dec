#include "platform/environment_folders.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

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
    HoldOnce("PATH", ProgramSearchPath());
}

}  // namespace fsys
