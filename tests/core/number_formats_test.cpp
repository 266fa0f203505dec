#include "core/number_formats.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tests/core/locale_scope.h"

namespace {

TEST(NumberFormatsTest, PlainCLocaleGroupsNothing) {
    LocaleScope c("C");
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatInteger(1200000), "1200000");
    EXPECT_EQ(FormatDecimal2(1234.5f), "1234.50");
    EXPECT_EQ(FormatMetersFeet(10.0f), "10.00m (32.81ft)");
}

TEST(NumberFormatsTest, EnglishLocaleGroupsWithCommas) {
    LocaleScope en("en_US.UTF-8");
    SKIP_WITHOUT_LOCALE(en);
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatInteger(999), "999");
    EXPECT_EQ(FormatInteger(1000), "1,000");
    EXPECT_EQ(FormatInteger(1200000), "1,200,000");
    EXPECT_EQ(FormatInteger(-1200000), "-1,200,000");
    EXPECT_EQ(FormatInteger(std::numeric_limits<int32_t>::min()), "-2,147,483,648");
    EXPECT_EQ(FormatInteger64(2093058), "2,093,058");
    EXPECT_EQ(FormatInteger64(19999600002), "19,999,600,002");
    EXPECT_EQ(FormatInteger64(std::numeric_limits<int64_t>::min()), "-9,223,372,036,854,775,808");
    EXPECT_EQ(FormatDecimal2(1234567.0f), "1,234,567.00");
    EXPECT_EQ(FormatMetersFeet(10.0f), "10.00m (32.81ft)");
}

TEST(NumberFormatsTest, GermanLocaleSwapsPointAndComma) {
    LocaleScope de("de_DE.UTF-8");
    SKIP_WITHOUT_LOCALE(de);
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatInteger(1200000), "1.200.000");
    EXPECT_EQ(FormatDecimal2(1234.5f), "1.234,50");
    EXPECT_EQ(FormatDecimal2(-0.5f), "-0,50");
    EXPECT_EQ(FormatMetersFeet(10.0f), "10,00m (32,81ft)");
    EXPECT_EQ(FormatMetersFeet(1000.0f), "1.000,00m (3.280,80ft)");
    // File and edit-box texts never follow the locale.
    EXPECT_EQ(FormatInvariant2(0.1), "0.10");
    EXPECT_EQ(FormatInvariant2(1234567.891), "1234567.89");
    EXPECT_EQ(FormatLong(-1200000), "-1200000");
    EXPECT_EQ(NumberText(0.1f), "0.1");
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("2.5"), 2.5);
}

TEST(NumberFormatsTest, DisplayRoundingTakesHalvesAwayFromZero) {
    LocaleScope c("C");
    EXPECT_EQ(FormatDecimal2(0.125f), "0.13");  // exactly halfway in binary
    EXPECT_EQ(FormatDecimal2(-0.125f), "-0.13");
    EXPECT_EQ(FormatDecimal2(0.375f), "0.38");
    EXPECT_EQ(FormatDecimal2(9.995f), "9.99");  // 9.99499988... as a float
    EXPECT_EQ(FormatDecimal2(99.999f), "100.00");
    EXPECT_EQ(FormatDecimal2(-0.001f), "0.00");  // no negative zero
    EXPECT_EQ(FormatInvariant2(2.675), "2.67");  // 2.67499999... as a double
    EXPECT_EQ(FormatInvariant2(0.005), "0.01");  // 0.005000000000000000104
    EXPECT_EQ(FormatInvariant2(-3.0), "-3.00");
    EXPECT_EQ(FormatInvariant2(1e15), "1000000000000000.00");
}

TEST(NumberFormatsTest, PlainTexts) {
    EXPECT_EQ(FormatLong(0), "0");
    EXPECT_EQ(FormatLong(-42), "-42");
    EXPECT_EQ(YesNoText(true), "Yes");
    EXPECT_EQ(YesNoText(false), "No");
    EXPECT_EQ(RunModeText(0), "Continuous");
    EXPECT_EQ(RunModeText(1), "Shuttle");
    EXPECT_EQ(RunModeText(-1), "Shuttle");
}

