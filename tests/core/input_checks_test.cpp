#include "core/input_checks.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

int Filter(int key, bool allowMinus, bool allowDecimal) {
    FilterNumericKey(key, allowMinus, allowDecimal);
    return key;
}

TEST(InputChecksTest, NumericKeysPassOthersAreSwallowed) {
    for (int key = '0'; key <= '9'; ++key) EXPECT_EQ(Filter(key, false, false), key);
    EXPECT_EQ(Filter(8, false, false), 8);  // backspace
    EXPECT_EQ(Filter('-', false, true), 0);
    EXPECT_EQ(Filter('-', true, false), '-');
    EXPECT_EQ(Filter('.', false, false), 0);
    EXPECT_EQ(Filter('.', false, true), '.');
    for (int key : {int{','}, int{'a'}, int{'E'}, int{' '}, int{'+'}, 0x7F, 0xE4, 13, 27})
        EXPECT_EQ(Filter(key, true, true), 0) << key;
}

TEST(InputChecksTest, RangeCheckTakesTheWholeTextAsOneNumber) {
    const TextRangeCheck inRange = CheckTextInRange("12", 1, 100);
    EXPECT_TRUE(inRange.InRange);
    EXPECT_EQ(inRange.TextColor, kWindowTextColor);
    EXPECT_EQ(kWindowTextColor, 0x80000008u);
    const TextRangeCheck outside = CheckTextInRange("150", 1, 100);
    EXPECT_FALSE(outside.InRange);
    EXPECT_EQ(outside.TextColor, 255u);
    // Texts whose leading number lies in the range but that are not one
    // number as a whole: red, whatever the range.
    for (const char* text : {"12abc", "", "-", ".", "2.5.5", "90-45", "45-3", "100.0.5", "0.1.3", "1.5.5"}) {
        const TextRangeCheck check = CheckTextInRange(text, -1000, 1000);
        EXPECT_FALSE(check.InRange) << text;
        EXPECT_EQ(check.TextColor, kInvalidTextColor) << text;
    }
    EXPECT_TRUE(CheckTextInRange("0", 0, 20).InRange);
    EXPECT_TRUE(CheckTextInRange("1", 1, 100).InRange);  // both ends belong to the range
    EXPECT_TRUE(CheckTextInRange("100", 1, 100).InRange);
    EXPECT_TRUE(CheckTextInRange("0.01", 0.01, 20).InRange);
    EXPECT_FALSE(CheckTextInRange("20.001", 0.01, 20).InRange);
    EXPECT_TRUE(CheckTextInRange("-5", -10, 0).InRange);
    EXPECT_FALSE(CheckTextInRange("1e400", 0, 1e300).InRange);  // no double holds it
    EXPECT_FALSE(CheckTextInRange("0,5", 0.1, 1).InRange);  // "." is the decimal point of the boxes
}

TEST(InputChecksTest, WholeNumberTakesOnlyANumberAsShown) {
    double v = -1;
    for (auto [text, expected] : std::initializer_list<std::pair<const char*, double>>{
             {"12.5", 12.5}, {" -5 ", -5}, {"+3", 3}, {".5", 0.5}, {"7.", 7}, {"1e3", 1000}, {"2.5E-1", 0.25}}) {
        EXPECT_TRUE(ParseWholeNumber(text, v)) << text;
        EXPECT_EQ(v, expected) << text;
    }
    EXPECT_TRUE(ParseWholeNumber("1e400", v));
    EXPECT_GT(v, 1e300);  // beyond a double: the largest one, for the caller's range check
    for (const char* text : {"", "  ", "abc", "-", ".", "12.5 xyz", "1,5", "1.5.5", "1e", "1e+", "0x10", "5-"}) {
        EXPECT_FALSE(ParseWholeNumber(text, v)) << text;
        EXPECT_EQ(v, 0) << text;
    }
}

TEST(InputChecksTest, ColoursForDrawing) {
    float rgb[3];
    ColorToUnitRGB(rgb, 255);
    EXPECT_EQ(rgb[0], 1.0f);
    EXPECT_EQ(rgb[1], 0.0f);
    EXPECT_EQ(rgb[2], 0.0f);
    ColorToUnitRGB(rgb, 0xFF8000);
    EXPECT_EQ(rgb[0], 0.0f);
    EXPECT_EQ(rgb[1], static_cast<float>(128.0 / 255.0));
    EXPECT_EQ(rgb[2], 1.0f);
    ColorToByteRGB(rgb, 0x123456);
    EXPECT_EQ(rgb[0], 0x56);
    EXPECT_EQ(rgb[1], 0x34);
    EXPECT_EQ(rgb[2], 0x12);
    ColorToByteRGB(rgb, static_cast<int32_t>(0xFF0A0B0C));  // the top byte is ignored
    EXPECT_EQ(rgb[0], 0x0C);
    EXPECT_EQ(rgb[1], 0x0B);
    EXPECT_EQ(rgb[2], 0x0A);
}

}  // namespace
