#include "core/input_checks.h"

#include "core/number_formats.h"

void FilterNumericKey(int& KeyAscii, bool AllowMinus, bool AllowDecimal) {
    if (KeyAscii == 8) return;
    if (KeyAscii == '-' && AllowMinus) return;
    if (KeyAscii == '.' && AllowDecimal) return;
    if (KeyAscii < '0' || KeyAscii > '9') KeyAscii = 0;
}

TextRangeCheck CheckTextInRange(std::string_view Text, double Min, double Max) {
    double v = 0;
    const bool inRange = ParseWholeNumber(Text, v) && Min <= v && v <= Max;
    return TextRangeCheck{inRange, inRange ? kWindowTextColor : kInvalidTextColor};
}

bool ParseWholeNumber(std::string_view Text, double& Value) {
    Value = 0;
    auto blank = [&](size_t i) { return Text[i] == ' ' || Text[i] == '\t' || Text[i] == '\r' || Text[i] == '\n'; };
    auto digit = [&](size_t i) { return Text[i] >= '0' && Text[i] <= '9'; };
    size_t p = 0;
    while (p < Text.size() && blank(p)) ++p;
    const size_t start = p;
    if (p < Text.size() && (Text[p] == '-' || Text[p] == '+')) ++p;
    size_t digits = 0;
    for (; p < Text.size() && digit(p); ++p) ++digits;
    if (p < Text.size() && Text[p] == '.')
        for (++p; p < Text.size() && digit(p); ++p) ++digits;
    if (digits == 0) return false;
    if (p < Text.size() && (Text[p] == 'e' || Text[p] == 'E')) {
        ++p;
        if (p < Text.size() && (Text[p] == '-' || Text[p] == '+')) ++p;
        const size_t first = p;
        for (; p < Text.size() && digit(p); ++p) {
        }
        if (p == first) return false;
    }
    const size_t end = p;
    while (p < Text.size() && blank(p)) ++p;
    if (p != Text.size()) return false;
    // The leading-number reader takes exactly this number (a value beyond a
    // double reads as the largest double, which no float holds either).
    Value = ParseLeadingNumber(Text.substr(start, end - start));
    return true;
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
