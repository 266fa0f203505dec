#pragma once
// The platform's colour chooser: one modal dialog that starts on a colour,
// offers a table of 16 custom colours which it may change, and reports whether
// the user confirmed a colour. The program installs the windowed chooser at
// start-up (platform/wx/wx_color_chooser.h); tests install their own answers.
// Until one is installed every request is cancelled.

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

// Request flags.
inline constexpr uint32_t kChooseColorRgbInit = 0x1;          // start on Color
inline constexpr uint32_t kChooseColorFullOpen = 0x2;         // custom colour part open at once
inline constexpr uint32_t kChooseColorPreventFullOpen = 0x4;  // custom colour part cannot be opened
inline constexpr uint32_t kChooseColorSolidColor = 0x80;      // solid colours only
inline constexpr uint32_t kChooseColorAnyColor = 0x100;       // any colour may be chosen

using CustomColorTable = std::array<int32_t, 16>;

struct ColorChooserRequest {
    void* Owner = nullptr;   // the owning window of the toolkit; nullptr for none
    int32_t Color = 0;       // in: the start colour; out: the chosen colour (0x00BBGGRR)
    uint32_t Flags = 0;
    CustomColorTable* CustomColors = nullptr;  // the chooser may change it
};

// True when the user confirmed a colour; request.Color then holds it.
using ColorChooser = std::function<bool(ColorChooserRequest& request)>;

bool ChooseColor(ColorChooserRequest& request);
// Installs the chooser; an empty one restores the default that cancels.
void SetColorChooser(ColorChooser chooser);

// A red, green or blue value typed into the chooser: the whole text (blanks
// around it aside) is a whole number from 0 to 255. False for anything else
// (empty, letters, "12.7", "1e40", "-3", "256"): the chooser shows such a box
// as refused and takes no colour until it is corrected.
bool ParseColorChannel(std::string_view text, int32_t& value);

// Installs a chooser for the lifetime of the object and puts the previous one back.
class ScopedColorChooser {
public:
    explicit ScopedColorChooser(ColorChooser chooser);
    ~ScopedColorChooser();
    ScopedColorChooser(const ScopedColorChooser&) = delete;
    ScopedColorChooser& operator=(const ScopedColorChooser&) = delete;

private:
    ColorChooser previous_;
};
