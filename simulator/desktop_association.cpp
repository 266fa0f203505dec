#include "simulator/desktop_association.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

#include <unistd.h>

#include "platform/code_page.h"
#include "platform/desktop_programs.h"
#include "platform/file_system.h"
#include "platform/write_way.h"

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
// path it names. `error` is 0, or why the links cannot be followed (a loop, a
// link that cannot be read, a link another user placed in a shared folder):
// nothing is written through them then.
std::string ThroughLinks(const std::string& path, int& error) {
    fsys::LinkChain chain = fsys::FollowLinks(path);
    error = chain.Error;
    return chain.Entries.back();
}

// A failure's line: what could not be done to which file, and why where the system said.
void Failed(std::vector<std::string>& failures, const char* action, const std::string& path, int error) {
    const std::string reason = fsys::WriteFailureReason(error);
    failures.push_back("Could not " + std::string(action) + " " + path + (reason.empty() ? "" : ": " + reason));
}

// One argument of a desktop entry's Exec line: quoted, with the characters
// that the quoting reserves escaped and "%" doubled.
std::string ExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted.push_back('\\');
        if (c == '%') quoted.push_back('%');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

// A text as a desktop entry's string value: the backslash, and the line
// breaks and tab that a value holds only as escapes, written as the escapes.
std::string StringValue(const std::string& text) {
    std::string value;
    for (char c : text) {
        switch (c) {
            case '\\': value += "\\\\"; break;
            case '\n': value += "\\n"; break;
            case '\r': value += "\\r"; break;
            case '\t': value += "\\t"; break;
            default: value.push_back(c);
        }
    }
    return value;
}

bool IsSimulatorVerb(int verb) { return verb >= 0 && verb < 3; }

bool Wanted(const DesktopAssociation& a, int verb) {
    return a.RightClick[static_cast<size_t>(verb)] && (!IsSimulatorVerb(verb) || !a.Wine.empty());
}

// Writes the file through its links (the save keeps what the file had: owner, mode, access list).
// A file the program reads again whole is written only within the bound of its kind.
bool WriteBytes(const std::string& path, const void* data, size_t size, std::vector<std::string>& failures,
                const fsys::FileKind* kind = nullptr) {
    int error = 0;
    const std::string file = ThroughLinks(path, error);
    // The way there as far as it exists, as a write goes it: the superuser's
    // run writes nothing past another user's folder or link.
    fsys::WriteWay way;
    if (error == 0 && !fsys::FindWriteWay(path, true, way) && errno != ENOENT) error = errno;
    if (error == 0) {
        errno = 0;
        if (fsys::CreateFolders(fs::path(file).parent_path().string()) &&
            (kind ? fsys::WriteFileAtomically(file, data, size, *kind) : fsys::WriteFileAtomically(file, data, size))) {
            return true;
        }
        error = errno;
    }
    Failed(failures, "write", path, error);
    return false;
}

bool WriteText(const std::string& path, const std::string& text, std::vector<std::string>& failures,
               const fsys::FileKind* kind = nullptr) {
    return WriteBytes(path, text.data(), text.size(), failures, kind);
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool RemoveFile(const std::string& path, std::vector<std::string>& failures) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return true;
    if (!fsys::RemoveEntry(path) && errno != ENOENT) {
        Failed(failures, "remove", path, errno);
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

std::optional<std::string> DesktopEntryProgram(const std::string& program, std::string& problem) {
    std::string path = program;
    if (path.empty() || path[0] != '/') {
        // Taken from the current folder now: the desktop's launcher runs in a folder of its own.
        std::error_code ec;
        const std::string here = fs::current_path(ec).string();
        if (ec || here.empty() || here[0] != '/') {
            problem = "The path \"" + cp::TextFromDiskPath(program) +
                      "\" is relative, and the current folder it is taken from is not known.";
            return std::nullopt;
        }
        path = fsys::WithTrailingSeparator(here) + path;
    }
    if (!cp::IsUtf8(path)) {
        problem = "The path \"" + cp::TextFromDiskPath(path) + "\" is not UTF-8, which a desktop entry requires.";
        return std::nullopt;
    }
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F) {
            problem = "The path \"" + path + "\" holds a control character, which a desktop entry cannot hold.";
            return std::nullopt;
        }
    }
    return path;
}

