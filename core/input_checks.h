#pragma once
// The checks every numeric text box of the dialogs uses, and the conversion of
// stored colours for drawing.
//
// A dialog passes each typed character to FilterNumericKey and, on every
// change of a box, applies CheckTextInRange: it colours the text with the
// result's colour and typically enables OK only while every box is in range.
// Keys that do not type a character (arrows, Home, End, Delete, Tab, Enter,
// Escape, clipboard shortcuts) are the box's own business and are not passed.

#include <cstdint>
#include <string_view>

// Text colours: the system's window-text colour (its system-colour value) for
// text in range, pure red for text out of range.
inline constexpr uint32_t kWindowTextColor = 0x80000008u;
inline constexpr uint32_t kInvalidTextColor = 255u;

// Backspace (8) and the digits pass; "-" (45) only when AllowMinus, "." (46)
// only when AllowDecimal; every other character code becomes 0 (swallowed).
// Position and count are not checked: "-" may stand anywhere, "." repeat.
void FilterNumericKey(int& KeyAscii, bool AllowMinus, bool AllowDecimal);

struct TextRangeCheck {
    bool InRange = false;
    uint32_t TextColor = kInvalidTextColor;  // kWindowTextColor or kInvalidTextColor
};

// The number the box's whole text holds (ParseWholeNumber: "." decimals)
// tested against Min <= value <= Max, both ends included. A text that is not
// one number as a whole ("", "-", "2.5.5", "90-45", "12abc") is out of range
// whatever the range: the box would otherwise show one value and hold another.
TextRangeCheck CheckTextInRange(std::string_view Text, double Min, double Max);

// The number a whole text holds, for boxes that take a typed number only as it
// is shown: blanks around it, an optional sign, digits with at most one ".",
// and an optional exponent ("e", an optional sign, digits). False for an empty
// text, a text without digits, and a number followed by anything but blanks
// ("12.5 xyz", "1,5", "0x10"); Value is then 0.
bool ParseWholeNumber(std::string_view Text, double& Value);

// A 24-bit colour (red in bits 0-7, green 8-15, blue 16-23) as three floats
// 0..1, red first, ready for glColor3fv.
void ColorToUnitRGB(float Out[3], int32_t Colour);
// The same channels as floats 0..255.
void ColorToByteRGB(float Out[3], int32_t Colour);
