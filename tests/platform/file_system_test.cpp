#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "tests/platform/file_size_limit.h"
#include "tests/platform/temp_folder.h"

namespace {

std::string Text(const std::string& path) {
    std::string text;
    fsys::ReadWholeFile(path, text);
    return text;
}

struct ObserverScope {
    explicit ObserverScope(fsys::WriteStepObserver observer) { fsys::SetWriteStepObserver(std::move(observer)); }
    ~ObserverScope() { fsys::SetWriteStepObserver(nullptr); }
};

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

mode_t Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

size_t EntriesIn(const std::string& folder) {
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++entries;
    return entries;
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
    const std::string tmpl = fsys::TemporaryNameTemplate(folder.Path(), accented);
    const std::string tmplName = std::filesystem::path(tmpl).filename().string();
    EXPECT_EQ(tmplName, accented.substr(0, 247) + ".XXXXXX") << "cut before the character that would not fit";
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

std::string Hex(const std::string& bytes) {
    std::string text;
    for (const char byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(byte));
        text += hex;
    }
    return text;
}

// Who may use a file: owner, group, mode bits and extended attributes (the
// access list among them), as one line.
std::string Who(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return "missing";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    std::string text = std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " " + mode;
    std::vector<char> names(4096);
    const ssize_t size = ::llistxattr(path.c_str(), names.data(), names.size());
    std::vector<std::string> sorted;
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(sorted.back().size()) + 1)
        sorted.emplace_back(names.data() + at);
    std::sort(sorted.begin(), sorted.end());
    for (const std::string& name : sorted) {
        std::string value(4096, '\0');
        value.resize(static_cast<size_t>(
            std::max<ssize_t>(0, ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size()))));
        text += " " + name + "=" + Hex(value);
    }
    return text;
}

// An access list in the system's stored form: its version, then each entry
// as tag, permissions and id (the ids of the owner, group, mask and other
// entries are not used).
std::string AccessList(std::initializer_list<std::tuple<uint16_t, uint16_t, uint32_t>> entries) {
    std::string bytes{'\x02', '\0', '\0', '\0'};
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    for (const auto& [tag, permissions, id] : entries) {
        put(tag, 2);
        put(permissions, 2);
        put(id, 4);
    }
    return bytes;
}
constexpr uint16_t kAclUserObj = 0x01, kAclUser = 0x02, kAclGroupObj = 0x04, kAclGroup = 0x08, kAclMask = 0x10,
                   kAclOther = 0x20;
constexpr uint32_t kNoId = 0xFFFFFFFF;

// A user's id and main group, or a group's id; nullopt where the system has
// no such name.
std::optional<std::pair<uid_t, gid_t>> User(const char* name) {
    const passwd* user = ::getpwnam(name);
    return user ? std::optional(std::pair(user->pw_uid, user->pw_gid)) : std::nullopt;
}
std::optional<gid_t> Group(const char* name) {
    const group* found = ::getgrnam(name);
    return found ? std::optional(found->gr_gid) : std::nullopt;
}

