#pragma once
// The steps every save is built from, shared by the atomic write
// (file_system.cpp) and the write in place (write_in_place.cpp): bytes written
// whole at their place, a new file under a name no one can guess, the flush of
// a folder, the report of each step to the tests that watch, and what the
// message of a failed save says besides its errno. The reasons a save fails
// with, the steps the tests watch and the copy a failed write in place leaves
// are for every caller (file_system.h gives them with the writes); the steps
// themselves (fsys::steps) return false with errno the reason and are for the
// writes alone.

#include <sys/types.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fsys {

// The template of the name of a temporary file written beside fileName in
// the folder open at folderFd (for reading or only as a place):
// "<fileName>.XXXXXX" (the X's replaced at random), the name cut (before a
// whole UTF-8 character) so that the template fits the name limit of that
// folder's file system.
std::string TemporaryNameTemplate(int folderFd, const std::string& fileName);

// The steps of a write, in their order, for tests that watch them. A write
// in place reports Reserved once the copy of the old bytes is flushed, its
// name looked at again and the room for the new ones reserved, before any old
// byte changes; FileFlushed once the old file holds the new bytes and its new
// length, flushed, before the last check that its name still leads to it;
// FolderFlushed once the copy is gone.
enum class WriteStep { Reserved, FileFlushed, Renamed, FolderFlushed };
using WriteStepObserver = std::function<void(WriteStep step, const std::string& path)>;
// Called after each step of every later write; an empty function stops it.
void SetWriteStepObserver(WriteStepObserver observer);
// For tests that make the flush of a folder fail: called with the folder's
// descriptor in place of fsync, it returns 0 or the errno of the failure; an
// empty function gives the flush back to the system.
using FolderFlush = std::function<int(int folderFd)>;
void SetFolderFlushForTests(FolderFlush flush);
// For tests that make the reservation of a write in place fail or change the
// file meanwhile: called with the file's descriptor and the size to reserve
// in place of fallocate, it returns 0 or the errno of the failure; an empty
// function gives the reservation back to the system.
using Reservation = std::function<int(int fd, off_t size)>;
void SetReservationForTests(Reservation reserve);

// The errno of a file that has to be rewritten in place (see
// WriteFileAtomically) but that the user may not read: its old bytes cannot
// be kept.
inline constexpr int kUnreadableFileError = 10002;
// The errno of a file to rewrite in place that another program replaced or
// removed before any of its bytes changed: when it was opened, while its old
// bytes were copied, or when its name was looked at again just before its
// room is reserved (once the copy is flushed). Nothing was written into it,
// and no copy is left.
inline constexpr int kReplacedWhileSavingError = 10003;
// The errno of a file rewritten in place that its name no longer led to once
// its room was reserved (or the reservation failed), or its new bytes were
// written (or their write failed): another program moved it away, removed
// this name of it or put another file in its place, and may own it now.
// Nothing more was done to it: no byte written, not its old ones either, no
// length changed, no reservation given back, no set-ID bit put back. The copy
// beside the name holds its old bytes whole (OldBytesCopy).
inline constexpr int kReplacedDuringRewriteError = 10006;
// The errno of a file rewritten in place whose length another program changed
// once its room was reserved: found just before the file takes its new
// length, or before a failed write gives back its room or puts back the old
// bytes, where the file is no longer as long as this save left it. Its name
// still leads to it, but it is left as it is, neither cut nor padded, and the
// copy beside it holds its old bytes whole (OldBytesCopy).
inline constexpr int kChangedDuringRewriteError = 10009;
// The errno of a write in place that failed after old bytes of the file were
// overwritten, and that could not put them back either: the file is damaged,
// and the copy beside it holds the whole old bytes (OldBytesCopy).
inline constexpr int kDamagedFileError = 10004;
// The errno of a save whose file holds the new bytes under its name, but
// whose folder's flush failed (a disk error, a full disk): the disk did not
// confirm the name. The flush's own errno is kept for the message.
inline constexpr int kUnconfirmedNameError = 10007;
// The copy that holds the old bytes of the file that the last write of this
// thread to fail with kDamagedFileError, kReplacedDuringRewriteError or
// kChangedDuringRewriteError left beside it, named where it is when the write
// failed: by the path of the folder held open, so a folder that was moved or
// renamed meanwhile is named where it went. Empty before any.
std::string OldBytesCopy();

}  // namespace fsys

