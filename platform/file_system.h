#pragma once
// Whole-file reads and writes shared by every reader and writer of the program.
// Writing never loses the old file: the bytes go to a temporary file in the
// same folder and are flushed to the disk, the temporary file is renamed over
// the target, and the folder is flushed, so that a power cut at any moment
// leaves either the old file or the new one.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_block.h"

namespace fsys {

// The separator of this platform's paths; folders held in the program's state end in it.
inline constexpr char kPathSeparator = '/';

// The folder with the separator added when it does not end in one (an empty text stays empty).
std::string WithTrailingSeparator(std::string folder);

// Creates the folder and its missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& path);

bool FileExists(const std::string& path);  // a regular file (or a link to one)
bool FolderExists(const std::string& path);

// Reads the whole file; false when it does not exist or cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
bool ReadWholeFile(const std::string& path, std::string& text);
// The same without zero-filling the buffer first: the read fills it.
bool ReadWholeFile(const std::string& path, ByteBlock& bytes);

// Writes the whole file through a flushed temporary file, a rename and a
// flush of the folder; false (and the old file untouched) when writing or
// flushing the temporary file or the rename fails. A folder that cannot be
// flushed (some file systems refuse it) does not undo the write.
// A symbolic link stays a link: the file at the end of its chain is written
// (in that file's folder). A file replaced keeps its permission bits (and
// its owner and group where the system allows). Refused, nothing written: a
// file the user may not write or that has no write permission at all
// (read-only), and anything but a regular file (folder, device, pipe).
// The new file replaces the old one by a rename, so a file with further hard
// links is written under this name only; the other names keep the old bytes.
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

// The mkstemp template of the temporary file written beside fileName in
// folder: "<fileName>.XXXXXX", the name cut (before a whole UTF-8 character)
// so that the template fits the folder's file-name limit.
std::string TemporaryNameTemplate(const std::string& folder, const std::string& fileName);

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

// The steps of a write, in their order, for tests that watch them.
enum class WriteStep { FileFlushed, Renamed, FolderFlushed };
using WriteStepObserver = std::function<void(WriteStep step, const std::string& path)>;
// Called after each step of every later write; an empty function stops it.
void SetWriteStepObserver(WriteStepObserver observer);

// Deletes a file, ignoring every error.
void DeleteFileQuietly(const std::string& path);

// True when the two texts are equal but for ASCII letter case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when the path ends in the extension (given with its dot), compared
// without regard to ASCII case.
bool HasExtension(const std::string& path, std::string_view extension);

}  // namespace fsys
