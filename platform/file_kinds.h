#pragma once
// The rules on the bounds of the kinds of file read whole (file_size_limits.h
// gives each kind's bound and why): how a bound is written in a message, and
// the refusal of a write larger than its kind can hold, made before anything
// is written, so that every file of such a kind that the program saves opens
// again.

#include <cstdint>
#include <string>

#include "platform/file_size_limits.h"

namespace fsys {

// A kind's bound as the messages give it: "64 MiB", "512 KiB", "8 bytes"
// (1 MiB is 2^20 bytes).
std::string BoundText(uint64_t bytes);

// True when `size` bytes fit the kind; else false with errno
// kLargerThanItsKindError, the kind kept for WriteFailureReason. A writer that
// knows its size before it builds its bytes asks this first; the writes of a
// kind (fsys::WriteFileAtomically with the kind) ask it for every file.
bool FitsItsKind(uint64_t size, const FileKind& kind);
// The errno of a write refused because the file would be larger than its kind
// can hold; WriteFailureReason says "The file would be larger than a track
// file can be (at most 64 MiB)." and the like, for the kind of the last write
// of this thread so refused (RefusedFileKind).
inline constexpr int kLargerThanItsKindError = 10010;
FileKind RefusedFileKind();
// The sentence of that refusal for the kind.
std::string LargerThanItsKindReason(const FileKind& kind);

}  // namespace fsys
