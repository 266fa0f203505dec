// The registry store's text: numbers, escapes and line ends as the file
// holds them, and a store with a line the program does not understand.
#include "platform/registry_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "tests/platform/registry_test_support.h"

namespace {

TEST_F(RegistryTest, NumbersAreWrittenFromTextAndReadBackAsHex) {
    std::string value;
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegNumber, "Count", "42"));
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "Count", value));
    EXPECT_EQ(value, "&h0000002A");
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegNumber, "Count", "-1"));
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "Count", value));
    EXPECT_EQ(value, "&hFFFFFFFF");
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegNumber, "Count", "&h7b"));
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "Count", value));
    EXPECT_EQ(value, "&h0000007B");
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegNumber, "Count", "12.5"));  // halves to even
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "Count", value));
    EXPECT_EQ(value, "&h0000000C");
    EXPECT_NE(StoreText(RegCurrentUser).find("\"Count\"=dword:0000000C"), std::string::npos);
}

TEST_F(RegistryTest, TextsWithQuotesBreaksAndBytesRoundTrip) {
    const std::string text = "say \"hi\"\\ C:\\x\ttab\r\nnext \x01 gr\xC3\xBC\xC3\x9F" "e \xFF";
    ASSERT_TRUE(RegWriteValue(RegCurrentUser, kKey, RegString, "Odd \"name\"", text));
    std::string value;
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "odd \"NAME\"", value));
    EXPECT_EQ(value, text);
    // One line per value, whatever the value holds.
    const std::string stored = StoreText(RegCurrentUser);
    // Two comment lines, the key and the value (the parent key is implied by its subkey).
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), 4) << stored;
}

TEST_F(RegistryTest, ReadsAHandWrittenStoreWithItsOwnLineEnds) {
    fsys::CreateFolders(config.Path());
    fsys::WriteFileAtomically(RegStoreFile(RegCurrentUser),
                              std::string("; comment\r\n[software\\vortaxis coasters]\r\n"
                                          "\"InstPath\"=string:\"/games/vx/\\x00\"\r\n"));
    std::string value;
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "InstPath", value));
    EXPECT_EQ(value, "/games/vx/");  // a stored terminating zero is dropped
}

TEST_F(RegistryTest, AStoreWithUnreadableLinesIsReadButNeverRewritten) {
    fsys::CreateFolders(config.Path());
    const std::string text =
        "[Software\\Vortaxis Coasters]\n\"InstPath\"=string:\"/vx/\"\nthis line is not ours\n";
    fsys::WriteFileAtomically(RegStoreFile(RegCurrentUser), text);
    std::string value;
    ASSERT_TRUE(RegReadValue(RegCurrentUser, kKey, "InstPath", value));
    EXPECT_EQ(value, "/vx/");
    const std::string sentence = "The registry file \"" + RegStoreFile(RegCurrentUser) +
                                 "\" has a line the program does not understand (line 3: \"this line is not ours\").";
    EXPECT_EQ(RegStoreNotUnderstood(RegCurrentUser), sentence);
    EXPECT_EQ(RegStoreNotUnderstood(RegClassesRoot), "");
    for (int i = 0; i < 2; ++i) {
        errno = 0;
        EXPECT_FALSE(i ? RegDeleteKeyPath(RegCurrentUser, kKey)
                       : RegWriteValue(RegCurrentUser, kKey, RegString, "Other", "x"));
        EXPECT_EQ(RegWriteFailureReason(errno), sentence + " The file is not changed, lest that line be lost.");
    }
    EXPECT_EQ(StoreText(RegCurrentUser), text);
}

// A line as a message names it: 60 characters at most, whole UTF-8
// characters, control bytes and bytes that are no UTF-8 as "?".
TEST(RegistryText, ALineIsShownBoundedAndAsUtf8) {
    EXPECT_EQ(regtext::ShownLine("plain"), "plain");
    EXPECT_EQ(regtext::ShownLine("a\tb\x7F\xFF\xC3(\xE2\x82"), "a?b??" "?(??");
    std::string long_;
    for (int i = 0; i < 100; ++i) long_ += "\xC3\xA9";  // é
    std::string expected;
    for (int i = 0; i < 60; ++i) expected += "\xC3\xA9";
    EXPECT_EQ(regtext::ShownLine(long_), expected + "...");
    EXPECT_EQ(regtext::ShownLine(long_.substr(0, 120)), expected);
}

}  // namespace
