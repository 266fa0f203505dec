#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/platform/temp_folder.h"

namespace {

using std::chrono::milliseconds;

std::string ModeAndOwner(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "missing";
    char text[32];
    std::snprintf(text, sizeof text, "%u %04o", static_cast<unsigned>(st.st_uid), st.st_mode & 07777u);
    return text;
}

// What taking the lock gives: "held", or its reason.
std::string Take(const std::string& path) {
    const FileLock lock(path, milliseconds(0));
    return lock.Held() ? "held" : lock.Reason();
}

// A missing lock file is made readable by everyone whatever the umask; one
// that is no plain file is refused unopened, its reason naming it; a lock
// another program holds is waited for, then refused as held.
TEST(FileLock, MadeForEveryoneRefusedWhenNoPlainFileAndWaitedForOnce) {
    TempFolder folder;
    const std::string path = folder / "store.lock";
    const mode_t umask = ::umask(077);
    EXPECT_EQ(Take(path), "held");
    ::umask(umask);
    EXPECT_EQ(ModeAndOwner(path), std::to_string(::geteuid()) + " 0644");

    namespace fs = std::filesystem;
    fs::create_directory(folder / "folder.lock");
    ASSERT_EQ(::mkfifo((folder / "pipe.lock").c_str(), 0644), 0);
    fs::create_symlink(path, folder / "link.lock");
    fs::create_symlink(folder / "nowhere", folder / "dangling.lock");
    for (const auto& [name, kind] : {std::pair{"folder.lock", "a folder"}, std::pair{"pipe.lock", "a pipe"},
                                     std::pair{"link.lock", "a symbolic link"},
                                     std::pair{"dangling.lock", "a symbolic link"}}) {
        const FileLock lock(folder / name, milliseconds(0));
        EXPECT_FALSE(lock.Held());
        EXPECT_EQ(lock.Error(), kLockFileError);
        EXPECT_EQ(lock.Reason(), "The lock file \"" + folder / name + "\" is " + kind + ", not a plain file.");
    }
    EXPECT_FALSE(fs::exists(folder / "nowhere")) << "a link is never followed to make a file";
    EXPECT_EQ(Take(folder / "missing/store.lock"),
              "The lock file \"" + folder / "missing/store.lock" + "\" cannot be made. The folder it goes in does not exist.");

    const int other = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    const uint64_t waits = FileLockWaitsRunOut();
    {
        const FileLock lock(path, milliseconds(30));
        EXPECT_FALSE(lock.Held());
        EXPECT_EQ(lock.Error(), kLockHeldError);
    }
    EXPECT_EQ(FileLockWaitsRunOut() - waits, 1u);
    ::close(other);
    EXPECT_EQ(Take(path), "held");
}

}  // namespace
