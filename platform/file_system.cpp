#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/random.h>
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

// What the message of the last failed write of this thread says besides its
// errno: the reason that came first (kDamagedFileError, kUnconfirmedNameError)
// and the copy that keeps the file's old bytes (kDamagedFileError,
// kReplacedDuringRewriteError).
struct FailureDetail {
    int cause = 0;
    std::string copy;
};
thread_local FailureDetail tDetail;

// False with errno `error`, its cause and copy kept for the message.
bool FailWithDetail(int error, int cause, std::string copy) {
    tDetail = {cause, std::move(copy)};
    return Fail(error);
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

FolderFlush gFolderFlush;

// What flushing a folder's entries (a rename inside it) to the disk gave.
enum class Flush { Done, Impossible, Failed };

// Flushes a folder's entries to the disk. Impossible where the folder cannot
// be opened for it (the user may not list it) or its file system cannot flush
// folders; Failed (errno the reason) where the disk did not confirm them.
Flush FlushFolder(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Flush::Impossible;
    int error = 0;
    if (gFolderFlush) {
        error = gFolderFlush(fd);
    } else if (::fsync(fd) != 0) {
        error = errno;
    }
    ::close(fd);
    if (error == 0) return Flush::Done;
    if (error == EINVAL || error == EROFS || error == ENOTSUP) return Flush::Impossible;
    errno = error;
    return Flush::Failed;
}

// Flushes the folder of a file that holds its new bytes, the last step of a
// save: kUnconfirmedNameError (the system's reason kept) where it fails.
bool FlushFolderOfName(const fs::path& dir, const std::string& path) {
    const Flush flushed = FlushFolder(dir);
    if (flushed == Flush::Failed) return FailWithDetail(kUnconfirmedNameError, errno, {});
    if (flushed == Flush::Done) Report(WriteStep::FolderFlushed, path);
    return true;
}

}  // namespace

void SetWriteStepObserver(WriteStepObserver observer) { gWriteStepObserver = std::move(observer); }

void SetFolderFlushForTests(FolderFlush flush) { gFolderFlush = std::move(flush); }

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
                   BoundText(kind.MostBytes) + ").";
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

namespace {

// Whether a link is followed (`link`, looked at as `st`): not one in a
// sticky folder that others or a group may write, unless it belongs to the
// user following it or to the folder's owner. The system itself refuses only
// such links of folders that others may write; in a group's folder a link is
// rarely another member's, and a planted one would have the user's private
// file replaced. A folder that cannot be looked at leaves the decision to
// the system.
bool MayFollow(const fs::path& link, const struct stat& st) {
    fs::path dir = link.parent_path();
    if (dir.empty()) dir = ".";
    struct stat folder {};
    if (::stat(dir.c_str(), &folder) != 0) return true;
    if (!(folder.st_mode & S_ISVTX) || !(folder.st_mode & (S_IWOTH | S_IWGRP))) return true;
    return st.st_uid == ::geteuid() || st.st_uid == folder.st_uid;
}

}  // namespace

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
        if (!MayFollow(current, st)) {
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

// Writes `size` bytes at `at` of the file open at fd; false (errno the reason)
// on a write error.
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

// Copies the bytes [begin, end) of `from` to the same places in `to`; false
// (errno the reason) when a read or write fails, and a file that ends before
// `end` was changed by someone else meanwhile.
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

// The new bytes of a write in place: held in memory where they are few
// enough, so that the room of the temporary file they were produced into is
// free again for the copy of the old bytes (a write in place then needs no
// more room than the copy and what the file grows by); else read from that
// file.
struct NewBytes {
    static constexpr off_t kMostHeld = off_t(64) << 20;
    std::vector<char> held;
    int fd = -1;
    off_t size = 0;

    // Takes the bytes of the file open at `from`; true when they are held
    // (the file may then go), false with `fd` set to read them from it, or
    // with errno the reason when they cannot be read.
    bool Take(int from) {
        struct stat st {};
        if (::fstat(from, &st) != 0) return false;
        size = st.st_size;
        fd = from;
        if (size > kMostHeld) return false;
        try {
            held.resize(static_cast<size_t>(size));
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (size_t at = 0; at < held.size();) {
            const ssize_t n = ::pread(from, held.data() + at, held.size() - at, static_cast<off_t>(at));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                std::vector<char>().swap(held);
                fd = -1;
                return n < 0 ? false : Fail(kReplacedWhileSavingError);
            }
            at += static_cast<size_t>(n);
        }
        fd = -1;
        return true;
    }
    // Writes the bytes [begin, end) to the same places in `to`.
    bool Put(int to, off_t begin, off_t end) const {
        if (fd >= 0) return CopyRange(fd, to, begin, end);
        return PutAll(to, held.data() + begin, static_cast<size_t>(end - begin), begin);
    }
};

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

// A write clears set-ID bits; where the user owns the file they go back.
void PutBackModeBits(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_mode & 07777) != (old.st_mode & 07777))
        (void)::fchmod(fd, old.st_mode & 07777);
}

