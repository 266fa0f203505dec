#include "platform/file_kinds.h"

#include <cerrno>

namespace fsys {

namespace {

thread_local FileKind tRefusedKind{"a file", 0};

}  // namespace

std::string BoundText(uint64_t bytes) {
    if (bytes != 0 && bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MiB";
    if (bytes != 0 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool FitsItsKind(uint64_t size, const FileKind& kind) {
    if (size <= kind.MostBytes) return true;
    tRefusedKind = kind;
    errno = kLargerThanItsKindError;
    return false;
}

FileKind RefusedFileKind() { return tRefusedKind; }

std::string LargerThanItsKindReason(const FileKind& kind) {
    return std::string("The file would be larger than ") + kind.Name + " can be (at most " + BoundText(kind.MostBytes) +
           ").";
}

}  // namespace fsys
