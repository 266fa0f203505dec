#include "platform/file_identity.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "tests/platform/temp_folder.h"

namespace {

// Every way of naming the same file is the same file; a path that does not
// exist yet is compared as the system would resolve it when the file is made.
TEST(FileIdentity, SameFileByInodeOrElseByResolvedPath) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string track = folder.Write("real/circuit.vxtrack", "track");
    folder.Write("real/other.vxtrack", "track");
    folder.Write("elsewhere/.keep");
    fs::create_symlink(folder / "real", folder / "linked");
    fs::create_symlink(track, folder / "link.vxtrack");
    fs::create_hard_link(track, folder / "hard.vxtrack");
    // "up/.." is where the link leads, one folder up from real/, not this folder.
    fs::create_symlink(folder / "real/sub", folder / "up");
    fs::create_directories(folder / "real/sub");

    const auto old = fs::current_path();
    fs::current_path(folder / "real");
    struct Case {
        std::string a, b;
        bool same;
    };
    const Case cases[] = {
        {track, track, true},
        {track, folder / "link.vxtrack", true},
        {track, folder / "hard.vxtrack", true},
        {track, folder / "linked/circuit.vxtrack", true},
        {track, folder / "real/./sub/../circuit.vxtrack", true},
        {track, "circuit.vxtrack", true},  // relative to the working folder
        {track, folder / "up/../circuit.vxtrack", true},
        {track, folder / "real/other.vxtrack", false},
        // Not there yet: the same name through a linked folder, another folder, another name.
        {folder / "real/new.3ds", folder / "linked/new.3ds", true},
        {folder / "real/new.3ds", folder / "up/../new.3ds", true},
        {folder / "real/new.3ds", folder / "elsewhere/new.3ds", false},
        {folder / "real/new.3ds", folder / "real/new2.3ds", false},
        // Folders, with and without the separator, one of them not there yet.
        {folder / "real/", folder / "linked", true},
        {folder / "real/sub/new/", folder / "linked/sub/new", true},
        {folder / "real/", folder / "elsewhere/", false},
        {"", "", false},
        {track, "", false},
        {track + std::string("\0x", 2), track, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fsys::IsSameFile(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(fsys::IsSameFile(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
    fs::current_path(old);
}

}  // namespace
