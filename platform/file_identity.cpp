#include "platform/file_identity.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace fsys {

namespace {

// The absolute path with the links of its existing part followed, "." and
// ".." resolved and no trailing separator.
std::filesystem::path Resolved(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) absolute = path;
    fs::path resolved = fs::weakly_canonical(absolute, ec);
    if (ec) resolved = absolute;
    resolved = resolved.lexically_normal();
    if (!resolved.has_filename() && resolved != resolved.root_path()) resolved = resolved.parent_path();
    return resolved;
}

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    // A path holding a zero byte names no file on disk (the system would read it cut short).
    if (a.find('\0') != std::string::npos || b.find('\0') != std::string::npos) return false;
    struct stat first {}, second {};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0) {
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    }
    return Resolved(a) == Resolved(b);
}

}  // namespace fsys
