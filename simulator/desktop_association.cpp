#include "simulator/desktop_association.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_system.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kEntryPrefix = "gantrywright-vxtrack-";
constexpr const char* kMimePackage = "mime/packages/gantrywright-vxtrack.xml";
constexpr const char* kIconFile = "icons/hicolor/48x48/mimetypes/application-x-vortaxis-track.png";
constexpr const char* kDefaultSection = "[Default Applications]";

constexpr const char* kVerbIds[4] = {"ride", "edit", "tera", "tool"};
constexpr const char* kVerbNames[4] = {"Vortaxis Simulator (Ride!)", "Vortaxis Editor (Edit)",
                                       "Vortaxis Terraformer (Terraform)", "Gantrywright"};

std::string HomeFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && *value == '/') return fsys::WithTrailingSeparator(value);
    const char* home = std::getenv("HOME");
    return fsys::WithTrailingSeparator(std::string(home && *home ? home : "/tmp") + "/" + fallback);
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

bool WriteText(const std::string& path, const std::string& text, std::vector<std::string>& failures) {
    if (!fsys::CreateFolders(fs::path(path).parent_path().string()) || !fsys::WriteFileAtomically(path, text)) {
        failures.push_back(path);
        return false;
    }
    return true;
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

void RunQuietly(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

DesktopFolders UserDesktopFolders() {
    return {HomeFolder("XDG_DATA_HOME", ".local/share"), HomeFolder("XDG_CONFIG_HOME", ".config")};
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

std::string SetDefaultApplication(const std::string& mimeapps, const std::string& entry) {
    const std::string key = std::string(kTrackMimeType) + "=";
    std::vector<std::string> lines;
    std::istringstream in(mimeapps);
    for (std::string line; std::getline(in, line);) lines.push_back(line);

    bool inDefaults = false, placed = false;
    std::vector<std::string> out;
    int sectionAt = -1;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            inDefaults = line == kDefaultSection;
            if (inDefaults) sectionAt = static_cast<int>(out.size());
        } else if (inDefaults && line.compare(0, key.size(), key) == 0) {
            const std::string value = line.substr(key.size());
            if (!entry.empty()) {
                if (!placed) out.push_back(key + entry + ";");
                placed = true;
                continue;
            }
            // Clearing: only a default that names this program's entries alone goes.
            bool ours = true;
            std::istringstream ids(value);
            for (std::string id; std::getline(ids, id, ';');) {
                if (!id.empty() && id.compare(0, std::string(kEntryPrefix).size(), kEntryPrefix) != 0) ours = false;
            }
            if (ours) continue;
        }
        out.push_back(line);
    }
    if (!entry.empty() && !placed) {
        if (sectionAt < 0) {
            if (!out.empty() && !out.back().empty()) out.push_back("");
            out.push_back(kDefaultSection);
            out.push_back(key + entry + ";");
        } else {
            out.insert(out.begin() + sectionAt + 1, key + entry + ";");
        }
    }
    std::string text;
    for (const std::string& line : out) text += line + "\n";
    return text;
}

bool ApplyDesktopAssociation(const DesktopAssociation& a, const DesktopFolders& folders,
                             std::vector<std::string>& failures) {
    const size_t before = failures.size();
    WriteText(folders.DataHome + kMimePackage, kMimeXml, failures);
    const std::string icon = folders.DataHome + kIconFile;
    if (a.IconPng.empty()) {
        RemoveFile(icon, failures);
    } else if (!fsys::CreateFolders(fs::path(icon).parent_path().string()) ||
               !fsys::WriteFileAtomically(icon, a.IconPng)) {
        failures.push_back(icon);
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
    fsys::ReadWholeFile(mimeapps, old);
    const std::string entry = Wanted(a, a.DoubleClick) ? DesktopEntryName(a.DoubleClick) : std::string{};
    const std::string updated = SetDefaultApplication(old, entry);
    if (updated != old && !(old.empty() && entry.empty())) WriteText(mimeapps, updated, failures);
    return failures.size() == before;
}

bool IsProgramOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path || name.empty()) return false;
    std::istringstream dirs(path);
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (dir.empty()) continue;
        const std::string candidate = dir + "/" + name;
        if (fsys::FileExists(candidate) && ::access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
}

void RefreshDesktopDatabases(const DesktopFolders& folders) {
    if (IsProgramOnPath("update-mime-database")) RunQuietly({"update-mime-database", folders.DataHome + "mime"});
    if (IsProgramOnPath("update-desktop-database")) {
        RunQuietly({"update-desktop-database", folders.DataHome + "applications"});
    }
}
