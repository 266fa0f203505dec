#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <tuple>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "tests/platform/held_lock.h"
#include "tests/platform/registry_test_support.h"

namespace {

TEST_F(RegistryTest, StringRoundTripThroughAReadableFile) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "InstPath", "/opt/vortaxis/"));
    EXPECT_EQ(RegStoreFile(RegCurrentUser), config.Path() + "registry-current-user.txt");
    std::string value = "unchanged";
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "InstPath", value));
    EXPECT_EQ(value, "/opt/vortaxis/");
    const std::string text = StoreText(RegCurrentUser);
    EXPECT_NE(text.find("[Software\\Vortaxis Coasters]\n\"InstPath\"=string:\"/opt/vortaxis/\"\n"),
              std::string::npos)
        << text;
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreLetterCase) {
    // The association dialog writes "Vortaxis.Trackfile" and reads "Vortaxis.TrackFile".
    ASSERT_TRUE(RegWriteValue(RegClassesRoot, "Vortaxis.Trackfile\\Shell", RegString, "", "Ride"));
    std::string value;
    ASSERT_TRUE(RegReadValue(RegClassesRoot, "Vortaxis.TrackFile\\SHELL", "", value));
    EXPECT_EQ(value, "Ride");
    // Rewriting through another spelling replaces the value and keeps the first spelling of the key.
    ASSERT_TRUE(RegWriteValue(RegClassesRoot, "VORTAXIS.TRACKFILE\\shell", RegString, "", "Edit"));
    ASSERT_TRUE(RegReadValue(RegClassesRoot, "vortaxis.trackfile\\shell", "", value));
    EXPECT_EQ(value, "Edit");
    EXPECT_NE(StoreText(RegClassesRoot).find("[Vortaxis.Trackfile\\Shell]"), std::string::npos);
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "InstPath", "a"));
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "INSTPATH", value));
    EXPECT_EQ(value, "a");
}

TEST_F(RegistryTest, RootsAreKeptApart) {
    ASSERT_TRUE(RegWriteValue(RegClassesRoot, ".vxtrack", RegString, "", "Vortaxis.Trackfile"));
    std::string value = "x";
    EXPECT_FALSE(RegReadValue(RegCurrentUser, ".vxtrack", "", value));
    EXPECT_EQ(value, "x");
    EXPECT_TRUE(fsys::FileExists(config.Path() + "registry-classes-root.txt"));
    EXPECT_FALSE(fsys::FileExists(config.Path() + "registry-current-user.txt"));
    EXPECT_FALSE(RegWriteValue(0x80000002u, "Software", RegString, "a", "b"));  // a root we do not keep
    EXPECT_FALSE(RegReadValue(0x80000002u, "Software", "a", value));
}

TEST_F(RegistryTest, MissingKeyOrValueFailsAndLeavesTheCallersText) {
    std::string value = "kept";
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey, "InstPath", value));
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Other", "1"));
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey, "InstPath", value));
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey + "\\Missing", "Other", value));
    EXPECT_EQ(value, "kept");
}

TEST_F(RegistryTest, FailedWritesChangeNothing) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegNumber, "Count", "7"));
    const std::string before = StoreText(RegCurrentUser);
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegNumber, "Count", "seven"));
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegNumber, "Count", "4294967296"));
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, 2, "Count", "7"));  // a type the program does not write
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, "Bad\nKey", RegString, "a", "b"));
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, "", RegString, "a", "b"));
    EXPECT_EQ(StoreText(RegCurrentUser), before);
}

TEST_F(RegistryTest, AnUnwritableFolderFailsWithoutTouchingTheCallersValue) {
    TempFolder other;
    const std::string blocker = other.Write("plain-file", "x");
    EnvScope env("GANTRYWRIGHT_CONFIG_DIR", blocker + "/config");
    std::string value = "C:\\Games\\Vortaxis\\";
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegString, "InstPath", value));
    EXPECT_EQ(value, "C:\\Games\\Vortaxis\\");
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey, "InstPath", value));
}

