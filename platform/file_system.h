#pragma once
// Whole-file reads and writes shared by every reader and writer of the program,
// and why one failed. Writing never loses the old file: the bytes go to a
// temporary file in the same folder and are flushed to the disk, the temporary
// file is renamed over the target, and the folder is flushed, so that a power
// cut at any moment leaves either the old file or the new one. Where a new
// file could not be made to look like the old one to its users, the old file
// is written in place (write_in_place.h). Which links are followed and which
// files are written in shared folders is said in shared_folders.h; the bound
// of each kind of file read whole in file_size_limits.h and file_kinds.h.

#include <cerrno>  // the reason a write failed
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

#include "platform/byte_block.h"
#include "platform/file_kinds.h"
#include "platform/shared_folders.h"
#include "platform/write_way.h"  // the way a write goes, and the superuser's refusal
#include "platform/write_steps.h"  // the reasons of a failed write, and the steps tests watch

namespace fsys {

// The separator of this platform's paths; folders held in the program's state end in it.
inline constexpr char kPathSeparator = '/';

// The folder with the separator added when it does not end in one (an empty text stays empty).
std::string WithTrailingSeparator(std::string folder);

// Creates the folder and its missing parents; true when it exists afterwards
// (else errno says why). Each missing level is made in the one held open
// above it, as the way to it allows (MakeFoldersToWrite, write_way.h): the
// superuser's run makes nothing under another user's folder or link.
bool CreateFolders(const std::string& path);

bool FileExists(const std::string& path);  // a regular file (or a link to one)
bool FolderExists(const std::string& path);

// Reads the whole file, at most the bytes its kind can hold (file_size_limits.h);
// false, the buffer untouched, when it does not exist or cannot be read, and
// errno says why: besides the system's own reasons EISDIR (a folder), ENXIO
// (a device, pipe or socket) and EFBIG (a file larger than its kind can hold,
// refused before any of it is read; a file that grows while it is read is
// caught too).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, const FileKind& kind);
bool ReadWholeFile(const std::string& path, std::string& text, const FileKind& kind);
// The same without zero-filling the buffer first: the read fills it.
bool ReadWholeFile(const std::string& path, ByteBlock& bytes, const FileKind& kind);
// The same, with the file read as it was looked at once open (`opened`: its
// owner, group and mode are those of the bytes read).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, const FileKind& kind, struct stat& opened);
// The same for the regular file open at fd, read from where it stands.
bool ReadOpenFile(int fd, std::vector<uint8_t>& bytes, const FileKind& kind);
#ifdef GW_TESTS_READ_ANY_KIND
// The tests read back the files they wrote without naming a kind.
inline constexpr FileKind kFileOfATest{"a file of a test", 1024 * kMegabyte};
inline bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    return ReadWholeFile(path, bytes, kFileOfATest);
}
inline bool ReadWholeFile(const std::string& path, std::string& text) { return ReadWholeFile(path, text, kFileOfATest); }
inline bool ReadWholeFile(const std::string& path, ByteBlock& bytes) { return ReadWholeFile(path, bytes, kFileOfATest); }
#endif
// Why a whole file could not be read, as the sentence a message shows after its
// first line, from the errno ReadWholeFile left ("The file is larger than a
// track file can be (at most 64 MiB)." and the like); empty for 0.
std::string ReadFailureReason(int error, const FileKind& kind);

// The writes of a kind of file read whole never make a file that its reader
// would refuse (file_kinds.h): WriteFileAtomically (below) of a file of the
// kind is refused with kLargerThanItsKindError, nothing made or written, when
// it would be larger than the kind can hold.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, const FileKind& kind);
inline bool WriteFileAtomically(const std::string& path, std::string_view text, const FileKind& kind) {
    return WriteFileAtomically(path, text.data(), text.size(), kind);
}
inline bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, const FileKind& kind) {
    return WriteFileAtomically(path, bytes.data(), bytes.size(), kind);
}
inline bool WriteFileAtomically(const std::string& path, const ByteBlock& bytes, const FileKind& kind) {
    return WriteFileAtomically(path, bytes.data(), bytes.size(), kind);
}

