#include "platform/shared_folders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string_view>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "tests/platform/save_checks.h"
#include "tests/platform/temp_folder.h"

namespace {

// From the owners and modes alone: a sticky folder that others or a group may
// write follows only the links of the user and of the folder's owner; it
// keeps another user's file from the user where others may write it, and
// where a group may, only when the system's fs.protected_regular is 2.
TEST(SharedFolders, TheOwnersAndModesDecideWhoseLinksAndFilesAreUsed) {
    constexpr uid_t kUser = 1000, kFoldersOwner = 7, kAnother = 1001;
    const struct {
        mode_t mode;
        uid_t owner;  // of the link or file in the folder
        bool followed, placedAt0, placedAt2;
    } rows[] = {
        {01777, kAnother, false, true, true},   {01757, kAnother, false, true, true},
        {01770, kAnother, false, false, true},  {01775, kAnother, false, false, true},
        {01777, kUser, true, false, false},     {01777, kFoldersOwner, true, false, false},
        {01755, kAnother, true, false, false},  {00777, kAnother, true, false, false},
    };
    for (const auto& row : rows) {
        const fsys::FolderOwnership folder{kFoldersOwner, static_cast<mode_t>(S_IFDIR | row.mode)};
        EXPECT_EQ(fsys::FollowsLinkIn(folder, row.owner, kUser), row.followed) << std::oct << row.mode;
        EXPECT_EQ(fsys::IsPlacedByAnother(folder, row.owner, kUser, 0), row.placedAt0) << std::oct << row.mode;
        EXPECT_EQ(fsys::IsPlacedByAnother(folder, row.owner, kUser, 2), row.placedAt2) << std::oct << row.mode;
    }
}

// Each entry under the folder with its owner and bytes, one a line, by name.
std::string Entries(const std::string& folder) {
    std::set<std::string> lines;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        lines.insert(entry.path().lexically_relative(folder).string() + " " + std::to_string(st.st_uid) +
                     (S_ISREG(st.st_mode) ? " " + Text(entry.path()) : ""));
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The superuser's run writes nothing where a folder or link on the way is
// another user's: no save, new folder, lock, scratch file or removal there,
// in their folder, through their link to a folder of root's, or through
// their link at the file's own name; the message names the entry, its owner
// and the way out. Along root's own folders and links it writes as before,
// and what it makes is its own.
TEST(SharedFolders, TheSuperuserWritesNothingPastAnotherUsersFolderOrLink) {
    namespace fs = std::filesystem;
    const auto nobody = User("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs the superuser and the user nobody";
    TempFolder folder;
    ASSERT_TRUE(fsys::CreateFolders(folder / "roots"));
    const std::string old = folder.Write("roots/old.ini", "old");
    ASSERT_TRUE(fsys::CreateFolders(folder / "theirs"));
    ASSERT_EQ(::chown((folder / "theirs").c_str(), nobody->first, nobody->second), 0);
    ::chmod((folder / "theirs").c_str(), 0777);
    fs::create_symlink(folder / "roots", folder / "toRoots");
    fs::create_symlink("old.ini", folder / "roots/link.ini");
    ASSERT_EQ(::lchown((folder / "toRoots").c_str(), nobody->first, nobody->second), 0);
    ASSERT_EQ(::lchown((folder / "roots/link.ini").c_str(), nobody->first, nobody->second), 0);
    const auto refused = [](bool done) { return !done && errno == fsys::kAnotherUsersWayError; };
    const std::function<bool(const std::string&)> writes[] = {
        [](const std::string& p) { return fsys::WriteFileAtomically(p, std::string_view("new")); },
        [](const std::string& p) { return fsys::CreateFolders(p + "/below"); },
        [](const std::string& p) {
            const FileLock lock(p, std::chrono::milliseconds(0));
            errno = lock.Reason().find("belongs to the user nobody") != std::string::npos ? fsys::kAnotherUsersWayError : 0;
            return lock.Held();
        },
        [](const std::string& p) { return fsys::RemoveEntry(p); },
        [](const std::string& p) {
            std::FILE* scratch = fsys::OpenScratchFileBeside(p);
            return scratch && std::fclose(scratch) == 0;
        },
    };
    const std::string before = Entries(folder.Path());
    for (const std::string& way : {folder / "theirs/new.ini", folder / "toRoots/old.ini"}) {
        for (const auto& write : writes) EXPECT_TRUE(refused(write(way))) << way;
        EXPECT_EQ(Entries(folder.Path()), before) << way;
    }
    EXPECT_TRUE(refused(writes[0](folder / "roots/link.ini")));
    EXPECT_TRUE(refused(writes[1](folder / "roots/link.ini")));
    EXPECT_EQ(Entries(folder.Path()), before);
    const char* const tail =
        "; run as the superuser, the program writes nothing in another user's folders or through their links. To "
        "work there, run it as that user, for example: sudo -u nobody gantrywright";
    EXPECT_FALSE(fsys::WriteFileAtomically(folder / "theirs/a/b.ini", std::string_view("new")));
    EXPECT_EQ(fsys::WriteFailureReason(errno), NobodysFolderRefusal(folder / "theirs"));
    EXPECT_FALSE(fsys::CreateFolders(folder / "toRoots/made"));
    EXPECT_EQ(fsys::WriteFailureReason(errno), "The link \"" + folder / "toRoots\" belongs to the user nobody" + tail);
    EXPECT_EQ(fsys::WayRefusal(folder / "theirs/not/yet"), NobodysFolderRefusal(folder / "theirs"));
    EXPECT_EQ(fsys::WayRefusal(folder / "roots/not/yet"), "");
    // A relative path is walked from "/" along the current folder's path.
    const std::string cwd = fs::current_path();
    ASSERT_EQ(::chdir((folder / "theirs").c_str()), 0);
    EXPECT_TRUE(refused(fsys::WriteFileAtomically("here.ini", std::string_view("new"))));
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
    EXPECT_EQ(Entries(folder.Path()), before);

    // Root's own way: its link followed, its folders made, its files saved, locked and removed.
    fs::create_symlink("roots", folder / "mine");
    EXPECT_TRUE(fsys::CreateFolders(folder / "mine/made/deeper/.."));
    EXPECT_TRUE(fsys::WriteFileAtomically(folder / "mine/made/new.ini", std::string_view("new")));
    EXPECT_TRUE(fsys::WriteFileAtomically(folder / "mine/old.ini", std::string_view("saved")));
    EXPECT_TRUE(FileLock(folder / "mine/store.lock", std::chrono::milliseconds(0)).Held());
    EXPECT_TRUE(fsys::RemoveEntry(folder / "mine/made/deeper"));
    const std::string uid = std::to_string(nobody->first);
    EXPECT_EQ(Entries(folder / "roots"), "link.ini " + uid + "\nmade 0\nmade/new.ini 0 new\nold.ini 0 saved\nstore.lock 0 \n");
}

// The chain of links a path starts, link by link, as a write follows it.
TEST(SharedFolders, FollowLinksNamesEveryEntryOfTheChain) {
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
