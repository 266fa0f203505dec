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

void SetColorChooser(ColorChooser chooser) { CurrentChooser() = std::move(chooser); }

ScopedColorChooser::ScopedColorChooser(ColorChooser chooser) : previous_(std::move(CurrentChooser())) {
    CurrentChooser() = std::move(chooser);
}

ScopedColorChooser::~ScopedColorChooser() { CurrentChooser() = std::move(previous_); }
