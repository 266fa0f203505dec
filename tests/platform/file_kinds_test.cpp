#include "platform/file_kinds.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// A bound is given in the largest unit that holds it whole; a size beyond the
// kind's bound is refused with the kind kept for the message.
TEST(FileKinds, BoundsAreWrittenWholeAndALargerSizeIsRefused) {
    EXPECT_EQ(fsys::BoundText(64 * fsys::kMegabyte), "64 MiB");
    EXPECT_EQ(fsys::BoundText(512 * 1024), "512 KiB");
    EXPECT_EQ(fsys::BoundText(fsys::kMegabyte + 1024), "1025 KiB");
    EXPECT_EQ(fsys::BoundText(8), "8 bytes");
    EXPECT_EQ(fsys::BoundText(1), "1 byte");
    EXPECT_EQ(fsys::BoundText(0), "0 bytes");

    EXPECT_TRUE(fsys::FitsItsKind(fsys::kSettingsFile.MostBytes, fsys::kSettingsFile));
    errno = 0;
    EXPECT_FALSE(fsys::FitsItsKind(fsys::kSettingsFile.MostBytes + 1, fsys::kSettingsFile));
    EXPECT_EQ(errno, fsys::kLargerThanItsKindError);
    EXPECT_EQ(fsys::LargerThanItsKindReason(fsys::RefusedFileKind()),
              "The file would be larger than a settings file can be (at most 1 MiB).");
}

}  // namespace
