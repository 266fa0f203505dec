#pragma once
// Test helper: a registry store's lock held as another program holds it
// (flock on "<store>.lock" through a file of its own), with the registry's
// wait for it shortened to 100 ms for the scope.

#include <chrono>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/app_folders.h"
#include "platform/file_system.h"
#include "platform/registry.h"

class HeldRegistryLock {
public:
    explicit HeldRegistryLock(uint32_t root) : store_(RegStoreFile(root)) {
        fsys::CreateFolders(fsys::ConfigFolder());
        fd_ = ::open((store_ + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
        held_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~HeldRegistryLock() {
        if (fd_ >= 0) ::close(fd_);
        RegSetMostLockWait(wait_);
    }
    HeldRegistryLock(const HeldRegistryLock&) = delete;
    HeldRegistryLock& operator=(const HeldRegistryLock&) = delete;

    bool Held() const { return held_; }
    // The reason a change gives while the lock is held.
    std::string Reason() const {
        return "Another program holds the registry file \"" + store_ + "\" and did not let go of it within 0.1 seconds.";
    }

private:
    std::string store_;
    int fd_ = -1;
    bool held_ = false;
    std::chrono::milliseconds wait_ = RegSetMostLockWait(std::chrono::milliseconds(100));
};
