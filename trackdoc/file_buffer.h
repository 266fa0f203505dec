#pragma once
// A second whole-file byte buffer with little-endian readers, for crosstie
// object files and for copying texture files.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_size_limits.h"

extern std::vector<uint8_t> gFileBuffer;

void ClearFileBuffer();
// Reads the whole file into the buffer, at most what its kind can hold; false,
// the buffer as it was, when it is missing or cannot be read (errno says why).
bool LoadFileToBuffer(const std::string& path, const fsys::FileKind& kind);
// Replaces the file only once the new content is completely written; false on
// an empty path or a write failure.
bool SaveBufferToFile(const std::string& path);

// Little-endian readers. A read past the end returns 0 and sets the failure
// flag, which callers test before they trust what they read.
bool FileBufReadFailed();
void FileBufResetReadError();
int32_t FileBufReadLong(int32_t& cursor);
float FileBufReadSingle(int32_t& cursor);
std::string FileBufReadTag(int32_t& cursor);
