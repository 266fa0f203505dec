#pragma once
// Whether two paths name the same file, the one rule for every "is this the
// file that is open" check.

#include <string>

namespace fsys {

// True when the two paths name the same file or folder: where both exist, the
// same device and inode once symbolic links are followed (a link, a hard link
// or another spelling of the path is the same file); where either does not
// exist yet, the same absolute path once the links of its existing part are
// followed and "." and ".." resolved (a trailing "/" aside). False when either
// is empty or holds a zero byte.
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace fsys
