#include "platform/file_lock.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace {

uint64_t gWaitsRunOut = 0;

// What a lock file that is no plain file is instead.
const char* KindOf(mode_t mode) {
    if (S_ISLNK(mode)) return "a symbolic link";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    return "a device or a socket";
}

}  // namespace

FileLock::FileLock(const std::string& path, std::chrono::milliseconds wait) {
    const std::string named = "The lock file \"" + path + "\"";
    // The folder is opened once, as the way to it allows a write there
    // (write_way.h); the lock file is looked at, opened or made in it.
    const std::filesystem::path file(path);
    const std::string name = file.filename().empty() ? "." : file.filename().string();
    const int folder = fsys::OpenFolderToWrite(file.parent_path().string());
    if (folder < 0) {
        error_ = kLockFileError;
        reason_ = named + " cannot be made. " + fsys::WriteFailureReason(errno);
        return;
    }
    struct FolderCloser {
        int fd;
        ~FolderCloser() { ::close(fd); }
    } closer{folder};
    struct stat st {};
    bool created = false;
    // A few tries: another program may make or remove the file between two steps.
    for (int attempt = 0; attempt < 3 && fd_ < 0; ++attempt) {
        if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            // Refused unopened: opening a device or a pipe may do something of its own.
            if (!S_ISREG(st.st_mode)) {
                error_ = kLockFileError;
                reason_ = named + " is " + KindOf(st.st_mode) + ", not a plain file.";
                return;
            }
            fd_ = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
            if (fd_ >= 0 || errno == ENOENT || errno == ELOOP) continue;
            error_ = kLockFileError;
            if (errno == EACCES || errno == EPERM)
                reason_ = named + " cannot be opened: " +
                          (st.st_uid != ::geteuid() ? "it belongs to another user, and " : "") +
                          "you have no permission to read it.";
            else
                reason_ = named + " cannot be opened. " + fsys::WriteFailureReason(errno);
            return;
        }
        if (errno != ENOENT) break;
        fd_ = ::openat(folder, name.c_str(),
                       O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0644);
        created = fd_ >= 0;
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        error_ = kLockFileError;
        reason_ = named + " cannot be made. " + fsys::WriteFailureReason(errno);
        return;
    }
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = kLockFileError;
        reason_ = named + " is " + KindOf(st.st_mode) + ", not a plain file.";
        return;
    }
    if (created) (void)::fchmod(fd_, 0644);  // whatever the umask: a lock holds nothing to hide

    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) break;
        if (errno == EINTR) continue;
        // A file system that keeps no locks: the caller goes on without one.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) break;
        if (errno != EWOULDBLOCK) {
            error_ = kLockFileError;
            reason_ = named + " cannot be locked. " + fsys::WriteFailureReason(errno);
            return;
        }
        // Still held by a program that does not finish (stopped, or stuck on
        // its disk): the caller fails rather than hang.
        if (std::chrono::steady_clock::now() >= deadline) {
            ++gWaitsRunOut;
            error_ = kLockHeldError;
            return;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
    held_ = true;
}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    const int error = errno;
    ::close(fd_);  // lets go of the lock
    errno = error;
}

uint64_t FileLockWaitsRunOut() { return gWaitsRunOut; }