// Creates a file from a template ending in "XXXXXX", the six characters drawn
// at random (no one can guess the name ahead and place something there), with
// `mode` given to the system, which applies the umask or the folder's default
// access list; never through a link. The descriptor and the name, or -1.
int CreateUnique(const std::string& tmpl, mode_t mode, std::string& name) {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    name = tmpl;
    const size_t at = name.size() - 6;
    for (int tries = 0; tries < 100; ++tries) {
        unsigned char random[6];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
        for (size_t i = 0; i < 6; ++i) name[at + i] = kLetters[random[i] % (sizeof kLetters - 1)];
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

constexpr char kAccessList[] = "system.posix_acl_access";

// An entry of an access list. The system stores a list as its version (2),
// then each entry as tag, permissions and id, little-endian; the tags sort in
// the order the system wants them.
struct AclEntry {
    uint16_t tag = 0;
    uint16_t permissions = 0;
    uint32_t id = 0;
};
constexpr uint16_t kAclUserObj = 0x01, kAclUser = 0x02, kAclGroupObj = 0x04, kAclGroup = 0x08, kAclMask = 0x10,
                   kAclOther = 0x20;
constexpr uint32_t kAclNoId = 0xFFFFFFFF;

std::optional<std::vector<AclEntry>> ParseAccessList(const std::vector<char>& stored) {
    if (stored.size() < 4 || (stored.size() - 4) % 8 != 0) return std::nullopt;
    const auto number = [&](size_t at, int size) {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(stored[at + i]);
        return value;
    };
    if (number(0, 4) != 2) return std::nullopt;
    std::vector<AclEntry> entries;
    for (size_t at = 4; at < stored.size(); at += 8)
        entries.push_back({static_cast<uint16_t>(number(at, 2)), static_cast<uint16_t>(number(at + 2, 2)),
                           number(at + 4, 4)});
    return entries;
}

std::vector<char> StoredAccessList(std::vector<AclEntry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const AclEntry& a, const AclEntry& b) { return a.tag != b.tag ? a.tag < b.tag : a.id < b.id; });
    std::vector<char> stored{2, 0, 0, 0};
    const auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) stored.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    for (const AclEntry& entry : entries) {
        put(entry.tag, 2);
        put(entry.permissions, 2);
        put(entry.id, 4);
    }
    return stored;
}

