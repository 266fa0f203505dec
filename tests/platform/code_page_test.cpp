// The simulator's code page: every byte to one character and back, what it
// cannot hold, letter case, and names on disk in either spelling.
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include "platform/stored_paths.h"
#include "tests/platform/temp_folder.h"

namespace {

TEST(CodePage, EveryByteIsOneCharacterAndBack) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    const std::string text = cp::TextFromBytes(bytes);
    EXPECT_TRUE(cp::IsUtf8(text));
    EXPECT_EQ(text.size(), 128u + 2u * 128u);
    EXPECT_EQ(cp::ByteCount(text), 256u);
    EXPECT_TRUE(cp::CanHold(text));
    EXPECT_EQ(cp::BytesFromText(text), bytes);
    EXPECT_EQ(cp::BytesOrMarks(text), bytes);
    for (int b = 0; b < 256; ++b) {
        const std::string one = cp::TextFromBytes(std::string(1, static_cast<char>(b)));
        uint32_t code = 0;
        ASSERT_EQ(cp::Utf8Sequence(one, 0, code), one.size()) << b;
        EXPECT_EQ(code, static_cast<uint32_t>(b));  // the character of its own code
    }
    EXPECT_EQ(cp::TextFromBytes("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(cp::TextFromBytes(""), "");
}

TEST(CodePage, WhatTheCodePageCannotHold) {
    // Beyond U+00FF, stray bytes, cut, overlong and surrogate sequences.
    const char* const outside[] = {"\xE2\x82\xAC", "caf\xE9", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF0\x9F\x98\x80"};
    for (const char* text : outside) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(cp::CanHold(text));
        EXPECT_FALSE(cp::BytesFromText(text));
    }
    EXPECT_EQ(cp::FirstCharacterOutside("ok \xC3\xA9 \xE2\x82\xAC \xE6\x9D\xBE"), "\xE2\x82\xAC");
    EXPECT_EQ(cp::FirstCharacterOutside("ok \xC3\xA9"), std::nullopt);
    // Marks keep one byte per character, so a length written before them holds.
    const std::string mixed = "a\xE2\x82\xAC\xC3\xA9\xFFz";
    EXPECT_EQ(cp::BytesOrMarks(mixed), "a?\xE9?z");
    EXPECT_EQ(cp::ByteCount(mixed), 5u);
}

TEST(CodePage, LetterCaseOfTheCodePage) {
    EXPECT_TRUE(cp::EqualsIgnoringCase("Trees\\\xC3\x89RABLE.3DS", "trees\\\xC3\xA9rable.3ds"));  // É and é
    EXPECT_TRUE(cp::EqualsIgnoringCase("\xC3\x9E", "\xC3\xBE"));                                  // Þ and þ
    EXPECT_FALSE(cp::EqualsIgnoringCase("\xC3\x97", "\xC3\xB7"));  // × and ÷ are no letters
    EXPECT_FALSE(cp::EqualsIgnoringCase("\xC3\x9F", "\xC3\xBF"));  // ß and ÿ neither
    EXPECT_FALSE(cp::EqualsIgnoringCase("a", "ab"));
    EXPECT_TRUE(cp::EqualsIgnoringCase("X\xE9", "x\xE9"));   // stray bytes equal only themselves
    EXPECT_FALSE(cp::EqualsIgnoringCase("\xE9", "\xC3\xA9"));
}

TEST(CodePage, NamesOnDiskInEitherSpelling) {
    EXPECT_EQ(cp::TextFromDiskPath("/sim/Objects/\xE9t\xE9/caf\xC3\xA9.3ds"),
              "/sim/Objects/\xC3\xA9t\xC3\xA9/caf\xC3\xA9.3ds");
    EXPECT_EQ(cp::DiskSpellings("caf\xC3\xA9"), (std::vector<std::string>{"caf\xC3\xA9", "caf\xE9"}));
    EXPECT_EQ(cp::DiskSpellings("cafe"), std::vector<std::string>{"cafe"});
    EXPECT_EQ(cp::DiskSpellings("\xE6\x9D\xBE"), std::vector<std::string>{"\xE6\x9D\xBE"});

    TempFolder sim;
    sim.Write("Objects/\xE9rable/caf\xE9.3ds", "single bytes");
    sim.Write("Objects/\xC3\xA9t\xC3\xA9/caf\xE9.3ds", "UTF-8 folder, single-byte file");
    sim.Write("Objects/both/\xC3\xA9.3ds", "UTF-8");
    sim.Write("Objects/both/\xE9.3ds", "single bytes");
    EXPECT_EQ(cp::DiskPathOf(sim / "Objects/\xC3\xA9rable/caf\xC3\xA9.3ds"), sim / "Objects/\xE9rable/caf\xE9.3ds");
    EXPECT_EQ(cp::DiskPathOf(sim / "Objects/\xC3\xA9t\xC3\xA9/caf\xC3\xA9.3ds"),
              sim / "Objects/\xC3\xA9t\xC3\xA9/caf\xE9.3ds");
    EXPECT_EQ(cp::DiskPathOf(sim / "Objects/both/\xC3\xA9.3ds"), sim / "Objects/both/\xC3\xA9.3ds");  // UTF-8 first
    EXPECT_EQ(cp::DiskPathOf(sim / "Objects/n\xC3\xA9/x\xC3\xA9"), sim / "Objects/n\xC3\xA9/x\xC3\xA9");
    // The simulator's stored names find them too, in any letter case.
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "objects\\\xC3\xA9RABLE\\CAF\xC3\xA9.3ds"),
              sim / "Objects/\xE9rable/caf\xE9.3ds");
    // A stored name is the text of the file's single bytes: those bytes name their entry first.
    EXPECT_EQ(fsys::ResolveStoredName(sim.Path(), "Objects\\both\\\xC3\xA9.3ds"), sim / "Objects/both/\xE9.3ds");
    EXPECT_FALSE(fsys::ResolveStoredName(sim.Path(), "Objects\\both\\\xC3\x89.3ds"));  // É: letter case of ASCII only
}

}  // namespace