namespace fsys::steps {

// False with errno set to the reason.
inline bool Fail(int error) {
    errno = error;
    return false;
}

// What the message of the last failed save of this thread says besides its
// errno: the reason that came first (kDamagedFileError, kUnconfirmedNameError)
// and the copy that keeps the file's old bytes (kDamagedFileError,
// kReplacedDuringRewriteError, kChangedDuringRewriteError).
struct FailureDetail {
    int Cause = 0;
    std::string Copy;
};
const FailureDetail& LastFailureDetail();
// False with errno `error`, its cause and copy kept for the message.
bool FailWithDetail(int error, int cause, std::string copy);

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

// Makes sure that a write past the process's file-size limit fails with
// EFBIG instead of ending the process (IgnoreFileSizeSignal, file_system.h):
// once in each process, at the start of its first save.
void IgnoreFileSizeSignalOnce();

// The path under /proc through which the file or folder open at fd (for
// reading, writing or only as a place) is reached itself, never by its name.
std::string ProcPath(int fd);
// Where the file or folder open at fd is now (it may have been moved since it
// was opened); empty where the system does not say.
std::string HeldPath(int fd);
// Whether the user may write the file open at fd (only as a place, too), as
// access() judges it: looked at through the descriptor, not by a name.
bool MayWrite(int fd);

// Writes all of the bytes to the descriptor at its position.
bool WriteAll(int fd, const void* data, size_t size);
// Writes `size` bytes at `at` of the file open at fd; `reached`, where given,
// is moved to the end of what was written, a failure's too.
bool PutAll(int fd, const char* data, size_t size, off_t at, off_t* reached = nullptr);
// Copies the bytes [begin, end) of `from` to the same places in `to`, with
// `reached` as PutAll's; a file that ends before `end` was changed by someone
// else meanwhile (kReplacedWhileSavingError).
bool CopyRange(int from, int to, off_t begin, off_t end, off_t* reached = nullptr);
// Reserves room for the bytes [0, size) of the file open at fd without
// changing its length or any of its bytes, where its file system can
// (fallocate; SetReservationForTests); true where it cannot. False (errno the
// reason) may leave part of the room reserved past the file's end, which a
// truncate to its length gives back.
bool Reserve(int fd, off_t size);

// Creates a file in the folder open at `folderFd` from a template of its name
// ending in "XXXXXX", the six characters drawn at random (no one can guess
// the name ahead and place something there), with `mode` given to the
// system, which applies the umask or the folder's default access list; never
// through a link. The descriptor and the name made (in that folder), or -1.
int CreateUnique(int folderFd, const std::string& tmpl, mode_t mode, std::string& name);

// What flushing a folder's entries to the disk gave.
enum class Flush { Done, Impossible, Failed };
// Flushes the entries of the folder open at `folderFd` to the disk.
// Impossible where it is open only as a place (O_PATH: the user may write it
// but not list it) or its file system cannot flush folders; Failed (errno
// the reason) where the disk did not confirm them.
Flush FlushFolder(int folderFd);
// Flushes the folder of a file that holds its new bytes under its name, the
// last step of a save: kUnconfirmedNameError (the system's reason kept) where
// it fails.
bool FlushFolderOfName(int folderFd, const std::string& path);

// Tells the tests that watch that a write of `path` took the step.
void Report(WriteStep step, const std::string& path);

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

}  // namespace fsys::steps
