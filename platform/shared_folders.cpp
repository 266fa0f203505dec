#include "platform/shared_folders.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fsys {

namespace fs = std::filesystem;

namespace {

// A sticky folder that others or a group may write.
bool IsShared(const FolderOwnership& folder) {
    return (folder.Mode & S_ISVTX) && (folder.Mode & (S_IWOTH | S_IWGRP));
}

// The folder `dir`, or the one open at `folderFd`, as the decisions see it;
// false where it cannot be looked at.
bool LookAt(const fs::path& dir, FolderOwnership& folder) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return false;
    folder = {st.st_uid, st.st_mode};
    return true;
}
bool LookAt(int folderFd, FolderOwnership& folder) {
    struct stat st {};
    if (::fstat(folderFd, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    folder = {st.st_uid, st.st_mode};
    return true;
}

// The system's fs.protected_regular (0, 1 or 2; 0 where it cannot be read).
int ProtectedRegular() {
    const int fd = ::open("/proc/sys/fs/protected_regular", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char value = 0;
    const ssize_t n = ::read(fd, &value, 1);
    ::close(fd);
    return n == 1 && value >= '0' && value <= '2' ? value - '0' : 0;
}

}  // namespace

bool FollowsLinkIn(const FolderOwnership& folder, uid_t linkOwner, uid_t user) {
    return !IsShared(folder) || linkOwner == user || linkOwner == folder.Owner;
}

bool IsPlacedByAnother(const FolderOwnership& folder, uid_t fileOwner, uid_t user, int protectedRegular) {
    if (!(folder.Mode & S_ISVTX) || fileOwner == user || fileOwner == folder.Owner) return false;
    if (folder.Mode & S_IWOTH) return true;
    return (folder.Mode & S_IWGRP) && protectedRegular >= 2;
}

int OpenFolder(const std::string& dir) {
    const char* const path = dir.empty() ? "." : dir.c_str();
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || errno != EACCES) return fd;
    return ::open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
}

bool PlacedByAnother(int folderFd, uid_t fileOwner) {
    FolderOwnership folder;
    if (!LookAt(folderFd, folder)) return false;
    const uid_t user = ::geteuid();
    // The system's setting is read only where it decides.
    return IsPlacedByAnother(folder, fileOwner, user, 2) &&
           IsPlacedByAnother(folder, fileOwner, user, ProtectedRegular());
}

LinkChain FollowLinks(const std::string& path) {
    LinkChain chain;
    fs::path current(path);
    for (int links = 0;; ++links) {
        chain.Entries.push_back(current.string());
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return chain;
        if (links == kMostLinks) {
            chain.Error = ELOOP;
            return chain;
        }
        fs::path dir = current.parent_path();
        if (dir.empty()) dir = ".";
        FolderOwnership folder;
        if (LookAt(dir, folder) && !FollowsLinkIn(folder, st.st_uid, ::geteuid())) {
            chain.Error = kForeignLinkError;
            return chain;
        }
        std::error_code ec;
        const fs::path link = fs::read_symlink(current, ec);
        if (ec || link.empty()) {
            chain.Error = ec ? ec.value() : ENOENT;
            return chain;
        }
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
}

}  // namespace fsys
