#pragma once
// A descriptor that belongs to its holder: closed when the holder goes or
// takes another, errno kept through the close (a clean-up after a failure
// keeps its reason). Moved, never copied.

#include <cerrno>
#include <utility>

#include <unistd.h>

namespace fsys {

class HeldDescriptor {
public:
    HeldDescriptor() = default;
    explicit HeldDescriptor(int fd) : fd_(fd) {}
    ~HeldDescriptor() { Reset(); }
    HeldDescriptor(HeldDescriptor&& other) noexcept : fd_(other.Release()) {}
    HeldDescriptor& operator=(HeldDescriptor&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    HeldDescriptor(const HeldDescriptor&) = delete;
    HeldDescriptor& operator=(const HeldDescriptor&) = delete;

    // The descriptor; -1 where none is held.
    int Get() const { return fd_; }
    // Gives the descriptor up to the caller, who closes it.
    int Release() { return std::exchange(fd_, -1); }
    // Closes the descriptor held and holds `fd` instead.
    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            const int error = errno;
            ::close(fd_);
            errno = error;
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

}  // namespace fsys
