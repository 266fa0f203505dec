#include "simulator/file_association.h"

#include <cerrno>
#include <cmath>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "core/number_formats.h"
#include "platform/code_page.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace {

constexpr const char* kExtensionKey = ".vxtrack";
constexpr const char* kFileType = "Vortaxis.Trackfile";
constexpr const char* kShellKey = "Vortaxis.Trackfile\\Shell";
constexpr const char* kIconKey = "Vortaxis.Trackfile\\DefaultIcon";
constexpr const char* kIconLibrary = "VXExtraIcons.dll";

constexpr std::array<VerbInfo, kVerbCount> kVerbs{{
    {"Ride", "Ride!"},
    {"Edit", "Edit"},
    {"Tera", "Terraform"},
    {"Tool", "Gantrywright"},
}};

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool ReadDefault(const std::string& key, std::string& value) { return RegReadValue(RegClassesRoot, key, "", value); }

bool WriteDefault(const std::string& key, const std::string& value) {
    return RegWriteValue(RegClassesRoot, key, RegString, "", value);
}

// True when the text ends in "," and an integer, as an icon value does.
bool EndsInIconIndex(const std::string& text) {
    const size_t comma = text.find_last_of(',');
    if (comma == std::string::npos || comma + 1 >= text.size()) return false;
    size_t i = comma + 1;
    if (text[i] == '-') ++i;
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

}  // namespace

std::string ProgramPathOfLink(const std::string& link, std::string& problem) {
    problem.clear();
    std::string text(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(link.c_str(), text.data(), text.size());
        if (n < 0) {
            problem = "The program's own file cannot be found. " +
                      fsys::ReadFailureReason(errno, fsys::kProgramFile);
            return {};
        }
        if (static_cast<size_t>(n) < text.size()) {
            text.resize(static_cast<size_t>(n));
            break;
        }
        if (text.size() >= (1u << 20)) {  // no path is that long
            problem = "The program's own file cannot be found. " +
                      fsys::ReadFailureReason(ENAMETOOLONG, fsys::kProgramFile);
            return {};
        }
        text.resize(text.size() * 2);
    }
    // A file whose name really ends in " (deleted)" is the running program itself.
    if (fsys::IsSameFile(link, text)) return text;
    constexpr std::string_view kDeleted = " (deleted)";
    std::string path = text;
    if (path.size() > kDeleted.size() && path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
        path.resize(path.size() - kDeleted.size());
    }
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || !S_ISREG(now.st_mode) || (now.st_mode & 0111) == 0) {
        problem = "There is no program at \"" + cp::TextFromDiskPath(path) +
                  "\" any more (its file was removed or replaced while Gantrywright ran), so track files "
                  "cannot be opened with it.";
    }
    return path;
}

const VerbInfo& Verb(int index) { return kVerbs[static_cast<size_t>(index)]; }

std::string VerbProgram(int verb, const AssociationPaths& paths) {
    switch (verb) {
        case 0: return paths.SimPath + "VortaxisSimulator.exe";
        case 1: return paths.SimPath + "VortaxisEditor.exe";
        case 2: return paths.SimPath + "VortaxisTerraformer.exe";
        default: return paths.ProgramPath;
    }
}

std::string VerbCommand(int verb, const AssociationPaths& paths) {
    return "\"" + VerbProgram(verb, paths) + "\"" + (verb == 0 ? " -s" : "") + " \"%1\"";
}

void SelectDoubleClick(FileAssociationForm& form, int option) {
    if (option < 0 || option > 2) option = 0;
    form.DoubleClick = option;
    for (int i = 0; i < 3; ++i) form.RightClickEnabled[i] = true;
    form.RightClick[option] = true;
    form.RightClickEnabled[option] = false;
}

int IconOptionOfValue(const std::string& value, std::string& iconPath) {
    const size_t slash = value.find_last_of("\\/");
    const std::string name = Lower(slash == std::string::npos ? value : value.substr(slash + 1));
    iconPath.clear();
    auto startsWith = [&](const std::string& prefix) {
        return value.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0;
    };
    if (startsWith("vortaxissimulator.exe")) return 0;
    if (startsWith("vortaxiseditor.exe")) return 1;
    if (startsWith("vxextraicons.dll")) {
        const size_t comma = value.find_last_of(',');
        const double index = comma == std::string::npos ? 0.0 : ParseLeadingNumber(value.substr(comma + 1));
        const double option = std::nearbyint(index + 2.0);
        if (option >= 2 && option <= 6) return static_cast<int>(option);
    }
    iconPath = value;
    return kOwnIconOption;
}

std::string IconValue(const FileAssociationForm& form, const AssociationPaths& paths) {
    switch (form.Icon) {
        case 0: return paths.SimPath + "VortaxisSimulator.exe,0";
        case 1: return paths.SimPath + "VortaxisEditor.exe,0";
        case 2: case 3: case 4: case 5: case 6:
            return paths.AppPath + kIconLibrary + "," + std::to_string(form.Icon - 2);
        default: return EndsInIconIndex(form.IconPath) ? form.IconPath : form.IconPath + ",0";
    }
}

FileAssociationForm LoadFileAssociation() {
    FileAssociationForm form;
    std::string type, icon;
    if (!ReadDefault(kExtensionKey, type) || !ReadDefault("Vortaxis.TrackFile\\DefaultIcon", icon)) {
        form.RightClick = {true, true, true, true};
        SelectDoubleClick(form, 0);
        form.Icon = 0;
        return form;
    }
    std::string verb;
    ReadDefault("Vortaxis.TrackFile\\Shell", verb);
    for (int i = 0; i < kVerbCount; ++i) {
        std::string caption;
        ReadDefault(std::string("Vortaxis.TrackFile\\Shell\\") + kVerbs[i].Key, caption);
        form.RightClick[i] = !caption.empty();
    }
    form.Icon = IconOptionOfValue(icon, form.IconPath);
    verb = Lower(verb);
    SelectDoubleClick(form, verb == "edit" ? 1 : verb == "tera" ? 2 : 0);
    return form;
}

bool SaveFileAssociation(const FileAssociationForm& form, const AssociationPaths& paths) {
    // One action: a lock that another program holds is waited for once, not once a key.
    const RegChangeBatch batch;
    bool ok = true;
    int error = 0;
    const auto write = [&](const std::string& key, const std::string& value) {
        if (WriteDefault(key, value)) return;
        if (ok) error = errno;
        ok = false;
    };
    write(kExtensionKey, kFileType);
    for (int i = 0; i < kVerbCount; ++i) {
        const std::string key = std::string(kShellKey) + "\\" + kVerbs[i].Key;
        if (form.RightClick[i]) {
            write(key, kVerbs[i].Caption);
            write(key + "\\Command", VerbCommand(i, paths));
        } else {
            // A key that is not there is no failure.
            RegDeleteKeyPath(RegClassesRoot, key + "\\Command");
            RegDeleteKeyPath(RegClassesRoot, key);
        }
    }
    write(kShellKey, form.DoubleClick == 0 ? "Ride" : form.DoubleClick == 1 ? "Edit" : "Tera");
    write(kIconKey, IconValue(form, paths));
    errno = error;
    return ok;
}
