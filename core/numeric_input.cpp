#include "core/numeric_input.h"

#include <cmath>

namespace uc {

bool TypesCharacter(const KeyStroke& key) {
    // Ctrl and Alt together type the third level of some keyboards (AltGr).
    const bool altGr = key.Control && key.Alt && !key.Meta && key.Character >= 32;
    if ((key.Control || key.Alt || key.Meta) && !altGr) return false;
    if (key.Character == 8) return true;  // backspace edits by typing
    // Control characters (Tab, Enter, Escape, ...) and Delete type nothing.
    return key.Character >= 32 && key.Character != 127;
}

bool NumericKeyPasses(const KeyStroke& key, const NumericBoxRule& rule) {
    if (!TypesCharacter(key)) return true;
    int code = static_cast<int>(key.Character);
    FilterNumericKey(code, rule.AllowMinus, rule.AllowDecimal);
    return code != 0;
}

bool NumericTextValue(std::string_view text, const NumericBoxRule& rule, double& value) {
    value = 0;
    if (!CheckTextInRange(text, rule.Min, rule.Max).InRange) return false;
    double v = 0;
    ParseWholeNumber(text, v);
    // A box that takes no decimal point holds whole numbers only: a pasted
    // fraction would be shown as it is and stored rounded.
    if (!rule.AllowDecimal && v != std::trunc(v)) return false;
    value = v;
    return true;
}

TextRangeCheck CheckNumericText(std::string_view text, const NumericBoxRule& rule) {
    double value = 0;
    const bool inRange = NumericTextValue(text, rule, value);
    return TextRangeCheck{inRange, inRange ? kWindowTextColor : kInvalidTextColor};
}

Rgb TextColourRgb(uint32_t textColor, Rgb windowText) {
    if (textColor == kWindowTextColor) return windowText;
    return Rgb{static_cast<uint8_t>(textColor & 0xFF), static_cast<uint8_t>((textColor >> 8) & 0xFF),
               static_cast<uint8_t>((textColor >> 16) & 0xFF)};
}

}  // namespace uc
