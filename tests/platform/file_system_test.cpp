#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include <sys/stat.h>

#include <utility>
#include <vector>

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

}  // namespace
