#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fsys {

namespace fs = std::filesystem;

namespace {

// False with errno set to the reason.
bool Fail(int error) {
    errno = error;
    return false;
}

}  // namespace

std::string WithTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
    return folder;
}

bool CreateFolders(const std::string& path) {
    if (path.empty()) return Fail(ENOENT);
    std::error_code ec;
    fs::create_directories(path, ec);
    // Something that is no folder where one belongs: ENOTDIR, as the system says for the parts of a path.
    return FolderExists(path) || Fail(ec && ec.value() != EEXIST ? ec.value() : ENOTDIR);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

namespace {

WriteStepObserver gWriteStepObserver;

void Report(WriteStep step, const std::string& path) {
    if (gWriteStepObserver) gWriteStepObserver(step, path);
}

// Flushes a folder's entries (a rename inside it) to the disk; false when the
// folder cannot be opened or its file system refuses.
bool FlushFolder(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

void SetWriteStepObserver(WriteStepObserver observer) { gWriteStepObserver = std::move(observer); }

namespace {

// Reads the whole file into out (untouched on failure), refusing with EFBIG a
// file larger than the kind's bound: first by its size, before anything is
// read, then by what the reads bring, so that a file that grows meanwhile is
// read at most one byte beyond the bound.
template <typename Container>
bool ReadInto(const std::string& path, Container& out, const FileKind& kind) {
    if (path.empty()) return Fail(ENOENT);
    // Looked at before it is opened: opening a device may do something of its own.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) return false;
    if (S_ISDIR(before.st_mode)) return Fail(EISDIR);
    if (!S_ISREG(before.st_mode)) return Fail(ENXIO);
    if (static_cast<uint64_t>(before.st_size) > kind.MostBytes) return Fail(EFBIG);
    // Without waiting, should a pipe have taken the file's place since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const auto failAndClose = [fd](int error) {
        ::close(fd);
        return Fail(error);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return failAndClose(errno);
    if (S_ISDIR(st.st_mode)) return failAndClose(EISDIR);
    if (!S_ISREG(st.st_mode)) return failAndClose(ENXIO);
    const uint64_t most = kind.MostBytes;
    if (static_cast<uint64_t>(st.st_size) > most) return failAndClose(EFBIG);
    // One byte more than the size: the read that finds it empty ends the file.
    Container data;
    const auto resize = [&data](uint64_t size) {
        try {
            data.resize(static_cast<size_t>(size));
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    };
    if (!resize(static_cast<uint64_t>(st.st_size) + 1)) return failAndClose(ENOMEM);
    size_t have = 0;
    for (;;) {
        if (have == data.size()) {
            if (have > most) return failAndClose(EFBIG);
            // The file has grown since its size was taken.
            if (!resize(std::min<uint64_t>(most + 1, uint64_t{have} * 2))) return failAndClose(ENOMEM);
        }
        const ssize_t n = ::read(fd, data.data() + have, data.size() - have);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failAndClose(errno);
        }
        if (n == 0) break;
        have += static_cast<size_t>(n);
    }
    ::close(fd);
    data.resize(have);
    out.swap(data);
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, const FileKind& kind) {
    return ReadInto(path, bytes, kind);
}

bool ReadWholeFile(const std::string& path, std::string& text, const FileKind& kind) {
    return ReadInto(path, text, kind);
}

bool ReadWholeFile(const std::string& path, ByteBlock& bytes, const FileKind& kind) {
    return ReadInto(path, bytes, kind);
}

std::string ReadFailureReason(int error, const FileKind& kind) {
    switch (error) {
        case 0: return {};
        case EFBIG:
            return std::string("The file is larger than ") + kind.Name + " can be (at most " +
                   std::to_string(kind.MostBytes / kMegabyte) + " MB).";
        case EACCES:
        case EPERM: return "You have no permission to read the file.";
        case ENOENT: return "The file does not exist.";
        case EISDIR: return "There is a folder of that name, not a file.";
        case ENXIO: return "There is a device, a pipe or a socket of that name, not a file.";
        case ELOOP: return "The path leads through a loop of symbolic links.";
        case ENAMETOOLONG: return "The file's name or path is too long.";
        case ENOTDIR: return "A part of the path is not a folder.";
        case ENOMEM: return "There is not enough memory to read the file.";
        default: return "The system says: " + std::generic_category().message(error) + ".";
    }
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    return WriteFileAtomically(path, [&](const ByteWriter& write) { return write(data, size); });
}

namespace {

// Writes all of the bytes to the descriptor; false on a write error.
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

}  // namespace

std::FILE* OpenScratchFileBeside(const std::string& besidePath) {
    fs::path dir = fs::path(besidePath).parent_path();
    if (dir.empty()) dir = ".";
    std::string tmpl = (dir / ".gw-scratch.XXXXXX").string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return nullptr;
    ::unlink(name.data());
    std::FILE* f = ::fdopen(fd, "w+b");
    if (!f) ::close(fd);
    return f;
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
        std::error_code ec;
        const fs::path link = fs::read_symlink(current, ec);
        if (ec || link.empty()) {
            chain.Error = ec ? ec.value() : ENOENT;
            return chain;
        }
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
}

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
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    return (dir / (fileName.substr(0, keep) + std::string(kSuffix))).string();
}

namespace {

// Runs a clean-up when the scope is left before Keep() (a failure, or an
// exception), keeping the errno of the failure.
template <typename CleanUp>
class UnlessKept {
public:
    explicit UnlessKept(CleanUp cleanUp) : cleanUp_(std::move(cleanUp)) {}
    ~UnlessKept() {
        if (kept_) return;
        const int error = errno;
        cleanUp_();
        errno = error;
    }
    UnlessKept(const UnlessKept&) = delete;
    UnlessKept& operator=(const UnlessKept&) = delete;
    void Keep() { kept_ = true; }

private:
    CleanUp cleanUp_;
    bool kept_ = false;
};

// Hands the producer's pieces to the descriptor; false (errno the reason,
// or what the producer left when it gave up) when a write failed or the
// producer gave up.
bool Produce(int fd, const std::function<bool(const ByteWriter&)>& produce) {
    bool written = true;
    int writeError = 0;
    const ByteWriter write = [&](const void* data, size_t size) {
        if (written && !WriteAll(fd, data, size)) {
            written = false;
            writeError = errno;
        }
        return written;
    };
    errno = 0;
    if (!produce(write)) return written ? false : Fail(writeError);
    return written || Fail(writeError);
}

// Copies the whole of `from` into `to`, both from their start; `to` is cut
// to the length copied. Allocates nothing: it also runs while an exception
// of the producer passes.
bool CopyContent(int from, int to) {
    if (::lseek(from, 0, SEEK_SET) != 0 || ::lseek(to, 0, SEEK_SET) != 0 || ::ftruncate(to, 0) != 0) return false;
    char buffer[1 << 15];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0;
        if (!WriteAll(to, buffer, static_cast<size_t>(n))) return false;
    }
}

// What the system hands out by size (a list of attribute names, a value):
// asked for its size, then fetched, and again when it grew in between.
template <typename Get>
std::optional<std::vector<char>> SizedValue(Get get) {
    for (int tries = 0; tries < 8; ++tries) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) return std::nullopt;
        std::vector<char> value(static_cast<size_t>(size));
        const ssize_t got = get(value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            return value;
        }
        if (errno != ERANGE) return std::nullopt;
    }
    return std::nullopt;
}

// The names in a list of extended attributes (none where the file system
// keeps none); nullopt when they cannot be listed.
template <typename List>
std::optional<std::vector<std::string>> AttributeNames(List list) {
    const auto names = SizedValue(list);
    if (!names) {
        if (errno == ENOTSUP) return std::vector<std::string>();
        return std::nullopt;
    }
    std::vector<std::string> result;
    const char* const end = names->data() + names->size();
    for (const char* name = names->data(); name < end;) {
        const size_t length = ::strnlen(name, static_cast<size_t>(end - name));
        if (length > 0) result.emplace_back(name, length);
        name += length + 1;
    }
    return result;
}

// Gives the file open at `fd` the extended attributes of the file at `from`,
// its access list among them, and no others.
bool CopyExtendedAttributes(const fs::path& from, int fd) {
    const auto wanted = AttributeNames([&](char* list, size_t size) { return ::llistxattr(from.c_str(), list, size); });
    const auto present = AttributeNames([&](char* list, size_t size) { return ::flistxattr(fd, list, size); });
    if (!wanted || !present) return false;
    for (const std::string& name : *present) {
        if (std::find(wanted->begin(), wanted->end(), name) == wanted->end() && ::fremovexattr(fd, name.c_str()) != 0)
            return false;
    }
    for (const std::string& name : *wanted) {
        const auto value = SizedValue(
            [&](char* data, size_t size) { return ::lgetxattr(from.c_str(), name.c_str(), data, size); });
        if (!value) return false;
        // One the new file has already (a security label the system gave it) is not set again:
        // setting it may take a right the user lacks.
        if (std::find(present->begin(), present->end(), name) != present->end() &&
            SizedValue([&](char* data, size_t size) { return ::fgetxattr(fd, name.c_str(), data, size); }) == value)
            continue;
        if (::fsetxattr(fd, name.c_str(), value->data(), value->size(), 0) != 0) return false;
    }
    return true;
}

// Gives the new file open at `fd` what decides who may use the old one:
// owner, group, extended attributes (the access list among them) and every
// mode bit. False when the system does not let this user's new file take
// one of them.
bool TakeAttributesOf(const fs::path& target, const struct stat& old, int fd) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return false;
    // The group a new file gets depends on the folder, not only on the user.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, now.st_uid == old.st_uid ? static_cast<uid_t>(-1) : old.st_uid,
                 now.st_gid == old.st_gid ? static_cast<gid_t>(-1) : old.st_gid) != 0)
        return false;
    // After the owner: a change of owner takes attributes (and set-ID bits) away.
    if (!CopyExtendedAttributes(target, fd) || ::fchmod(fd, old.st_mode & 07777) != 0) return false;
    // The system drops a set-group-ID bit of a group the user is no member of.
    return ::fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
}

