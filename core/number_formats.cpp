#include "core/number_formats.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct NumericPunctuation {
    std::string DecimalPoint = ".";
    std::string ThousandsSeparator;
    std::string Grouping;
};

NumericPunctuation CurrentPunctuation() {
    NumericPunctuation p;
    if (const lconv* lc = std::localeconv()) {
        if (lc->decimal_point && *lc->decimal_point) p.DecimalPoint = lc->decimal_point;
        if (lc->thousands_sep) p.ThousandsSeparator = lc->thousands_sep;
        if (lc->grouping) p.Grouping = lc->grouping;
    }
    return p;
}

// Inserts the separator between groups of digits as the locale's grouping rule
// says: each entry is the size of the next group to the left, the last one
// repeats, and CHAR_MAX or 0 ends the grouping.
std::string GroupDigits(const std::string& digits, const NumericPunctuation& p) {
    if (p.ThousandsSeparator.empty() || p.Grouping.empty()) return digits;
    std::vector<std::string> groups;  // right to left
    size_t end = digits.size();
    size_t rule = 0;
    while (end > 0) {
        const int size = static_cast<unsigned char>(p.Grouping[rule]);
        if (size <= 0 || size == CHAR_MAX || static_cast<size_t>(size) >= end) {
            groups.push_back(digits.substr(0, end));
            break;
        }
        groups.push_back(digits.substr(end - size, size));
        end -= size;
        if (rule + 1 < p.Grouping.size()) ++rule;
    }
    std::string out;
    for (size_t i = groups.size(); i-- > 0;) {
        out += groups[i];
        if (i) out += p.ThousandsSeparator;
    }
    return out;
}

// Adds one unit in the last digit of a text of digits (and one "."), carrying to the left.
void IncrementLastDigit(std::string& text) {
    for (size_t i = text.size(); i-- > 0;) {
        if (text[i] == '.') continue;
        if (text[i] < '9') {
            ++text[i];
            return;
        }
        text[i] = '0';
    }
    text.insert(text.begin(), '1');
}

// |value| to the decimals with "." (halves away from zero); negative is set when the result is below zero.
std::string RoundedFixed(double value, int decimals, bool& negative) {
    negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    char buffer[400];
    std::string text;
    if (!std::isfinite(magnitude)) {
        text = std::isnan(magnitude) ? "0" : "inf";
    } else {
        // A tie at the last kept decimal can only fall on a multiple of 2^-(decimals+1).
        const double scaled = std::ldexp(magnitude, decimals + 1);
        if (scaled == std::floor(scaled)) {
            auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals + 1);
            text.assign(buffer, r.ptr);
            const bool up = text.back() >= '5';
            text.pop_back();
            if (decimals == 0) text.pop_back();  // the "."
            if (up) IncrementLastDigit(text);
        } else {
            auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals);
            text.assign(buffer, r.ptr);
        }
    }
    if (negative && text.find_first_not_of("0.") == std::string::npos) negative = false;  // no "-0.00"
    return text;
}

std::string LocaleFixed(double value, int decimals) {
    const NumericPunctuation p = CurrentPunctuation();
    bool negative = false;
    const std::string text = RoundedFixed(value, decimals, negative);
    const size_t dot = text.find('.');
    std::string out = negative ? "-" : "";
    out += GroupDigits(text.substr(0, dot), p);
    if (dot != std::string::npos) out += p.DecimalPoint + text.substr(dot + 1);
    return out;
}

template <typename T>
std::string ShortestText(T value) {
    if (value == 0) return "0";
    if (!std::isfinite(value)) return std::isnan(value) ? "0" : (value < 0 ? "-1E+308" : "1E+308");
    char buffer[400];
    const T magnitude = std::fabs(value);
    const bool fixed = magnitude >= static_cast<T>(1e-5) && magnitude < static_cast<T>(1e15);
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value,
                           fixed ? std::chars_format::fixed : std::chars_format::scientific);
    std::string text(buffer, r.ptr);
    if (const size_t e = text.find('e'); e != std::string::npos) text[e] = 'E';
    return text;
}

}  // namespace

float MetersToFeet(float meters) { return static_cast<float>(static_cast<double>(meters) * 3.2808); }

std::string FormatInteger(int32_t value) { return FormatInteger64(value); }

std::string FormatInteger64(int64_t value) {
    // The magnitude as unsigned, so that the lowest value has one too.
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return (value < 0 ? "-" : "") + GroupDigits(std::to_string(magnitude), CurrentPunctuation());
}

std::string FormatDecimal2(float value) { return LocaleFixed(static_cast<double>(value), 2); }

std::string FormatMetersFeet(float meters) {
    return FormatDecimal2(meters) + "m (" + FormatDecimal2(MetersToFeet(meters)) + "ft)";
}

std::string FormatInvariant2(double value) {
    bool negative = false;
    const std::string text = RoundedFixed(value, 2, negative);
    return negative ? "-" + text : text;
}

std::string FormatLong(int32_t value) { return std::to_string(value); }

std::string YesNoText(bool value) { return value ? "Yes" : "No"; }

std::string RunModeText(int16_t runMode) { return runMode != 0 ? "Shuttle" : "Continuous"; }

double MpsToKmh(double mps) { return std::nearbyint(mps / kKmhFactor); }

double AccelToG(double accel) { return std::nearbyint(accel / kGFactor * 100.0) / 100.0; }

double KmhToMps(double kmh) { return kmh * kKmhFactor; }

double GToAccel(double g) { return g * kGFactor; }

double ParseLeadingNumber(std::string_view text) {
    size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\r' || text[p] == '\n')) ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
    std::string number;
    size_t digits = 0;
    for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p, ++digits) number.push_back(text[p]);
    if (p < text.size() && text[p] == '.') {
        number.push_back('.');
        for (++p; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p, ++digits) number.push_back(text[p]);
    }
    if (digits == 0) return 0.0;
    if (number.front() == '.') number.insert(number.begin(), '0');
    if (number.back() == '.') number.pop_back();
    // An exponent counts only when digits follow it.
    if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
        size_t q = p + 1;
        std::string exponent = "e";
        if (q < text.size() && (text[q] == '-' || text[q] == '+')) exponent.push_back(text[q++]);
        const size_t first = q;
        for (; q < text.size() && text[q] >= '0' && text[q] <= '9'; ++q) exponent.push_back(text[q]);
        if (q > first) number += exponent;
    }
    double value = 0.0;
    const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double.
        const size_t e = number.find('e');
        const size_t mantissaEnd = e == std::string::npos ? number.size() : e;
        const bool huge = (e == std::string::npos || number[e + 1] != '-') &&
                          number.find_first_not_of("0.") < mantissaEnd;
        value = huge ? std::numeric_limits<double>::max() : 0.0;
    }
    return negative ? -value : value;
}

std::string NumberText(double value) { return ShortestText(value); }

std::string NumberText(float value) { return ShortestText(value); }
