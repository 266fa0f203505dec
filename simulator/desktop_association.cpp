#include "simulator/desktop_association.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

#include <sys/stat.h>

#include "platform/desktop_programs.h"
#include "platform/file_system.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kEntryPrefix = "gantrywright-vxtrack-";
constexpr const char* kMimePackage = "mime/packages/gantrywright-vxtrack.xml";
constexpr const char* kIconFile = "icons/hicolor/48x48/mimetypes/application-x-vortaxis-track.png";
constexpr const char* kDefaultSection = "[Default Applications]";

constexpr const char* kVerbIds[4] = {"ride", "edit", "tera", "tool"};
constexpr const char* kVerbNames[4] = {"Vortaxis Simulator (Ride!)", "Vortaxis Editor (Edit)",
                                       "Vortaxis Terraformer (Terraform)", "Gantrywright"};

// The XDG folder named by the variable, else the one under the home folder;
// empty when neither is an absolute folder (a relative one is ignored, as
// the desktop's own programs ignore it).
std::string BaseFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value && *value == '/') return fsys::WithTrailingSeparator(value);
    const char* home = std::getenv("HOME");
    if (home && *home == '/') return fsys::WithTrailingSeparator(std::string(home) + "/" + underHome);
    return {};
}

// The file a path names once its symbolic links are followed (at most 40 of
// them, as the system follows): a dotfile manager's link is written through,
// not replaced by a file of its own. A link that names nothing yet gives the
// path it names.
std::string ThroughLinks(const std::string& path) {
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec)) || ec) break;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    // Not normalized: a ".." after a linked folder is the system's to resolve.
    return current.string();
}

// One argument of a desktop entry's Exec line: quoted, with the characters
// that the quoting reserves escaped, "%" doubled, and then the backslashes
// doubled once more for the entry's string value.
std::string ExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted.push_back('\\');
        if (c == '%') quoted.push_back('%');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    std::string value;
    for (char c : quoted) {
        if (c == '\\') value.push_back('\\');
        value.push_back(c);
    }
    return value;
}

// A single-line text for a key's value: line breaks would end the entry's line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

bool IsSimulatorVerb(int verb) { return verb >= 0 && verb < 3; }

bool Wanted(const DesktopAssociation& a, int verb) {
    return a.RightClick[static_cast<size_t>(verb)] && (!IsSimulatorVerb(verb) || a.WineAvailable);
}

// Writes the file through its links, keeping the permissions the file had.
bool WriteBytes(const std::string& path, const void* data, size_t size, std::vector<std::string>& failures) {
    const std::string file = ThroughLinks(path);
    struct stat before {};
    const bool existed = ::stat(file.c_str(), &before) == 0;
    if (!fsys::CreateFolders(fs::path(file).parent_path().string()) || !fsys::WriteFileAtomically(file, data, size)) {
        failures.push_back(path);
        return false;
    }
    if (existed) ::chmod(file.c_str(), before.st_mode & 07777);
    return true;
}

bool WriteText(const std::string& path, const std::string& text, std::vector<std::string>& failures) {
    return WriteBytes(path, text.data(), text.size(), failures);
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool RemoveFile(const std::string& path, std::vector<std::string>& failures) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return true;
    if (!fs::remove(path, ec) || ec) {
        failures.push_back(path);
        return false;
    }
    return true;
}

const char* kMimeXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-vortaxis-track\">\n"
    "    <comment>Vortaxis track</comment>\n"
    "    <icon name=\"application-x-vortaxis-track\"/>\n"
    "    <glob pattern=\"*.vxtrack\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

}  // namespace

DesktopFolders UserDesktopFolders() {
    return {BaseFolder("XDG_DATA_HOME", ".local/share"), BaseFolder("XDG_CONFIG_HOME", ".config")};
}

bool DesktopFoldersKnown(const DesktopFolders& folders) {
    return !folders.DataHome.empty() && folders.DataHome[0] == '/' && !folders.ConfigHome.empty() &&
           folders.ConfigHome[0] == '/';
}

