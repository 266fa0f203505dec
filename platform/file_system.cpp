#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/write_in_place.h"
#include "platform/write_steps.h"

namespace fsys {

namespace fs = std::filesystem;
using namespace steps;

std::string WithTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
    return folder;
}

bool CreateFolders(const std::string& path) {
    const int folder = MakeFoldersToWrite(path);
    if (folder < 0) return false;
    ::close(folder);
    return true;
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

// Reads the whole regular file open at fd into out (untouched on failure),
// refusing with EFBIG a file larger than the kind's bound: first by its size,
// before anything is read, then by what the reads bring, so that a file that
// grows meanwhile is read at most one byte beyond the bound. `opened` (when
// given) gets the file as it was looked at.
template <typename Container>
bool ReadFrom(int fd, Container& out, const FileKind& kind, struct stat* opened) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
    if (!S_ISREG(st.st_mode)) return Fail(ENXIO);
    const uint64_t most = kind.MostBytes;
    if (static_cast<uint64_t>(st.st_size) > most) return Fail(EFBIG);
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
    if (!resize(static_cast<uint64_t>(st.st_size) + 1)) return Fail(ENOMEM);
    size_t have = 0;
    for (;;) {
        if (have == data.size()) {
            if (have > most) return Fail(EFBIG);
            // The file has grown since its size was taken.
            if (!resize(std::min<uint64_t>(most + 1, uint64_t{have} * 2))) return Fail(ENOMEM);
        }
        const ssize_t n = ::read(fd, data.data() + have, data.size() - have);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        have += static_cast<size_t>(n);
    }
    data.resize(have);
    out.swap(data);
    if (opened) *opened = st;
    return true;
}

// Reads the whole file at `path` as ReadFrom does.
template <typename Container>
bool ReadInto(const std::string& path, Container& out, const FileKind& kind, struct stat* opened = nullptr) {
    if (path.empty()) return Fail(ENOENT);
    // Looked at before it is opened: opening a device may do something of its own.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) return false;
    if (S_ISDIR(before.st_mode)) return Fail(EISDIR);
    if (!S_ISREG(before.st_mode)) return Fail(ENXIO);
    if (static_cast<uint64_t>(before.st_size) > kind.MostBytes) return Fail(EFBIG);
    // Without waiting, should a pipe have taken the file's place since.
    const HeldDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    return fd.Get() >= 0 && ReadFrom(fd.Get(), out, kind, opened);
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

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, const FileKind& kind, struct stat& opened) {
    return ReadInto(path, bytes, kind, &opened);
}

bool ReadOpenFile(int fd, std::vector<uint8_t>& bytes, const FileKind& kind) {
    return ReadFrom(fd, bytes, kind, nullptr);
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

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, const FileKind& kind) {
    return FitsItsKind(size, kind) && WriteFileAtomically(path, data, size);
}

std::FILE* OpenScratchFileBeside(const std::string& besidePath) {
    fs::path dir = fs::path(besidePath).parent_path();
    if (dir.empty()) dir = ".";
    const int folder = OpenFolderToWrite(dir.string());
    if (folder < 0) return nullptr;
    std::string name;
    const int fd = CreateUnique(folder, ".gw-scratch.XXXXXX", 0600, name);
    if (fd >= 0) ::unlinkat(folder, name.c_str(), 0);
    ::close(folder);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "w+b");
    if (!f) ::close(fd);
    return f;
}

