#pragma once
// Reading and writing .vxelem files (one big-endian "ELEM" chunk).

#include <string>

// Reads the file into the element document. False for a missing file, a name
// not ending in ".vxelem" (document untouched), a wrong tag, a damaged file or
// one larger than an element file can hold (document cleared); errno then
// says why the file could not be read (fsys::ReadFailureReason), 0 when it
// was read but is no element file.
bool LoadElementFile(const std::string& path);
// Writes the element document, appending ".vxelem" when the name lacks it;
// false when the file could not be written (the old file is then kept). One
// larger than an element file can be is refused before anything is written
// (errno fsys::kLargerThanItsKindError).
bool SaveElementFile(const std::string& path);
