#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <new>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/platform/save_checks.h"
#include "tests/platform/temp_folder.h"

namespace {

// A save flushes the new file while the old one still has its name, renames
// it over the old one, then flushes the folder: a power cut at any moment
// leaves one whole file or the other.
TEST(FileSystem, AWriteFlushesTheFileRenamesItThenFlushesTheFolder) {
    TempFolder folder;
    const std::string target = folder.Write("track.vxtrack", "old bytes");
    std::vector<std::pair<fsys::WriteStep, std::string>> seen;  // each step with the target's text at that moment
    ObserverScope scope([&](fsys::WriteStep step, const std::string& path) {
        EXPECT_EQ(path, target);
        seen.emplace_back(step, Text(target));
    });
    ASSERT_TRUE(fsys::WriteFileAtomically(target, std::string_view("new bytes")));
    const std::vector<std::pair<fsys::WriteStep, std::string>> expected = {
        {fsys::WriteStep::FileFlushed, "old bytes"},
        {fsys::WriteStep::Renamed, "new bytes"},
        {fsys::WriteStep::FolderFlushed, "new bytes"}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(Text(target), "new bytes");
    // Nothing but the file is left in the folder.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.Path())) ++entries;
    EXPECT_EQ(entries, 1u);

    // A folder flush that fails fails the save, saying that the file has its
    // name and new bytes, unconfirmed, and why; a file system that cannot
    // flush folders does not.
    seen.clear();
    for (const int error : {EIO, ENOSPC}) {
        fsys::SetFolderFlushForTests([error](int) { return error; });
        errno = 0;
        EXPECT_FALSE(fsys::WriteFileAtomically(target, std::string_view("unconfirmed")));
        EXPECT_EQ(errno, fsys::kUnconfirmedNameError);
        EXPECT_EQ(fsys::WriteFailureReason(errno),
                  (error == EIO ? "The system says: Input/output error." : "The disk is full.") +
                      std::string(" The disk did not confirm the file's name; the file holds the new bytes, written "
                                  "but not confirmed."));
    }
    EXPECT_EQ(Text(target), "unconfirmed");
    fsys::SetFolderFlushForTests([](int) { return EINVAL; });
    EXPECT_TRUE(fsys::WriteFileAtomically(target, std::string_view("unflushable")));
    fsys::SetFolderFlushForTests(nullptr);
    EXPECT_EQ(Text(target), "unflushable");
    EXPECT_EQ(seen.size(), 6u) << "no folder flushed";
}

TEST(FileSystem, AWriteThatCannotStartTakesNoStep) {
    TempFolder folder;
    bool anyStep = false;
    ObserverScope scope([&](fsys::WriteStep, const std::string&) { anyStep = true; });
    EXPECT_FALSE(fsys::WriteFileAtomically(folder / "missing/track.vxtrack", std::string_view("x")));
    EXPECT_FALSE(fsys::WriteFileAtomically(folder.Path(), std::string_view("x"))) << "a folder is not replaced";
    EXPECT_FALSE(anyStep);
}

// A whole file of 2 MiB or more lands in a block aligned for large pages, and
// reads back byte for byte, at the size boundary and across it.
TEST(FileSystem, LargeFilesReadWholeIntoLargeBlocks) {
    TempFolder dir;
    for (const size_t size : {(size_t(2) << 20) - 1, size_t(2) << 20, (size_t(5) << 20) + 3}) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 131 + (i >> 12));
        const std::string path = dir / "large.bin";
        ASSERT_TRUE(fsys::WriteFileAtomically(path, bytes.data(), bytes.size()));
        ByteBlock block;
        ASSERT_TRUE(fsys::ReadWholeFile(path, block));
        ASSERT_EQ(block.size(), size);
        EXPECT_TRUE(std::equal(block.begin(), block.end(), bytes.begin()));
        if (size >= large_block::kAlignment) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block.data()) % large_block::kAlignment, 0u);
        }
    }
    FloatBlock grid(size_t(1) << 20, 0.0f);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(grid.data()) % large_block::kAlignment, 0u);
    EXPECT_EQ(grid.back(), 0.0f);
}