TEST_F(RegistryTest, BinaryValuesReadAsSuccessWithoutChangingTheText) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegBinary, "Blob", std::string("A\0B", 3)));
    std::string value = "kept";
    EXPECT_TRUE(RegReadValue(RegCurrentUser, kKey, "Blob", value));
    EXPECT_EQ(value, "kept");
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegBinary, "Empty", ""));
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey, "Empty", value));  // a size below 1 reads nothing
}

TEST_F(RegistryTest, ValuesLongerThanTheReadBufferFail) {
    const std::string fits(1023, 'a');  // with its terminating zero: 1024 bytes
    const std::string tooLong(1024, 'b');
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Fits", fits));
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "TooLong", tooLong));
    std::string value;
    EXPECT_TRUE(RegReadValue(RegCurrentUser, kKey, "Fits", value));
    EXPECT_EQ(value, fits);
    value = "kept";
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey, "TooLong", value));
    EXPECT_EQ(value, "kept");
}

TEST_F(RegistryTest, WritingCreatesMissingParentsAndDeletingNeedsNoSubkeys) {
    const std::string verb = "Vortaxis.Trackfile\\Shell\\Tera";
    ASSERT_TRUE(RegWriteValue(RegClassesRoot, verb + "\\Command", RegString, "", "terra \"%1\""));
    ASSERT_TRUE(RegWriteValue(RegClassesRoot, verb, RegString, "", "Terraform"));
    EXPECT_FALSE(RegDeleteKeyPath(RegClassesRoot, verb));  // still has its Command key
    EXPECT_TRUE(RegDeleteKeyPath(RegClassesRoot, verb + "\\command"));
    EXPECT_TRUE(RegDeleteKeyPath(RegClassesRoot, verb));
    EXPECT_FALSE(RegDeleteKeyPath(RegClassesRoot, verb));  // already gone
    std::string value;
    EXPECT_FALSE(RegReadValue(RegClassesRoot, verb, "", value));
    // The parents stay, and a key that exists without values can be deleted.
    EXPECT_TRUE(RegDeleteKeyPath(RegClassesRoot, "Vortaxis.Trackfile\\Shell"));
    EXPECT_TRUE(RegDeleteKeyPath(RegClassesRoot, "Vortaxis.Trackfile"));
    EXPECT_EQ(StoreText(RegClassesRoot).find("\n["), std::string::npos);
}

// A store of one key 32,000 levels deep, and one of 80,000 keys side by side:
// each read and write takes steps in proportion to the file, and a write
// leaves the file as large as what it holds.
TEST_F(RegistryTest, DeepAndWideStoresCostInProportionToTheirFiles) {
    fsys::CreateFolders(config.Path());
    std::string deepKey;
    for (int i = 0; i < 32000; ++i) deepKey += i ? "\\k" : "k";
    const std::string deep = "[" + deepKey + "]\n\"v\"=string:\"deep\"\n";
    std::string wide;
    for (int i = 0; i < 80000; ++i) wide += "[Key" + std::to_string(i) + "]\n\"v\"=string:\"" + std::to_string(i) + "\"\n";

    for (const auto& [text, key, expected] : {std::tuple{deep, deepKey, std::string("deep")},
                                             std::tuple{wide, std::string("KEY79999"), std::string("79999")}}) {
        fsys::WriteFileAtomically(RegStoreFile(RegCurrentUser), text);
        std::string value;
        uint64_t before = RegStoreWork();
        ASSERT_TRUE(RegReadValue(RegCurrentUser, key, "V", value));
        EXPECT_EQ(value, expected);
        EXPECT_LT(RegStoreWork() - before, 8 * text.size()) << "a read";

        before = RegStoreWork();
        ASSERT_TRUE(RegWriteValue(RegCurrentUser, key + "\\sub", RegString, "w", "x"));
        EXPECT_LT(RegStoreWork() - before, 16 * text.size()) << "a write";
        const std::string stored = StoreText(RegCurrentUser);
        EXPECT_LT(stored.size(), text.size() + key.size() + 200) << "no parent line repeats the path";
        ASSERT_TRUE(RegReadValue(RegCurrentUser, key, "v", value));
        EXPECT_EQ(value, expected);
        ASSERT_TRUE(RegReadValue(RegCurrentUser, key + "\\SUB", "w", value));
        EXPECT_EQ(value, "x");
    }
}

