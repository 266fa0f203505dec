// The numeric box rules: which key presses reach a box, and the colours of its text.
#include "core/numeric_input.h"

#include <gtest/gtest.h>

namespace {

uc::KeyStroke Typed(uint32_t c) { return uc::KeyStroke{c, false, false, false}; }
uc::KeyStroke WithCtrl(uint32_t c) { return uc::KeyStroke{c, true, false, false}; }

const uc::NumericBoxRule kWhole{1, 100, false, false};
const uc::NumericBoxRule kDecimal{0.01, 20, false, true};
const uc::NumericBoxRule kSigned{-10, 10, true, true};

TEST(NumericInput, TypedCharactersGoThroughTheFilter) {
    for (uint32_t c = '0'; c <= '9'; ++c) {
        EXPECT_TRUE(uc::NumericKeyPasses(Typed(c), kWhole)) << c;
        EXPECT_TRUE(uc::NumericKeyPasses(Typed(c), kDecimal)) << c;
    }
    EXPECT_TRUE(uc::NumericKeyPasses(Typed(8), kWhole)) << "backspace";
    EXPECT_FALSE(uc::NumericKeyPasses(Typed('.'), kWhole)) << "the limit box swallows the point";
    EXPECT_TRUE(uc::NumericKeyPasses(Typed('.'), kDecimal)) << "the scale box accepts it";
    EXPECT_FALSE(uc::NumericKeyPasses(Typed('-'), kDecimal));
    EXPECT_TRUE(uc::NumericKeyPasses(Typed('-'), kSigned));
    for (uint32_t c : {uint32_t{','}, uint32_t{'a'}, uint32_t{'E'}, uint32_t{' '}, uint32_t{'+'}, uint32_t{0xE9},
                       uint32_t{0x4E00}, uint32_t{0x1F600}})
        EXPECT_FALSE(uc::NumericKeyPasses(Typed(c), kSigned)) << c;
}

TEST(NumericInput, NavigationEditingAndClipboardKeysAlwaysPass) {
    // Arrows, Home, End, Page keys and Insert type no character.
    EXPECT_FALSE(uc::TypesCharacter(Typed(0)));
    EXPECT_TRUE(uc::NumericKeyPasses(Typed(0), kWhole));
    for (uint32_t c : {9u, 13u, 27u, 127u}) {  // Tab, Enter, Escape, Delete
        EXPECT_FALSE(uc::TypesCharacter(Typed(c))) << c;
        EXPECT_TRUE(uc::NumericKeyPasses(Typed(c), kWhole)) << c;
    }
    // Copy, cut, paste, undo and select all, whether the toolkit reports the
    // letter or its control code.
    for (uint32_t c : {uint32_t{'c'}, uint32_t{'x'}, uint32_t{'v'}, uint32_t{'z'}, uint32_t{'a'}, uint32_t{'V'}, 3u,
                       22u, 24u, 26u, 1u}) {
        EXPECT_FALSE(uc::TypesCharacter(WithCtrl(c))) << c;
        EXPECT_TRUE(uc::NumericKeyPasses(WithCtrl(c), kWhole)) << c;
    }
    EXPECT_TRUE(uc::NumericKeyPasses(uc::KeyStroke{'v', false, false, true}, kWhole)) << "Meta+V";
    EXPECT_TRUE(uc::NumericKeyPasses(uc::KeyStroke{'f', false, true, false}, kWhole)) << "Alt+F opens a menu";
}

TEST(NumericInput, ThirdLevelCharactersAreTyped) {
    // Ctrl and Alt together stand for AltGr: what it types is filtered.
    EXPECT_TRUE(uc::TypesCharacter(uc::KeyStroke{'@', true, true, false}));
    EXPECT_FALSE(uc::NumericKeyPasses(uc::KeyStroke{'@', true, true, false}, kSigned));
    EXPECT_TRUE(uc::NumericKeyPasses(uc::KeyStroke{'.', true, true, false}, kDecimal));
    EXPECT_TRUE(uc::NumericKeyPasses(uc::KeyStroke{22, true, true, false}, kWhole)) << "no character typed";
}

TEST(NumericInput, TextColours) {
    const uc::Rgb windowText{10, 20, 30};
    EXPECT_EQ(uc::TextColourRgb(kWindowTextColor, windowText), windowText);
    EXPECT_EQ(uc::TextColourRgb(kInvalidTextColor, windowText), (uc::Rgb{255, 0, 0}));
    EXPECT_EQ(uc::TextColourRgb(0xFF8000, windowText), (uc::Rgb{0, 0x80, 0xFF})) << "red is the low byte";
}

}  // namespace
