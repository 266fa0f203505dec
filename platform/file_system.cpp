#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
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

bool WriteFileAtomically(const std::string& path, const std::function<bool(const ByteWriter&)>& produce) {
    if (path.empty()) return false;
    std::error_code ec;
    fs::path target(path);
    if (fs::is_directory(target, ec)) return false;
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::string tmpl = (dir / (target.filename().string() + ".XXXXXX")).string();
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
    // Files keep the usual permissions for new files rather than mkstemp's 0600.
    if (ok) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd, 0666 & ~mask) == 0;
    }
    // The new bytes are on the disk before they take the old file's name.
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) Report(WriteStep::FileFlushed, path);
    if (ok) ok = std::rename(name.data(), path.c_str()) == 0;
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

}  // namespace fsys
