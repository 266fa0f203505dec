#include "platform/write_in_place.h"

#include <gtest/gtest.h>

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
#include <sys/wait.h>
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

// A file written in place that another program moves away, or whose name
// it removes, may be that program's now: taken away while the old bytes were
// copied, it gets no new byte and no copy is left; taken away once the room
// was reserved or the new bytes written, what that program writes there stays
// (a rewrite that then fails puts no old byte back into it either), and the
// message names the copy beside the name that keeps them.
TEST(WriteInPlace, AFileTakenAwayDuringAWriteInPlaceKeepsTheOtherProgramsBytes) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make files of other users";
    const auto daemon = User("daemon");
    const auto nobody = User("nobody");
    const auto users = Group("users");
    if (!daemon || !nobody || !users) GTEST_SKIP() << "needs the users daemon and nobody and the group users";
    TempFolder folder;
    ::chmod(folder.Path().c_str(), 0755);
    // The user's files of a group they are no member of, in a folder that hands its own: written in place.
    for (const char* name : {"copied.vxtrack", "failed.vxtrack", "moved.vxtrack", "linked.vxtrack"}) {
        const std::string path = folder.Write(std::string("handing/") + name, "old");
        ::chown(path.c_str(), nobody->first, daemon->second);
        ::chmod(path.c_str(), 0660);
    }
    ASSERT_EQ(::link((folder / "handing/linked.vxtrack").c_str(), (folder / "handing/second.vxtrack").c_str()), 0);
    ::chown((folder / "handing").c_str(), 0, *users);
    ::chmod((folder / "handing").c_str(), 02775);
    static constexpr int kCopied = -1;  // once the copy of the old bytes is flushed, before the room is reserved
    const auto outcome = AsNobody(folder.Path(), *users, [] {
        std::string text;
        // Moved away, then appended to or rewritten (the rewrite then fails
        // beyond 4 bytes); the name removed, then the other name rewritten.
        for (const auto& [path, theirs, flags, step, bytes] :
             {std::tuple("handing/copied.vxtrack", "handing/taken.vxtrack", O_APPEND, kCopied, "new"),
              std::tuple("handing/failed.vxtrack", "handing/kept.vxtrack", O_TRUNC, int(fsys::WriteStep::Reserved),
                         "newer"),
              std::tuple("handing/moved.vxtrack", "handing/away.vxtrack", O_APPEND,
                         int(fsys::WriteStep::FileFlushed), "new"),
              std::tuple("handing/linked.vxtrack", "handing/second.vxtrack", O_TRUNC,
                         int(fsys::WriteStep::FileFlushed), "new")}) {
            const bool failing = step == int(fsys::WriteStep::Reserved);
            std::optional<FileSizeLimit> limit;
            bool done = false;
            const auto takeAway = [&, path = path, theirs = theirs, flags = flags] {
                done = true;
                if (flags == O_APPEND || failing) ::rename(path, theirs); else ::unlink(path);
                const int fd = ::open(theirs, O_WRONLY | flags);
                (void)!::write(fd, failing ? "them" : "theirs", failing ? 4 : 6);
                ::close(fd);
                if (failing) limit.emplace(4);
            };
            ObserverScope scope([&, step = step](fsys::WriteStep now, const std::string&) {
                if (!done && int(now) == step) takeAway();
            });
            fsys::SetFolderFlushForTests([&, step = step](int fd) {
                if (!done && step == kCopied) takeAway();
                return ::fsync(fd) == 0 ? 0 : errno;
            });
            errno = 0;
            fsys::WriteFileAtomically(path, std::string_view(bytes));
            const int error = errno;
            limit.reset();
            fsys::SetFolderFlushForTests(nullptr);
            const std::string copy = error == fsys::kReplacedDuringRewriteError ? fsys::OldBytesCopy() : "";
            text += std::to_string(error) + "|" + fsys::WriteFailureReason(error) + "|" + copy + "|" + Text(theirs) +
                    "|" + Text(copy) + "\n";
        }
        return text;
    });
    if (!outcome) GTEST_SKIP() << "the process cannot become the user nobody";
    const auto copyOf = [&](size_t line) {
        size_t at = 0;
        for (size_t i = 0; i < line; ++i) at = outcome->find('\n', at) + 1;
        const size_t begin = outcome->find("|", outcome->find("|", at) + 1) + 1;
        return outcome->substr(begin, outcome->find("|", begin) - begin);
    };
    const auto kept = [&](size_t line, const char* theirs) {
        return std::to_string(fsys::kReplacedDuringRewriteError) +
               "|Another program replaced or removed the file while it was saved. Its old bytes are kept in \"" +
               copyOf(line) + "\".|" + copyOf(line) + "|" + theirs + "|old\n";
    };
    EXPECT_EQ(*outcome, std::to_string(fsys::kReplacedWhileSavingError) +
                            "|Another program replaced or removed the file while it was saved.||oldtheirs|\n" +
                            kept(1, "newm") + kept(2, "newtheirs") + kept(3, "theirs"));
    EXPECT_EQ(copyOf(2).rfind("handing/moved.vxtrack.", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "handing/moved.vxtrack"));
    EXPECT_EQ(EntriesIn(folder / "handing"), 7u) << "the files of the other program and three copies";
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

}  // namespace
