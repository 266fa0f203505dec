#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <new>

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