// A whole-file read takes at most what its kind of file can hold: a larger
// file, such as a sparse one of 10 GB, is refused with EFBIG before any of it
// is read, the buffer untouched; the bound itself still reads. Anything but a
// regular file is refused as such, a pipe without waiting for a writer.
TEST(FileSystem, AReadRefusesAFileLargerThanItsKindUnread) {
    TempFolder dir;
    const std::string huge = dir.Write("huge.vxtrack", "VRTX");
    std::filesystem::resize_file(huge, uintmax_t{10} << 30);
    std::string text = "kept";
    errno = 0;
    EXPECT_FALSE(fsys::ReadWholeFile(huge, text, fsys::kTrackFile));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(fsys::ReadFailureReason(EFBIG, fsys::kTrackFile),
              "The file is larger than a track file can be (at most 64 MiB).");

    constexpr fsys::FileKind kEightBytes{"a test file", 8};
    ASSERT_TRUE(fsys::ReadWholeFile(dir.Write("eight", "12345678"), text, kEightBytes));
    EXPECT_EQ(text, "12345678");
    ByteBlock block(2, 7);
    EXPECT_FALSE(fsys::ReadWholeFile(dir.Write("nine", "123456789"), block, kEightBytes));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_EQ(block.size(), 2u);

    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(fsys::ReadWholeFile(dir / "pipe", text, kEightBytes));
    EXPECT_EQ(errno, ENXIO);
    EXPECT_FALSE(fsys::ReadWholeFile(dir.Path(), text, kEightBytes));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_FALSE(fsys::ReadWholeFile(dir / "missing", text, kEightBytes));
    EXPECT_EQ(fsys::ReadFailureReason(errno, kEightBytes), "The file does not exist.");
    EXPECT_EQ(text, "12345678");
}

// A save through a link writes the file the link leads to and leaves the
// link a link; a file replaced keeps its permissions; a read-only file is
// refused and stays as it was.
TEST(FileSystem, ASaveKeepsLinksAndPermissionsAndRefusesReadOnlyFiles) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string real = folder.Write("real/mine.vxtrack", "old");
    fs::create_directories(folder / "tracks");
    const std::string linked = folder / "tracks/linked.vxtrack";
    fs::create_symlink("../real/mine.vxtrack", linked);
    const std::string chained = folder / "chained.vxtrack";
    fs::create_symlink(linked, chained);  // absolute, to the relative link
    ::chmod(real.c_str(), 0640);
    ASSERT_TRUE(fsys::WriteFileAtomically(linked, std::string_view("new")));
    EXPECT_TRUE(fs::is_symlink(linked));
    EXPECT_EQ(fs::read_symlink(linked), "../real/mine.vxtrack");
    EXPECT_EQ(Text(real), "new");
    EXPECT_EQ(Mode(real), 0640u);
    ASSERT_TRUE(fsys::WriteFileAtomically(chained, std::string_view("newer")));
    EXPECT_TRUE(fs::is_symlink(chained));
    EXPECT_EQ(Text(real), "newer");
    EXPECT_EQ(EntriesIn(folder / "real"), 1u) << "no temporary file left beside the target";
    EXPECT_EQ(EntriesIn(folder / "tracks"), 1u);

    const std::string secret = folder.Write("Gantrywright.ini", "private");
    ::chmod(secret.c_str(), 0600);
    ASSERT_TRUE(fsys::WriteFileAtomically(secret, std::string_view("still private")));
    EXPECT_EQ(Mode(secret), 0600u);
    EXPECT_EQ(Text(secret), "still private");

    const std::string readOnly = folder.Write("locked.vxtrack", "kept");
    ::chmod(readOnly.c_str(), 0444);
    fs::create_symlink(readOnly, folder / "to locked.vxtrack");
    EXPECT_FALSE(fsys::WriteFileAtomically(readOnly, std::string_view("lost")));
    EXPECT_FALSE(fsys::WriteFileAtomically(folder / "to locked.vxtrack", std::string_view("lost")));
    EXPECT_EQ(Text(readOnly), "kept");
    EXPECT_EQ(Mode(readOnly), 0444u);

    // A link to nothing yet: the file is made where it leads.
    fs::create_symlink("made.vxtrack", folder / "ahead.vxtrack");
    ASSERT_TRUE(fsys::WriteFileAtomically(folder / "ahead.vxtrack", std::string_view("made")));
    EXPECT_TRUE(fs::is_symlink(folder / "ahead.vxtrack"));
    EXPECT_EQ(Text(folder / "made.vxtrack"), "made");
}