// A write by another user clears set-ID bits; where the user owns the file
// they go back.
void PutBackModeBits(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_mode & 07777) != (old.st_mode & 07777))
        (void)::fchmod(fd, old.st_mode & 07777);
}

// Writes the new bytes into the old file itself. `copy`, the temporary file
// beside it (open at copyFd, closed here), keeps the old bytes until the new
// ones are flushed; a failure puts the old bytes back from it and removes
// it, unless putting them back failed too.
bool WriteInPlace(const fs::path& target, const fs::path& dir, const struct stat& old, int copyFd,
                  const std::string& copy, const std::function<bool(const ByteWriter&)>& produce,
                  const std::string& path) {
    bool copyNeeded = false;  // true while the copy holds the only whole old bytes
    UnlessKept dropCopy([&] {
        ::close(copyFd);
        if (!copyNeeded) ::unlink(copy.c_str());
    });
    const int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    UnlessKept closeFile([&] { ::close(fd); });
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) return false;
    if (opened.st_dev != old.st_dev || opened.st_ino != old.st_ino) return Fail(EAGAIN);  // replaced meanwhile
    if (!CopyContent(fd, copyFd) || ::fsync(copyFd) != 0) return false;
    FlushFolder(dir);  // the copy's name too, where the folder can be flushed
    copyNeeded = true;
    UnlessKept restore([&] {
        if (CopyContent(copyFd, fd) && ::fsync(fd) == 0) copyNeeded = false;
        PutBackModeBits(fd, old);
    });
    if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0 || !Produce(fd, produce) || ::fsync(fd) != 0)
        return false;
    PutBackModeBits(fd, old);
    restore.Keep();
    closeFile.Keep();
    ::close(fd);
    Report(WriteStep::FileFlushed, path);
    dropCopy.Keep();
    ::close(copyFd);
    ::unlink(copy.c_str());
    if (FlushFolder(dir)) Report(WriteStep::FolderFlushed, path);
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(const ByteWriter&)>& produce) {
    if (path.empty()) return Fail(ENOENT);
    // A link stays a link: the file it leads to is the one written.
    const LinkChain chain = FollowLinks(path);
    if (chain.Error != 0) return Fail(chain.Error);
    const fs::path target = chain.Entries.back();
    if (target.filename().empty()) return Fail(EISDIR);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (!replacing && errno != ENOENT) return false;
    if (replacing) {
        // Folders, devices and pipes are never replaced; nor is a file the
        // user may not write, or one marked read-only (no write permission for
        // anyone, which would not stop the superuser).
        if (S_ISDIR(old.st_mode)) return Fail(EISDIR);
        if (!S_ISREG(old.st_mode)) return Fail(ENXIO);
        if ((old.st_mode & 0222) == 0) return Fail(EROFS);
        if (::access(target.c_str(), W_OK) != 0) return false;
    }
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    const std::string tmpl = TemporaryNameTemplate(dir.string(), target.filename().string());
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    if (replacing && !TakeAttributesOf(target, old, fd)) {
        // Owner, group or attributes would change: the old file is written itself.
        return WriteInPlace(target, dir, old, fd, name.data(), produce, path);
    }
    bool open = true;
    UnlessKept dropTemporary([&] {
        if (open) ::close(fd);
        ::unlink(name.data());
    });
    if (!Produce(fd, produce)) return false;
    if (!replacing) {
        // A new file gets the usual permissions for new files rather than mkstemp's 0600.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0) return false;
    }
    // The new bytes are on the disk before they take the old file's name.
    if (::fsync(fd) != 0) return false;
    open = false;
    if (::close(fd) != 0) return false;
    Report(WriteStep::FileFlushed, path);
    if (std::rename(name.data(), target.c_str()) != 0) return false;
    dropTemporary.Keep();
    Report(WriteStep::Renamed, path);
    if (FlushFolder(dir)) Report(WriteStep::FolderFlushed, path);
    return true;
}