bool SetAttribute(const std::string& path, const char* name, const std::string& value) {
    return ::setxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

// What a save did: "saved", or the errno it left.
std::string Outcome(const std::string& path, std::string_view bytes) {
    errno = 0;
    if (fsys::WriteFileAtomically(path, bytes)) return "saved";
    return std::to_string(errno);
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

// Runs `work` in a child process in `folder` as the user nobody (group
// nogroup, and a member of `extraGroup`); what it returns, or nullopt when
// the child could not become that user. A child that hangs is ended after a
// minute, and one that dies says by which signal.
std::optional<std::string> AsNobody(const std::string& folder, gid_t extraGroup,
                                    const std::function<std::string()>& work) {
    const auto nobody = User("nobody");
    int channel[2];
    if (!nobody || ::pipe(channel) != 0) return std::nullopt;
    const auto [uid, gid] = *nobody;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string text = "!";
        // The folder first: its parents need not be open to nobody.
        if (::chdir(folder.c_str()) == 0 && ::setgroups(1, &extraGroup) == 0 && ::setgid(gid) == 0 &&
            ::setuid(uid) == 0 && ::geteuid() == uid) {
            ::alarm(60);
            text = work();
        }
        const ssize_t sent = ::write(channel[1], text.data(), text.size());
        ::_exit(sent == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return std::nullopt;
    if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text == "!") return std::nullopt;
    return text;
}

// The system's fs.protected_regular (0 where it cannot be read).
int ProtectedRegular() {
    std::string text;
    fsys::ReadWholeFile("/proc/sys/fs/protected_regular", text);
    return text.empty() ? 0 : text[0] - '0';
}

// An ordinary user saves files that a new file of theirs could not stand in
// for: another user's file they may write, and their own file of a group they
// are no member of in a folder that hands its group to new files. Such a file
// is written in place and stays its owner's with its group, mode and access
// list; a write that fails there puts the old bytes back; no copy is left.
// What the user may not write is refused as such; so is, before anything is
// written, another user's file or link in a sticky folder that others may
// write (a file there of the folder's owner is written), and another user's
// link in a sticky folder of a group (a colleague's file there is written,
// where the system's fs.protected_regular is not 2). A file removed, replaced
// or moved away while it is saved, or a pipe put in its place, is not
// reported saved (a copy beside the name keeps the old bytes of one moved
// away once it was written); nor is one whose folder's flush fails.
TEST(FileSystem, ASaveByAnOrdinaryUserKeepsAnotherUsersFileTheirs) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make files of other users";
    const auto daemon = User("daemon");
    const auto nobody = User("nobody");
    const auto users = Group("users");
    if (!daemon || !nobody || !users) GTEST_SKIP() << "needs the users daemon and nobody and the group users";
    const auto [their, theirGroup] = *daemon;
    const auto [me, nogroup] = *nobody;
    const gid_t usersGroup = *users;
    TempFolder folder;
    ::chmod(folder.Path().c_str(), 0755);
    auto make = [&](const std::string& name, const std::string& text, uid_t uid, gid_t gid, mode_t mode) {
        const std::string path = folder.Write(name, text);
        ::chown(path.c_str(), uid, gid);
        ::chmod(path.c_str(), mode);
        return path;
    };
    const std::string theirs = make("handing/theirs.vxtrack", "old", their, nogroup, 0660);
    const bool lists = SetAttribute(theirs, "system.posix_acl_access",
                                    AccessList({{kAclUserObj, 6, kNoId},
                                                {kAclUser, 4, 0},
                                                {kAclGroupObj, 6, kNoId},
                                                {kAclMask, 6, kNoId},
                                                {kAclOther, 0, kNoId}}));
    const std::string full = make("handing/full.vxtrack", "old and kept", their, nogroup, 0660);
    const std::string blind = make("handing/blind.vxtrack", "unread", their, nogroup, 0620);
    make("handing/piped.vxtrack", "old", their, nogroup, 0620);
    // In a sticky folder that anyone may write: another user's file, the folder owner's, and one the user may
    // not write; links of another user to the user's private file and into a folder of theirs, and the user's own.
    const std::string placed = make("sticky/placed.vxtrack", "theirs", their, nogroup, 0666);
    const std::string owners = make("sticky/owners.vxtrack", "old", 0, nogroup, 0666);
    const std::string locked = make("sticky/locked.vxtrack", "locked", their, theirGroup, 0644);
    const std::string important = make("private/important", "private", me, nogroup, 0600);
    ::chown((folder / "private").c_str(), me, nogroup);
    std::filesystem::create_directories(folder / "open");
    ::chmod((folder / "open").c_str(), 0777);
    auto link = [&](const std::string& target, const std::string& name, uid_t owner) {
        std::filesystem::create_symlink(target, folder / name);
        ::lchown((folder / name).c_str(), owner, static_cast<gid_t>(-1));
    };
    link("../private/important", "sticky/planted.vxtrack", their);
    link("../open/made.vxtrack", "sticky/dangling.vxtrack", their);
    link("own target.vxtrack", "sticky/own.vxtrack", me);
    ::chmod((folder / "sticky").c_str(), 01777);
    // In a group's sticky folder: a colleague's file, and a colleague's link to the user's private file.
    const std::string colleagues = make("team/colleague.vxtrack", "old", their, usersGroup, 0660);
    link("../private/important", "team/planted.vxtrack", their);
    ::chown((folder / "team").c_str(), 0, usersGroup);
    ::chmod((folder / "team").c_str(), 01770);
    // The user's own files with set-ID bits: renamed over (mine, setgid), and
    // written in place (odd, of a group the user is no member of).
    const std::string mine = make("handing/mine.vxtrack", "old", me, nogroup, 04755);
    const std::string setGroup = make("handing/setgid.vxtrack", "old", me, nogroup, 02755);
    const std::string odd = make("handing/odd.vxtrack", "old", me, theirGroup, 04750);
    for (const char* name : {"removed", "replaced", "moved", "unflushed", "unconfirmed"})
        make("handing/" + std::string(name) + ".vxtrack", "old", me, theirGroup, 0640);
    ::chown((folder / "handing").c_str(), 0, usersGroup);
    ::chmod((folder / "handing").c_str(), 02775);
    std::filesystem::create_directories(folder / "closed");
    std::filesystem::create_symlink("closed", folder / "through");

    const std::vector<std::string> kept = {theirs, full, blind, placed, locked, mine, setGroup, odd, important};
    std::vector<std::string> before;
    for (const std::string& path : kept) before.push_back(Who(path));
    const auto outcomes = AsNobody(folder.Path(), usersGroup, [] {
        std::string text;
        for (const char* path : {"handing/theirs.vxtrack", "handing/mine.vxtrack", "handing/setgid.vxtrack",
                                 "handing/odd.vxtrack", "sticky/own.vxtrack", "sticky/owners.vxtrack",
                                 "sticky/locked.vxtrack", "through/new.vxtrack", "sticky/planted.vxtrack",
                                 "sticky/dangling.vxtrack", "sticky/placed.vxtrack", "team/planted.vxtrack",
                                 "handing/blind.vxtrack", "team/colleague.vxtrack"})
            text += Outcome(path, "new") + " ";
        // Another program removes or replaces the file, or puts a pipe in its
        // place, after the first look and before the file is opened.
        for (const auto& [path, put] : {std::pair("handing/removed.vxtrack", 0),
                                        std::pair("handing/replaced.vxtrack", 1),
                                        std::pair("handing/piped.vxtrack", 2)}) {
            errno = 0;
            const bool saved = fsys::WriteFileAtomically(path, [&](const fsys::ByteWriter& write) {
                ::unlink(path);
                if (put == 1) ::close(::open(path, O_CREAT | O_WRONLY, 0644));
                if (put == 2) ::mkfifo(path, 0200);
                return write("new", 3);
            });
            text += (saved ? std::string("saved") : std::to_string(errno)) + " ";
        }
        {
            // Or moves it away and puts another in its place while it is written.
            ObserverScope scope([](fsys::WriteStep step, const std::string&) {
                if (step != fsys::WriteStep::Reserved) return;
                ::rename("handing/moved.vxtrack", "handing/moved away.vxtrack");
                fsys::WriteFileAtomically("handing/moved.vxtrack", std::string_view("other"));
            });
            text += Outcome("handing/moved.vxtrack", "new") + " ";
        }
        // The flush of the folder fails: before any old byte changed (the
        // copy's name), or once the file holds the new bytes.
        fsys::SetFolderFlushForTests([](int) { return EIO; });
        text += Outcome("handing/unflushed.vxtrack", "new") + " ";
        int flushes = 0;
        fsys::SetFolderFlushForTests([&flushes](int) { return ++flushes == 1 ? 0 : EIO; });
        text += Outcome("handing/unconfirmed.vxtrack", "new") + " ";
        fsys::SetFolderFlushForTests(nullptr);
        FileSizeLimit limit(64);
        return text + Outcome("handing/full.vxtrack", std::string(4096, 'x'));
    });
    if (!outcomes) GTEST_SKIP() << "the process cannot become the user nobody";
    const auto error = [](int e) { return std::to_string(e) + " "; };
    const std::string foreign = error(fsys::kForeignLinkError), replaced = error(fsys::kReplacedWhileSavingError);
    const bool colleagueShielded = ProtectedRegular() == 2;
    EXPECT_EQ(*outcomes, "saved saved saved saved saved saved " + error(EACCES) + error(EACCES) + foreign + foreign +
                             error(fsys::kForeignFileError) + foreign + error(fsys::kUnreadableFileError) +
                             (colleagueShielded ? error(fsys::kForeignFileError) : "saved ") + replaced + replaced +
                             replaced + error(fsys::kReplacedDuringRewriteError) + error(EIO) +
                             error(fsys::kUnconfirmedNameError) + std::to_string(EFBIG));
    std::vector<std::string> after;
    for (const std::string& path : kept) after.push_back(Who(path));
    EXPECT_EQ(after, before);
    if (lists) {
        EXPECT_NE(after[0].find("system.posix_acl_access="), std::string::npos);
    }
    for (const std::string& path : {theirs, mine, setGroup, odd, owners}) EXPECT_EQ(Text(path), "new") << path;
    EXPECT_EQ(Text(colleagues), colleagueShielded ? "old" : "new");
    EXPECT_EQ(Text(folder / "sticky/own target.vxtrack"), "new");
    EXPECT_EQ(Text(full), "old and kept");
    EXPECT_EQ(Text(locked), "locked");
    EXPECT_EQ(Text(placed), "theirs");
    EXPECT_EQ(Text(important), "private");
    EXPECT_EQ(Text(folder / "handing/moved away.vxtrack"), "new") << "nothing more written into it";
    EXPECT_EQ(Text(folder / "handing/moved.vxtrack"), "other");
    size_t copies = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "handing"))
        if (entry.path().filename().string().rfind("moved.vxtrack.", 0) == 0) copies += Text(entry.path()) == "old";
    EXPECT_EQ(copies, 1u) << "the old bytes are kept in a copy beside the name";
    EXPECT_EQ(Text(folder / "handing/unflushed.vxtrack"), "old");
    EXPECT_EQ(Text(folder / "handing/unconfirmed.vxtrack"), "new");
    EXPECT_EQ(EntriesIn(folder / "sticky"), 7u) << "no copy left behind";
    EXPECT_EQ(EntriesIn(folder / "team"), 2u);
    EXPECT_EQ(EntriesIn(folder / "handing"), 13u);
    EXPECT_EQ(EntriesIn(folder / "closed"), 0u);
    EXPECT_EQ(EntriesIn(folder / "open"), 0u);
}