namespace {

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

// Gives the file open at `fd` the extended attributes of the file open at
// `fromFd` (only as a place, too), its access list among them, and no
// others: read through that descriptor, never by the file's name, which
// another program may have given to another file since it was opened.
bool CopyExtendedAttributes(int fromFd, int fd) {
    // The path under /proc leads to the open file itself; the f... calls refuse a descriptor open only as a place.
    const std::string from = ProcPath(fromFd);
    const auto wanted = AttributeNames([&](char* list, size_t size) { return ::listxattr(from.c_str(), list, size); });
    const auto present = AttributeNames([&](char* list, size_t size) { return ::flistxattr(fd, list, size); });
    if (!wanted || !present) return false;
    for (const std::string& name : *present) {
        if (std::find(wanted->begin(), wanted->end(), name) == wanted->end() && ::fremovexattr(fd, name.c_str()) != 0)
            return false;
    }
    for (const std::string& name : *wanted) {
        const auto value = SizedValue(
            [&](char* data, size_t size) { return ::getxattr(from.c_str(), name.c_str(), data, size); });
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

// Gives the new file open at `fd` what decides who may use the old one, open
// at `oldFd` and looked at as `old`: owner, group, extended attributes (the
// access list among them) and every mode bit. False when the system does not
// let this user's new file take one of them.
bool TakeAttributesOf(int oldFd, const struct stat& old, int fd) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return false;
    // The group a new file gets depends on the folder, not only on the user.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, now.st_uid == old.st_uid ? static_cast<uid_t>(-1) : old.st_uid,
                 now.st_gid == old.st_gid ? static_cast<gid_t>(-1) : old.st_gid) != 0)
        return false;
    // After the owner: a change of owner takes attributes (and set-ID bits) away.
    if (!CopyExtendedAttributes(oldFd, fd) || ::fchmod(fd, old.st_mode & 07777) != 0) return false;
    // The system drops a set-group-ID bit of a group the user is no member of.
    return ::fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(const ByteWriter&)>& produce) {
    IgnoreFileSizeSignalOnce();
    if (path.empty()) return Fail(ENOENT);
    // A link stays a link: the file it leads to is the one written. The
    // folder the way to it ends at is held from the first look on: the file
    // is looked at, and the temporary file made, renamed and flushed, in that
    // one folder.
    WriteWay way;
    if (!FindWriteWay(path, true, way)) return false;
    const fs::path target = way.Path();
    const fs::path dir = way.Folder;
    const std::string fileName = way.Name;
    const HeldDescriptor folder = std::move(way.FolderFd);
    // The old file is held from the first look on: no new file gets its
    // number meanwhile, so one put in its place is told from it.
    const HeldDescriptor held(::openat(folder.Get(), fileName.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    const bool replacing = held.Get() >= 0;
    if (!replacing && errno != ENOENT) return false;
    struct stat old {};
    if (replacing) {
        if (::fstat(held.Get(), &old) != 0) return false;
        // A link in its place since the chain was followed.
        if (S_ISLNK(old.st_mode)) return Fail(kReplacedWhileSavingError);
        // Folders, devices and pipes are never replaced; nor is a file the
        // user may not write, or one marked read-only (no write permission for
        // anyone, which would not stop the superuser), or one that another
        // user placed in a shared folder.
        if (S_ISDIR(old.st_mode)) return Fail(EISDIR);
        if (!S_ISREG(old.st_mode)) return Fail(ENXIO);
        if ((old.st_mode & 0222) == 0) return Fail(EROFS);
        if (!MayWrite(held.Get())) return false;
        if (PlacedByAnother(folder.Get(), old.st_uid)) return Fail(kForeignFileError);
    }
    // A new file is made as every program makes one; one that replaces a file
    // stays the user's alone until it has taken that file's owner and mode.
    std::string name;
    const int fd = CreateUnique(folder.Get(), TemporaryNameTemplate(folder.Get(), fileName), replacing ? 0600 : 0666, name);
    if (fd < 0) return false;
    bool open = true, named = true;
    UnlessKept dropTemporary([&] {
        if (open) ::close(fd);
        if (named) ::unlinkat(folder.Get(), name.c_str(), 0);
    });
    if (!Produce(fd, produce)) return false;
    // Owner, group, attributes and mode after the bytes: a write clears set-ID bits.
    if (replacing && !TakeAttributesOf(held.Get(), old, fd)) {
        // The new file cannot stand in for the old one: the old file is
        // written itself, from the bytes produced, which need no name.
        named = false;
        ::unlinkat(folder.Get(), name.c_str(), 0);
        NewBytes bytes;
        if (bytes.Take(fd)) {
            open = false;
            ::close(fd);
        } else if (bytes.fd < 0) {
            return false;
        }
        return WriteInPlace(folder.Get(), dir, fileName, old, bytes, path);
    }
    // The new bytes are on the disk before they take the old file's name.
    if (::fsync(fd) != 0) return false;
    open = false;
    if (::close(fd) != 0) return false;
    Report(WriteStep::FileFlushed, path);
    if (::renameat(folder.Get(), name.c_str(), folder.Get(), fileName.c_str()) != 0) return false;
    dropTemporary.Keep();
    Report(WriteStep::Renamed, path);
    // The file is there, but only a flushed folder keeps its name on the disk.
    return FlushFolderOfName(folder.Get(), path);
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
        case kAnotherUsersWayError: return ForeignEntryReason(LastForeignEntry());
        case kForeignFileError:
            return "The path names a file that another user placed in a shared folder; such a file is not "
                   "written.";
        case kUnreadableFileError:
            return "The file has to be rewritten in place, and its old bytes cannot be read to keep them.";
        case kReplacedWhileSavingError: return "Another program replaced or removed the file while it was saved.";
        case kReplacedDuringRewriteError:
            return WriteFailureReason(kReplacedWhileSavingError) + " Its old bytes are kept in \"" +
                   LastFailureDetail().Copy + "\".";
        case kChangedDuringRewriteError:
            return "Another program changed the file while it was saved. Its old bytes are kept in \"" +
                   LastFailureDetail().Copy + "\".";
        case kDamagedFileError:
            return AfterCause(LastFailureDetail().Cause) +
                   "The file is damaged: its old bytes could not be put back. They are kept in \"" +
                   LastFailureDetail().Copy + "\".";
        case kUnconfirmedNameError:
            return AfterCause(LastFailureDetail().Cause) +
                   "The disk did not confirm the file's name; the file holds the new bytes, written but not confirmed.";
        default: return "The system says: " + std::generic_category().message(error) + ".";
    }
}

void DeleteFileQuietly(const std::string& path) {
    const int error = errno;
    (void)RemoveEntry(path);
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