std::string DesktopEntryName(int verb) { return std::string(kEntryPrefix) + kVerbIds[verb] + ".desktop"; }

std::string DesktopEntryText(int verb, const DesktopAssociation& a) {
    std::string exec = IsSimulatorVerb(verb) ? "wine " : "";
    exec += ExecArgument(a.Programs[static_cast<size_t>(verb)]);
    if (verb == 0) exec += " -s";
    exec += " %f";
    std::ostringstream text;
    text << "[Desktop Entry]\n"
         << "Type=Application\n"
         << "Name=" << kVerbNames[verb] << "\n"
         << "Exec=" << OneLine(exec) << "\n"
         << "MimeType=" << kTrackMimeType << ";\n"
         << "NoDisplay=true\n"
         << "Terminal=false\n";
    return text.str();
}

namespace {

// A default's list of desktop entries ("a.desktop;b.desktop;") without this
// program's entries; every other entry, separator and blank as it was.
std::string WithoutOwnEntries(const std::string& list) {
    const std::string prefix = kEntryPrefix;
    std::string rest;
    for (size_t at = 0;;) {
        const size_t semicolon = list.find(';', at);
        const std::string id = list.substr(at, semicolon == std::string::npos ? std::string::npos : semicolon - at);
        if (Trimmed(id).compare(0, prefix.size(), prefix) != 0) {
            rest += id;
            if (semicolon != std::string::npos) rest += ';';
        }
        if (semicolon == std::string::npos) break;
        at = semicolon + 1;
    }
    return rest;
}

}  // namespace

std::string SetDefaultApplication(const std::string& mimeapps, const std::string& entry) {
    // The lines with their own ends: CR LF is read like LF, and every line is
    // written back with the end it had.
    struct Line {
        std::string Text;
        std::string End;
    };
    std::vector<Line> lines;
    size_t crlf = 0;
    for (size_t at = 0; at < mimeapps.size();) {
        const size_t nl = mimeapps.find('\n', at);
        Line line;
        if (nl == std::string::npos) {
            line.Text = mimeapps.substr(at);
            at = mimeapps.size();
        } else {
            line.Text = mimeapps.substr(at, nl - at);
            line.End = "\n";
            at = nl + 1;
        }
        if (!line.Text.empty() && line.Text.back() == '\r' && !line.End.empty()) {
            line.Text.pop_back();
            line.End = "\r\n";
            ++crlf;
        }
        lines.push_back(std::move(line));
    }
    const std::string newline = crlf * 2 > lines.size() ? "\r\n" : "\n";
    const std::string added = std::string(kTrackMimeType) + "=" + entry + ";";

    // The key of a "key=value" line, blanks around it left out.
    auto keyOf = [](const std::string& text) {
        const size_t equals = text.find('=');
        return equals == std::string::npos ? std::string{} : Trimmed(text.substr(0, equals));
    };
    bool inDefaults = false, placed = false;
    std::vector<Line> out;
    int sectionAt = -1;
    for (const Line& line : lines) {
        const std::string text = Trimmed(line.Text);
        if (!text.empty() && text[0] == '[') {
            inDefaults = text == kDefaultSection;
            if (inDefaults && sectionAt < 0) sectionAt = static_cast<int>(out.size());
        } else if (inDefaults && keyOf(line.Text) == kTrackMimeType) {
            // The key, "=" and the blanks after it stay as they are; so does the
            // list less this program's entries, which is what the user had.
            size_t valueAt = line.Text.find('=') + 1;
            while (valueAt < line.Text.size() && (line.Text[valueAt] == ' ' || line.Text[valueAt] == '\t')) ++valueAt;
            const std::string others = WithoutOwnEntries(line.Text.substr(valueAt));
            if (!entry.empty()) {
                out.push_back({line.Text.substr(0, valueAt) + entry + ";" + others, line.End});
                placed = true;
                continue;
            }
            if (others.find_first_not_of(" \t;") == std::string::npos) continue;
            out.push_back({line.Text.substr(0, valueAt) + others, line.End});
            continue;
        }
        out.push_back(line);
    }
    if (!entry.empty() && !placed) {
        if (!out.empty() && out.back().End.empty()) out.back().End = newline;
        if (sectionAt < 0) {
            if (!out.empty() && !Trimmed(out.back().Text).empty()) out.push_back({"", newline});
            out.push_back({kDefaultSection, newline});
            out.push_back({added, newline});
        } else {
            out.insert(out.begin() + sectionAt + 1, Line{added, newline});
        }
    }
    std::string text;
    for (const Line& line : out) text += line.Text + line.End;
    return text;
}

