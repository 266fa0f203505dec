#include "platform/color_chooser.h"

#include <utility>

namespace {

ColorChooser& CurrentChooser() {
    static ColorChooser chooser;
    return chooser;
}

}  // namespace

bool ChooseColor(ColorChooserRequest& request) {
    const ColorChooser& chooser = CurrentChooser();
    return chooser ? chooser(request) : false;
}

bool ParseColorChannel(std::string_view text, int32_t& value) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return false;
    int32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > 255) return false;
    }
    value = v;
    return true;
}

void SetColorChooser(ColorChooser chooser) { CurrentChooser() = std::move(chooser); }

ScopedColorChooser::ScopedColorChooser(ColorChooser chooser) : previous_(std::move(CurrentChooser())) {
    CurrentChooser() = std::move(chooser);
}

ScopedColorChooser::~ScopedColorChooser() { CurrentChooser() = std::move(previous_); }
