#include "simulator/app_file_info.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/file_system.h"
#include "platform/file_version.h"
#include "platform/stored_paths.h"

namespace fs = std::filesystem;

namespace {

// The path of the file, its last name matched without regard to case; empty when there is none.
std::string ExistingFile(const std::string& path) {
    if (fsys::FileExists(path)) return path;
    const fs::path p(path);
    const auto name = fsys::FindEntryIgnoringCase(p.parent_path().string(), p.filename().string());
    if (!name) return {};
    const std::string found = (p.parent_path() / *name).string();
    return fsys::FileExists(found) ? found : std::string{};
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string> SplitPatterns(const std::string& list) {
    std::vector<std::string> patterns;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t stop = std::min(list.find(';', start), list.size());
        if (stop > start) patterns.push_back(list.substr(start, stop - start));
        start = stop + 1;
    }
    return patterns;
}

// A folder the count descends into: a real folder (not a link), neither
// hidden nor read-only.
bool IsPlainFolder(const fs::directory_entry& entry) {
    std::error_code ec;
    const fs::file_status status = entry.symlink_status(ec);
    if (ec || status.type() != fs::file_type::directory) return false;
    const std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.') return false;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    // Iterative matching with one backtrack point for the last "*".
    size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool GetFileVersionFields(const std::string& Path, FileVersionFields& Fields) {
    const std::string file = ExistingFile(Path);
    if (file.empty()) return false;
    Fields = FileVersionFields{};
    std::vector<uint8_t> info;
    // A file that cannot be read leaves errno saying why; one without version information 0.
    if (GetVersionInfoSize(file) == 0 || !GetVersionInfo(file, info)) return true;
    errno = 0;

    VersionValue translation;
    if (!QueryVersionValue(info, "\\VarFileInfo\\Translation", translation) || translation.Size < 4) return true;
    const unsigned language = translation.Data[0] | translation.Data[1] << 8;
    const unsigned codePage = translation.Data[2] | translation.Data[3] << 8;
    char table[9];
    std::snprintf(table, sizeof table, "%04X%04X", language, codePage);

    const std::array<std::pair<const char*, std::string*>, 8> names{{
        {"CompanyName", &Fields.CompanyName},
        {"FileDescription", &Fields.FileDescription},
        {"FileVersion", &Fields.FileVersion},
        {"InternalName", &Fields.InternalName},
        {"LegalCopyright", &Fields.LegalCopyright},
        {"OriginalFileName", &Fields.OriginalFileName},
        {"ProductName", &Fields.ProductName},
        {"ProductVersion", &Fields.ProductVersion},
    }};
    for (const auto& [name, field] : names) {
        VersionValue value;
        if (QueryVersionValue(info, std::string("\\StringFileInfo\\") + table + "\\" + name, value)) {
            *field = VersionValueText(value);
        }
    }
    return true;
}

void CountFiles(const std::string& Folder, const std::string& PatternList, int32_t& Count) {
    const std::vector<std::string> patterns = SplitPatterns(PatternList);
    std::vector<std::string> folders{fsys::WithTrailingSeparator(Folder)};
    // The list grows while it is walked: each folder adds its subfolders.
    for (size_t i = 0; i < folders.size(); ++i) {
        std::error_code ec;
        for (fs::directory_iterator it(folders[i], ec), end; !ec && it != end; it.increment(ec)) {
            if (IsPlainFolder(*it)) folders.push_back(fsys::WithTrailingSeparator(it->path().string()));
        }
    }
    int64_t total = 0;
    for (const std::string& pattern : patterns) {
        for (const std::string& folder : folders) {
            std::error_code ec;
            for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
                // Files only, a link counting as what it names: a link that names nothing is no file.
                std::error_code typeError;
                if (!it->is_regular_file(typeError)) continue;
                if (MatchesWildcard(it->path().filename().string(), pattern)) ++total;
            }
        }
    }
    Count = static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
}
