#pragma once
// Resources of a Windows executable (PE32 or PE32+), read from the file's bytes:
// the DOS header leads to the PE header, the optional header's resource
// directory (data directory 2) is mapped to the file through the section
// table, and the resource tree is walked type, name, language. Every offset
// and size is checked against the file: a file that is not a PE image, or one
// whose tables point outside it, simply has no resources.

#include <cstdint>
#include <vector>

namespace pe {

inline constexpr uint32_t kResourceIcon = 3;
inline constexpr uint32_t kResourceGroupIcon = 14;
inline constexpr uint32_t kResourceVersion = 16;

// The data of a resource of the given numeric type: of the entry with the given
// numeric id, or of the first entry when id is negative; always its first
// language. False, data untouched, when there is none (or no memory for it).
bool FindResource(const std::vector<uint8_t>& image, uint32_t type, int32_t id, std::vector<uint8_t>& data);

// The first icon group of the image as the bytes of an .ico file (its icons
// gathered from the icon resources the group names, each copied once). False
// when the image has no icon group or one of its icons is missing, when the
// group names one icon twice or two of its icons are the same bytes, and when
// its icons together are larger than the image holding them or than an .ico
// file's 32-bit offsets can reach. Never throws: failure is false.
bool ExtractIconFile(const std::vector<uint8_t>& image, std::vector<uint8_t>& ico);

}  // namespace pe
