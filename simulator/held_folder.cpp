#include "simulator/held_folder.h"

#include <cerrno>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app_state.h"
#include "platform/write_way.h"

namespace {

std::function<void(HeldFolderStep, const std::string&)> gObserver;

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The folder `name` of the folder open at parentFd, open for reading where it
// may be listed, else only as a place.
int OpenIn(int parentFd, const std::string& name, int flags) {
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags);
    if (fd >= 0 || errno != EACCES) return fd;
    return ::openat(parentFd, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | flags);
}

// Whose folders (and links) are used: the user's, the simulator folder's
// owner's and the owner's of the folder that holds them.
class AllowedOwners {
public:
    explicit AllowedOwners(int parentFd) : user_(::geteuid()) {
        struct stat st {};
        if (::fstat(parentFd, &st) == 0) parent_ = st.st_uid;
        if (!gSimPath.empty() && ::stat(gSimPath.c_str(), &st) == 0) sim_ = st.st_uid;
    }
    bool operator()(uid_t owner) const { return owner == user_ || owner == parent_ || owner == sim_; }

private:
    uid_t user_;
    std::optional<uid_t> parent_, sim_;
};

}  // namespace

HeldFolder OpenFolderToFill(int parentFd, const std::string& parentPath, const std::string& name, bool make) {
    HeldFolder folder;
    folder.Name = name;
    folder.Path = parentPath.empty() || parentPath.back() == '/' ? parentPath + name : parentPath + "/" + name;
    const auto fail = [&folder](int error) {
        folder.Fd.Reset();
        folder.Error = error;
        return std::move(folder);
    };
    if (parentFd < 0) return fail(EBADF);
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return fail(EINVAL);
    const AllowedOwners allowed(parentFd);
    struct stat entry {};
    if (::fstatat(parentFd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT || !make) return fail(errno);
        if (::mkdirat(parentFd, name.c_str(), 0777) == 0)
            folder.Made = true;
        else if (errno != EEXIST)
            return fail(errno);
        if (::fstatat(parentFd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) return fail(errno);
    }
    if (!S_ISDIR(entry.st_mode) && !S_ISLNK(entry.st_mode)) return fail(ENOTDIR);
    // Another user's link is not followed at all: they choose where it leads.
    if (!allowed(entry.st_uid)) return fail(kAnotherUsersFolderError);
    if (S_ISDIR(entry.st_mode)) {
        folder.Fd.Reset(OpenIn(parentFd, name, O_NOFOLLOW));
        // No longer a folder (a link or a file now): something took its place.
        if (folder.Fd.Get() < 0) return fail(errno == ELOOP || errno == ENOTDIR ? kReplacedFolderError : errno);
    } else {
        // The superuser follows a link only along folders and links of its own.
        folder.Fd.Reset(::geteuid() == 0 ? fsys::OpenFolderToWrite(folder.Path) : OpenIn(parentFd, name, 0));
        if (folder.Fd.Get() < 0) return fail(errno);
    }
    struct stat opened {};
    if (::fstat(folder.Fd.Get(), &opened) != 0) return fail(errno);
    if (!S_ISDIR(opened.st_mode)) return fail(ENOTDIR);
    if (!allowed(opened.st_uid)) return fail(kAnotherUsersFolderError);
    ReportHeldFolderStep(HeldFolderStep::Opened, folder.Path);
    // The name once more, not followed: the folder opened, or a link of an allowed owner to it.
    struct stat again {}, target {};
    if (::fstatat(parentFd, name.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0) return fail(kReplacedFolderError);
    const bool same = S_ISDIR(again.st_mode) ? SameFile(again, opened)
                      : S_ISLNK(again.st_mode)
                          ? allowed(again.st_uid) && ::fstatat(parentFd, name.c_str(), &target, 0) == 0 &&
                                SameFile(target, opened)
                          : false;
    if (!same) return fail(kReplacedFolderError);
    folder.ViaLink = S_ISLNK(again.st_mode);
    folder.Device = opened.st_dev;
    folder.Inode = opened.st_ino;
    return folder;
}

void RemoveMadeFolder(int parentFd, const HeldFolder& folder) {
    if (!folder.Made || folder.Fd.Get() < 0 || parentFd < 0) return;
    const int error = errno;
    struct stat entry {};
    if (::fstatat(parentFd, folder.Name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(entry.st_mode) &&
        entry.st_dev == folder.Device && entry.st_ino == folder.Inode)
        (void)::unlinkat(parentFd, folder.Name.c_str(), AT_REMOVEDIR);  // only while it is empty
    errno = error;
}

void SetHeldFolderObserverForTests(std::function<void(HeldFolderStep step, const std::string& path)> observer) {
    gObserver = std::move(observer);
}

void ReportHeldFolderStep(HeldFolderStep step, const std::string& path) {
    if (gObserver) gObserver(step, path);
}