std::optional<std::string> DesktopEntryText(int verb, const DesktopAssociation& a, std::string& problem) {
    const auto program = DesktopEntryProgram(a.Programs[static_cast<size_t>(verb)], problem);
    if (!program) return std::nullopt;
    std::string exec;
    if (IsSimulatorVerb(verb)) {
        if (a.Wine.empty()) {
            problem = "Wine was not found, so this desktop cannot run the simulator's programs.";
            return std::nullopt;
        }
        const auto wine = DesktopEntryProgram(a.Wine, problem);
        if (!wine) return std::nullopt;
        exec = ExecArgument(*wine) + " ";
    }
    exec += ExecArgument(*program);
    if (verb == 0) exec += " -s";
    exec += " %f";
    std::ostringstream text;
    text << "[Desktop Entry]\n"
         << "Type=Application\n"
         << "Name=" << kVerbNames[verb] << "\n"
         << "Exec=" << StringValue(exec) << "\n"
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

bool HasEntries(const std::string& list) { return list.find_first_not_of(" \t;") != std::string::npos; }

// What setting the default added to mimeapps.list besides this program's
// entry, so that clearing it takes out exactly that. Written as a comment
// right above the type's line whenever it is not the plain case of a line
// added to a section the file had (what a line without the comment means).
struct Additions {
    bool Line = true;        // the type's line (else the user's, which had no entries)
    bool Section = false;    // the "[Default Applications]" line above it
    bool BlankLine = false;  // a blank line before that section
    bool LineEnd = false;    // the end of the line before, which was the file's last and had none
    bool File = false;       // the file itself
};

constexpr const char* kAdditionsNote = "# gantrywright-vxtrack added:";

std::string AdditionsNote(const Additions& added) {
    std::string note = std::string(kAdditionsNote) + " entry";
    if (added.Line) note += " line";
    if (added.Section) note += " section";
    if (added.BlankLine) note += " blank-line";
    if (added.LineEnd) note += " line-end";
    if (added.File) note += " file";
    return note;
}

bool IsAdditionsNote(const std::string& text) { return text.rfind(kAdditionsNote, 0) == 0; }

Additions AdditionsOfNote(const std::string& text) {
    Additions added;
    added.Line = false;
    std::istringstream words(text.substr(std::string(kAdditionsNote).size()));
    for (std::string word; words >> word;) {
        added.Line |= word == "line";
        added.Section |= word == "section";
        added.BlankLine |= word == "blank-line";
        added.LineEnd |= word == "line-end";
        added.File |= word == "file";
    }
    return added;
}

// A line of mimeapps.list and the end it had ("\n", "\r\n", or none for a last line without one).
struct ListLine {
    std::string Text;
    std::string End;
};

// True when nothing but blank lines follows line `at` up to the next section or the end.
bool LastOfSection(const std::vector<ListLine>& lines, size_t at) {
    for (size_t i = at + 1; i < lines.size(); ++i) {
        const std::string text = Trimmed(lines[i].Text);
        if (text.empty()) continue;
        return text[0] == '[';
    }
    return true;
}

}  // namespace

