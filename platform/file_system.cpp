#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <climits>
#include <filesystem>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fsys {

namespace fs = std::filesystem;

std::string WithTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
    return folder;
}

bool CreateFolders(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    fs::create_directories(path, ec);
    return FolderExists(path);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

namespace {

WriteStepObserver gWriteStepObserver;

void Report(WriteStep step, const std::string& path) {
    if (gWriteStepObserver) gWriteStepObserver(step, path);
}

// Flushes a folder's entries (a rename inside it) to the disk; false when the
// folder cannot be opened or its file system refuses.
bool FlushFolder(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

void SetWriteStepObserver(WriteStepObserver observer) { gWriteStepObserver = std::move(observer); }

template <typename Container>
static bool ReadInto(const std::string& path, Container& out) {
    if (!FileExists(path)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    Container data;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        data.resize(static_cast<size_t>(size));
        ok = size == 0 || std::fread(data.data(), 1, data.size(), f) == data.size();
    }
    std::fclose(f);
    if (ok) out.swap(data);
    return ok;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) { return ReadInto(path, bytes); }

bool ReadWholeFile(const std::string& path, std::string& text) { return ReadInto(path, text); }

bool ReadWholeFile(const std::string& path, ByteBlock& bytes) { return ReadInto(path, bytes); }

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    return WriteFileAtomically(path, [&](const ByteWriter& write) { return write(data, size); });
}

namespace {

// Writes all of the bytes to the descriptor; false on a write error.
bool WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::FILE* OpenScratchFileBeside(const std::string& besidePath) {
    fs::path dir = fs::path(besidePath).parent_path();
    if (dir.empty()) dir = ".";
    std::string tmpl = (dir / ".gw-scratch.XXXXXX").string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return nullptr;
    ::unlink(name.data());
    std::FILE* f = ::fdopen(fd, "w+b");
    if (!f) ::close(fd);
    return f;
}

namespace {

// The file a write to `path` replaces: the path itself, or, when it is a
// symbolic link, the file at the end of its chain of links (a relative link
// is read from the folder that holds it). nullopt for a link that cannot be
// read or a chain of more than 40 links.
std::optional<fs::path> FinalTarget(const fs::path& path) {
    fs::path current = path;
    for (int links = 0; links <= 40; ++links) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::error_code ec;
        const fs::path link = fs::read_symlink(current, ec);
        if (ec || link.empty()) return std::nullopt;
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return std::nullopt;
}

}  // namespace

std::string TemporaryNameTemplate(const std::string& folder, const std::string& fileName) {
    static constexpr std::string_view kSuffix = ".XXXXXX";
    long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    const size_t room = static_cast<size_t>(limit) > kSuffix.size() ? static_cast<size_t>(limit) - kSuffix.size() : 0;
    size_t keep = fileName.size();
    if (keep > room) {
        keep = room;
        // Cut before a whole character, not inside one.
        while (keep > 0 && (static_cast<unsigned char>(fileName[keep]) & 0xC0) == 0x80) --keep;
    }
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    return (dir / (fileName.substr(0, keep) + std::string(kSuffix))).string();
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(const ByteWriter&)>& produce) {
    if (path.empty()) return false;
    // A link stays a link: the file it leads to is the one written.
    const std::optional<fs::path> resolved = FinalTarget(fs::path(path));
    if (!resolved || resolved->filename().empty()) return false;
    const fs::path target = *resolved;
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing) {
        // Folders, devices and pipes are never replaced; nor is a file the
        // user may not write, or one marked read-only (no write permission for
        // anyone, which would not stop the superuser).
        if (!S_ISREG(old.st_mode)) return false;
        if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return false;
    }
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    const std::string tmpl = TemporaryNameTemplate(dir.string(), target.filename().string());
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    bool written = true;
    const ByteWriter write = [&](const void* data, size_t size) {
        written = written && WriteAll(fd, data, size);
        return written;
    };
    bool ok = false;
    try {
        ok = produce(write) && written;
    } catch (...) {
        // A producer that fails by throwing (out of memory) leaves no half file behind.
        ::close(fd);
        ::unlink(name.data());
        throw;
    }
    if (ok && replacing) {
        // The new file takes the old one's owner and group where the system
        // allows it, and its permissions (a private file stays private).
        const bool sameOwner = old.st_uid == ::geteuid() && old.st_gid == ::getegid();
        if (!sameOwner && ::fchown(fd, old.st_uid, old.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Ours then, as any new file; the permissions below still hold.
        }
        ok = ::fchmod(fd, old.st_mode & 0777) == 0;
    } else if (ok) {
        // A new file gets the usual permissions for new files rather than mkstemp's 0600.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd, 0666 & ~mask) == 0;
    }
    // The new bytes are on the disk before they take the old file's name.
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) Report(WriteStep::FileFlushed, path);
    if (ok) ok = std::rename(name.data(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(name.data());
        return false;
    }
    Report(WriteStep::Renamed, path);
    if (FlushFolder(dir)) Report(WriteStep::FolderFlushed, path);
    return true;
}

void DeleteFileQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool HasExtension(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    return EqualsIgnoringAsciiCase(std::string_view(path).substr(path.size() - extension.size()), extension);
}

std::string SavePathWithExtension(const std::string& path, std::string_view extension) {
    while (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    const size_t slash = path.rfind(kPathSeparator);
    const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (extension.empty() || name.empty()) return path;
    const std::string dotted = "." + std::string(extension);
    if (HasExtension(std::string(name), dotted)) return path;
    return path + dotted;
}

}  // namespace fsys