// Lets exactly those who may read the file read the copy of its old bytes
// (made 0600, with no entry of the folder's default access list): the copy
// takes the file's owner and group, and its permission bits or its access
// list, where the system lets the user give them. A copy that stays the
// user's, or of the user's group, gets an access list that gives the file's
// owner and group their rights by name, besides the file's other entries.
// Where the disk keeps no access lists, the copy gives the file's group its
// rights only where it has that group, and the file's owner none.
void ShareCopy(int fileFd, const struct stat& file, int copyFd) {
    if (::fchown(copyFd, file.st_uid, file.st_gid) != 0) (void)::fchown(copyFd, static_cast<uid_t>(-1), file.st_gid);
    struct stat copy {};
    if (::fstat(copyFd, &copy) != 0) return;
    const bool owner = copy.st_uid == file.st_uid, group = copy.st_gid == file.st_gid;
    const auto stored =
        SizedValue([&](char* data, size_t size) { return ::fgetxattr(fileFd, kAccessList, data, size); });
    if (owner && group) {
        if (!stored) {
            (void)::fchmod(copyFd, file.st_mode & 0777);
            return;
        }
        if (::fsetxattr(copyFd, kAccessList, stored->data(), stored->size(), 0) == 0) return;
    }
    std::vector<AclEntry> entries;
    if (stored) {
        const auto parsed = ParseAccessList(*stored);
        if (!parsed) return;  // a list this program cannot read: the copy stays the user's alone
        entries = *parsed;
    } else {
        entries = {{kAclUserObj, static_cast<uint16_t>((file.st_mode >> 6) & 7), kAclNoId},
                   {kAclGroupObj, static_cast<uint16_t>((file.st_mode >> 3) & 7), kAclNoId},
                   {kAclOther, static_cast<uint16_t>(file.st_mode & 7), kAclNoId}};
    }
    // What each entry gives: the mask bounds the named entries and the group's.
    uint16_t mask = 7;
    for (const AclEntry& entry : entries)
        if (entry.tag == kAclMask) mask = entry.permissions;
    uint16_t ownerRights = 0, groupRights = 0, otherRights = 0;
    std::vector<AclEntry> shared;
    for (const AclEntry& entry : entries) {
        if (entry.tag == kAclUserObj) ownerRights = entry.permissions;
        if (entry.tag == kAclGroupObj) groupRights = entry.permissions & mask;
        if (entry.tag == kAclOther) otherRights = entry.permissions;
        // A named entry of the file's owner gives the owner nothing (the owner's own entry decides).
        if ((entry.tag == kAclUser && entry.id != file.st_uid) || entry.tag == kAclGroup)
            shared.push_back({entry.tag, static_cast<uint16_t>(entry.permissions & mask), entry.id});
    }
    shared.push_back({kAclUserObj, owner ? ownerRights : uint16_t{6}, kAclNoId});
    if (!owner) shared.push_back({kAclUser, ownerRights, file.st_uid});
    shared.push_back({kAclGroupObj, group ? groupRights : uint16_t{0}, kAclNoId});
    if (!group) {
        const auto named = std::find_if(shared.begin(), shared.end(),
                                        [&](const AclEntry& e) { return e.tag == kAclGroup && e.id == file.st_gid; });
        if (named != shared.end())
            named->permissions |= groupRights;
        else
            shared.push_back({kAclGroup, groupRights, file.st_gid});
    }
    shared.push_back({kAclOther, otherRights, kAclNoId});
    uint16_t groupClass = 0;
    bool namedEntries = false;
    for (const AclEntry& entry : shared) {
        if (entry.tag == kAclUser || entry.tag == kAclGroup) namedEntries = true;
        if (entry.tag == kAclUser || entry.tag == kAclGroup || entry.tag == kAclGroupObj)
            groupClass |= entry.permissions;
    }
    if (namedEntries) shared.push_back({kAclMask, groupClass, kAclNoId});
    const std::vector<char> list = StoredAccessList(shared);
    if (::fsetxattr(copyFd, kAccessList, list.data(), list.size(), 0) == 0) return;
    const mode_t groupBits = group && !stored ? groupRights : 0;
    (void)::fchmod(copyFd, static_cast<mode_t>((owner ? ownerRights : 6) << 6 | groupBits << 3 | otherRights));
}

// Reserves the room the new bytes need in the file open at fd, which holds
// oldSize bytes, and changes none of them: the system
// reserves the blocks up to newSize where its file system can, and the bytes
// that go beyond the old end are written. Where the file system reserves
// nothing ahead, that write is the reservation of what the file grows by; the
// bytes then written over the old ones may still need blocks of their own
// there (a copy-on-write file system, or holes in the old file), and a disk
// full at that moment is a failure after old bytes changed, which puts them
// back from the copy. False (errno the reason) leaves old bytes and length.
bool Reserve(int fd, off_t oldSize, const NewBytes& bytes) {
    const off_t newSize = bytes.size;
    if (newSize > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, newSize) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        const int error = errno;
        (void)::ftruncate(fd, oldSize);  // gives back what was reserved before the failure
        return Fail(error);
    }
    if (newSize > oldSize && !bytes.Put(fd, oldSize, newSize)) {
        const int error = errno;
        (void)::ftruncate(fd, oldSize);
        return Fail(error);
    }
    return true;
}

