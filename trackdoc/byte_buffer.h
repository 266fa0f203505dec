#pragma once
// Big-endian primitives over gTrackBuffer for the track and element files.
// The cursor is owned by the caller and advanced by each primitive.
//
// Reads never go past the end of the buffer: a read that would is refused,
// returns a zero value, and leaves the reader's failure flag set so the loader
// can give up and report the file as corrupt.

#include <cstdint>
#include <string>
#include <vector>

// True after any read that would have gone past the end of gTrackBuffer since
// the last BufResetReadError.
bool BufReadFailed();
void BufResetReadError();

uint8_t BufReadByte(int32_t& cursor);
int32_t BufReadLong(int32_t& cursor);
float BufReadSingle(int32_t& cursor);
int32_t BufReadColor(int32_t& cursor);
std::string BufReadString(int32_t& cursor, int32_t n);
std::string BufReadTag(int32_t& cursor);

void BufWriteByte(int32_t& cursor, uint8_t value);
void BufWriteLong(int32_t& cursor, int32_t value);
void BufWriteSingle(int32_t& cursor, float value);
void BufWriteColor(int32_t& cursor, int32_t color);
void BufWriteString(int32_t& cursor, const std::string& text);
void BufWriteTag(int32_t& cursor, const char* tag);
void BufWriteZeros(int32_t& cursor, int32_t n);