// Names up to the file system's limit save: the temporary name is cut to fit,
// before a whole character.
TEST(FileSystem, TheLongestNamesSave) {
    TempFolder folder;
    const std::string name = std::string(242, 't') + ".vxtrack";  // 250 bytes
    ASSERT_TRUE(fsys::WriteFileAtomically(folder / name, std::string_view("long")));
    ASSERT_TRUE(fsys::WriteFileAtomically(folder / name, std::string_view("longer")));
    EXPECT_EQ(Text(folder / name), "longer");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);

    std::string accented = "a";
    while (accented.size() < 253) accented += "\xC3\xA9";  // 1 + 126 x 2 = 253 bytes
    const int held = ::open(folder.Path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    EXPECT_EQ(fsys::TemporaryNameTemplate(held, accented), accented.substr(0, 247) + ".XXXXXX")
        << "cut before the character that would not fit";
    ::close(held);
    ASSERT_TRUE(fsys::WriteFileAtomically(folder / accented, std::string_view("x")));
    EXPECT_EQ(Text(folder / accented), "x");
}

TEST(FileSystem, AProducerThatThrowsLeavesTheOldFileAndNoTemporaryOne) {
    TempFolder folder;
    const std::string target = folder.Write("model.3ds", "old bytes");
    EXPECT_THROW(fsys::WriteFileAtomically(target,
                                           [](const fsys::ByteWriter& write) -> bool {
                                               write("half", 4);
                                               throw std::bad_alloc();
                                           }),
                 std::bad_alloc);
    EXPECT_EQ(Text(target), "old bytes");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.Path())) ++entries;
    EXPECT_EQ(entries, 1u);
}

