#pragma once
// Reading and writing .vxtrack files (big-endian chunk tree, magic "VRTX").

#include <string>

// Reads the file into the track document. False for a missing file, a name
// not ending in ".vxtrack" (document untouched), a wrong magic, a malformed
// file or one larger than a track file can hold (document cleared); errno then
// says why the file could not be read (fsys::ReadFailureReason), 0 when it was
// read but is no track file.
bool LoadTrackFile(const std::string& path);

// Writes the track document, appending ".vxtrack" when the name lacks it. The
// old file is replaced only once the new one is completely written; false when
// the file could not be written (the old file is then left as it was). A
// track that would make a file larger than a track file can be is refused
// before anything is written, errno fsys::kLargerThanItsKindError.
bool SaveTrackFile(const std::string& path);