std::string WriteFailureReason(int error) {
    switch (error) {
        case 0: return {};
        case EACCES:
        case EPERM: return "You have no permission to write the file or its folder.";
        case EROFS: return "The file or its disk is read-only.";
        case ENOSPC: return "The disk is full.";
        case EDQUOT: return "Your disk quota is used up.";
        case EFBIG: return "The file would be larger than the system allows.";
        case EISDIR: return "There is a folder of that name.";
        case ENXIO: return "There is a device, a pipe or a socket of that name, not a file.";
        case ELOOP: return "The path leads through a loop of symbolic links.";
        case ENAMETOOLONG: return "The file's name or path is too long.";
        case ENOENT: return "The folder it goes in does not exist.";
        case ENOTDIR: return "A part of the path is not a folder.";
        default: return "The system says: " + std::generic_category().message(error) + ".";
    }
}

void DeleteFileQuietly(const std::string& path) {
    const int error = errno;
    std::error_code ec;
    fs::remove(path, ec);
    errno = error;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool HasExtension(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    return EqualsIgnoringAsciiCase(std::string_view(path).substr(path.size() - extension.size()), extension);
}

std::string SavePathWithExtension(const std::string& path, std::string_view extension) {
    while (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    const size_t slash = path.rfind(kPathSeparator);
    const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (extension.empty() || name.empty()) return path;
    const std::string dotted = "." + std::string(extension);
    if (HasExtension(std::string(name), dotted)) return path;
    return path + dotted;
}

}  // namespace fsys
