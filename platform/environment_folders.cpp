#include "platform/environment_folders.h"

#include <algorithm>
#include <cstdlib>

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
}

}  // namespace fsys
