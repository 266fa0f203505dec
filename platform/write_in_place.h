#pragma once
// The write in place: a save whose new file could not stand in for the old
// one (another user's file that this user may write; a folder that hands its
// own group to new files, of which this user is no member; an attribute only
// the file's owner may set) writes the old file itself, from the new bytes
// already produced. No old byte changes before they are kept and the room for
// the new ones is reserved:
// - the old bytes are copied to a file beside it (its name with a dot and six
//   characters added) and flushed with that copy's name;
// - the copy may be read by exactly those who may read the file: no entry of
//   the folder's default access list; the file's owner, group and permission
//   bits or access list where the system lets the user give them, else an
//   access list that names the file's owner and group;
// - the file's name is looked at again: where it no longer leads to the file,
//   another program moved it away, removed this name of it or put another
//   file in its place, and may own it now; the file gets nothing of this save,
//   not even a reservation, and the copy goes (kReplacedWhileSavingError);
// - the room for the new bytes is reserved (the file system reserves it where
//   it can; what the file grows by is written first, as the first new bytes);
// - the file is rewritten, takes its new length, and is flushed, and the copy
//   is removed.
// So a write in place needs room beside the file for the larger of the old
// and the new bytes (for both, and what the file grows by, beyond 64 MiB: the
// new bytes are then read from their temporary file, not held in memory).
// The file is held open from the first look, and from the reservation on it
// is touched only as long as it is as this save left it: its name still leads
// to it, and its length (fstat) is the one the save left. A failure before
// the rewrite (a disk that fills up) gives back the room reserved and leaves
// the file as it was; one during the rewrite (a disk full where the file
// system cannot reserve room ahead or writes every block anew, a failing
// disk) puts the old bytes back from the copy, and where even that fails the
// copy is left and errno is kDamagedFileError. Where another program took the
// file away (kReplacedDuringRewriteError) or changed its length
// (kChangedDuringRewriteError) meanwhile, the file is left as it is, none of
// its bytes cut or padded and no reservation given back, and the copy keeps
// the old bytes; so also where that is found just before the file takes its
// new length, and the save is not reported done. A write clears the file's
// set-ID bits; they are put back only while its name leads to it. A power cut
// during the rewrite leaves the copy. Every open of the file is made without
// waiting: a pipe or device put in its place is refused, never waited on.

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fsys::steps {

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
    bool Take(int from);
    // Writes the bytes [begin, end) to the same places in `to`; `reached`, where
    // given, is moved to the end of what was written, a failure's too.
    bool Put(int to, off_t begin, off_t end, off_t* reached = nullptr) const;
};

// Writes `bytes` into the file `fileName` in the folder open at `folderFd`
// (where the file is opened and its copy made), looked at as `old` and held
// open since, as said above; `path` is the name the save was given (the one
// its name must still lead to, and the one the steps are reported with), and
// `dir` the folder's path, which names the copy only where the system does not
// say where the folder held is now. False with errno the reason.
bool WriteInPlace(int folderFd, const std::filesystem::path& dir, const std::string& fileName,
                  const struct stat& old, const NewBytes& bytes, const std::string& path);

}  // namespace fsys::steps
