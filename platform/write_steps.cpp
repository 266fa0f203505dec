#include "platform/write_steps.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <string_view>

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include "platform/file_system.h"  // IgnoreFileSizeSignal

namespace fsys {

namespace {

WriteStepObserver gWriteStepObserver;
FolderFlush gFolderFlush;
Reservation gReservation;
thread_local steps::FailureDetail tDetail;

}  // namespace

std::string TemporaryNameTemplate(int folderFd, const std::string& fileName) {
    static constexpr std::string_view kSuffix = ".XXXXXX";
    long limit = ::fpathconf(folderFd, _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    const size_t room = static_cast<size_t>(limit) > kSuffix.size() ? static_cast<size_t>(limit) - kSuffix.size() : 0;
    size_t keep = fileName.size();
    if (keep > room) {
        keep = room;
        // Cut before a whole character, not inside one.
        while (keep > 0 && (static_cast<unsigned char>(fileName[keep]) & 0xC0) == 0x80) --keep;
    }
    return fileName.substr(0, keep) + std::string(kSuffix);
}

void IgnoreFileSizeSignal() {
    struct sigaction now {};
    if (::sigaction(SIGXFSZ, nullptr, &now) != 0 || now.sa_handler != SIG_DFL) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    (void)::sigaction(SIGXFSZ, &ignore, nullptr);
}

void SetWriteStepObserver(WriteStepObserver observer) { gWriteStepObserver = std::move(observer); }

void SetFolderFlushForTests(FolderFlush flush) { gFolderFlush = std::move(flush); }

void SetReservationForTests(Reservation reserve) { gReservation = std::move(reserve); }

std::string OldBytesCopy() { return tDetail.Copy; }

namespace steps {

const FailureDetail& LastFailureDetail() { return tDetail; }

bool FailWithDetail(int error, int cause, std::string copy) {
    tDetail = {cause, std::move(copy)};
    return Fail(error);
}

bool WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void IgnoreFileSizeSignalOnce() {
    // Once in each process: a child forked after the first save starts with
    // what its parent left, which it may have changed since.
    static std::atomic<pid_t> done{0};
    const pid_t self = ::getpid();
    if (done.load(std::memory_order_relaxed) == self) return;
    IgnoreFileSizeSignal();
    done.store(self, std::memory_order_relaxed);
}

std::string ProcPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

std::string HeldPath(int fd) {
    char path[PATH_MAX];
    const ssize_t n = ::readlink(ProcPath(fd).c_str(), path, sizeof path);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof path || path[0] != '/') return {};
    return std::string(path, static_cast<size_t>(n));
}

bool MayWrite(int fd) {
    if (::faccessat(fd, "", W_OK, AT_EMPTY_PATH) == 0) return true;
    // A system older than faccessat2 knows no AT_EMPTY_PATH there; the
    // descriptor's path under /proc leads to the file itself all the same.
    if (errno != EINVAL && errno != ENOSYS) return false;
    return ::access(ProcPath(fd).c_str(), W_OK) == 0;
}

bool PutAll(int fd, const char* data, size_t size, off_t at, off_t* reached) {
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, data, size, at);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        data += put;
        size -= static_cast<size_t>(put);
        at += put;
        if (reached) *reached = at;
    }
    return true;
}

bool CopyRange(int from, int to, off_t begin, off_t end, off_t* reached) {
    char buffer[1 << 16];
    while (begin < end) {
        const size_t want = static_cast<size_t>(std::min<off_t>(end - begin, static_cast<off_t>(sizeof buffer)));
        const ssize_t n = ::pread(from, buffer, want, begin);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return Fail(kReplacedWhileSavingError);
        if (!PutAll(to, buffer, static_cast<size_t>(n), begin, reached)) return false;
        begin += n;
    }
    return true;
}

bool Reserve(int fd, off_t size) {
    if (size <= 0) return true;
    int error = 0;
    if (gReservation) {
        error = gReservation(fd, size);
    } else if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0) {
        error = errno;
    }
    return error == 0 || error == EOPNOTSUPP || error == ENOSYS || Fail(error);
}

int CreateUnique(int folderFd, const std::string& tmpl, mode_t mode, std::string& name) {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    name = tmpl;
    const size_t at = name.size() - 6;
    for (int tries = 0; tries < 100; ++tries) {
        unsigned char random[6];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
        for (size_t i = 0; i < 6; ++i) name[at + i] = kLetters[random[i] % (sizeof kLetters - 1)];
        const int fd = ::openat(folderFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

Flush FlushFolder(int folderFd) {
    // A folder open only as a place cannot be flushed.
    const int flags = ::fcntl(folderFd, F_GETFL);
    if (flags < 0 || (flags & O_PATH)) return Flush::Impossible;
    int error = 0;
    if (gFolderFlush) {
        error = gFolderFlush(folderFd);
    } else if (::fsync(folderFd) != 0) {
        error = errno;
    }
    if (error == 0) return Flush::Done;
    if (error == EINVAL || error == EROFS || error == ENOTSUP) return Flush::Impossible;
    errno = error;
    return Flush::Failed;
}

bool FlushFolderOfName(int folderFd, const std::string& path) {
    const Flush flushed = FlushFolder(folderFd);
    if (flushed == Flush::Failed) return FailWithDetail(kUnconfirmedNameError, errno, {});
    if (flushed == Flush::Done) Report(WriteStep::FolderFlushed, path);
    return true;
}

void Report(WriteStep step, const std::string& path) {
    if (gWriteStepObserver) gWriteStepObserver(step, path);
}

}  // namespace steps

}  // namespace fsys
