#pragma once
// What every fuzz target shares: a scratch folder of its own process (in
// memory where the system offers one) for the readers that take a path, the
// program's data folder for the model builder, and a check that stops the run
// as a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/file_system.h"

namespace fuzz {

// Held for the whole run (never destroyed), so that the clean-up at exit can still read it.
inline const std::string& ScratchFolder() {
    static const std::string* folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        const std::string root = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp && *tmp ? tmp : "/tmp");
        auto* path = new std::string(root + "/gw-fuzz-" + std::to_string(::getpid()) + "/");
        std::filesystem::create_directories(*path);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchFolder(), ec);
        });
        return path;
    }();
    return *folder;
}

// Writes the input to a scratch file of the given name and returns its path.
inline std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + name;
    fsys::WriteFileAtomically(path, data, size);
    return path;
}

// A broken promise of a reader or writer: report it and stop, so the input is kept.
#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

}  // namespace fuzz