std::optional<std::string> SetDefaultApplication(const std::optional<std::string>& mimeapps,
                                                 const std::string& entry) {
    if (!mimeapps && entry.empty()) return std::nullopt;
    // A byte-order mark stays in front and is no part of the first line.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const std::string_view whole = mimeapps ? std::string_view(*mimeapps) : std::string_view();
    const std::string_view bom = whole.substr(0, whole.compare(0, kBom.size(), kBom) == 0 ? kBom.size() : 0);
    const std::string_view body = whole.substr(bom.size());

    // The lines with their own ends: CR LF is read like LF, and every line is
    // written back with the end it had.
    using Line = ListLine;
    std::vector<Line> lines;
    size_t crlf = 0;
    for (size_t at = 0; at < body.size();) {
        const size_t nl = body.find('\n', at);
        Line line;
        if (nl == std::string::npos) {
            line.Text = body.substr(at);
            at = body.size();
        } else {
            line.Text = body.substr(at, nl - at);
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
    bool inDefaults = false, placed = false, fileAdded = false;
    std::vector<Line> out;
    int sectionAt = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const std::string text = Trimmed(line.Text);
        const bool noted = i > 0 && IsAdditionsNote(lines[i - 1].Text);
        if (!text.empty() && text[0] == '[') {
            inDefaults = text == kDefaultSection;
            if (inDefaults && sectionAt < 0) sectionAt = static_cast<int>(out.size());
        } else if (entry.empty() && IsAdditionsNote(line.Text)) {
            continue;  // the note goes with what it notes
        } else if (inDefaults && keyOf(line.Text) == kTrackMimeType) {
            // The key, "=" and the blanks after it stay as they are; so does the
            // list less this program's entries, which is what the user had.
            size_t valueAt = line.Text.find('=') + 1;
            while (valueAt < line.Text.size() && (line.Text[valueAt] == ' ' || line.Text[valueAt] == '\t')) ++valueAt;
            const std::string head = line.Text.substr(0, valueAt);
            const std::string value = line.Text.substr(valueAt);
            const std::string others = WithoutOwnEntries(value);
            if (!entry.empty()) {
                // A line of the user's without any entry stays when the entry goes.
                if (!HasEntries(value) && !noted) {
                    Additions none;
                    none.Line = false;
                    out.push_back({AdditionsNote(none), newline});
                }
                out.push_back({head + entry + ";" + others, line.End});
                placed = true;
                continue;
            }
            const Additions what = noted ? AdditionsOfNote(lines[i - 1].Text) : Additions{};
            if (others == value || HasEntries(others) || !what.Line) {
                out.push_back({head + others, line.End});
                continue;
            }
            // The line goes, and what was added with it once nothing else needs it.
            const bool last = i + 1 == lines.size();
            bool sectionGone = false;
            if (what.Section && !out.empty() && Trimmed(out.back().Text) == kDefaultSection &&
                LastOfSection(lines, i)) {
                out.pop_back();
                sectionGone = true;
                if (what.BlankLine && !out.empty() && Trimmed(out.back().Text).empty()) out.pop_back();
            }
            if (what.LineEnd && last && (sectionGone || !what.Section) && !out.empty()) out.back().End.clear();
            fileAdded = fileAdded || (what.File && sectionGone);
            continue;
        }
        out.push_back(line);
    }
    if (!entry.empty() && !placed) {
        Additions what;
        if (sectionAt >= 0) {
            Line& header = out[static_cast<size_t>(sectionAt)];
            std::vector<Line> block{{added, newline}};
            if (header.End.empty()) {  // the section's line was the file's last
                header.End = newline;
                what.LineEnd = true;
                block.insert(block.begin(), Line{AdditionsNote(what), newline});
            }
            out.insert(out.begin() + sectionAt + 1, block.begin(), block.end());
        } else {
            what.Section = true;
            what.File = !mimeapps;
            if (!out.empty() && out.back().End.empty()) {
                out.back().End = newline;
                what.LineEnd = true;
            }
            if (!out.empty() && !Trimmed(out.back().Text).empty()) {
                out.push_back({"", newline});
                what.BlankLine = true;
            }
            out.push_back({kDefaultSection, newline});
            out.push_back({AdditionsNote(what), newline});
            out.push_back({added, newline});
        }
    }
    if (fileAdded && out.empty() && bom.empty()) return std::nullopt;
    std::string text(bom);
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
    std::array<bool, 4> written{};
    for (int verb = 0; verb < 4; ++verb) {
        const std::string path = folders.DataHome + "applications/" + DesktopEntryName(verb);
        if (Wanted(a, verb)) {
            std::string problem = a.ProgramProblems[static_cast<size_t>(verb)];
            const std::optional<std::string> text =
                problem.empty() ? DesktopEntryText(verb, a, problem) : std::nullopt;
            if (text) {
                written[static_cast<size_t>(verb)] = WriteText(path, *text, failures);
            } else {
                failures.push_back("Could not write " + path + ": " + problem);
            }
        } else {
            RemoveFile(path, failures);
        }
    }
    const std::string mimeapps = folders.ConfigHome + "mimeapps.list";
    std::optional<std::string> old;
    std::string text;
    std::error_code ec;
    errno = 0;
    if (fsys::ReadWholeFile(mimeapps, text, fsys::kDesktopListFile)) {
        old = std::move(text);
    } else if (const int error = errno; fs::exists(mimeapps, ec)) {
        // There but unreadable: its lines cannot be kept, so it is left as it is.
        const std::string reason = fsys::ReadFailureReason(error, fsys::kDesktopListFile);
        failures.push_back("Could not write " + mimeapps + ": It cannot be read, so its lines could not be kept." +
                           (reason.empty() ? "" : " " + reason));
        return false;
    }
    // The default names only an entry written now: one refused or not
    // written would leave the type to an entry that is not there, or that
    // still names what was associated before.
    const bool defaultWritten = a.DoubleClick >= 0 && a.DoubleClick < 4 && written[static_cast<size_t>(a.DoubleClick)];
    const std::string entry = defaultWritten ? DesktopEntryName(a.DoubleClick) : std::string{};
    const std::optional<std::string> updated = SetDefaultApplication(old, entry);
    if (updated == old) return failures.size() == before;
    if (updated) {
        WriteText(mimeapps, *updated, failures, &fsys::kDesktopListFile);
    } else {
        // The file this program made, through a link as written.
        int error = 0;
        const std::string file = ThroughLinks(mimeapps, error);
        if (error == 0) {
            RemoveFile(file, failures);
        } else {
            Failed(failures, "remove", mimeapps, error);
        }
    }
    return failures.size() == before;
}

std::string DesktopAssociationNotice(const DesktopAssociation& a, const DesktopFolders& folders) {
    if (!DesktopFoldersKnown(folders)) {
        return "The desktop's association of track files was not changed: no home folder is known "
               "(HOME, XDG_DATA_HOME and XDG_CONFIG_HOME name no absolute folder).";
    }
    if (!a.Wine.empty()) return {};
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

void RefreshDesktopDatabases(const DesktopFolders& folders, std::vector<std::string>& failures) {
    if (!DesktopFoldersKnown(folders)) return;
    const std::pair<const char*, std::string> refreshes[] = {{"update-mime-database", folders.DataHome + "mime"},
                                                             {"update-desktop-database", folders.DataHome + "applications"}};
    for (const auto& [program, folder] : refreshes) {
        // The tools write what they make through whatever is on the way: the
        // superuser has them write only where every folder and link is root's.
        if (const std::string refusal = fsys::WayRefusal(folder); !refusal.empty()) {
            if (IsProgramOnPath(program)) failures.push_back("Could not refresh " + folder + ": " + refusal);
            continue;
        }
        // Each runs only where the search of the PATH finds it, as this program's own user.
        const std::string failure = RunFailure(program, RunQuietly({program, folder}));
        if (!failure.empty()) failures.push_back("Could not refresh " + folder + ": " + failure);
    }
}
