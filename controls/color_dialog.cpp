#include "controls/color_dialog.h"

#include "platform/system_colors.h"

namespace {

CustomColorTable gCustomColors{};
bool gCustomColorsFilled = false;

}  // namespace

bool ShowColorDialog(int32_t& Color, bool AnyColor, bool FullOpen, bool PreventFullOpen, wxWindow* Owner) {
    ColorChooserRequest request;
    request.Owner = Owner;
    request.Color = Color;
    request.Flags = kChooseColorRgbInit | (AnyColor ? kChooseColorAnyColor : kChooseColorSolidColor);
    if (FullOpen) request.Flags |= kChooseColorFullOpen;
    if (PreventFullOpen) request.Flags |= kChooseColorPreventFullOpen;
    if (!gCustomColorsFilled) {
        for (int i = 0; i < 16; ++i) gCustomColors[static_cast<size_t>(i)] = GetSysColor(i);
        gCustomColorsFilled = true;
    }
    request.CustomColors = &gCustomColors;
    if (ChooseColor(request)) {
        Color = request.Color & 0xFFFFFF;
        return true;
    }
    Color = -1;
    return false;
}

const CustomColorTable& CustomColors() { return gCustomColors; }
bool CustomColorsFilled() { return gCustomColorsFilled; }

void ResetCustomColors() {
    gCustomColors.fill(0);
    gCustomColorsFilled = false;
}