// Whether the file open at fd, or the one `path` leads to, is the file looked
// at as `held`. Sound only while that file is held open: a file removed while
// some descriptor still holds it keeps its number, which no new file gets.
bool IsFile(int fd, const struct stat& held) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && st.st_dev == held.st_dev && st.st_ino == held.st_ino;
}
bool LeadsTo(const std::string& path, const struct stat& held) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && st.st_dev == held.st_dev && st.st_ino == held.st_ino;
}

// Opens the file looked at as `old` (and held open since) at `target` to
// rewrite it, without waiting: a pipe or device put in its place is refused,
// never waited on. -1 with errno the reason: kReplacedWhileSavingError where
// the name no longer leads to that file, kUnreadableFileError where the user
// may write it but not read it.
int OpenToRewrite(const fs::path& target, const struct stat& old) {
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::open(target.c_str(), O_RDWR | kFlags);
    if (fd < 0) {
        if (errno == EACCES) {
            const int probe = ::open(target.c_str(), O_WRONLY | kFlags);
            if (probe >= 0) {
                const bool same = IsFile(probe, old);
                ::close(probe);
                errno = same ? kUnreadableFileError : kReplacedWhileSavingError;
                return -1;
            }
        }
        // Removed, a link, or a pipe without a reader or a socket in its place.
        if (errno == ENOENT || errno == ELOOP || errno == ENXIO) errno = kReplacedWhileSavingError;
        return -1;
    }
    if (!IsFile(fd, old)) {
        ::close(fd);
        errno = kReplacedWhileSavingError;
        return -1;
    }
    // A regular file: its writes wait for the disk as they should.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// Writes the new bytes, already produced, into the old file itself (looked at
// as `old`, and held open since). Its old bytes first go to a flushed copy
// beside it; then the room for the new bytes is reserved; only then are old
// bytes overwritten. A failure before that leaves the file as it was; a
// failure after it puts the old bytes back from the copy, and where even that
// fails the copy stays and errno is kDamagedFileError. Once written and
// flushed, `path` must still lead to the file. Where it no longer does
// (another program moved the file away, removed this name of it or put
// another file in its place), that program may own the file now and write to
// it: nothing more is written into it, not even the old bytes, which stay in
// the copy, and errno is kReplacedDuringRewriteError. A failed write is
// checked the same way before the old bytes go back.
bool WriteInPlace(const fs::path& target, const fs::path& dir, const struct stat& old, const NewBytes& bytes,
                  const std::string& path) {
    const int fd = OpenToRewrite(target, old);
    if (fd < 0) return false;
    struct stat file {};
    if (::fstat(fd, &file) != 0) {
        const int error = errno;
        ::close(fd);
        return Fail(error);
    }
    // A write (and a reservation) clears set-ID bits; the owner's come back.
    UnlessKept closeFile([&] {
        PutBackModeBits(fd, file);
        ::close(fd);
    });
    const off_t oldSize = file.st_size, newSize = bytes.size;

    std::string copy;
    const int copyFd = CreateUnique(TemporaryNameTemplate(dir.string(), target.filename().string()), 0600, copy);
    if (copyFd < 0) return false;
    bool copyNeeded = false;  // true while the copy holds the only whole old bytes
    UnlessKept dropCopy([&] {
        ::close(copyFd);
        if (!copyNeeded) ::unlink(copy.c_str());
    });
    // Who may read the copy is the file's say alone, not the folder's default list.
    if (::fremovexattr(copyFd, kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) return false;
    if (!CopyRange(fd, copyFd, 0, oldSize)) return false;
    ShareCopy(fd, file, copyFd);
    if (::fsync(copyFd) != 0) return false;
    // The copy's name too, before any old byte changes.
    if (FlushFolder(dir) == Flush::Failed) return false;
    if (!Reserve(fd, oldSize, bytes)) return false;
    Report(WriteStep::Reserved, path);

    copyNeeded = true;
    bool written = bytes.Put(fd, 0, std::min(oldSize, newSize)) && ::ftruncate(fd, newSize) == 0;
    if (written) {
        PutBackModeBits(fd, file);
        written = ::fsync(fd) == 0;
    }
    const int cause = written ? 0 : errno;
    if (written) Report(WriteStep::FileFlushed, path);
    if (!LeadsTo(path, file)) {
        // Not the file of this name any more: left as it is, closed untouched.
        closeFile.Keep();
        ::close(fd);
        return FailWithDetail(kReplacedDuringRewriteError, 0, copy);
    }
    if (!written) {
        if (CopyRange(copyFd, fd, 0, oldSize) && ::ftruncate(fd, oldSize) == 0 && ::fsync(fd) == 0) {
            copyNeeded = false;
            return Fail(cause);
        }
        return FailWithDetail(kDamagedFileError, cause, copy);
    }
    closeFile.Keep();
    ::close(fd);
    copyNeeded = false;
    dropCopy.Keep();
    ::close(copyFd);
    ::unlink(copy.c_str());
    return FlushFolderOfName(dir, path);
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

// Whether the file (looked at as `file`) in folder `dir` is one that another
// user placed in a shared folder: a sticky folder that others may write (and,
// where the system's fs.protected_regular is 2, one that a group may write),
// the file neither the user's nor the folder owner's. The system refuses such
// a file to a program that would create it, but not to one that opens it to
// rewrite it.
bool PlacedByAnother(const fs::path& dir, const struct stat& file) {
    struct stat folder {};
    if (::stat(dir.c_str(), &folder) != 0 || !(folder.st_mode & S_ISVTX)) return false;
    if (file.st_uid == ::geteuid() || file.st_uid == folder.st_uid) return false;
    if (folder.st_mode & S_IWOTH) return true;
    return (folder.st_mode & S_IWGRP) && ProtectedRegular() >= 2;
}

// A descriptor closed when the scope is left, errno kept.
struct HeldFile {
    int fd;
    explicit HeldFile(int descriptor) : fd(descriptor) {}
    ~HeldFile() {
        const int error = errno;
        if (fd >= 0) ::close(fd);
        errno = error;
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
};

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(const ByteWriter&)>& produce) {
    if (path.empty()) return Fail(ENOENT);
    // A link stays a link: the file it leads to is the one written.
    const LinkChain chain = FollowLinks(path);
    if (chain.Error != 0) return Fail(chain.Error);
    const fs::path target = chain.Entries.back();
    if (target.filename().empty()) return Fail(EISDIR);
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    // The old file is held from the first look on: no new file gets its
    // number meanwhile, so one put in its place is told from it.
    const HeldFile held(::open(target.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    const bool replacing = held.fd >= 0;
    if (!replacing && errno != ENOENT) return false;
    struct stat old {};
    if (replacing) {
        if (::fstat(held.fd, &old) != 0) return false;
        // A link in its place since the chain was followed.
        if (S_ISLNK(old.st_mode)) return Fail(kReplacedWhileSavingError);
        // Folders, devices and pipes are never replaced; nor is a file the
        // user may not write, or one marked read-only (no write permission for
        // anyone, which would not stop the superuser), or one that another
        // user placed in a shared folder.
        if (S_ISDIR(old.st_mode)) return Fail(EISDIR);
        if (!S_ISREG(old.st_mode)) return Fail(ENXIO);
        if ((old.st_mode & 0222) == 0) return Fail(EROFS);
        if (::access(target.c_str(), W_OK) != 0) return false;
        if (PlacedByAnother(dir, old)) return Fail(kForeignFileError);
    }
    // A new file is made as every program makes one; one that replaces a file
    // stays the user's alone until it has taken that file's owner and mode.
    std::string name;
    const int fd =
        CreateUnique(TemporaryNameTemplate(dir.string(), target.filename().string()), replacing ? 0600 : 0666, name);
    if (fd < 0) return false;
    bool open = true, named = true;
    UnlessKept dropTemporary([&] {
        if (open) ::close(fd);
        if (named) ::unlink(name.c_str());
    });
    if (!Produce(fd, produce)) return false;
    // Owner, group, attributes and mode after the bytes: a write clears set-ID bits.
    if (replacing && !TakeAttributesOf(target, old, fd)) {
        // The new file cannot stand in for the old one: the old file is
        // written itself, from the bytes produced, which need no name.
        named = false;
        ::unlink(name.c_str());
        NewBytes bytes;
        if (bytes.Take(fd)) {
            open = false;
            ::close(fd);
        } else if (bytes.fd < 0) {
            return false;
        }
        return WriteInPlace(target, dir, old, bytes, path);
    }
    // The new bytes are on the disk before they take the old file's name.
    if (::fsync(fd) != 0) return false;
    open = false;
    if (::close(fd) != 0) return false;
    Report(WriteStep::FileFlushed, path);
    if (std::rename(name.c_str(), target.c_str()) != 0) return false;
    dropTemporary.Keep();
    Report(WriteStep::Renamed, path);
    // The file is there, but only a flushed folder keeps its name on the disk.
    return FlushFolderOfName(dir, path);
}

namespace {

// The reason of the failure that came first, followed by a space; empty for 0.
std::string AfterCause(int cause) {
    const std::string reason = WriteFailureReason(cause);
    return reason.empty() ? reason : reason + " ";
}

}  // namespace

std::string WriteFailureReason(int error) {
    switch (error) {
        case 0: return {};
        case EACCES:
        case EPERM: return "You have no permission to write the file or its folder.";
        case EROFS: return "The file or its disk is read-only.";
        case ENOSPC: return "The disk is full.";
        case EDQUOT: return "Your disk quota is used up.";
        case EFBIG: return "The file would be larger than the system allows.";
        case kLargerThanItsKindError: return LargerThanItsKindReason(RefusedFileKind());
        case EISDIR: return "There is a folder of that name.";
        case ENXIO: return "There is a device, a pipe or a socket of that name, not a file.";
        case ELOOP: return "The path leads through a loop of symbolic links.";
        case ENAMETOOLONG: return "The file's name or path is too long.";
        case ENOENT: return "The folder it goes in does not exist.";
        case ENOTDIR: return "A part of the path is not a folder.";
        case kForeignLinkError:
            return "The path leads through a link that another user placed in a shared folder; such a link is "
                   "not followed.";
        case kForeignFileError:
            return "The path names a file that another user placed in a shared folder; such a file is not "
                   "written.";
        case kUnreadableFileError:
            return "The file has to be rewritten in place, and its old bytes cannot be read to keep them.";
        case kReplacedWhileSavingError: return "Another program replaced or removed the file while it was saved.";
        case kReplacedDuringRewriteError:
            return WriteFailureReason(kReplacedWhileSavingError) + " Its old bytes are kept in \"" + tDetail.copy +
                   "\".";
        case kDamagedFileError:
            return AfterCause(tDetail.cause) + "The file is damaged: its old bytes could not be put back. They are kept in \"" +
                   tDetail.copy + "\".";
        case kUnconfirmedNameError:
            return AfterCause(tDetail.cause) +
                   "The disk did not confirm the file's name; the file holds the new bytes, written but not confirmed.";
        default: return "The system says: " + std::generic_category().message(error) + ".";
    }
}

std::string OldBytesCopy() { return tDetail.copy; }

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

// ---- the bounds of the kinds of file read whole ---------------------------------------------

namespace {

thread_local FileKind tRefusedKind{"a file", 0};

}  // namespace

std::string BoundText(uint64_t bytes) {
    if (bytes != 0 && bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MiB";
    if (bytes != 0 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool FitsItsKind(uint64_t size, const FileKind& kind) {
    if (size <= kind.MostBytes) return true;
    tRefusedKind = kind;
    return Fail(kLargerThanItsKindError);
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, const FileKind& kind) {
    return FitsItsKind(size, kind) && WriteFileAtomically(path, data, size);
}

FileKind RefusedFileKind() { return tRefusedKind; }

std::string LargerThanItsKindReason(const FileKind& kind) {
    return std::string("The file would be larger than ") + kind.Name + " can be (at most " + BoundText(kind.MostBytes) +
           ").";
}

}  // namespace fsys
