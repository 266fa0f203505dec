#pragma once
// File-version information of a Windows executable: its version resource, and
// the values in it named by a path of block keys, as the platform's version
// API gives them.
//
// A version block is: its total length, its value's length (in 16-bit
// characters for text, in bytes for binary values), its type (1 text, 0
// binary), its key as UTF-16 text ending in a zero, padding to a multiple of
// four bytes, its value, padding, then its child blocks, each starting on a
// multiple of four bytes. "\StringFileInfo\040904E4\CompanyName" names the
// value of the block CompanyName in the block 040904E4 in the block
// StringFileInfo of the root; "\" alone names the root's own value. A key of
// the path matches a child's key over its whole length without regard to
// case; the first match wins.

#include <cstdint>
#include <string>
#include <vector>

// The size of the file's version information: 0 when the file cannot be read,
// is not an executable, or has none; errno then says why the file could not
// be read (fsys::ReadFailureReason with fsys::kProgramFile), and is 0 when it
// was read.
uint32_t GetVersionInfoSize(const std::string& path);

// The file's version information (the version resource's bytes); false when
// there is none, errno as for GetVersionInfoSize.
bool GetVersionInfo(const std::string& path, std::vector<uint8_t>& info);

// A value found in the version information: its bytes (for text, UTF-16 up to
// the end of the block) and whether it is text.
struct VersionValue {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    bool IsText = false;
};

// Looks up the value named by the path of keys; false when a key is not found
// or a block does not fit inside its parent.
bool QueryVersionValue(const std::vector<uint8_t>& info, const std::string& path, VersionValue& value);

// A text value as UTF-8, up to its first zero character and at most maxChars characters.
std::string VersionValueText(const VersionValue& value, size_t maxChars = 254);
