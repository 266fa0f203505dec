#include "tools/object_files.h"

#include <vector>

#include "core/app_state.h"
#include "platform/file_system.h"
#include "platform/stored_paths.h"

namespace {

constexpr const char* kObjectsFolderName = "Objects";

}  // namespace

std::string ObjectsFolder() {
    const std::string sim = fsys::WithTrailingSeparator(gSimPath);
    const auto entry = fsys::FindEntryIgnoringCase(sim, kObjectsFolderName);
    return sim + (entry ? *entry : std::string(kObjectsFolderName));
}

bool IsFullObjectPath(const std::string& text) {
    return (!text.empty() && (text[0] == '/' || text[0] == '\\')) || (text.size() > 1 && text[1] == ':');
}

std::optional<std::string> StoredObjectName(const std::string& fullPath) {
    if (gSimPath.empty() || !IsFullObjectPath(fullPath)) return std::nullopt;
    const auto base = fsys::StoredPathNames(gSimPath + "/" + kObjectsFolderName);
    const auto names = fsys::StoredPathNames(fullPath);
    if (!base || !names || names->size() <= base->size()) return std::nullopt;
    for (size_t i = 0; i < base->size(); ++i)
        if (!fsys::EqualsIgnoringAsciiCase((*base)[i], (*names)[i])) return std::nullopt;
    std::string stored;
    for (size_t i = base->size(); i < names->size(); ++i) {
        if (!stored.empty()) stored.push_back('\\');
        stored += (*names)[i];
    }
    return stored;
}

bool ObjectFileExists(const std::string& storedName) {
    if (storedName.empty()) return false;
    const auto path = fsys::ResolveStoredName(ObjectsFolder(), storedName);
    return path && fsys::FileExists(*path);
}
