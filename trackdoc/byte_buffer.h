#pragma once
// Big-endian primitives over gTrackBuffer for the track and element files.
// The cursor is owned by the caller and advanced by each primitive.
//
// Reads never go past the end of the buffer: a read that would is refused,
// returns a zero value (the empty text for strings), moves the cursor to the
// end of the buffer and leaves the reader's failure flag set, so the loader
// can give up and report the file as corrupt.
//
// Writes grow the buffer so that its length is always the index just past the
// last byte written (the bytes handed to the file are exactly those written).

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
// The next n bytes as the program's text: each byte one character of the
// simulator's code page (platform/code_page.h), so the text is UTF-8 and
// writes back as the same n bytes. n <= 0 reads nothing and gives the empty
// text. A text longer than what is left fails the read.
std::string BufReadString(int32_t& cursor, int32_t n);
// Four bytes, upper-cased (ASCII letters), so tags match whatever their case.
std::string BufReadTag(int32_t& cursor);
// Moves the cursor over n bytes without reading them; a negative n or one that
// passes the end of the buffer fails the read.
void BufSkip(int32_t& cursor, int64_t n);
// Bytes left between the cursor and the end of the buffer (0 past the end).
int64_t BufBytesLeft(int32_t cursor);
// Reads count big-endian Singles into out in one pass (the terrain rows).
void BufReadSingles(int32_t& cursor, float* out, size_t count);

void BufWriteByte(int32_t& cursor, uint8_t value);
void BufWriteLong(int32_t& cursor, int32_t value);
void BufWriteSingle(int32_t& cursor, float value);
void BufWriteColor(int32_t& cursor, int32_t color);
// The text in the simulator's code page, one byte per character
// (cp::ByteCount(text) bytes, the length the formats store in front of it); a
// character the code page lacks is written "?" (the writers refuse such texts
// before they write).
void BufWriteString(int32_t& cursor, const std::string& text);
void BufWriteTag(int32_t& cursor, const char* tag);
void BufWriteZeros(int32_t& cursor, int32_t n);
// Writes count Singles big-endian in one pass.
void BufWriteSingles(int32_t& cursor, const float* values, size_t count);
