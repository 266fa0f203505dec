#pragma once
// The rules of a numeric text box, apart from any window: which key presses
// reach the box and how its text is judged. Every numeric box of the
// program's dialogs follows them through ucNumericTextBox.
//
// - A key that types a character goes through FilterNumericKey: digits and
//   backspace pass, "-" and "." only where the box allows them.
// - Keys that type no character (arrows, Home, End, Delete, Tab, Enter,
//   Escape) and shortcuts held with Ctrl, Alt or Meta (copy, cut, paste,
//   undo, select all) are the box's own business and always pass.
// - After every change the text is checked against the box's range: the
//   window-text colour while it is one number as a whole lying inside, red
//   otherwise (an empty text, "-", "2.5.5", "90-45", and a fraction in a box
//   that takes no decimal point, are red). A box in range holds exactly the
//   number it shows.

#include <cstdint>
#include <string_view>

#include "core/input_checks.h"

namespace uc {

// What a numeric box accepts: its range (both ends included) and whether a
// minus sign and a decimal point may be typed.
struct NumericBoxRule {
    double Min = 0;
    double Max = 0;
    bool AllowMinus = false;
    bool AllowDecimal = false;
};

// One key press as the toolkit reports it for character input.
struct KeyStroke {
    uint32_t Character = 0;  // the Unicode character it types; 0 when it types none
    bool Control = false;
    bool Alt = false;
    bool Meta = false;
};

// True when the key press types a character into a text box (backspace
// included), false for navigation and editing keys, control characters
// and shortcuts.
bool TypesCharacter(const KeyStroke& key);

// True when the key press may reach a box with this rule: every key that
// types no character, and the typed characters that FilterNumericKey lets pass.
bool NumericKeyPasses(const KeyStroke& key, const NumericBoxRule& rule);

// The number a box's text holds: true when the whole text is one number
// (ParseWholeNumber) within the rule's range, and a whole number where the
// rule allows no decimal point. Value is 0 when false.
bool NumericTextValue(std::string_view text, const NumericBoxRule& rule, double& value);

// The range check of a box's text: in range exactly when NumericTextValue
// holds, in the window-text colour; red otherwise.
TextRangeCheck CheckNumericText(std::string_view text, const NumericBoxRule& rule);

// The colour a box's text is drawn in, as red, green and blue bytes: the
// given window-text colour for kWindowTextColor, the colour itself (red in
// the low byte) for any other value.
struct Rgb {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const Rgb&) const = default;
};
Rgb TextColourRgb(uint32_t textColor, Rgb windowText);

}  // namespace uc
