#pragma once
// A second whole-file byte buffer with little-endian readers, for crosstie
// object files and for copying texture files.

#include <cstdint>
#include <string>
#include <vector>

extern std::vector<uint8_t> gFileBuffer;

void ClearFileBuffer();
bool LoadFileToBuffer(const std::string& path);
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
