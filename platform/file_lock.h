#pragma once
// An exclusive lock on a lock file, taken with flock and waited for no longer
// than the caller allows: two programs that lock the same file before they
// change what it guards change it one after the other.
//
// The lock file holds nothing and is made when missing, then left in place,
// so that every program locks the same file. It never keeps anyone out who
// may use its folder: flock needs only a file opened for reading, so it is
// made readable by everyone whatever the umask. Its folder is opened as a
// write there would open it (write_way.h). A lock file that is not a plain
// file (a symbolic link, a pipe, a folder, a device) is refused unopened; a
// refusal's reason names the lock file and says why.

#include <chrono>
#include <cstdint>
#include <string>

// errno values of a lock that was not taken (outside the system's numbers).
inline constexpr int kLockHeldError = 10101;  // another program held it for the whole wait
inline constexpr int kLockFileError = 10102;  // the lock file cannot be opened or made, or is no plain file

class FileLock {
public:
    // Takes the lock of the file `path`, waiting for another program to let
    // go of it for at most `wait`. A file system that keeps no locks gives a
    // lock that guards nothing but counts as taken.
    FileLock(const std::string& path, std::chrono::milliseconds wait);
    ~FileLock();  // lets go of the lock
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return held_; }
    // Why the lock was not taken: kLockHeldError or kLockFileError; 0 when held.
    int Error() const { return error_; }
    // The sentence for a lock file that could not be used, naming it
    // (kLockFileError); empty otherwise.
    const std::string& Reason() const { return reason_; }

private:
    int fd_ = -1;
    bool held_ = false;
    int error_ = 0;
    std::string reason_;
};

// How many waits for a lock have run out since the program started (tests count them).
uint64_t FileLockWaitsRunOut();