// A save keeps what decides who may use the file: the owner and group of
// another user's file, an access list and other attributes (without the
// access list's mask leaking into the group's bits), the set-ID and sticky
// bits, the group against a folder that hands its own to new files, and no
// access list where the folder would give new files one.
TEST(FileSystem, ASaveKeepsWhoMayUseTheFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make files of other users";
    const auto daemon = User("daemon");
    const auto nogroup = Group("nogroup");
    const auto users = Group("users");
    if (!daemon || !nogroup || !users) GTEST_SKIP() << "needs the user daemon and the groups nogroup and users";
    TempFolder folder;
    const std::string probe = folder.Write("probe");
    if (!SetAttribute(probe, "user.probe", "1"))
        GTEST_SKIP() << "the file system of " << folder.Path() << " keeps no extended attributes";
    fsys::DeleteFileQuietly(probe);

    const std::string withList = folder.Write("plain/list.vxtrack", "old");
    ::chmod(withList.c_str(), 0600);
    ASSERT_TRUE(SetAttribute(withList, "system.posix_acl_access",
                             AccessList({{kAclUserObj, 6, kNoId},
                                         {kAclUser, 6, daemon->first},
                                         {kAclGroupObj, 0, kNoId},
                                         {kAclMask, 6, kNoId},
                                         {kAclOther, 0, kNoId}})));
    ASSERT_TRUE(SetAttribute(withList, "user.note", "kept"));
    const std::string bits = folder.Write("plain/bits.vxtrack", "old");
    ::chmod(bits.c_str(), 07755);
    const std::string theirs = folder.Write("plain/theirs.vxtrack", "old");
    ::chown(theirs.c_str(), daemon->first, *nogroup);
    ::chmod(theirs.c_str(), 0660);
    const std::string handed = folder.Write("handing/mine.vxtrack", "old");
    ::chown((folder / "handing").c_str(), 0, *users);
    ::chmod((folder / "handing").c_str(), 02775);
    const std::string inherited = folder.Write("inheriting/plain.vxtrack", "old");
    ASSERT_TRUE(SetAttribute(folder / "inheriting", "system.posix_acl_default",
                             AccessList({{kAclUserObj, 7, kNoId},
                                         {kAclUser, 7, daemon->first},
                                         {kAclGroupObj, 5, kNoId},
                                         {kAclMask, 7, kNoId},
                                         {kAclOther, 5, kNoId}})));

    for (const std::string& path : {withList, bits, theirs, handed, inherited}) {
        const std::string before = Who(path);
        const size_t entries = EntriesIn(std::filesystem::path(path).parent_path());
        ASSERT_TRUE(fsys::WriteFileAtomically(path, std::string_view("new"))) << path;
        EXPECT_EQ(Who(path), before) << path;
        EXPECT_EQ(Text(path), "new");
        EXPECT_EQ(EntriesIn(std::filesystem::path(path).parent_path()), entries) << path;
    }
    EXPECT_EQ(Who(withList).substr(0, 8), "0:0 0660") << "the group's bits are the access list's mask";

    // Another user's file renamed over the old one once it was opened, with an
    // entry of its own in the access list: the new file takes the attributes
    // of the file opened, not of the one swapped in.
    const std::string swapped = folder.Write("plain/swapped.vxtrack", "old");
    ::chmod(swapped.c_str(), 0640);
    ASSERT_TRUE(SetAttribute(swapped, "user.note", "mine"));
    const std::string planted = folder.Write("plain/planted", "theirs");
    ::chown(planted.c_str(), daemon->first, *nogroup);
    ASSERT_TRUE(SetAttribute(planted, "system.posix_acl_access",
                             AccessList({{kAclUserObj, 6, kNoId},
                                         {kAclUser, 6, daemon->first},
                                         {kAclGroupObj, 4, kNoId},
                                         {kAclMask, 6, kNoId},
                                         {kAclOther, 0, kNoId}})));
    ASSERT_TRUE(SetAttribute(planted, "user.note", "theirs"));
    const std::string mine = Who(swapped);
    ASSERT_TRUE(fsys::WriteFileAtomically(swapped, [&](const fsys::ByteWriter& write) {
        std::filesystem::rename(planted, swapped);
        return write("new", 3);
    }));
    EXPECT_EQ(Who(swapped), mine);
    EXPECT_EQ(Text(swapped), "new");
    EXPECT_EQ(Who(handed).substr(0, 8), "0:0 0644");

    // A new file is made with 0666 for the system to apply the umask or the
    // folder's default access list, as every program's new file is.
    const mode_t umask = ::umask(022);
    ASSERT_TRUE(fsys::WriteFileAtomically(folder / "plain/new.vxtrack", std::string_view("new")));
    ASSERT_TRUE(fsys::WriteFileAtomically(folder / "inheriting/new.vxtrack", std::string_view("new")));
    ::umask(umask);
    EXPECT_EQ(Who(folder / "plain/new.vxtrack"), "0:0 0644");
    std::string list(256, '\0');
    list.resize(static_cast<size_t>(std::max<ssize_t>(
        0, ::getxattr((folder / "inheriting/new.vxtrack").c_str(), "system.posix_acl_access", list.data(), list.size()))));
    EXPECT_EQ(list, AccessList({{kAclUserObj, 6, kNoId},
                                {kAclUser, 7, daemon->first},
                                {kAclGroupObj, 5, kNoId},
                                {kAclMask, 6, kNoId},
                                {kAclOther, 4, kNoId}}));
}