bool ApplyDesktopAssociation(const DesktopAssociation& a, const DesktopFolders& folders,
                             std::vector<std::string>& failures) {
    if (!DesktopFoldersKnown(folders)) return false;
    const size_t before = failures.size();
    WriteText(folders.DataHome + kMimePackage, kMimeXml, failures);
    const std::string icon = folders.DataHome + kIconFile;
    if (a.IconPng.empty()) {
        RemoveFile(icon, failures);
    } else {
        WriteBytes(icon, a.IconPng.data(), a.IconPng.size(), failures);
    }
    for (int verb = 0; verb < 4; ++verb) {
        const std::string path = folders.DataHome + "applications/" + DesktopEntryName(verb);
        if (Wanted(a, verb)) {
            WriteText(path, DesktopEntryText(verb, a), failures);
        } else {
            RemoveFile(path, failures);
        }
    }
    const std::string mimeapps = folders.ConfigHome + "mimeapps.list";
    std::string old;
    std::error_code ec;
    if (!fsys::ReadWholeFile(mimeapps, old) && fs::exists(mimeapps, ec)) {
        // There but unreadable: its lines cannot be kept, so it is left as it is.
        failures.push_back(mimeapps);
        return false;
    }
    const std::string entry = Wanted(a, a.DoubleClick) ? DesktopEntryName(a.DoubleClick) : std::string{};
    const std::string updated = SetDefaultApplication(old, entry);
    if (updated != old && !(old.empty() && entry.empty())) WriteText(mimeapps, updated, failures);
    return failures.size() == before;
}

std::string DesktopAssociationNotice(const DesktopAssociation& a, const DesktopFolders& folders) {
    if (!DesktopFoldersKnown(folders)) {
        return "The desktop's association of track files was not changed: no home folder is known "
               "(HOME, XDG_DATA_HOME and XDG_CONFIG_HOME name no absolute folder).";
    }
    if (a.WineAvailable) return {};
    constexpr const char* kDoubleClickCaptions[3] = {"Ride in Simulator", "Edit in Editor",
                                                     "Terraform in Terraformer"};
    constexpr const char* kRightClickCaptions[3] = {"Ride!", "Edit", "Terraform"};
    std::string notice = "Wine was not found, so this desktop cannot run the simulator's programs.";
    if (a.DoubleClick >= 0 && a.DoubleClick < 3) {
        notice += std::string("\nDouble-Click Action \"") + kDoubleClickCaptions[a.DoubleClick] +
                  "\": not set on this desktop.";
    }
    std::string verbs;
    for (int verb = 0; verb < 3; ++verb) {
        if (!a.RightClick[static_cast<size_t>(verb)]) continue;
        verbs += (verbs.empty() ? "\"" : ", \"") + std::string(kRightClickCaptions[verb]) + "\"";
    }
    if (!verbs.empty()) notice += "\nRight-Click Menu " + verbs + ": not offered on this desktop.";
    return notice;
}

void RefreshDesktopDatabases(const DesktopFolders& folders) {
    if (!DesktopFoldersKnown(folders)) return;
    if (IsProgramOnPath("update-mime-database")) RunQuietly({"update-mime-database", folders.DataHome + "mime"});
    if (IsProgramOnPath("update-desktop-database")) {
        RunQuietly({"update-desktop-database", folders.DataHome + "applications"});
    }
}
