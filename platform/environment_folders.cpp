#include "platform/environment_folders.h"

#include <algorithm>
#include <cstdlib>

#include <unistd.h>

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

void DropRelativeFolderVariables() {
    for (const char* name : kSingleFolderVariables) {
        const char* value = std::getenv(name);
        if (value && value[0] != '/') ::unsetenv(name);
    }
    for (const char* name : kFolderListVariables) {
        const char* value = std::getenv(name);
        if (!value) continue;
        const std::string kept = AbsoluteFolderEntries(value);
        if (kept.empty()) {
            ::unsetenv(name);
        } else if (kept != value) {
            ::setenv(name, kept.c_str(), 1);
        }
    }
    const char* path = std::getenv("PATH");
    const std::string searched = ProgramSearchPath();
    if (!path || searched != path) ::setenv("PATH", searched.c_str(), 1);
}

}  // namespace fsys
