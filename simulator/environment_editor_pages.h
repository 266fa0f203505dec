#pragma once
// The environment editor's ten tab pages as tables: each page holds titled
// panels, each panel rows from top to bottom, and each row names its control
// and the value of EnvironmentValues it shows. The window builds its controls
// from these tables and binds each to its value; nothing here draws.

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/environment_file.h"

enum class EnvRowKind {
    Name,     // the environment title box (txtEnvName)
    Check,    // a check box
    Texture,  // a texture box with Choose ("..."), View ("!!") and Clear ("X")
    Color,    // a colour label; a click picks its colour
    Slider,   // a slider with its value label
    Button,   // a push button
};

// The value label of a slider.
enum class EnvSliderLabel { FogDensity, TreeSize, SunPosition };

// The push buttons.
enum class EnvButton { GetFromSun, SetFromMouseClick };

struct EnvRow {
    EnvRowKind Kind = EnvRowKind::Check;
    std::string Caption;  // the row's caption ("Texture:"), or the check box's or button's text
    std::string Control;  // the control's name with its index: "chkFog", "txtRegionSkybox(0)"
    // Texture rows: the names of the Choose, View and Clear buttons.
    std::string Buttons[3];
    // Slider rows: the value label's name, its maximum and its format.
    std::string ValueLabel;
    int32_t Max = 0;
    EnvSliderLabel Label = EnvSliderLabel::FogDensity;
    EnvButton Button = EnvButton::GetFromSun;

    // The value the row shows (the one of the pointers its kind uses).
    bool& (*CheckValue)(EnvironmentValues&) = nullptr;
    std::string& (*TextValue)(EnvironmentValues&) = nullptr;
    int32_t& (*NumberValue)(EnvironmentValues&) = nullptr;  // colours and sliders
};

struct EnvPanel {
    std::string Title;  // empty: the rows stand on the page itself
    std::vector<EnvRow> Rows;
};

struct EnvPage {
    std::string Caption;
    std::vector<EnvPanel> Panels;
};

// The pages in tab order: "World", "Region", "Fog", "Lighting", "Trees",
// "Sky", "Sun", "Station", "Track", "Wood".
const std::vector<EnvPage>& EnvironmentEditorPages();

// The slider's value as its label shows it.
std::string EnvSliderText(EnvSliderLabel label, int32_t value);
