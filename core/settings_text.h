#pragma once
// The settings-text engine: key=value text files with ";" comments and
// "[Section]" headers, held whole in one shared string, gIniBuffer. Readers
// search the buffer for a key (sections do not scope keys: the first line of
// the key wins); builders only append lines; load and save move the whole
// buffer between the string and a file. Used by the settings file, the modeler
// settings sets and the simulator's environment files, one at a time.
//
// Lookup: a key is found on a line that starts with it (after CR LF or LF, so
// never on the buffer's first line), letter case ignored, followed by nothing
// but blanks before its "=". "File1" therefore does not find "File10=...".
// The value is the rest of the line after the "=", trimmed of control
// characters and blanks. Lines are written with CR LF.
//
// Values are written exactly as given: texts (paths, file names) keep their
// commas, numbers are written with "." (NumberText), booleans as True/False.

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/number_formats.h"
#include "platform/file_size_limits.h"

extern std::string gIniBuffer;

// Reads the file whole, at most what its kind can hold (file_size_limits.h);
// false, the buffer untouched, when no file exists at Path or it cannot be
// read, and errno says why (ENOENT for a missing file).
bool IniLoadFile(const std::string& Path, const fsys::FileKind& Kind);
// Writes the buffer as the file's whole content through a temporary file and a
// rename; false, the old file untouched, when that fails, and errno says why
// (fsys::WriteFailureReason). A buffer larger than its kind can hold is
// refused before anything is written (fsys::kLargerThanItsKindError): the
// program never saves a file that IniLoadFile would refuse.
bool IniSaveFile(const std::string& Path, const fsys::FileKind& Kind);
std::string IniGetBuffer();
void IniSetBuffer(std::string_view Text);

// The text without leading and trailing characters whose code is below 33.
std::string TrimControlChars(std::string_view Text);

// True and Value := the value's text when the key is found; false, Value untouched, otherwise.
bool IniReadVariant(std::string_view Key, std::string& Value);
// The value's leading number rounded to the nearest integer (halves to even),
// held to the 32-bit range; 0 when the key is missing.
int32_t IniReadInt(std::string_view Key);
// The value's leading number after every "," has become "."; 0 when missing.
double IniReadFloat(std::string_view Key);
// True iff the value starts with "t" or "T"; false when missing.
bool IniReadBool(std::string_view Key);
// The value; empty when missing.
std::string IniReadString(std::string_view Key);

// Empties the buffer; a non-empty Text becomes its first line's text, with ";"
// put in front unless it starts with one (no line end is added).
void IniNewBuffer(std::string_view Text);
// Appends CR LF, "[", Name, "]", CR LF.
void IniAddSection(std::string_view Name);
// Appends Key, "=", the value's text, CR LF.
void IniWriteValue(std::string_view Key, std::string_view Value);
inline void IniWriteValue(std::string_view Key, const char* Value) { IniWriteValue(Key, std::string_view(Value)); }
inline void IniWriteValue(std::string_view Key, const std::string& Value) {
    IniWriteValue(Key, std::string_view(Value));
}
inline void IniWriteValue(std::string_view Key, double Value) { IniWriteValue(Key, NumberText(Value)); }
inline void IniWriteValue(std::string_view Key, float Value) { IniWriteValue(Key, NumberText(Value)); }
inline void IniWriteValue(std::string_view Key, bool Value) { IniWriteValue(Key, Value ? "True" : "False"); }
template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>)
void IniWriteValue(std::string_view Key, T Value) {
    IniWriteValue(Key, std::to_string(Value));
}
// Appends Key, "=True" or "=False", CR LF.
void IniWriteBool(std::string_view Key, bool Value);
// Appends ";", Text, CR LF.
void IniWriteComment(std::string_view Text);
// Appends Text, CR LF.
void IniWriteLine(std::string_view Text);