// A file written in place that another program moves away, or whose name
// it removes, once the new bytes are written, may be that program's now: what
// it writes there stays, no old byte goes back into it, and the message names
// the copy beside the name that keeps them.
TEST(FileSystem, AFileTakenAwayDuringAWriteInPlaceKeepsTheOtherProgramsBytes) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make files of other users";
    const auto daemon = User("daemon");
    const auto nobody = User("nobody");
    const auto users = Group("users");
    if (!daemon || !nobody || !users) GTEST_SKIP() << "needs the users daemon and nobody and the group users";
    TempFolder folder;
    ::chmod(folder.Path().c_str(), 0755);
    // The user's files of a group they are no member of, in a folder that hands its own: written in place.
    for (const char* name : {"moved.vxtrack", "linked.vxtrack"}) {
        const std::string path = folder.Write(std::string("handing/") + name, "old");
        ::chown(path.c_str(), nobody->first, daemon->second);
        ::chmod(path.c_str(), 0660);
    }
    ASSERT_EQ(::link((folder / "handing/linked.vxtrack").c_str(), (folder / "handing/second.vxtrack").c_str()), 0);
    ::chown((folder / "handing").c_str(), 0, *users);
    ::chmod((folder / "handing").c_str(), 02775);
    const auto outcome = AsNobody(folder.Path(), *users, [] {
        std::string text;
        // Moved away, then appended to; the name removed, then the other name rewritten.
        for (const auto& [path, theirs, flags] :
             {std::tuple("handing/moved.vxtrack", "handing/away.vxtrack", O_APPEND),
              std::tuple("handing/linked.vxtrack", "handing/second.vxtrack", O_TRUNC)}) {
            ObserverScope scope([&](fsys::WriteStep step, const std::string&) {
                if (step != fsys::WriteStep::FileFlushed) return;
                if (flags == O_APPEND) ::rename(path, theirs); else ::unlink(path);
                const int fd = ::open(theirs, O_WRONLY | flags);
                (void)!::write(fd, "theirs", 6);
                ::close(fd);
            });
            errno = 0;
            fsys::WriteFileAtomically(path, std::string_view("new"));
            const std::string copy = fsys::OldBytesCopy();
            text += std::to_string(errno) + "|" + fsys::WriteFailureReason(errno) + "|" + copy + "|" + Text(theirs) +
                    "|" + Text(copy) + "\n";
        }
        return text;
    });
    if (!outcome) GTEST_SKIP() << "the process cannot become the user nobody";
    const auto expected = [](const std::string& copy, const char* theirs) {
        return std::to_string(fsys::kReplacedDuringRewriteError) +
               "|Another program replaced or removed the file while it was saved. Its old bytes are kept in \"" +
               copy + "\".|" + copy + "|" + theirs + "|old\n";
    };
    const auto copyOf = [&](size_t line) {
        size_t at = 0;
        for (size_t i = 0; i < line; ++i) at = outcome->find('\n', at) + 1;
        const size_t begin = outcome->find("|", outcome->find("|", at) + 1) + 1;
        return outcome->substr(begin, outcome->find("|", begin) - begin);
    };
    EXPECT_EQ(*outcome, expected(copyOf(0), "newtheirs") + expected(copyOf(1), "theirs"));
    EXPECT_EQ(copyOf(0).rfind("handing/moved.vxtrack.", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "handing/moved.vxtrack"));
    EXPECT_EQ(EntriesIn(folder / "handing"), 4u) << "the files of the other program and the two copies";
}