// Writes the whole file through a flushed temporary file, a rename and a
// flush of the folder; false (and the old file untouched) when writing or
// flushing the temporary file or the rename fails. A flush of the folder
// that fails (a disk error, a full disk) fails the write with
// kUnconfirmedNameError: the new file has its name, but the disk did not
// confirm it. A folder that cannot be flushed (the user may not list it, or
// its file system cannot flush folders) does not undo the write.
// A symbolic link stays a link: the file at the end of its chain is written
// (in that file's folder). The way to it is found as write_way.h says: an
// ordinary user's links are followed as the system follows them, but a path
// through a link that another user placed in a shared folder
// (kForeignLinkError, shared_folders.h) is refused, nothing written and
// nothing made; so is a file that another user placed in a shared folder
// (kForeignFileError); the superuser's run writes nothing where a folder or
// link on the way is another user's (kAnotherUsersWayError).
// A new file is made as every program makes one: mode 0666 given to the
// system, which applies the umask or the folder's default access list, under
// a name no one can guess and never through a link; it is its writer's. The
// file's folder is held from the first look: the temporary file is made,
// renamed and its name flushed in that folder.
// A file replaced keeps who may use it: its owner, its group, every mode bit
// (set-user-ID, set-group-ID and sticky included, set once the bytes are
// written, since a write clears them), its access list and its other extended
// attributes. The old file is held open from the first look on, and all of
// these, and whether the user may write it, are taken from the file opened,
// never by its name again: a file that another program renames over it
// meanwhile gives the new file nothing. Where the new file cannot take one of
// them (the file of another user that this user may write; a folder that
// hands its own group to new files, of which this user is no member; an
// attribute only its owner may set), the old file itself is written in place
// instead (write_in_place.h): no old byte changes before a copy beside it
// holds them and the room for the new ones is reserved; a failure after that
// puts them back (else kDamagedFileError, the copy left); a file that another
// program took away before its room was reserved gets nothing
// (kReplacedWhileSavingError, the copy dropped), one taken away later nothing
// more (kReplacedDuringRewriteError, the copy left), and one whose length
// another program changed meanwhile is neither cut nor padded
// (kChangedDuringRewriteError, the copy left).
// The system may still clear a set-user-ID or set-group-ID bit that the user
// is not allowed to keep, as it does for every write by another user.
// Refused, nothing written: a file the user may not write or that has no
// write permission at all (read-only), anything but a regular file (folder,
// device, pipe), a chain of links that loops or that passes another user's
// link in a shared folder, another user's file in a shared folder, and a file
// written in place whose old bytes cannot be read or copied.
// On failure errno holds the reason, kept through the clean-up: the system's
// own, or for the refusals above EROFS (a read-only file), EISDIR (a folder),
// ENXIO (a device, pipe or socket), ELOOP (links that loop), EFBIG (past the
// process's file-size limit, ulimit -f: see IgnoreFileSizeSignal),
// kForeignLinkError, kForeignFileError, kUnreadableFileError (a file to
// rewrite in place that the user may write but not read),
// kReplacedWhileSavingError (the file was replaced or removed before any of
// its bytes changed), kReplacedDuringRewriteError, kChangedDuringRewriteError,
// kDamagedFileError and kUnconfirmedNameError; a producer that gives up leaves
// whatever errno it set (0 when none). A failed save leaves nothing beside
// the file but the copy of its old bytes that kReplacedDuringRewriteError,
// kChangedDuringRewriteError and kDamagedFileError name.
// Where the new file replaces the old one by a rename, a file with further
// hard links is written under this name only; the other names keep the old
// bytes. A write in place reaches every name.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);
// The same for a file written piece by piece: `produce` hands its pieces, in
// order, to the function it is given, which returns false once a write failed;
// produce returns false to give the write up (the old file stays then).
using ByteWriter = std::function<bool(const void* data, size_t size)>;
bool WriteFileAtomically(const std::string& path, const std::function<bool(const ByteWriter&)>& produce);
inline bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}
inline bool WriteFileAtomically(const std::string& path, const ByteBlock& bytes) {
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}
inline bool WriteFileAtomically(const std::string& path, std::string_view text) {
    return WriteFileAtomically(path, text.data(), text.size());
}

// A write past the process's file-size limit (ulimit -f) raises SIGXFSZ,
// whose default ends the process, the user's edit with it: where the signal
// still has its default, it is ignored from then on, and such a write fails
// with EFBIG instead. The program calls this first thing; every save also
// makes sure of it, once in each process, before it makes anything, so that
// no user of these writes is ended by the limit. A handler or disposition
// that the process set itself is kept.
void IgnoreFileSizeSignal();

// The path a save to `path` writes: `extension` (given with or without its
// dot) appended unless the file name already ends in it, letter case ignored;
// the writers of the program's own files all add their extension this way
// ("v1.2" gives "v1.2.vxtrack", "loop.VXTRACK" stays). An empty file name or
// extension leaves the path as it is.
std::string SavePathWithExtension(const std::string& path, std::string_view extension);

// A scratch file for bytes too many to hold in memory: created in the folder
// of `besidePath` (so on the same disk as the file it will end up in) and
// removed from the folder at once, so nothing is left behind however the
// program ends. Opened for reading and writing; nullptr when it cannot be made.
std::FILE* OpenScratchFileBeside(const std::string& besidePath);

// Why a write failed, as the sentence a message shows after its first line,
// from the errno the failed write left: "The disk is full." and the like;
// empty for 0 (no reason known). For kDamagedFileError: the reason of the
// failed write, then that the file is damaged and the copy that holds its old
// bytes (OldBytesCopy); for kReplacedDuringRewriteError, that another program
// replaced or removed the file and the copy; for kChangedDuringRewriteError,
// that another program changed the file and the copy; for
// kUnconfirmedNameError, the reason of the failed flush, then that the disk
// did not confirm the file's name and that the file holds the new bytes.
std::string WriteFailureReason(int error);

// Deletes a file, ignoring every error; errno stays as it was (a clean-up
// after a failed write keeps its reason).
void DeleteFileQuietly(const std::string& path);

// True when the two texts are equal but for ASCII letter case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when the path ends in the extension (given with its dot), compared
// without regard to ASCII case.
bool HasExtension(const std::string& path, std::string_view extension);

}  // namespace fsys