// Under a file-size limit (ulimit -f), a save that would pass it is refused
// with its reason, in a process that has SIGXFSZ at its default, which ends
// the process: the old file stays and nothing is left beside it.
TEST(FileSystem, ASavePastTheFileSizeLimitIsRefused) {
    TempFolder folder;
    const std::string old = folder.Write("old.vxtrack", "kept");
    const auto outcome = InChild(
        folder.Path(),
        [] {
            rlimit limit{};
            if (std::signal(SIGXFSZ, SIG_DFL) == SIG_ERR || ::getrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
            limit.rlim_cur = 64;
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        [] {
            std::string text;
            for (const char* name : {"old.vxtrack", "new.vxtrack"}) {
                errno = 0;
                text += fsys::WriteFileAtomically(name, std::string(4096, 'x')) ? "saved\n"
                                                                                : fsys::WriteFailureReason(errno) + "\n";
            }
            return text;
        });
    ASSERT_TRUE(outcome);
    EXPECT_EQ(*outcome, "The file would be larger than the system allows.\n"
                        "The file would be larger than the system allows.\n");
    EXPECT_EQ(Text(old), "kept");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u) << "nothing left beside the file";
}

// A folder the user may write but not list is held only as a place: a save
// makes, replaces and renames files in it all the same, and is not failed by
// the flush it cannot make of such a folder.
TEST(FileSystem, ASaveIntoAFolderTheUserMayWriteButNotList) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to run as another user";
    const auto nobody = User("nobody");
    if (!nobody) GTEST_SKIP() << "needs the user nobody";
    TempFolder folder;
    ::chmod(folder.Path().c_str(), 0755);
    const std::string mine = folder.Write("drop/mine.vxtrack", "old");
    ::chown(mine.c_str(), nobody->first, nobody->second);
    ::chmod((folder / "drop").c_str(), 0733);
    const auto outcome = AsNobody(folder / "drop", nobody->second, [] {
        std::string text;
        for (const char* name : {"mine.vxtrack", "new.vxtrack"}) {
            errno = 0;
            text += fsys::WriteFileAtomically(name, std::string_view("new")) ? "saved " : std::to_string(errno) + " ";
        }
        return text;
    });
    if (!outcome) GTEST_SKIP() << "the process cannot become the user nobody";
    EXPECT_EQ(*outcome, "saved saved ");
    EXPECT_EQ(Text(mine), "new");
    EXPECT_EQ(Text(folder / "drop/new.vxtrack"), "new");
    EXPECT_EQ(EntriesIn(folder / "drop"), 2u);
}

// A save that fails leaves the old file, no temporary file, and errno the
// reason, which the messages give in a sentence of their own.
TEST(FileSystem, AFailedSaveSaysWhy) {
    TempFolder folder;
    folder.Write("folder.vxtrack/inside");
    ::mkfifo((folder / "pipe.vxtrack").c_str(), 0644);
    const std::string locked = folder.Write("locked.vxtrack", "kept");
    ::chmod(locked.c_str(), 0444);
    std::filesystem::create_symlink("loop2.vxtrack", folder / "loop1.vxtrack");
    std::filesystem::create_symlink("loop1.vxtrack", folder / "loop2.vxtrack");
    const std::string file = folder.Write("file.vxtrack", "kept");
    const struct {
        std::string path;
        int error;
        std::string reason;
    } cases[] = {
        {folder / "missing/track.vxtrack", ENOENT, "The folder it goes in does not exist."},
        {folder / "folder.vxtrack", EISDIR, "There is a folder of that name."},
        {folder / "pipe.vxtrack", ENXIO, "There is a device, a pipe or a socket of that name, not a file."},
        {locked, EROFS, "The file or its disk is read-only."},
        {folder / "loop1.vxtrack", ELOOP, "The path leads through a loop of symbolic links."},
        {folder / std::string(300, 'n'), ENAMETOOLONG, "The file's name or path is too long."},
        {folder / "file.vxtrack/inner.vxtrack", ENOTDIR, "A part of the path is not a folder."},
    };
    const size_t entries = EntriesIn(folder.Path());
    for (const auto& c : cases) {
        errno = 0;
        EXPECT_FALSE(fsys::WriteFileAtomically(c.path, std::string(4096, 'x'))) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
        EXPECT_EQ(fsys::WriteFailureReason(errno), c.reason);
    }
    EXPECT_EQ(Text(locked), "kept");
    EXPECT_EQ(Text(file), "kept");
    EXPECT_EQ(EntriesIn(folder.Path()), entries) << "no temporary file left";
    EXPECT_EQ(fsys::WriteFailureReason(ENOSPC), "The disk is full.");
    EXPECT_EQ(fsys::WriteFailureReason(EACCES), "You have no permission to write the file or its folder.");
    EXPECT_EQ(fsys::WriteFailureReason(0), "");
    EXPECT_EQ(fsys::WriteFailureReason(fsys::kUnreadableFileError),
              "The file has to be rewritten in place, and its old bytes cannot be read to keep them.");
    EXPECT_EQ(fsys::WriteFailureReason(fsys::kReplacedWhileSavingError),
              "Another program replaced or removed the file while it was saved.");
    EXPECT_EQ(fsys::WriteFailureReason(fsys::kForeignFileError),
              "The path names a file that another user placed in a shared folder; such a file is not written.");
}

}  // namespace