// A store is parsed once: further reads cost lookups, not the file, and a
// write of the program's own keeps the store it wrote. A file changed by
// another program is read again.
TEST_F(RegistryTest, AStoreIsParsedOnceAndReadAgainOnlyWhenItsFileChanges) {
    fsys::CreateFolders(config.Path());
    std::string wide;
    for (int i = 0; i < 20000; ++i) wide += "[Key" + std::to_string(i) + "]\n\"v\"=string:\"" + std::to_string(i) + "\"\n";
    fsys::WriteFileAtomically(RegStoreFile(RegCurrentUser), wide);
    std::string value;
    uint64_t before = RegStoreWork();
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Key7", "v", value));
    const uint64_t parse = RegStoreWork() - before;
    EXPECT_GE(parse, wide.size());
    before = RegStoreWork();
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(RegReadValue(RegCurrentUser, "Key" + std::to_string(i * 999), "v", value));
    EXPECT_EQ(value, "6993");
    EXPECT_LT(RegStoreWork() - before, 1000u) << "eight more reads parse nothing";

    ASSERT_TRUE(RegWriteValue(RegCurrentUser, "Key1", RegString, "v", "mine"));
    before = RegStoreWork();
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Key1", "v", value));
    EXPECT_EQ(value, "mine");
    EXPECT_LT(RegStoreWork() - before, 1000u) << "the store written is the store kept";

    fsys::WriteFileAtomically(RegStoreFile(RegCurrentUser), std::string("[Key1]\n\"v\"=string:\"theirs\"\n"));
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Key1", "v", value));
    EXPECT_EQ(value, "theirs");
    EXPECT_FALSE(RegReadValue(RegCurrentUser, "Key7", "v", value));
}

// A store file larger than a registry file can be (a sparse one of 10 GB) is
// refused unread and left as it is for the run: its values read as missing,
// nothing is written over it, even once it has shrunk.
TEST_F(RegistryTest, AStoreTooLargeToReadIsLeftAsItIsForTheRun) {
    fsys::CreateFolders(config.Path());
    const std::string file = RegStoreFile(RegCurrentUser);
    const std::string text = "[Software\\Vortaxis Coasters]\n\"InstPath\"=string:\"/vx/\"\n";
    fsys::WriteFileAtomically(file, text);
    std::filesystem::resize_file(file, uintmax_t{10} << 30);
    std::string value = "kept";
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey, "InstPath", value));
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(RegStoreRefusal(RegCurrentUser), EFBIG);
    EXPECT_EQ(RegStoreRefusal(RegClassesRoot), 0);
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegString, "InstPath", "/other/"));
    EXPECT_FALSE(RegDeleteKeyPath(RegCurrentUser, kKey));
    EXPECT_EQ(std::filesystem::file_size(file), uintmax_t{10} << 30);
    std::filesystem::resize_file(file, text.size());
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegString, "InstPath", "/other/"));
    EXPECT_EQ(StoreText(RegCurrentUser), text);
}

// A change that would make the store larger than a registry file can be,
// which the next run would refuse whole, is refused: nothing written, the
// value not kept, and the reason names the bound.
TEST_F(RegistryTest, AValueThatWouldOutgrowTheStoreIsRefusedWithTheReason) {
    const std::string fill(fsys::kRegistryFile.MostBytes - 200, 'f');
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Fill", fill));
    const std::string before = StoreText(RegCurrentUser);
    errno = 0;
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegString, "More", std::string(300, 'm')));
    EXPECT_EQ(fsys::WriteFailureReason(errno), "The file would be larger than a registry file can be (at most 4 MiB).");
    EXPECT_TRUE(StoreText(RegCurrentUser) == before) << "the file as it was";
    std::string value = "kept";
    EXPECT_FALSE(RegReadValue(RegCurrentUser, kKey, "More", value));
    EXPECT_EQ(value, "kept");
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Small", "s"));
    EXPECT_LE(StoreText(RegCurrentUser).size(), fsys::kRegistryFile.MostBytes);
    EXPECT_EQ(RegStoreRefusal(RegCurrentUser), 0);
}

