#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// Take(name) in a child process that works in `folder` as the user `uid`; empty when it could not become them.
std::string TakeAs(uid_t uid, gid_t gid, const std::string& folder, const std::string& name) {
    int channel[2];
    if (::pipe(channel) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        std::string text;
        if (::chdir(folder.c_str()) == 0 && ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0)
            text = Take(name);
        ::_exit(::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    // The child's one short write fits the pipe whole.
    char buffer[512];
    const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
    ::close(channel[0]);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
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

// The system administrator's run with a user's configuration folder (sudo -E)
// with a 077 umask leaves a lock the user can take: the folder owner's,
// readable by all. An old lock of root's with 0600 is refused to the user,
// the reason naming it, and given back at root's next use; a file of root's
// linked in its place is not, empty or not.
TEST(FileLock, ALockThatRootMakesInAUsersFolderStaysTheirs) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root and the user nobody";
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    TempFolder folder;
    ASSERT_EQ(::chown(folder.Path().c_str(), uid, gid), 0);
    const std::string path = folder / "store.lock";
    const std::string owned = std::to_string(uid) + " 0644";
    const mode_t umask = ::umask(077);
    EXPECT_EQ(Take(path), "held");
    EXPECT_EQ(ModeAndOwner(path), owned);
    EXPECT_EQ(TakeAs(uid, gid, folder.Path(), "store.lock"), "held");

    ASSERT_EQ(::chown(path.c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(TakeAs(uid, gid, folder.Path(), "store.lock"),
              "The lock file \"store.lock\" cannot be opened: it belongs to another user, and you have no permission to "
              "read it.");
    EXPECT_EQ(Take(path), "held");
    EXPECT_EQ(ModeAndOwner(path), owned);
    EXPECT_EQ(TakeAs(uid, gid, folder.Path(), "store.lock"), "held");
    // A lock file that is another file's name too, or holds bytes, is not given away.
    for (const std::string bytes : {"s", ""}) {
        const std::string secret = folder.Write("secret" + bytes, bytes);
        ASSERT_EQ(::chown(secret.c_str(), 0, 0), 0);
        ASSERT_EQ(::link(secret.c_str(), (folder / "linked" + bytes + ".lock").c_str()), 0);
        EXPECT_EQ(Take(folder / "linked" + bytes + ".lock"), "held");
        EXPECT_EQ(ModeAndOwner(secret), "0 0600") << "holding " << bytes.size() << " bytes";
    }
    ::umask(umask);
}

}  // namespace
