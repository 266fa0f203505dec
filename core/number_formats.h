#pragma once
// Numbers as text, and the units the dialogs show.
//
// - Display formats (FormatInteger, FormatDecimal2, FormatMetersFeet) group
//   thousands and mark decimals with the characters of the locale in effect
//   when they are called (setlocale / localeconv); the C locale groups nothing
//   and uses ".".
// - Everything written to files or edit boxes uses "." and never depends on
//   the locale (FormatInvariant2, FormatLong, NumberText, ParseLeadingNumber).
//   Never use printf or strtod for such text: they follow LC_NUMERIC.
// Rounding to a number of decimals for display takes halves away from zero.

#include <cstdint>
#include <string>
#include <string_view>

// The speed and acceleration factors, held as 32-bit floats: 0.2777778 and 9.81665.
inline constexpr double kKmhFactor = static_cast<double>(0.2777778f);  // 0.277777791023254
inline constexpr double kGFactor = static_cast<double>(9.81665f);      // 9.816650390625

float MetersToFeet(float meters);
std::string FormatInteger(int32_t value);    // "###,###,##0"
std::string FormatInteger64(int64_t value);  // the same for counts beyond 32 bits
std::string FormatDecimal2(float value);     // "###,###,##0.00"
std::string FormatMetersFeet(float meters);  // "<m>m (<ft>ft)"
std::string FormatInvariant2(double value);  // "########0.00", always "."
std::string FormatLong(int32_t value);       // plain decimal digits
std::string YesNoText(bool value);
std::string RunModeText(int16_t runMode);

double MpsToKmh(double mps);    // whole km/h, halves to even
double AccelToG(double accel);  // g to 2 decimals, halves to even
double KmhToMps(double kmh);
double GToAccel(double g);

// The number at the start of a text: blanks skipped, then an optional sign,
// digits with an optional "." and decimals, and an optional exponent; what
// follows is ignored. 0 when the text does not start with a number.
double ParseLeadingNumber(std::string_view text);

// The shortest text with "." that reads back as exactly the same value: fixed
// notation from 1E-05 up to below 1E+15, else "1.5E+20" style.
std::string NumberText(double value);
std::string NumberText(float value);
