#include "simulator/environment_organizer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app_state.h"
#include "core/settings_text.h"
#include "platform/code_page.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/stored_paths.h"
#include "simulator/environment_file.h"
#include "simulator/held_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTextureKey = ".texture.path";
constexpr const char* kUnusedFolder = "__Unused Files__";
constexpr const char* kNameTaken = "a file of that name is in \"__Unused Files__\"";
constexpr const char* kNotAFolder = "\"__Unused Files__\" is not a folder";
constexpr const char* kLinkWouldBreak = "a link with a relative target, and \"__Unused Files__\" is itself a link";
constexpr const char* kAnotherUsersFolder = "it belongs to another user";
constexpr const char* kReplacedFolder = "its name led to another folder once it was opened";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

size_t FindIgnoringCase(std::string_view text, std::string_view what, size_t from = 0) {
    if (what.empty() || text.size() < what.size()) return std::string_view::npos;
    for (size_t i = from; i + what.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < what.size() && Lower(text[i + k]) == Lower(what[k])) ++k;
        if (k == what.size()) return i;
    }
    return std::string_view::npos;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

std::string LowerText(std::string text) {
    for (char& c : text) c = Lower(c);
    return text;
}

// 0 when the file can be opened for reading, else the errno of the open.
int ReadError(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

// "<what>. <the reason>", or what alone when the system gave no reason.
std::string WithReason(std::string what, const std::string& reason) {
    return reason.empty() ? what : what + ". " + reason;
}

// Why a texture was not copied: it could not be read, or its copy not written.
std::string CopyFailure(int error, bool unreadable) {
    if (unreadable)
        return WithReason("cannot be copied. The texture cannot be read",
                          fsys::ReadFailureReason(error, fsys::kPictureFile));
    return WithReason("cannot be copied", TextureCopyFailureReason(error));
}

std::string UnreadableEnvironment(int error) {
    return WithReason("the environment file cannot be read", fsys::ReadFailureReason(error, fsys::kEnvironmentFile));
}

// Every "/" of the texture values becomes "\\" as the simulator writes its
// paths, except in the values that are absolute paths of this system. Every
// other line (comments, other programs' keys) stays as it is.
void BackslashSeparators(std::string& text) {
    for (const EnvTextureKey& key : CollectTexturePaths(text)) {
        if (key.Value[0] == '/') continue;
        std::replace(text.begin() + key.ValueStart, text.begin() + key.ValueStart + key.Value.size(), '/', '\\');
    }
}

// A name from the disk as the program's text (a name that is no UTF-8 is the
// simulator's single bytes).
std::string Displayable(std::string_view name) { return cp::TextFromDiskName(name); }

// A value as a message shows it: up to a zero byte, where the simulator stops
// reading it (and a message would stop showing it).
std::string Shown(std::string_view value) { return std::string(value.substr(0, value.find('\0'))); }

// "Sunset: sky.jpg (not found)" or, for the file itself, "Sunset: <reason>".
std::string ProblemText(const EnvironmentRecord& environment, const EnvProblem& problem) {
    return Displayable(environment.Name) + ": " +
           (problem.Value.empty() ? problem.Reason : Shown(problem.Value) + " (" + problem.Reason + ")");
}

// The directory entry a path names: its folder with every link resolved, and
// its own name as it is (a link stays the link).
std::string EntryOf(const fs::path& path) {
    std::error_code ec;
    fs::path folder = fs::weakly_canonical(path.parent_path(), ec);
    if (ec) folder = path.parent_path().lexically_normal();
    return (folder / path.filename()).string();
}

// Adds the entries a path leads to: its own and, while it is a link, those
// its targets name in turn. A path that ends in a folder's "." or ".." names
// no file that could move. The walk stops at a link that another user placed
// in a shared folder, but what it names may still be read: it counts too.
void AddLinkChain(const std::string& path, std::set<std::string>& entries, int depth = 0) {
    const fsys::LinkChain chain = fsys::FollowLinks(path);
    for (const std::string& entry : chain.Entries) {
        const fs::path name = fs::path(entry).filename();
        if (name.empty() || name == "." || name == "..") return;
        entries.insert(EntryOf(entry));
    }
    if (chain.Error != fsys::kForeignLinkError || chain.Entries.empty() || depth >= fsys::kMostLinks) return;
    const fs::path link(chain.Entries.back());
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    if (!ec && !target.empty())
        AddLinkChain((target.is_absolute() ? target : link.parent_path() / target).string(), entries, depth + 1);
}

// What an errno of a failed move means for the user.
std::string MoveFailure(int error) {
    switch (error) {
        case EEXIST:
        case ENOTEMPTY: return kNameTaken;
        case EACCES:
        case EPERM: return "permission denied";
        case EROFS: return "the disk is read-only";
        case EXDEV: return "\"__Unused Files__\" is on another disk";
        case ENAMETOOLONG: return "the name is too long there";
        case fsys::kAnotherUsersWayError: return fsys::WriteFailureReason(error);
        default: return std::generic_category().message(error);
    }
}

// Renames `name` of the folder open at `from` to the same name in the folder
// open at `to`, without ever replacing a file there; 0 or the errno of the
// failure.
int RenameNoReplace(int from, const std::string& name, int to) {
    const char* const n = name.c_str();
    if (::renameat2(from, n, to, n, RENAME_NOREPLACE) == 0) return 0;
    int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return error;
    // A file system without that rename: a second name, then the first goes.
    if (::linkat(from, n, to, n, 0) == 0) {
        if (::unlinkat(from, n, 0) == 0) return 0;
        error = errno;
        ::unlinkat(to, n, 0);
        return error;
    }
    error = errno;
    if (error != EPERM && error != EOPNOTSUPP && error != EMLINK) return error;
    // Nor hard links (FAT): look, then rename.
    struct stat taken {};
    if (::fstatat(to, n, &taken, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    return ::renameat(from, n, to, n) == 0 ? 0 : errno;
}

// Moves the link `name` of the folder open at `from`, whose target is
// relative, into the folder open at `to` (a folder of the first), so that it
// names the same target; 0 or an errno.
int MoveRelativeLink(int from, const std::string& name, int to) {
    std::vector<char> target(4096);
    const ssize_t n = ::readlinkat(from, name.c_str(), target.data(), target.size());
    if (n < 0) return errno;
    if (static_cast<size_t>(n) >= target.size()) return ENAMETOOLONG;
    const std::string moved = "../" + std::string(target.data(), static_cast<size_t>(n));
    if (::symlinkat(moved.c_str(), to, name.c_str()) != 0) return errno;
    if (::unlinkat(from, name.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(to, name.c_str(), 0);
        return error;
    }
    return 0;
}

// Whether the user may make entries in the folder open at fd.
bool CanWriteFolder(int fd) { return fd >= 0 && ::faccessat(fd, ".", W_OK | X_OK, 0) == 0; }

// True when the path leads to the entry `name` of the folder open at folderFd.
bool LeadsTo(const std::string& path, int folderFd, const std::string& name) {
    struct stat a {}, b {};
    return !path.empty() && ::stat(path.c_str(), &a) == 0 &&
           ::fstatat(folderFd, name.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// The entry a texture value (as the simulator reads it) leads to when that can
// be told for certain: a path relative to the simulator folder whose names are
// all found (its ".." only back out of a folder it entered), or an absolute
// path of this system that exists. nullopt for a drive letter, ".." out of the
// simulator folder or a name not found.
std::optional<std::string> MappedTexture(const std::string& value) {
    const std::string path = TexturePathOnDisk(value);
    std::error_code ec;
    if (path.empty() || !fs::exists(fs::symlink_status(path, ec))) return std::nullopt;
    return path;
}

// The last name of a texture value, after its drive letter and its last "\" or "/".
std::string LastName(std::string_view value) {
    if (value.size() >= 2 && value[1] == ':') value.remove_prefix(2);
    const size_t slash = value.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? value : value.substr(slash + 1));
}

// True when a name on disk could be the last name of a value, letter case and
// spelling (the program's UTF-8 or the simulator's single bytes) aside.
bool CouldBeNamed(const std::string& entry, const std::string& lastName) {
    if (cp::EqualsIgnoringCase(cp::TextFromDiskName(entry), lastName)) return true;
    for (const std::string& spelling : cp::DiskSpellings(lastName))
        if (fsys::EqualsIgnoringAsciiCase(entry, spelling)) return true;
    return false;
}

}  // namespace

std::vector<EnvTextureKey> CollectTexturePaths(std::string_view text) {
    std::vector<EnvTextureKey> keys;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        size_t first = 0;
        while (first < line.size() && IsBlank(line[first])) ++first;
        const size_t equals = line.find('=');
        if (first < line.size() && line[first] != '#' && line[first] != ';' && equals != std::string_view::npos &&
            FindIgnoringCase(line.substr(0, equals), kTextureKey) != std::string_view::npos) {
            size_t begin = equals + 1, end = line.size();
            while (begin < end && IsBlank(line[begin])) ++begin;
            while (end > begin && IsBlank(line[end - 1])) --end;
            if (end > begin) {
                EnvTextureKey key;
                size_t keyEnd = equals;
                while (keyEnd > first && IsBlank(line[keyEnd - 1])) --keyEnd;
                key.Key = std::string(line.substr(first, keyEnd - first));
                key.Value = std::string(line.substr(begin, end - begin));
                key.ValueStart = lineStart + begin;
                const size_t slash = key.Value.find_last_of("\\/");
                key.FileName = slash == std::string::npos ? key.Value : key.Value.substr(slash + 1);
                keys.push_back(std::move(key));
            }
        }
        lineStart = lineEnd + 1;
    }
    return keys;
}

bool NeedsOrganizing(std::string_view text) {
    for (const EnvTextureKey& key : CollectTexturePaths(text)) {
        if (key.Value[0] == '/') continue;  // an absolute path of this system
        std::string rest = TextureValueAsRead(key.Value);
        std::replace(rest.begin(), rest.end(), '/', '\\');
        for (size_t at; (at = FindIgnoringCase(rest, "environments\\")) != std::string::npos;) rest.erase(at, 13);
        if (rest.find('\\') == std::string::npos) return true;
    }
    return false;
}

std::string EnvironmentOrganizer::RootFolder() {
    if (gSimPath.empty()) return std::string();
    // Absolute, so that every path compared below is.
    std::error_code ec;
    const fs::path sim = fs::absolute(gSimPath, ec);
    if (ec) return std::string();
    return fsys::WithTrailingSeparator(fsys::MapStoredName(sim.string(), "Environments"));
}

std::string EnvironmentOrganizer::FolderName(const std::string& name) {
    // The folder the keys name as the simulator reads it: "Sunset." is "Sunset".
    const std::string read = NameAsRead(name);
    const std::string lower = LowerText(read);
    const auto known = folders_.find(lower);
    if (known != folders_.end()) return known->second;
    std::string folder = read;
    if (const auto entry = fsys::FindStoredEntry(root_, read); entry && fsys::FolderExists(root_ + *entry))
        folder = Displayable(*entry);
    folders_.emplace(lower, folder);
    return folder;
}

std::string EnvironmentOrganizer::FolderPath(const std::string& name) {
    return fsys::MapStoredName(root_, FolderName(name));
}

std::string EnvironmentOrganizer::RootPath() const {
    return root_.size() > 1 && root_.back() == '/' ? root_.substr(0, root_.size() - 1) : root_;
}

EnvironmentOrganizer::RootHold::RootHold(EnvironmentOrganizer& organizer)
    : organizer_(organizer), took_(organizer.rootFd_.Get() < 0) {
    if (!took_) return;
    errno = 0;
    organizer.rootFd_.Reset(organizer.root_.empty() ? -1 : fsys::OpenFolderToWrite(organizer.RootPath()));
    organizer.rootError_ = organizer.rootFd_.Get() >= 0 ? 0 : errno != 0 ? errno : ENOENT;
}

EnvironmentOrganizer::RootHold::~RootHold() {
    if (took_) organizer_.ReleaseRoot();
}

void EnvironmentOrganizer::ReleaseRoot() {
    envFolder_ = HeldFolder();
    rootFd_.Reset();
}

HeldFolder EnvironmentOrganizer::OpenInRoot(const std::string& name, bool make) const {
    if (rootFd_.Get() >= 0) return OpenFolderToFill(rootFd_.Get(), RootPath(), name, make);
    HeldFolder none;
    none.Error = rootError_;
    none.Name = name;
    return none;
}

int EnvironmentOrganizer::ForeseenFolderError(const std::string& environmentName) {
    const std::string folder = FolderPath(environmentName);
    if (folder.empty() || rootFd_.Get() < 0) return 0;
    const std::string name = fs::path(folder).filename().string();
    const auto known = foreseen_.find(LowerText(name));
    if (known != foreseen_.end()) return known->second;
    const int error = OpenInRoot(name, false).Error;
    return foreseen_[LowerText(name)] = error == ENOENT ? 0 : error;  // a missing folder is made
}

EnvironmentOrganizer::KeyState EnvironmentOrganizer::Assess(const EnvironmentRecord& environment,
                                                            const EnvTextureKey& key, std::string& reason) {
    if (TextureFileNameAsRead(key.Value).empty()) {
        reason = "names no file";
        return KeyState::Problem;
    }
    if (!IsEnvironmentNameAllowed(environment.Name)) {
        reason = EnvironmentNameRefusal(environment.Name);
        return KeyState::Problem;
    }
    if (!EnvFileBytesFromText(environment.Name)) {
        reason = "the environment's name cannot be written in its file";
        return KeyState::Problem;
    }
    // Already in the environment's folder: "Environments\<folder>\<file>" in any letter case.
    std::string value = TextureValueAsRead(key.Value);
    if (value[0] != '/') std::replace(value.begin(), value.end(), '/', '\\');
    const std::string folderValue = "Environments\\" + FolderName(environment.Name) + "\\";
    const size_t n = folderValue.size();
    if (value.size() > n && fsys::EqualsIgnoringAsciiCase(value.substr(0, n), folderValue) &&
        value.find('\\', n) == std::string::npos)
        return KeyState::InPlace;
    const std::string source = TexturePathOnDisk(key.Value);
    if (source.empty() || !fsys::FileExists(source)) {
        reason = "not found";
        return KeyState::Problem;
    }
    if (const int error = ReadError(source); error != 0) {
        reason = WithReason("cannot be read", fsys::ReadFailureReason(error, fsys::kPictureFile));
        return KeyState::Problem;
    }
    return KeyState::ToRewrite;
}

void EnvironmentOrganizer::AssessEnvironment(EnvironmentRecord& environment) {
    environment.Problems.clear();
    if (!environment.Readable) {
        environment.Organized = true;
        environment.Problems.push_back({std::string(), UnreadableEnvironment(environment.ReadError)});
        return;
    }
    environment.Organized = true;
    if (!NeedsOrganizing(environment.Text)) return;
    for (const EnvTextureKey& key : CollectTexturePaths(environment.Text)) {
        std::string reason;
        switch (Assess(environment, key, reason)) {
            case KeyState::InPlace: break;
            case KeyState::ToRewrite:
                // An environment's folder that will not take a copy (another user's) is said now.
                if (const int error = ForeseenFolderError(environment.Name); error != 0)
                    environment.Problems.push_back({key.Value, CopyFailure(error, false)});
                else
                    environment.Organized = false;
                break;
            case KeyState::Problem: environment.Problems.push_back({key.Value, reason}); break;
        }
    }
}

void EnvironmentOrganizer::ScanEnvironments() {
    ReleaseRoot();
    environments_.clear();
    folders_.clear();
    foreseen_.clear();
    withheld_.clear();
    unmoved_.clear();
    root_ = RootFolder();
    // The superuser's run on another user's tree writes nothing there: said once, here.
    refusal_ = fsys::WayRefusal(RootPath());
    if (root_.empty()) return;
    std::optional<RootHold> hold;
    if (refusal_.empty()) hold.emplace(*this);
    std::error_code ec;
    std::vector<std::string> names;
    // Every .env entry that is no folder: one that is no file either (a link
    // that names nothing, a pipe) is an environment that cannot be read.
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (!it->is_directory(typeEc) && fsys::HasExtension(name, ".env")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        EnvironmentRecord record;
        record.Path = root_ + name;
        record.Name = name.substr(0, name.size() - 4);
        errno = 0;
        record.Readable = IniLoadFile(record.Path, fsys::kEnvironmentFile);
        record.ReadError = record.Readable ? 0 : errno;
        record.Text = record.Readable ? EnvTextFromFileBytes(IniGetBuffer()) : std::string();
        AssessEnvironment(record);
        environments_.push_back(std::move(record));
    }
    if (refusal_.empty()) SortOutLooseFiles(false);
}

int EnvironmentOrganizer::UnorganizedCount() const {
    return static_cast<int>(std::count_if(environments_.begin(), environments_.end(),
                                          [](const EnvironmentRecord& r) { return !r.Organized; }));
}

bool EnvironmentOrganizer::RelocateEnvTextures(std::string& text, size_t index, std::vector<std::string>* written) {
    EnvironmentRecord& environment = environments_.at(index);
    environment.Problems.clear();
    const RootHold hold(*this);
    const std::string folderValue = "Environments\\" + FolderName(environment.Name) + "\\";
    const std::string folder = FolderPath(environment.Name);
    // The environment's folder is opened (made where missing) at its first copy and held.
    envFolder_ = HeldFolder();
    bool opened = false;
    std::string result;
    size_t copied = 0;
    bool changed = false;
    for (const EnvTextureKey& key : CollectTexturePaths(text)) {
        std::string reason;
        const KeyState state = Assess(environment, key, reason);
        if (state == KeyState::InPlace) continue;
        std::optional<std::string> placed;
        if (state == KeyState::ToRewrite) reason = "cannot be copied";
        if (state == KeyState::ToRewrite && !folder.empty()) {
            if (!opened) envFolder_ = OpenInRoot(fs::path(folder).filename().string(), true);
            opened = true;
            bool created = false, unreadable = false;
            errno = 0;
            placed = PlaceTextureCopy(TexturePathOnDisk(key.Value), envFolder_, TextureFileNameAsRead(key.Value),
                                      &created, &unreadable);
            if (!placed) reason = CopyFailure(errno, unreadable);
            // The new value must lead to the copy (and not to another spelling of its name).
            if (placed && !LeadsTo(TexturePathOnDisk(folderValue + *placed), envFolder_.Fd.Get(), *placed)) {
                if (created) ::unlinkat(envFolder_.Fd.Get(), placed->c_str(), 0);
                placed.reset();
                reason = "cannot be copied. Its name in the environment's folder would lead to another file there";
            } else if (placed && created && written) {
                written->push_back(*placed);
            }
        }
        if (!placed) {
            environment.Problems.push_back({key.Value, reason});
            continue;
        }
        result.append(text, copied, key.ValueStart - copied);
        result += folderValue + *placed;
        copied = key.ValueStart + key.Value.size();
        changed = true;
    }
    result.append(text, copied, std::string::npos);
    text = std::move(result);
    return changed;
}

void EnvironmentOrganizer::OrganizeEnvironments(const std::function<void(int percent)>& Progress) {
    if (!refusal_.empty()) return;
    // The Environments folder is held for the whole sort-out.
    const RootHold hold(*this);
    if (rootError_ == fsys::kAnotherUsersWayError) {
        refusal_ = fsys::WriteFailureReason(rootError_);
        return;
    }
    const size_t count = environments_.size();
    for (size_t i = 0; i < count; ++i) {
        EnvironmentRecord& environment = environments_[i];
        errno = 0;
        const bool load = !environment.Organized;
        if (load && !IniLoadFile(environment.Path, fsys::kEnvironmentFile)) {
            // Readable at the scan, not now: said, and left as it is.
            environment.Problems.insert(environment.Problems.begin(), {std::string(), UnreadableEnvironment(errno)});
        } else if (load) {
            std::string text = EnvTextFromFileBytes(IniGetBuffer());
            BackslashSeparators(text);
            std::vector<std::string> written;
            const bool changed = RelocateEnvTextures(text, i, &written);
            const auto bytes = EnvFileBytesFromText(text);
            IniSetBuffer(bytes.value_or(std::string()));
            // A file that cannot be written keeps its old text, and so its textures (see MoveUnusedFiles).
            // A link the walk along links stops at (another user's in a shared folder) is not written through.
            int error = 0;
            if (changed && bytes) {
                error = fsys::FollowLinks(environment.Path).Error;
                if (error == 0 && !IniSaveFile(environment.Path, fsys::kEnvironmentFile)) error = errno;
            }
            if (changed && bytes && error == 0) {
                environment.Text = text;
                environment.Organized = true;
            } else if (changed) {
                const std::string why = fsys::WriteFailureReason(error);
                environment.Problems.insert(
                    environment.Problems.begin(),
                    {std::string(), "the environment file cannot be written" + (why.empty() ? "" : ". " + why)});
                // Nothing names the copies made for it.
                for (const std::string& copy : written) ::unlinkat(envFolder_.Fd.Get(), copy.c_str(), 0);
            }
            // A folder made for copies that nothing names goes again (only while it is empty).
            if (!environment.Organized) RemoveMadeFolder(rootFd_.Get(), envFolder_);
            envFolder_ = HeldFolder();
        }
        if (Progress) Progress(static_cast<int>(i * 100 / count));
    }
    MoveUnusedFiles();
}

std::vector<std::string> EnvironmentOrganizer::ProblemLines() const {
    if (!refusal_.empty()) return {refusal_};
    std::vector<std::string> lines;
    for (const EnvironmentRecord& environment : environments_)
        for (const EnvProblem& problem : environment.Problems)
            lines.push_back(ProblemText(environment, problem));
    if (!withheld_.empty()) lines.push_back("No file is moved into \"__Unused Files__\": " + withheld_);
    for (const UnmovedFile& file : unmoved_)
        lines.push_back(Displayable(file.Name) + ": not moved into \"__Unused Files__\" (" + file.Reason + ")");
    return lines;
}

std::string EnvironmentOrganizer::ProblemMessage() const {
    if (!refusal_.empty()) return refusal_;
    constexpr size_t kMostLines = 15;
    std::string text;
    auto section = [&](const std::string& heading, const std::vector<std::string>& lines) {
        if (lines.empty()) return;
        if (!text.empty()) text += "\n\n";
        text += heading;
        for (size_t i = 0; i < lines.size() && i < kMostLines; ++i) text += "\n" + lines[i];
        if (lines.size() > kMostLines) text += "\n... and " + std::to_string(lines.size() - kMostLines) + " more.";
    };
    std::vector<std::string> values;
    for (const EnvironmentRecord& environment : environments_)
        for (const EnvProblem& problem : environment.Problems)
            values.push_back(ProblemText(environment, problem));
    section("These texture values could not be rewritten and were kept as they are:", values);
    std::vector<std::string> files;
    for (const UnmovedFile& file : unmoved_) files.push_back(Displayable(file.Name) + " (" + file.Reason + ")");
    section("These files could not be moved into \"__Unused Files__\" and were left where they are:", files);
    if (!withheld_.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "No file was moved into \"__Unused Files__\": " + withheld_ + ".";
    }
    return text;
}

EnvironmentOrganizer::MovePlan EnvironmentOrganizer::PlanMoves() const {
    MovePlan plan;
    if (root_.empty() || !fsys::FolderExists(root_)) return plan;  // no folder, nothing to move
    std::error_code ec;
    std::set<std::string> used;  // the entries the environments' textures lead to
    // The last names of the values that cannot be mapped, with who holds them.
    struct Unmapped {
        std::string LastName, Holder;
    };
    std::vector<Unmapped> unmapped;
    std::vector<std::string> unreadable;
    std::vector<LooseFile> loose;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (it->is_directory(typeEc) || name == kUnusedFolder) continue;
        if (fsys::HasExtension(name, ".env")) {
            // Read again now: what the files say after organizing is what counts.
            std::string bytes;
            if (!it->is_regular_file(typeEc) || !fsys::ReadWholeFile(it->path().string(), bytes, fsys::kEnvironmentFile)) {
                unreadable.push_back(name);
                continue;
            }
            // An environment file that is a link: what it leads to is that environment.
            AddLinkChain(it->path().string(), used);
            for (const EnvTextureKey& key : CollectTexturePaths(EnvTextFromFileBytes(bytes))) {
                if (const auto path = MappedTexture(key.Value)) {
                    AddLinkChain(*path, used);
                    continue;
                }
                const std::string holder = Displayable(name.substr(0, name.size() - 4)) + " may name it in " +
                                           key.Key + "=" + Shown(key.Value);
                const std::string read = LastName(TextureValueAsRead(key.Value)), given = LastName(key.Value);
                unmapped.push_back({read, holder});
                if (given != read) unmapped.push_back({given, holder});
            }
            continue;
        }
        LooseFile file{name};
        if (it->is_symlink(typeEc)) file.RelativeLink = !fs::read_symlink(it->path(), typeEc).is_absolute();
        loose.push_back(std::move(file));
    }
    if (ec) {
        plan.Withheld = "the Environments folder cannot be listed";
        return plan;
    }
    std::sort(unreadable.begin(), unreadable.end());
    auto more = [](const std::vector<std::string>& names) {
        return names.size() > 1 ? " (and " + std::to_string(names.size() - 1) + " more)" : std::string();
    };
    if (!unreadable.empty()) {
        plan.Withheld = "the environment file " + Displayable(unreadable[0]) + more(unreadable) +
                        " cannot be read, so the files it names are not known";
        return plan;
    }
    std::sort(unmapped.begin(), unmapped.end(),
              [](const Unmapped& a, const Unmapped& b) { return a.Holder < b.Holder; });
    std::sort(loose.begin(), loose.end(), [](const LooseFile& a, const LooseFile& b) { return a.Name < b.Name; });
    const fs::path root = fs::path(root_);
    for (const LooseFile& file : loose) {
        if (used.count(EntryOf(root / file.Name))) continue;
        bool kept = false;
        for (const Unmapped& value : unmapped) {
            if (!CouldBeNamed(file.Name, value.LastName)) continue;
            if (kept && plan.Kept.back().Reason == value.Holder) continue;  // both names of one value
            plan.Kept.push_back({file.Name, value.Holder});
            kept = true;
        }
        if (!kept) plan.Files.push_back(file);
    }
    return plan;
}

void EnvironmentOrganizer::SortOutLooseFiles(bool move) {
    MovePlan plan = PlanMoves();
    withheld_ = plan.Withheld;
    unmoved_ = plan.Kept;
    // Files go only into a folder of the user's, of the simulator folder's
    // owner or of the Environments folder's owner (who may remove the loose
    // files anyway): another user's folder of that name in a shared folder
    // would let that user delete them. It is judged on the folder opened
    // (made where missing), the name looked at again once it is open, and the
    // files are moved into that folder, held, by their names in the held
    // Environments folder.
    HeldFolder unused;
    if (!plan.Files.empty()) unused = OpenInRoot(kUnusedFolder, move);
    std::string folderFailure;  // why no file can go in, said of each
    struct stat entry {};
    switch (unused.Error) {
        case 0: break;
        case kAnotherUsersFolderError:
        case kReplacedFolderError:
            withheld_ = unused.Error == kReplacedFolderError ? kReplacedFolder : kAnotherUsersFolder;
            plan.Files.clear();
            break;
        case ENOENT:
            // Missing: made by a move, which failed then; a link that leads nowhere is no folder.
            if (rootFd_.Get() >= 0 && ::fstatat(rootFd_.Get(), kUnusedFolder, &entry, AT_SYMLINK_NOFOLLOW) == 0)
                folderFailure = kNotAFolder;
            else if (move)
                folderFailure = MoveFailure(ENOENT);
            break;
        case ENOTDIR: folderFailure = kNotAFolder; break;
        default: folderFailure = MoveFailure(unused.Error); break;
    }
    const bool writable = CanWriteFolder(rootFd_.Get()) && (unused.Fd.Get() < 0 || CanWriteFolder(unused.Fd.Get()));
    for (const LooseFile& file : plan.Files) {
        std::string reason;
        struct stat taken {};
        if (!folderFailure.empty()) {
            reason = folderFailure;
        } else if (unused.Fd.Get() >= 0 && ::fstatat(unused.Fd.Get(), file.Name.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
            reason = kNameTaken;
        } else if (!writable) {
            reason = MoveFailure(EACCES);
        } else if (file.RelativeLink && unused.ViaLink) {
            // A relative target is kept by one more "../", which only a plain folder keeps true.
            reason = kLinkWouldBreak;
        } else if (move) {
            const int error = unused.Fd.Get() < 0       ? unused.Error
                              : file.RelativeLink ? MoveRelativeLink(rootFd_.Get(), file.Name, unused.Fd.Get())
                                                  : RenameNoReplace(rootFd_.Get(), file.Name, unused.Fd.Get());
            if (error != 0) reason = MoveFailure(error);
        }
        if (!reason.empty()) unmoved_.push_back({file.Name, reason});
    }
    std::stable_sort(unmoved_.begin(), unmoved_.end(),
                     [](const UnmovedFile& a, const UnmovedFile& b) { return a.Name < b.Name; });
}

void EnvironmentOrganizer::MoveUnusedFiles() {
    if (!refusal_.empty()) return;
    const RootHold hold(*this);
    SortOutLooseFiles(true);
}
