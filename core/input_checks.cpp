#include "core/input_checks.h"

#include "core/number_formats.h"

void FilterNumericKey(int& KeyAscii, bool AllowMinus, bool AllowDecimal) {
    if (KeyAscii == 8) return;
    if (KeyAscii == '-' && AllowMinus) return;
    if (KeyAscii == '.' && AllowDecimal) return;
    if (KeyAscii < '0' || KeyAscii > '9') KeyAscii = 0;
}

TextRangeCheck CheckTextInRange(std::string_view Text, double Min, double Max) {
    const double v = ParseLeadingNumber(Text);
    const bool inRange = Min <= v && v <= Max;
    return TextRangeCheck{inRange, inRange ? kWindowTextColor : kInvalidTextColor};
}

void ColorToUnitRGB(float Out[3], int32_t Colour) {
    float bytes[3];
    ColorToByteRGB(bytes, Colour);
    for (int i = 0; i < 3; ++i) Out[i] = static_cast<float>(static_cast<double>(bytes[i]) / 255.0);
}

void ColorToByteRGB(float Out[3], int32_t Colour) {
    const auto c = static_cast<uint32_t>(Colour);
    Out[0] = static_cast<float>(c & 0xFFu);
    Out[1] = static_cast<float>((c & 0xFF00u) >> 8);
    Out[2] = static_cast<float>((c & 0xFF0000u) >> 16);
}
