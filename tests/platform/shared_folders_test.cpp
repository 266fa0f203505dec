#include "platform/shared_folders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
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
    // What the superuser makes in another user's folder goes to that user; anyone else's stays theirs.
    EXPECT_TRUE(fsys::GoesToFolderOwner({kFoldersOwner, S_IFDIR | 0700}, 0));
    EXPECT_FALSE(fsys::GoesToFolderOwner({0, S_IFDIR | 01777}, 0));
    EXPECT_FALSE(fsys::GoesToFolderOwner({kFoldersOwner, S_IFDIR | 0777}, kUser));
}

// A run as root in a user's folder (sudo with the user's configuration
// folder) leaves the folders and new files it makes there the user's, and a
// file it replaces there theirs; in a folder of root's, its files stay root's,
// and so does a folder of root's that was there.
TEST(SharedFolders, WhatTheSuperuserMakesInAUsersFolderIsTheirs) {
    const auto nobody = User("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs the superuser and the user nobody";
    const auto [user, group] = *nobody;
    TempFolder folder;
    const auto owner = [](const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? std::pair(st.st_uid, st.st_gid) : std::pair(uid_t(-1), gid_t(-1));
    };
    const std::string home = folder / "home";
    ASSERT_TRUE(fsys::CreateFolders(home));
    ASSERT_EQ(::chown(home.c_str(), user, group), 0);
    ASSERT_TRUE(fsys::CreateFolders(home + "/.config/gantrywright/"));
    EXPECT_EQ(owner(home + "/.config"), std::pair(user, group));
    EXPECT_EQ(owner(home + "/.config/gantrywright"), std::pair(user, group));
    const std::string settings = home + "/.config/gantrywright/Gantrywright.ini";
    ASSERT_TRUE(fsys::WriteFileAtomically(settings, std::string_view("new")));
    EXPECT_EQ(owner(settings), std::pair(user, group));
    ASSERT_TRUE(fsys::WriteFileAtomically(settings, std::string_view("again")));
    EXPECT_EQ(owner(settings), std::pair(user, group));
    const std::string roots = folder / "roots.ini";
    ASSERT_TRUE(fsys::WriteFileAtomically(roots, std::string_view("new")));
    EXPECT_EQ(owner(roots).first, uid_t(0));
    ASSERT_EQ(::mkdir((home + "/.config/roots").c_str(), 0700), 0);
    ASSERT_TRUE(fsys::CreateFolders(home + "/.config/roots/below"));
    EXPECT_EQ(owner(home + "/.config/roots").first, uid_t(0));
    EXPECT_EQ(owner(home + "/.config/roots/below").first, uid_t(0));
}

// Each entry under the folder with its owner, one a line, by name.
std::string Owners(const std::string& folder) {
    std::set<std::string> lines;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        lines.insert(std::filesystem::relative(entry.path(), folder).string() + " " + std::to_string(st.st_uid));
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// Another user swaps a folder on the path of what root makes for a link,
// each time something is made and before it is handed over: root's folder
// for a link to a folder of theirs, or their own new folder for a link to
// root's, which holds a folder of the name root makes next. Root's new
// folder, file and lock in its own folder stay root's, what it makes in the
// user's folder is theirs, and nothing of root's that was there is handed
// to anyone.
TEST(SharedFolders, NothingOfRootsGoesToAUserThroughAFolderSwappedMeanwhile) {
    const auto nobody = User("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs the superuser and the user nobody";
    const std::string user = std::to_string(nobody->first);
    const struct {
        const char* swapped;  // with the link
        const char* link;
        std::function<bool(const std::string& folder)> make;
        const char* roots;  // the owners under root's folder afterwards
        std::string theirs;  // and under the user's
    } cases[] = {
        {"roots", "toTheirs", [](const std::string& f) { return fsys::CreateFolders(f + "roots/made"); },
         "made 0\nold 0\n", ""},
        {"roots", "toTheirs",
         [](const std::string& f) { return fsys::WriteFileAtomically(f + "roots/new.ini", std::string_view("new")); },
         "new.ini 0\nold 0\n", ""},
        {"roots", "toTheirs",
         [](const std::string& f) { return FileLock(f + "roots/store.lock", std::chrono::milliseconds(0)).Held(); },
         "old 0\nstore.lock 0\n", ""},
        {"theirs/made", "toRoots", [](const std::string& f) { return fsys::CreateFolders(f + "theirs/made/old"); },
         "old 0\n", "made " + user + "\nmade/old " + user + "\n"},
    };
    for (const auto& row : cases) {
        TempFolder folder;
        ASSERT_TRUE(fsys::CreateFolders(folder / "roots/old"));
        ::chmod((folder / "roots").c_str(), 0700);
        ASSERT_TRUE(fsys::CreateFolders(folder / "theirs"));
        ASSERT_EQ(::chown((folder / "theirs").c_str(), nobody->first, nobody->second), 0);
        std::filesystem::create_symlink(folder / "theirs", folder / "toTheirs");
        std::filesystem::create_symlink(folder / "roots", folder / "toRoots");
        int swaps = 0;
        const auto swap = [&] {
            swaps += ::renameat2(AT_FDCWD, (folder / row.swapped).c_str(), AT_FDCWD, (folder / row.link).c_str(),
                                 RENAME_EXCHANGE) == 0;
        };
        fsys::SetBeforeHandOverForTests(swap);
        EXPECT_TRUE(row.make(folder.Path())) << row.roots;
        fsys::SetBeforeHandOverForTests(nullptr);
        EXPECT_GT(swaps, 0);
        if (swaps % 2 == 1) swap();
        EXPECT_EQ(Owners(folder / "roots"), row.roots);
        EXPECT_EQ(Owners(folder / "theirs"), row.theirs) << row.roots;
    }
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
