#include "platform/write_steps.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string_view>

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace fsys {

namespace {

WriteStepObserver gWriteStepObserver;
FolderFlush gFolderFlush;
thread_local steps::FailureDetail tDetail;

}  // namespace

std::string TemporaryNameTemplate(const std::string& folder, const std::string& fileName) {
    static constexpr std::string_view kSuffix = ".XXXXXX";
    long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    const size_t room = static_cast<size_t>(limit) > kSuffix.size() ? static_cast<size_t>(limit) - kSuffix.size() : 0;
    size_t keep = fileName.size();
    if (keep > room) {
        keep = room;
        // Cut before a whole character, not inside one.
        while (keep > 0 && (static_cast<unsigned char>(fileName[keep]) & 0xC0) == 0x80) --keep;
    }
    const std::filesystem::path dir = folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    return (dir / (fileName.substr(0, keep) + std::string(kSuffix))).string();
}

void SetWriteStepObserver(WriteStepObserver observer) { gWriteStepObserver = std::move(observer); }

void SetFolderFlushForTests(FolderFlush flush) { gFolderFlush = std::move(flush); }

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

bool PutAll(int fd, const char* data, size_t size, off_t at) {
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, data, size, at);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        data += put;
        size -= static_cast<size_t>(put);
        at += put;
    }
    return true;
}

bool CopyRange(int from, int to, off_t begin, off_t end) {
    char buffer[1 << 16];
    while (begin < end) {
        const size_t want = static_cast<size_t>(std::min<off_t>(end - begin, static_cast<off_t>(sizeof buffer)));
        const ssize_t n = ::pread(from, buffer, want, begin);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return Fail(kReplacedWhileSavingError);
        if (!PutAll(to, buffer, static_cast<size_t>(n), begin)) return false;
        begin += n;
    }
    return true;
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
