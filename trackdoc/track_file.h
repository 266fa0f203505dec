#pragma once
// Reading and writing .vxtrack files (big-endian chunk tree, magic "VRTX").

#include <string>

// Reads the file into the track document. False for a missing file, a name
// not ending in ".vxtrack" (document untouched), a wrong magic or a malformed
// file (document cleared).
bool LoadTrackFile(const std::string& path);

// Writes the track document, appending ".vxtrack" when the name lacks it. The
// old file is replaced only once the new one is completely written; false when
// the file could not be written (the old file is then left as it was).
bool SaveTrackFile(const std::string& path);
