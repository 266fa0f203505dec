#include "tools/object_files.h"

#include <vector>

#include "core/app_state.h"
#include "platform/code_page.h"
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
    // The simulator folder as spelled on disk; the path as the program's text.
    for (size_t i = 0; i < base->size(); ++i)
        if (!fsys::EqualsIgnoringAsciiCase(cp::TextFromDiskName((*base)[i]), cp::TextFromDiskName((*names)[i])))
            return std::nullopt;
    std::string stored;
    for (size_t i = base->size(); i < names->size(); ++i) {
        if (!stored.empty()) stored.push_back('\\');
        stored += cp::TextFromDiskName((*names)[i]);
    }
    return stored;
}

bool ObjectFileExists(const std::string& storedName) {
    if (storedName.empty()) return false;
    const auto path = fsys::ResolveStoredName(ObjectsFolder(), storedName);
    return path && fsys::FileExists(*path);
}

bool ObjectNameStorable(const std::string& storedName) { return cp::CanHold(storedName); }

std::string ObjectNameNotStorableText(const std::string& storedName) {
    return "The object file " + storedName + " cannot be named in the track: the character \"" +
           cp::FirstCharacterOutside(storedName).value_or(std::string()) +
           "\" has no place in the simulator's single-byte code page (ISO 8859-1). Rename the file with "
           "Western European letters only.";
}
