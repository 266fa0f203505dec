#include "platform/write_in_place.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <optional>

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/write_steps.h"

namespace fsys::steps {

namespace fs = std::filesystem;

bool NewBytes::Take(int from) {
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

bool NewBytes::Put(int to, off_t begin, off_t end, off_t* reached) const {
    if (fd >= 0) return CopyRange(fd, to, begin, end, reached);
    return PutAll(to, held.data() + begin, static_cast<size_t>(end - begin), begin, reached);
}

namespace {

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

// A write clears set-ID bits; where the user owns the file they go back.
void PutBackModeBits(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_mode & 07777) != (old.st_mode & 07777))
        (void)::fchmod(fd, old.st_mode & 07777);
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

// The length of the file open at fd; -1 where it cannot be looked at.
off_t LengthOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

// Opens the file looked at as `old` (and held open since) as `fileName` in
// the folder open at folderFd to rewrite it, without waiting: a pipe or
// device put in its place is refused, never waited on. -1 with errno the
// reason: kReplacedWhileSavingError where the name no longer leads to that
// file, kUnreadableFileError where the user may write it but not read it.
int OpenToRewrite(int folderFd, const std::string& fileName, const struct stat& old) {
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::openat(folderFd, fileName.c_str(), O_RDWR | kFlags);
    if (fd < 0) {
        if (errno == EACCES) {
            const int probe = ::openat(folderFd, fileName.c_str(), O_WRONLY | kFlags);
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

}  // namespace

bool WriteInPlace(int folderFd, const fs::path& dir, const std::string& fileName, const struct stat& old,
                  const NewBytes& bytes, const std::string& path) {
    const int fd = OpenToRewrite(folderFd, fileName, old);
    if (fd < 0) return false;
    struct stat file {};
    if (::fstat(fd, &file) != 0) {
        const int error = errno;
        ::close(fd);
        return Fail(error);
    }
    // A write (and a reservation) clears set-ID bits; the owner's come back,
    // but only to a file that this name still leads to.
    UnlessKept closeFile([&] {
        if (LeadsTo(path, file)) PutBackModeBits(fd, file);
        ::close(fd);
    });
    const off_t oldSize = file.st_size, newSize = bytes.size;

    std::string copyName;
    const int copyFd = CreateUnique(folderFd, TemporaryNameTemplate(folderFd, fileName), 0600, copyName);
    if (copyFd < 0) return false;
    bool copyNeeded = false;  // true while the copy holds the only whole old bytes
    UnlessKept dropCopy([&] {
        ::close(copyFd);
        if (!copyNeeded) ::unlinkat(folderFd, copyName.c_str(), 0);
    });
    // A failure that leaves the copy, named where it is now: in the folder
    // held, wherever that folder was moved meanwhile.
    const auto keepingCopy = [&](int error, int cause) {
        copyNeeded = true;
        const std::string folderNow = HeldPath(folderFd);
        return FailWithDetail(error, cause, ((folderNow.empty() ? dir : fs::path(folderNow)) / copyName).string());
    };
    // Who may read the copy is the file's say alone, not the folder's default list.
    if (::fremovexattr(copyFd, kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) return false;
    if (!CopyRange(fd, copyFd, 0, oldSize)) return false;
    ShareCopy(fd, file, copyFd);
    if (::fsync(copyFd) != 0) return false;
    // The copy's name too, before any old byte changes.
    if (FlushFolder(folderFd) == Flush::Failed) return false;
    // Before the first change of the file, its reservation included (which
    // takes set-ID bits away too): another program may have taken the file
    // away while its old bytes were copied. Then it gets nothing of this save,
    // and the copy goes with the rest.
    if (!LeadsTo(path, file)) return Fail(kReplacedWhileSavingError);

    off_t left = oldSize;  // the length this save left the file at
    // A failure before the rewrite takes back what the save added, the room
    // reserved and the bytes the file grew by, with a truncate to the old
    // length: only where the file is still as this save left it, so that no
    // byte that another program added is cut.
    const auto giveBack = [&](int cause) {
        if (!LeadsTo(path, file)) return keepingCopy(kReplacedDuringRewriteError, cause);
        if (LengthOf(fd) != left) return keepingCopy(kChangedDuringRewriteError, cause);
        (void)::ftruncate(fd, oldSize);
        return Fail(cause);
    };
    if (!Reserve(fd, newSize)) return giveBack(errno);
    // What the file grows by, written first: where the file system reserves
    // nothing ahead, this write is the reservation of it. The bytes then
    // written over the old ones may still need blocks of their own (a
    // copy-on-write file system, or holes in the old file); a disk full at
    // that moment is a failure after old bytes changed, which puts them back
    // from the copy.
    if (newSize > oldSize && !bytes.Put(fd, oldSize, newSize, &left)) return giveBack(errno);
    left = std::max(oldSize, newSize);
    Report(WriteStep::Reserved, path);

    copyNeeded = true;
    bool written = bytes.Put(fd, 0, std::min(oldSize, newSize));
    int cause = written ? 0 : errno;
    if (written) {
        // Before the file takes its new length: one that another program took
        // away, or shortened or lengthened meanwhile, is neither cut nor padded,
        // nor reported saved.
        if (!LeadsTo(path, file)) return keepingCopy(kReplacedDuringRewriteError, 0);
        if (LengthOf(fd) != left) return keepingCopy(kChangedDuringRewriteError, 0);
        written = ::ftruncate(fd, newSize) == 0;
        if (written)
            left = newSize;
        else
            cause = errno;
    }
    if (written) {
        if (LeadsTo(path, file)) PutBackModeBits(fd, file);
        written = ::fsync(fd) == 0;
        if (!written) cause = errno;
    }
    if (written) Report(WriteStep::FileFlushed, path);
    // Not the file of this name any more: left as it is, closed untouched.
    if (!LeadsTo(path, file)) return keepingCopy(kReplacedDuringRewriteError, 0);
    if (!written) {
        if (LengthOf(fd) != left) return keepingCopy(kChangedDuringRewriteError, cause);
        if (CopyRange(copyFd, fd, 0, oldSize) && ::ftruncate(fd, oldSize) == 0 && ::fsync(fd) == 0) {
            copyNeeded = false;
            return Fail(cause);
        }
        return keepingCopy(kDamagedFileError, cause);
    }
    closeFile.Keep();
    ::close(fd);
    copyNeeded = false;
    dropCopy.Keep();
    ::close(copyFd);
    ::unlinkat(folderFd, copyName.c_str(), 0);
    return FlushFolderOfName(folderFd, path);
}

}  // namespace fsys::steps
