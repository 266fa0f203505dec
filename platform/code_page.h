#pragma once
// The one code page of every text the simulator reads or writes: the texts of
// track and element files, environment files, modeler sets and the names in
// 3D Studio files. It is ISO 8859-1, a single-byte code page that maps each
// byte to the character of its code (0 to 255) and back, so every byte of a
// file survives a read and a write unchanged.
//
// Inside the program texts are UTF-8, as the windows and the file system take
// them; on disk they are one byte per character. A text with a character the
// code page lacks cannot be stored: the callers refuse it before they write.
//
// Names on disk: a file or folder named in a simulator file may carry either
// spelling on this platform's disks, the program's UTF-8 or the single bytes
// the simulator wrote (a name that is no UTF-8); lookups try both.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cp {

// The length of the UTF-8 sequence starting at text[i] and its character;
// 0 when no whole, well-formed sequence (no overlong form, no surrogate)
// starts there.
size_t Utf8Sequence(std::string_view text, size_t i, uint32_t& code);
bool IsUtf8(std::string_view text);

// A file's bytes as the program's text: every byte one character.
std::string TextFromBytes(std::string_view bytes);
// The program's text as the file's bytes; nullopt when the text holds a
// character the code page lacks (or is no UTF-8).
std::optional<std::string> BytesFromText(std::string_view text);
// The same, a character the code page lacks (or a byte that is no UTF-8)
// written "?": always one byte per character.
std::string BytesOrMarks(std::string_view text);
// The number of bytes the text takes in a file: one per character.
size_t ByteCount(std::string_view text);

// True when the code page holds every character of the text.
bool CanHold(std::string_view text);
// The first character of the text that the code page lacks, as UTF-8 (for a
// text that is no UTF-8, its first stray byte); nullopt when it holds them all.
std::optional<std::string> FirstCharacterOutside(std::string_view text);

// True when the texts are equal but for the letter case of the code page's
// letters (A to Z and the accented letters: "É" and "é"), as the simulator
// compares the names it stores. Texts outside the code page compare their
// ASCII letters without case and every other byte exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// ---- Names on disk ---------------------------------------------------------

// The program's text of one name as the file system spells it: a UTF-8 name
// as it stands, any other read as single bytes of the code page.
std::string TextFromDiskName(std::string_view name);
// The same for each name of a path ("/" between the names).
std::string TextFromDiskPath(std::string_view path);

// The spellings a name of the program's text may have on disk, in the order
// to try them: the text itself, then its single bytes when they differ.
std::vector<std::string> DiskSpellings(const std::string& text);

// The path on disk that a path of the program's text denotes: each name along
// it in the first spelling that exists there (DiskSpellings); from the first
// name that exists in neither spelling on, the names stay as given.
std::string DiskPathOf(const std::string& textPath);

}  // namespace cp
