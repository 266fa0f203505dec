#include "platform/write_way.h"

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/held_descriptor.h"
#include "platform/shared_folders.h"

namespace fsys {

namespace fs = std::filesystem;

namespace {

thread_local ForeignEntry tForeign;

bool Fail(int error) {
    errno = error;
    return false;
}

using Held = HeldDescriptor;

bool Refuse(std::string path, bool link, uid_t owner) {
    tForeign = {std::move(path), link, owner};
    return Fail(kAnotherUsersWayError);
}

std::deque<std::string> Names(std::string_view path) {
    std::deque<std::string> names;
    for (size_t begin = 0; begin < path.size();) {
        size_t end = path.find('/', begin);
        if (end == std::string_view::npos) end = path.size();
        if (end > begin) names.emplace_back(path.substr(begin, end - begin));
        begin = end + 1;
    }
    return names;
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string ParentOf(const std::string& folder) {
    const size_t slash = folder.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? "/" : folder.substr(0, slash);
}

// What the link open (as a place) at fd names; false with errno where it cannot be read.
bool ReadLink(int fd, std::string& target) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlinkat(fd, "", buffer.data(), buffer.size());
        if (n < 0) return false;
        if (static_cast<size_t>(n) < buffer.size()) {
            target.assign(buffer.data(), static_cast<size_t>(n));
            return true;
        }
        if (buffer.size() >= (size_t{1} << 20)) return Fail(ENAMETOOLONG);
        buffer.resize(buffer.size() * 2);
    }
}

// The folder open as a place at fd, open for reading where it may be listed.
int ForWriting(int pathFd) {
    const int fd = ::openat(pathFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || errno != EACCES) return fd;
    return ::fcntl(pathFd, F_DUPFD_CLOEXEC, 0);
}

// Where the superuser's walk ends: at the last name, not looked at (Entry);
// at the end of the chain of links it starts (ThroughLinks); at the folder
// it names, which must exist (Folder) or is made (MakeFolders).
enum class End { Entry, ThroughLinks, Folder, MakeFolders };

// Walks `path` one name at a time from "/" as the superuser may write it:
// every folder and link on the way is the superuser's. `folder` is left on
// the last folder reached (open as a place) and `walked` on its path; `name`
// is the last name (for Entry and ThroughLinks). False with errno the reason;
// a missing name leaves `folder` on the folder that lacks it.
bool Walk(const std::string& path, End end, Held& folder, std::string& walked, std::string& name) {
    if (path.empty()) return Fail(ENOENT);
    std::string absolute = path;
    if (path.front() != '/') {
        char* const current = ::getcwd(nullptr, 0);
        if (!current) return false;
        absolute = Joined(current, path);
        std::free(current);
    }
    const bool wantsFolder = end == End::Folder || end == End::MakeFolders;
    std::deque<std::string> rest = Names(absolute);
    const auto startAtRoot = [&] {
        folder.Reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        walked = "/";
        struct stat st {};
        if (folder.Get() < 0 || ::fstat(folder.Get(), &st) != 0) return false;
        return st.st_uid == 0 || Refuse("/", false, st.st_uid);
    };
    if (!startAtRoot()) return false;
    int links = 0;
    while (!rest.empty()) {
        const std::string part = std::move(rest.front());
        rest.pop_front();
        const bool last = rest.empty();
        if (part == "." || part == "..") {
            if (last && !wantsFolder) return Fail(EISDIR);
            if (part == "." || walked == "/") continue;
            Held up(::openat(folder.Get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
            struct stat st {};
            if (up.Get() < 0 || ::fstat(up.Get(), &st) != 0) return false;
            walked = ParentOf(walked);
            if (st.st_uid != 0) return Refuse(walked, false, st.st_uid);
            folder = std::move(up);
            continue;
        }
        if (last && end == End::Entry) {
            name = part;
            return true;
        }
        Held entry(::openat(folder.Get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (entry.Get() < 0) {
            if (errno != ENOENT) return false;
            if (last && end == End::ThroughLinks) {
                name = part;
                return true;
            }
            if (end != End::MakeFolders) return false;
            if (::mkdirat(folder.Get(), part.c_str(), 0777) != 0 && errno != EEXIST) return false;
            entry.Reset(::openat(folder.Get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
            if (entry.Get() < 0) return false;
        }
        struct stat st {};
        if (::fstat(entry.Get(), &st) != 0) return false;
        const std::string here = Joined(walked, part);
        if (S_ISLNK(st.st_mode)) {
            // A link's owner decides before it is followed: another user could point it anywhere.
            if (st.st_uid != 0) return Refuse(here, true, st.st_uid);
            if (++links > kMostLinks) return Fail(ELOOP);
            std::string target;
            if (!ReadLink(entry.Get(), target)) return false;
            if (target.empty()) return Fail(ENOENT);
            const std::deque<std::string> named = Names(target);
            rest.insert(rest.begin(), named.begin(), named.end());
            if (target.front() == '/' && !startAtRoot()) return false;
            if (rest.empty() && !wantsFolder) return Fail(EISDIR);  // a link to "/"
            continue;
        }
        if (last && end == End::ThroughLinks) {
            name = part;
            return true;
        }
        if (!S_ISDIR(st.st_mode)) return Fail(ENOTDIR);
        if (st.st_uid != 0) return Refuse(here, false, st.st_uid);
        folder = std::move(entry);
        walked = here;
    }
    return wantsFolder || Fail(EISDIR);
}

bool IsSuperuser() { return ::geteuid() == 0; }

int FailFd(int error) {
    errno = error;
    return -1;
}

// An ordinary user's folder `path` and its missing parents: the first level
// that exists is opened as the system follows the path, every later one made
// in the one held above it and opened from there (a level made here never
// through a link). The last, open as a place, or -1.
int MakeFoldersAsUser(const std::string& path) {
    const std::deque<std::string> names = Names(path);
    size_t have = names.size();
    Held folder;
    for (;; --have) {
        std::string level = path.front() == '/' ? "/" : "";
        for (size_t i = 0; i < have; ++i) level += (i > 0 ? "/" : "") + names[i];
        folder.Reset(::open(level.empty() ? "." : level.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (folder.Get() >= 0) break;
        if (errno != ENOENT || have == 0) return -1;
    }
    for (size_t i = have; i < names.size(); ++i) {
        const bool made = ::mkdirat(folder.Get(), names[i].c_str(), 0777) == 0;
        if (!made && errno != EEXIST) return -1;
        Held level(::openat(folder.Get(), names[i].c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | (made ? O_NOFOLLOW : 0)));
        // Something that is no folder where one belongs: ENOTDIR, as the system says for the parts of a path.
        if (level.Get() < 0) return FailFd(errno == ENOENT || errno == ELOOP ? ENOTDIR : errno);
        folder = std::move(level);
    }
    return folder.Release();
}

// The first folder or link on the way to the folder `path` that is not the
// superuser's, as Walk finds it: nullopt where the way is root's as far as
// it exists (a missing name or a file on the way ends it); Owner -1 where a
// step cannot be looked at or the links loop. errno is kept.
std::optional<ForeignEntry> FirstForeignStep(const std::string& path) {
    const int error = errno;
    Held folder;
    std::string walked, name;
    std::optional<ForeignEntry> foreign;
    if (!Walk(path, End::Folder, folder, walked, name) && errno != ENOENT && errno != ENOTDIR)
        foreign = errno == kAnotherUsersWayError ? tForeign : ForeignEntry{walked};
    errno = error;
    return foreign;
}

}  // namespace

const ForeignEntry& LastForeignEntry() { return tForeign; }

std::string ForeignEntryReason(const ForeignEntry& entry) {
    const int error = errno;
    std::string name;
    std::vector<char> buffer(16384);
    passwd account {};
    passwd* found = nullptr;
    if (::getpwuid_r(entry.Owner, &account, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        name = found->pw_name;
    const std::string id = std::to_string(entry.Owner);
    errno = error;
    return std::string(entry.Link ? "The link \"" : "The folder \"") + entry.Path + "\" belongs to " +
           (name.empty() ? "the user with the ID " + id : "the user " + name) +
           "; run as the superuser, the program writes nothing in another user's folders or through their "
           "links. To work there, run it as that user, for example: sudo -u " +
           (name.empty() ? "'#" + id + "'" : name) + " gantrywright";
}

std::string WriteWay::Path() const { return Joined(Folder, Name); }

bool FindWriteWay(const std::string& path, bool throughLinks, WriteWay& way) {
    way = WriteWay();
    if (path.empty()) return Fail(ENOENT);
    if (IsSuperuser()) {
        Held folder;
        std::string walked, name;
        if (!Walk(path, throughLinks ? End::ThroughLinks : End::Entry, folder, walked, name)) return false;
        way.FolderFd.Reset(ForWriting(folder.Get()));
        if (way.FolderFd.Get() < 0) return false;
        way.Folder = walked;
        way.Name = name;
        return true;
    }
    std::string target = path;
    if (throughLinks) {
        // A link stays a link: the file it leads to is the one written.
        const LinkChain chain = FollowLinks(path);
        if (chain.Error != 0) return Fail(chain.Error);
        target = chain.Entries.back();
    }
    const fs::path entry(target);
    const std::string name = entry.filename().string();
    if (name.empty() || name == "." || name == "..") return Fail(EISDIR);
    std::string dir = entry.parent_path().string();
    if (dir.empty()) dir = ".";
    way.FolderFd.Reset(OpenFolder(dir));
    if (way.FolderFd.Get() < 0) return false;
    way.Folder = dir;
    way.Name = name;
    return true;
}

int OpenFolderToWrite(const std::string& dir) {
    if (!IsSuperuser()) return OpenFolder(dir);
    Held folder;
    std::string walked, name;
    if (!Walk(dir.empty() ? "." : dir, End::Folder, folder, walked, name)) return -1;
    return ForWriting(folder.Get());
}

int MakeFoldersToWrite(const std::string& path) {
    if (path.empty()) return FailFd(ENOENT);
    Held folder;
    if (IsSuperuser()) {
        std::string walked, name;
        if (!Walk(path, End::MakeFolders, folder, walked, name)) return -1;
    } else {
        folder.Reset(MakeFoldersAsUser(path));
        if (folder.Get() < 0) return -1;
    }
    return ForWriting(folder.Get());
}

bool RemoveEntry(const std::string& path) {
    WriteWay way;
    if (!FindWriteWay(path, false, way)) return false;
    struct stat st {};
    const int folder = way.FolderFd.Get();
    if (::fstatat(folder, way.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return ::unlinkat(folder, way.Name.c_str(), S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) == 0;
}

std::optional<ForeignEntry> NotTheSuperusersWay(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return ForeignEntry{folder};
    return FirstForeignStep(folder);
}

std::string WayRefusal(const std::string& path) {
    if (!IsSuperuser() || path.empty()) return {};
    const std::optional<ForeignEntry> foreign = FirstForeignStep(path);
    // A way that cannot be walked is said by the write itself.
    return foreign && foreign->Owner != static_cast<uid_t>(-1) ? ForeignEntryReason(*foreign) : std::string();
}

}  // namespace fsys