// A file system of `bytes` mounted on a folder for the scope's life (tmpfs,
// open to every user, not sticky); Mounted() false where the process may not
// mount.
class SmallDisk {
public:
    SmallDisk(const std::string& folder, size_t bytes) : folder_(folder) {
        std::filesystem::create_directories(folder);
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

// Fills the disk of `folder` as another program would.
void FillDisk(const std::string& folder) {
    const int fd = ::open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
}

// Another user's file rewritten in place keeps its whole old bytes when the
// disk fills up while the new ones are handed over or before their room is
// reserved; no old byte changes before that. A write that fails after it and
// cannot put the old bytes back says the file is damaged and names the copy
// that holds them, which the file's owner, group and others may read, as
// they may read the file, where the user is neither the owner nor in the
// group, and no one that the folder's default access list names.
TEST(FileSystem, AWriteInPlaceKeepsTheWholeOldFileWhenTheDiskFills) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make files of other users";
    const auto daemon = User("daemon");
    const auto nobody = User("nobody");
    if (!daemon || !nobody) GTEST_SKIP() << "needs the users daemon and nobody";
    TempFolder folder;
    ::chmod(folder.Path().c_str(), 0755);
    SmallDisk disk(folder / "disk", 1 << 20);
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system";
    const std::string old(300 << 10, 'o');
    const std::string file = folder.Write("disk/theirs.vxtrack", old);
    ::chown(file.c_str(), daemon->first, daemon->second);
    ::chmod(file.c_str(), 0666);
    constexpr uint32_t kStranger = 4242;
    const bool lists = SetAttribute(folder / "disk", "system.posix_acl_default",
                                    AccessList({{kAclUserObj, 7, kNoId},
                                                {kAclUser, 6, kStranger},
                                                {kAclGroupObj, 7, kNoId},
                                                {kAclMask, 7, kNoId},
                                                {kAclOther, 0, kNoId}}));
    const auto outcome = AsNobody(folder / "disk", nobody->second, [&] {
        std::string text;
        // The disk filled while the bytes are handed over; or, once they are,
        // what the file grows by does not fit.
        for (const bool filled : {true, false}) {
            std::optional<FileSizeLimit> limit;
            errno = 0;
            fsys::WriteFileAtomically("theirs.vxtrack", [&](const fsys::ByteWriter& write) {
                const std::string half(200 << 10, 'n');
                if (!write(half.data(), half.size())) return false;
                if (filled) FillDisk(".");
                if (!write(half.data(), half.size())) return false;
                if (!filled) limit.emplace(old.size() + (16 << 10));
                return true;
            });
            limit.reset();
            text += std::to_string(errno) + (Text("theirs.vxtrack") == old ? " kept " : " lost ");
            ::unlink("filler");
        }
        // No old byte changed once the room is reserved; then every write fails.
        std::optional<FileSizeLimit> limit;
        std::string atReserved;
        ObserverScope scope([&](fsys::WriteStep step, const std::string&) {
            if (step != fsys::WriteStep::Reserved) return;
            atReserved = Text("theirs.vxtrack").compare(0, old.size(), old) == 0 ? "kept" : "changed";
            limit.emplace(4096);
        });
        errno = 0;
        fsys::WriteFileAtomically("theirs.vxtrack", std::string(old.size() + 4096, 'n'));
        const int error = errno;
        limit.reset();
        return text + atReserved + " " + std::to_string(error) + "\n" + fsys::OldBytesCopy() + "\n" +
               fsys::WriteFailureReason(error);
    });
    if (!outcome) GTEST_SKIP() << "the process cannot become the user nobody";
    const size_t first = outcome->find('\n'), second = outcome->find('\n', first + 1);
    const std::string copy = outcome->substr(first + 1, second - first - 1);
    EXPECT_EQ(outcome->substr(0, first), std::to_string(ENOSPC) + " kept " + std::to_string(EFBIG) + " kept kept " +
                                             std::to_string(fsys::kDamagedFileError));
    EXPECT_EQ(outcome->substr(second + 1),
              "The file would be larger than the system allows. The file is damaged: its old bytes could not be put "
              "back. They are kept in \"" + copy + "\".");
    EXPECT_TRUE(Text(folder / "disk/" + copy) == old) << "the copy holds the old bytes";
    EXPECT_EQ(Who(folder / "disk/" + copy),
              std::to_string(nobody->first) + ":" + std::to_string(nobody->second) +
                  (lists ? " 0666 system.posix_acl_access=" + Hex(AccessList({{kAclUserObj, 6, kNoId},
                                                                             {kAclUser, 6, daemon->first},
                                                                             {kAclGroupObj, 0, kNoId},
                                                                             {kAclGroup, 6, daemon->second},
                                                                             {kAclMask, 6, kNoId},
                                                                             {kAclOther, 6, kNoId}}))
                         : " 0606"));
    EXPECT_EQ(EntriesIn(folder / "disk"), 2u) << "only the file and the copy";
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
        {file, EFBIG, "The file would be larger than the system allows."},
    };
    const size_t entries = EntriesIn(folder.Path());
    for (const auto& c : cases) {
        errno = 0;
        {
            FileSizeLimit limit(64);
            EXPECT_FALSE(fsys::WriteFileAtomically(c.path, std::string(4096, 'x'))) << c.path;
        }
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

// The chain of links a path starts, link by link, as a write follows it.
TEST(FileSystem, FollowLinksNamesEveryEntryOfTheChain) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string real = folder.Write("real/file", "x");
    fs::create_directories(folder / "links");
    fs::create_symlink("../real/file", folder / "links/relative");  // read from its own folder
    fs::create_symlink(folder / "links/relative", folder / "absolute");
    fs::create_symlink("nothing yet", folder / "ahead");
    fs::create_symlink("self", folder / "self");
    using Chain = std::vector<std::string>;
    EXPECT_EQ(fsys::FollowLinks(folder / "absolute").Entries,
              (Chain{folder / "absolute", folder / "links/relative", folder / "links/../real/file"}));
    EXPECT_EQ(fsys::FollowLinks(folder / "absolute").Error, 0);
    EXPECT_EQ(fsys::FollowLinks(real).Entries, Chain{real});
    EXPECT_EQ(fsys::FollowLinks(folder / "ahead").Entries, (Chain{folder / "ahead", folder / "nothing yet"}));
    const fsys::LinkChain loop = fsys::FollowLinks(folder / "self");
    EXPECT_EQ(loop.Error, ELOOP);
    EXPECT_EQ(loop.Entries.size(), size_t(fsys::kMostLinks) + 1);
    EXPECT_EQ(loop.Entries.back(), folder / "self");

    // In a sticky folder that others may write, a link is followed only when
    // it belongs to the user or to the folder's owner.
    const auto daemon = User("daemon");
    const auto nobody = User("nobody");
    if (!daemon || !nobody) return;
    fs::create_directories(folder / "shared");
    for (const auto& [name, owner] : {std::pair("mine", ::geteuid()), std::pair("owners", daemon->first),
                                      std::pair("planted", nobody->first)}) {
        fs::create_symlink("../real/file", folder / "shared/" + name);
        if (::lchown((folder / "shared/" + name).c_str(), owner, static_cast<gid_t>(-1)) != 0) return;
    }
    if (::chown((folder / "shared").c_str(), daemon->first, static_cast<gid_t>(-1)) != 0) return;
    ::chmod((folder / "shared").c_str(), 01777);
    EXPECT_EQ(fsys::FollowLinks(folder / "shared/mine").Entries.back(), folder / "shared/../real/file");
    EXPECT_EQ(fsys::FollowLinks(folder / "shared/owners").Error, 0);
    const fsys::LinkChain planted = fsys::FollowLinks(folder / "shared/planted");
    EXPECT_EQ(planted.Error, fsys::kForeignLinkError);
    EXPECT_EQ(planted.Entries, Chain{folder / "shared/planted"});
    EXPECT_NE(fsys::WriteFailureReason(planted.Error).find("a link that another user placed in a shared folder"),
              std::string::npos);
    // The same in a sticky folder that a group may write; in one that only its owner may write, links are followed.
    ::chmod((folder / "shared").c_str(), 01770);
    EXPECT_EQ(fsys::FollowLinks(folder / "shared/planted").Error, fsys::kForeignLinkError);
    ::chmod((folder / "shared").c_str(), 01755);
    EXPECT_EQ(fsys::FollowLinks(folder / "shared/planted").Error, 0);
}

}  // namespace