// The stamp kept is that of the file written: a file another program puts in
// its place at once (here as soon as it is renamed) is read, never taken for
// the program's own and written over.
TEST_F(RegistryTest, AFileReplacedRightAfterAWriteIsReadAgain) {
    const std::string file = RegStoreFile(RegCurrentUser);
    bool replaced = false;
    fsys::SetWriteStepObserver([&](fsys::WriteStep step, const std::string& path) {
        if (step != fsys::WriteStep::Renamed || path != file || replaced) return;
        replaced = true;
        fsys::WriteFileAtomically(file, std::string_view("[Other]\n\"v\"=string:\"theirs\"\n"));
    });
    const bool written = RegWriteValue(RegCurrentUser, kKey, RegString, "InstPath", "/mine/");
    fsys::SetWriteStepObserver({});
    ASSERT_TRUE(written && replaced);
    std::string value;
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Other", "v", value));
    EXPECT_EQ(value, "theirs");
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Count", "1"));
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Other", "v", value));
    EXPECT_EQ(value, "theirs");
}

// Two running copies of the program writing one store at the same time lose
// none of each other's values, however their writes interleave.
TEST_F(RegistryTest, TwoCopiesWritingOneStoreLoseNothing) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Start", "1"));  // both copies hold the store
    constexpr int kEach = 40;
    const auto writeAll = [](const std::string& copy) {
        bool ok = true;
        for (int i = 0; i < kEach; ++i)
            ok = RegWriteValue(RegCurrentUser, kKey, RegString, copy + std::to_string(i), copy) && ok;
        return ok;
    };
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char go = 0;
        const bool started = ::read(start[0], &go, 1) == 1;
        ::_exit(started && writeAll("child") ? 0 : 1);
    }
    // Both start together.
    EXPECT_EQ(::write(start[1], "g", 1), 1);
    ::close(start[0]);
    ::close(start[1]);
    EXPECT_TRUE(writeAll("parent"));
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    int missing = 0;
    std::string value;
    for (const std::string copy : {"child", "parent"})
        for (int i = 0; i < kEach; ++i) missing += !RegReadValue(RegCurrentUser, kKey, copy + std::to_string(i), value);
    EXPECT_EQ(missing, 0);
}

// A lock that another program holds costs an action one wait: its other
// changes fail at once with the same reason, which names the store; a lone
// change waits on its own. An action keeps the lock it took until it ends,
// and a lock file that is no plain file is named with what it is.
TEST_F(RegistryTest, AHeldLockCostsOneWaitPerActionAndSaysWhoHoldsIt) {
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Start", "1"));
    const std::string before = StoreText(RegCurrentUser);
    {
        const HeldRegistryLock other(RegCurrentUser);
        ASSERT_TRUE(other.Held());
        const uint64_t waits = FileLockWaitsRunOut();
        {
            const RegChangeBatch action;
            const RegChangeBatch nested;
            for (int i = 1; i <= 8; ++i) {
                errno = 0;
                EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegString, "File" + std::to_string(i), "x"));
                EXPECT_EQ(RegWriteFailureReason(errno), other.Reason());
            }
            EXPECT_FALSE(RegDeleteKeyPath(RegCurrentUser, kKey));
        }
        EXPECT_EQ(FileLockWaitsRunOut() - waits, 1u);
        EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegString, "File1", "x"));
        EXPECT_EQ(FileLockWaitsRunOut() - waits, 2u) << "a lone change waits on its own";
        EXPECT_EQ(StoreText(RegCurrentUser), before);
    }
    const std::string lock = RegStoreFile(RegCurrentUser) + ".lock";
    const int probe = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
    {
        const RegChangeBatch action;
        ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "File1", "a"));
        EXPECT_NE(::flock(probe, LOCK_EX | LOCK_NB), 0) << "the action keeps its lock";
        ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "File2", "b"));
    }
    EXPECT_EQ(::flock(probe, LOCK_EX | LOCK_NB), 0) << "and lets go of it at its end";
    ::close(probe);

    std::filesystem::remove(lock);
    std::filesystem::create_directory(lock);
    errno = 0;
    EXPECT_FALSE(RegWriteValue(RegCurrentUser, kKey, RegString, "File3", "c"));
    EXPECT_EQ(RegWriteFailureReason(errno), "The lock file \"" + lock + "\" is a folder, not a plain file.");
}

}  // namespace