TEST(NumberFormatsTest, UnitConversionsUseTheSinglePrecisionFactors) {
    EXPECT_EQ(kKmhFactor, static_cast<double>(0.2777778f));
    EXPECT_NEAR(kKmhFactor, 0.277777791023254, 1e-15);
    EXPECT_EQ(kGFactor, 9.816650390625);
    EXPECT_EQ(MpsToKmh(25.0), 90.0);
    EXPECT_EQ(MpsToKmh(0.0), 0.0);
    EXPECT_EQ(MpsToKmh(kKmhFactor * 2.5), 2.0);  // halves to even
    EXPECT_EQ(MpsToKmh(kKmhFactor * 3.5), 4.0);
    EXPECT_EQ(AccelToG(9.81665), 1.0);
    EXPECT_EQ(AccelToG(GToAccel(-2.5)), -2.5);
    EXPECT_EQ(AccelToG(kGFactor * 0.125), 0.12);  // halves to even at the second decimal
    EXPECT_EQ(AccelToG(kGFactor * 0.375), 0.38);
    // A value converted there and back returns to itself.
    for (double kmh : {1.0, 37.0, 120.0, 250.0}) EXPECT_EQ(MpsToKmh(KmhToMps(kmh)), kmh);
    for (double g : {0.5, 1.0, 3.25, -1.75}) EXPECT_EQ(AccelToG(GToAccel(g)), g);
    EXPECT_FLOAT_EQ(MetersToFeet(10.0f), 32.808f);
    EXPECT_EQ(MetersToFeet(1.0f), static_cast<float>(3.2808));
}

TEST(NumberFormatsTest, LeadingNumbers) {
    EXPECT_EQ(ParseLeadingNumber(""), 0.0);
    EXPECT_EQ(ParseLeadingNumber("abc"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("12abc"), 12.0);
    EXPECT_EQ(ParseLeadingNumber("  -3.5 m"), -3.5);
    EXPECT_EQ(ParseLeadingNumber("+.25"), 0.25);
    EXPECT_EQ(ParseLeadingNumber("7."), 7.0);
    EXPECT_EQ(ParseLeadingNumber("1e3"), 1000.0);
    EXPECT_EQ(ParseLeadingNumber("1E-2x"), 0.01);
    EXPECT_EQ(ParseLeadingNumber("2e"), 2.0);  // an exponent needs digits
    EXPECT_EQ(ParseLeadingNumber("2e+"), 2.0);
    EXPECT_EQ(ParseLeadingNumber("1,5"), 1.0);
    EXPECT_EQ(ParseLeadingNumber("-"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("."), 0.0);
    EXPECT_EQ(ParseLeadingNumber("nan"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("inf"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(ParseLeadingNumber("-1e999"), -std::numeric_limits<double>::max());
    EXPECT_EQ(ParseLeadingNumber("1e-999"), 0.0);
    EXPECT_EQ(ParseLeadingNumber(std::string(400, '9')), std::numeric_limits<double>::max());
}

TEST(NumberFormatsTest, NumberTextIsShortestAndReadsBackExactly) {
    EXPECT_EQ(NumberText(0.1f), "0.1");
    EXPECT_EQ(NumberText(0.01f), "0.01");
    EXPECT_EQ(NumberText(20.0f), "20");
    EXPECT_EQ(NumberText(-1.5), "-1.5");
    EXPECT_EQ(NumberText(0.0), "0");
    EXPECT_EQ(NumberText(-0.0f), "0");
    EXPECT_EQ(NumberText(1e-5), "0.00001");
    EXPECT_EQ(NumberText(1e-6), "1E-06");
    EXPECT_EQ(NumberText(1e20), "1E+20");
    EXPECT_EQ(NumberText(123456789.0), "123456789");
    for (float f : {0.1f, 1.0f / 3.0f, 2.75f, 1e-7f, 3.4e38f, -123.456f})
        EXPECT_EQ(static_cast<float>(ParseLeadingNumber(NumberText(f))), f) << NumberText(f);
    for (double d : {0.1 + 0.2, 1.0 / 3.0, 1e300, -2.5e-300, 9.816650390625})
        EXPECT_EQ(ParseLeadingNumber(NumberText(d)), d) << NumberText(d);
}

}  // namespace
