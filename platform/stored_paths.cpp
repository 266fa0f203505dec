#include "platform/stored_paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace fsys {

namespace fs = std::filesystem;

std::optional<std::vector<std::string>> StoredPathNames(const std::string& storedName) {
    std::vector<std::string> names;
    std::string name;
    auto flush = [&]() -> bool {
        if (name.empty() || name == ".") {
        } else if (name == "..") {
            if (names.empty()) return false;
            names.pop_back();
        } else {
            names.push_back(name);
        }
        name.clear();
        return true;
    };
    for (char c : storedName) {
        if (c == '\\' || c == '/') {
            if (!flush()) return std::nullopt;
        } else {
            name.push_back(c);
        }
    }
    if (!flush()) return std::nullopt;
    return names;
}

namespace {

// The entry spelled like one of the spellings: an exact one, the earlier
// spelling first; else, for the earliest spelling that has one, the first in
// sorted order that differs from it only in ASCII letter case.
std::optional<std::string> FindEntry(const std::string& folder, const std::vector<std::string>& spellings) {
    std::error_code ec;
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    for (const std::string& spelling : spellings)
        if (fs::exists(dir / spelling, ec)) return spelling;
    std::vector<std::optional<std::string>> best(spellings.size());
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        for (size_t i = 0; i < spellings.size(); ++i)
            if (EqualsIgnoringAsciiCase(entry, spellings[i]) && (!best[i] || entry < *best[i])) best[i] = entry;
    }
    for (const auto& entry : best)
        if (entry) return entry;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
    if (name.empty()) return std::nullopt;
    return FindEntry(folder, cp::DiskSpellings(name));
}

std::optional<std::string> FindStoredEntry(const std::string& folder, const std::string& storedName) {
    if (storedName.empty()) return std::nullopt;
    std::vector<std::string> spellings = cp::DiskSpellings(storedName);
    std::reverse(spellings.begin(), spellings.end());  // the file's own bytes, then UTF-8
    return FindEntry(folder, spellings);
}

std::optional<std::string> ResolveStoredName(const std::string& folder, const std::string& storedName) {
    const auto names = StoredPathNames(storedName);
    if (!names || folder.empty() || !FolderExists(folder)) return std::nullopt;
    fs::path path(folder);
    for (const std::string& name : *names) {
        const auto entry = FindStoredEntry(path.string(), name);
        if (!entry) return std::nullopt;
        path /= *entry;
    }
    return path.string();
}

std::string MapStoredName(const std::string& folder, const std::string& storedName) {
    const auto names = StoredPathNames(storedName);
    if (!names || names->empty() || folder.empty()) return std::string();
    fs::path path(folder);
    bool onDisk = FolderExists(folder);
    for (const std::string& name : *names) {
        std::optional<std::string> entry;
        if (onDisk) entry = FindStoredEntry(path.string(), name);
        onDisk = entry.has_value();
        path /= entry ? *entry : name;
    }
    return path.string();
}

std::optional<std::string> ToStoredName(const std::string& folder, const std::string& path) {
    if (folder.empty() || path.empty()) return std::nullopt;
    auto relative = [](const fs::path& base, const fs::path& p) -> std::optional<std::string> {
        auto b = base.begin(), pi = p.begin();
        for (; b != base.end() && !b->empty(); ++b, ++pi) {
            if (pi == p.end() || *pi != *b) return std::nullopt;
        }
        std::string stored;
        for (; pi != p.end(); ++pi) {
            if (pi->empty()) continue;
            if (!stored.empty()) stored.push_back('\\');
            stored += pi->string();
        }
        if (stored.empty()) return std::nullopt;
        return stored;
    };
    std::error_code ec;
    const fs::path base = fs::absolute(folder, ec).lexically_normal();
    const fs::path target = fs::absolute(path, ec).lexically_normal();
    if (auto stored = relative(base, target)) return stored;
    // The same folder reached through a link.
    const fs::path realBase = fs::weakly_canonical(base, ec);
    if (ec) return std::nullopt;
    const fs::path realTarget = fs::weakly_canonical(target, ec);
    if (ec) return std::nullopt;
    return relative(realBase, realTarget);
}

}  // namespace fsys
