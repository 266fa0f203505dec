#include "platform/write_in_place.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/save_checks.h"
#include "tests/platform/temp_folder.h"

namespace {

// What a save did: "saved", or the errno it left.
std::string Outcome(const std::string& path, std::string_view bytes) {
    errno = 0;
    if (fsys::WriteFileAtomically(path, bytes)) return "saved";
    return std::to_string(errno);
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
TEST(WriteInPlace, ASaveByAnOrdinaryUserKeepsAnotherUsersFileTheirs) {
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

// A file written in place that another program moves away, changes the
// length of, or whose name it removes, may be that program's now. Taken away
// while the old bytes were copied, it gets nothing of the save, not even a
// reservation that would take its set-ID bits, and no copy is left. Taken
// away or changed once the room was being reserved or the new bytes written,
// what that program wrote there stays: nothing cut back to the old length or
// padded to the new one, no old byte put back, no set-ID bit put back; the
// save is not reported done, and the message names the copy that keeps the
// old bytes where it is now, in a folder that was moved too.
TEST(WriteInPlace, AFileTakenAwayOrChangedDuringAWriteInPlaceKeepsTheOtherProgramsBytes) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make files of other users";
    const auto daemon = User("daemon");
    const auto nobody = User("nobody");
    const auto users = Group("users");
    if (!daemon || !nobody || !users) GTEST_SKIP() << "needs the users daemon and nobody and the group users";
    TempFolder folder;
    ::chmod(folder.Path().c_str(), 0777);  // the user may move a folder in it
    // When the other program acts: once the copy of the old bytes is flushed
    // (before the name is looked at again), in place of the reservation, or at
    // a step of the write.
    static constexpr int kCopied = -1, kReserving = -2;
    static constexpr int kReserved = int(fsys::WriteStep::Reserved), kFlushed = int(fsys::WriteStep::FileFlushed);
    const auto append = [](const char* name, const char* text, int flags) {
        const int fd = ::open(name, O_WRONLY | flags);
        (void)!::write(fd, text, std::strlen(text));
        ::close(fd);
    };
    struct Case {
        const char* path;    // the file saved, the user's of a group they are no member of: written in place
        mode_t mode;
        const char* bytes;   // what the save writes
        int step;
        const char* theirs;  // the file the other program leaves
        std::function<void()> act;
        rlim_t limit = 0;    // the file-size limit once it acted (0: none)
    };
    const std::vector<Case> cases = {
        {"handing/copied.vxtrack", 04660, "new", kCopied, "handing/copied away.vxtrack",
         [] { ::rename("handing/copied.vxtrack", "handing/copied away.vxtrack"); }},
        // The rewrite fails after a byte (the file-size limit, set here, is then 1).
        {"handing/failed.vxtrack", 04660, "newer", kReserved, "handing/kept.vxtrack",
         [&] {
             ::rename("handing/failed.vxtrack", "handing/kept.vxtrack");
             append("handing/kept.vxtrack", "them", O_TRUNC);
         },
         1},
        {"handing/cut.vxtrack", 0660, "ne", kReserved, "handing/uncut.vxtrack",
         [] { ::rename("handing/cut.vxtrack", "handing/uncut.vxtrack"); }},
        {"handing/moved.vxtrack", 0660, "new", kFlushed, "handing/away.vxtrack",
         [&] {
             ::rename("handing/moved.vxtrack", "handing/away.vxtrack");
             append("handing/away.vxtrack", "theirs", O_APPEND);
         }},
        {"moving/file.vxtrack", 0660, "new", kFlushed, "moved folder/file.vxtrack",
         [] { ::rename("moving", "moved folder"); }},
        {"handing/linked.vxtrack", 0660, "new", kFlushed, "handing/second.vxtrack",
         [&] {
             ::unlink("handing/linked.vxtrack");
             append("handing/second.vxtrack", "theirs", O_TRUNC);
         }},
        // The reservation fails (a disk that fills up).
        {"handing/appended.vxtrack", 0660, "newer", kReserving, "handing/appended.vxtrack",
         [&] { append("handing/appended.vxtrack", "theirs", O_APPEND); }},
        {"handing/reserved.vxtrack", 04660, "newer", kReserving, "handing/reserved away.vxtrack",
         [] { ::rename("handing/reserved.vxtrack", "handing/reserved away.vxtrack"); }},
        {"handing/shortened.vxtrack", 0660, "newer", kReserved, "handing/shortened.vxtrack",
         [&] { append("handing/shortened.vxtrack", "x", O_TRUNC); }},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Write(c.path, "old");
        ::chown(path.c_str(), nobody->first, daemon->second);
        ::chmod(path.c_str(), c.mode);
    }
    ASSERT_EQ(::link((folder / "handing/linked.vxtrack").c_str(), (folder / "handing/second.vxtrack").c_str()), 0);
    for (const char* name : {"handing", "moving"}) {
        ::chown((folder / name).c_str(), 0, *users);
        ::chmod((folder / name).c_str(), 02775);
    }
    const auto outcome = AsNobody(folder.Path(), *users, [&] {
        std::string text;
        for (const Case& c : cases) {
            std::optional<FileSizeLimit> limit;
            bool done = false;
            const auto act = [&] {
                done = true;
                c.act();
                if (c.limit > 0) limit.emplace(c.limit);
            };
            ObserverScope scope([&](fsys::WriteStep now, const std::string&) {
                if (!done && int(now) == c.step) act();
            });
            fsys::SetFolderFlushForTests([&](int fd) {
                if (!done && c.step == kCopied) act();
                return ::fsync(fd) == 0 ? 0 : errno;
            });
            if (c.step == kReserving) fsys::SetReservationForTests([&](int, off_t) {
                act();
                return ENOSPC;
            });
            errno = 0;
            const bool saved = fsys::WriteFileAtomically(c.path, std::string_view(c.bytes));
            const int error = saved ? 0 : errno;
            limit.reset();
            fsys::SetFolderFlushForTests(nullptr);
            fsys::SetReservationForTests(nullptr);
            const bool copied = error == fsys::kReplacedDuringRewriteError || error == fsys::kChangedDuringRewriteError;
            const std::string copy = copied ? fsys::OldBytesCopy() : "";
            char mode[8];
            std::snprintf(mode, sizeof mode, "%o", static_cast<unsigned>(Mode(c.theirs)));
            text += std::to_string(error) + "|" + fsys::WriteFailureReason(error) + "|" + copy + "|" + Text(c.theirs) +
                    "|" + mode + "\n";
        }
        return text;
    });
    if (!outcome) GTEST_SKIP() << "the process cannot become the user nobody";
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = outcome->find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(outcome->substr(at, end - at));
    ASSERT_EQ(lines.size(), cases.size()) << *outcome;
    const std::string where = std::filesystem::canonical(folder.Path()).string() + "/";
    // The line of a save that left a copy, which is named where it is now.
    const auto kept = [&](size_t line, int error, const std::string& copyIn, const char* theirs, const char* mode) {
        const size_t begin = lines[line].find('|', lines[line].find('|') + 1) + 1;
        const std::string copy = lines[line].substr(begin, lines[line].find('|', begin) - begin);
        EXPECT_EQ(copy.substr(0, std::max<size_t>(copy.size(), 6) - 6), where + copyIn + ".") << "named where it is";
        EXPECT_EQ(Text(copy), "old") << copy;
        const char* what = error == fsys::kChangedDuringRewriteError ? "changed" : "replaced or removed";
        return std::to_string(error) + "|Another program " + what +
               " the file while it was saved. Its old bytes are kept in \"" + copy + "\".|" + copy + "|" + theirs +
               "|" + mode;
    };
    const int replaced = fsys::kReplacedDuringRewriteError, changed = fsys::kChangedDuringRewriteError;
    EXPECT_EQ(lines[0], std::to_string(fsys::kReplacedWhileSavingError) +
                            "|Another program replaced or removed the file while it was saved.||old|4660");
    EXPECT_EQ(lines[1], kept(1, replaced, "handing/failed.vxtrack", "nhem", "660"));
    EXPECT_EQ(lines[2], kept(2, replaced, "handing/cut.vxtrack", "ned", "660"));
    EXPECT_EQ(lines[3], kept(3, replaced, "handing/moved.vxtrack", "newtheirs", "660"));
    EXPECT_EQ(lines[4], kept(4, replaced, "moved folder/file.vxtrack", "new", "660"));
    EXPECT_EQ(lines[5], kept(5, replaced, "handing/linked.vxtrack", "theirs", "660"));
    EXPECT_EQ(lines[6], kept(6, changed, "handing/appended.vxtrack", "oldtheirs", "660"));
    EXPECT_EQ(lines[7], kept(7, replaced, "handing/reserved.vxtrack", "old", "4660"));
    EXPECT_EQ(lines[8], kept(8, changed, "handing/shortened.vxtrack", "new", "660"));
    EXPECT_EQ(EntriesIn(folder / "handing"), 15u) << "the files of the other program and seven copies";
    EXPECT_EQ(EntriesIn(folder / "moved folder"), 2u);
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
TEST(WriteInPlace, AWriteInPlaceKeepsTheWholeOldFileWhenTheDiskFills) {
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
    EXPECT_EQ(std::filesystem::path(copy).parent_path(), std::filesystem::canonical(folder / "disk"));
    EXPECT_TRUE(Text(copy) == old) << "the copy holds the old bytes";
    EXPECT_EQ(Who(copy),
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

}  // namespace
