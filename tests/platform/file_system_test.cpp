#include "platform/file_system.h"

#include <gtest/gtest.h>

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
