#include "simulator/environment_editor_pages.h"

#include "simulator/environment_editor.h"

// The value a row shows, as a function of the values record.
#define ENV_BOOL(field) [](EnvironmentValues& v) -> bool& { return v.field; }
#define ENV_TEXT(field) [](EnvironmentValues& v) -> std::string& { return v.field; }
#define ENV_NUMBER(field) [](EnvironmentValues& v) -> int32_t& { return v.field; }

namespace {

std::string Indexed(const std::string& name, int index) { return name + "(" + std::to_string(index) + ")"; }

EnvRow Name() {
    EnvRow row;
    row.Kind = EnvRowKind::Name;
    row.Caption = "Environment Title:";
    row.Control = "txtEnvName";
    return row;
}

EnvRow Check(const std::string& caption, const std::string& control, bool& (*value)(EnvironmentValues&)) {
    EnvRow row;
    row.Kind = EnvRowKind::Check;
    row.Caption = caption;
    row.Control = control;
    row.CheckValue = value;
    return row;
}

// A row of its own: btn<name>(0) Choose, (1) View, (2) Clear.
EnvRow Texture(const std::string& caption, const std::string& name, std::string& (*value)(EnvironmentValues&)) {
    EnvRow row;
    row.Kind = EnvRowKind::Texture;
    row.Caption = caption;
    row.Control = "txt" + name;
    for (int i = 0; i < 3; ++i) row.Buttons[i] = Indexed("btn" + name, i);
    row.TextValue = value;
    return row;
}

// Row `index` of a group: btn<name>_Choose(index), _View(index), _Clear(index).
EnvRow Texture(const std::string& caption, const std::string& name, int index,
               std::string& (*value)(EnvironmentValues&)) {
    EnvRow row = Texture(caption, name, value);
    row.Control = Indexed("txt" + name, index);
    row.Buttons[0] = Indexed("btn" + name + "_Choose", index);
    row.Buttons[1] = Indexed("btn" + name + "_View", index);
    row.Buttons[2] = Indexed("btn" + name + "_Clear", index);
    return row;
}

EnvRow Color(const std::string& caption, const std::string& control, int32_t& (*value)(EnvironmentValues&)) {
    EnvRow row;
    row.Kind = EnvRowKind::Color;
    row.Caption = caption;
    row.Control = control;
    row.NumberValue = value;
    return row;
}

EnvRow Slider(const std::string& caption, const std::string& control, const std::string& label, int32_t max,
              EnvSliderLabel format, int32_t& (*value)(EnvironmentValues&)) {
    EnvRow row;
    row.Kind = EnvRowKind::Slider;
    row.Caption = caption;
    row.Control = control;
    row.ValueLabel = label;
    row.Max = max;
    row.Label = format;
    row.NumberValue = value;
    return row;
}

EnvRow Button(const std::string& caption, const std::string& control, EnvButton button) {
    EnvRow row;
    row.Kind = EnvRowKind::Button;
    row.Caption = caption;
    row.Control = control;
    row.Button = button;
    return row;
}

std::vector<EnvPage> BuildPages() {
    using K = EnvSliderLabel;
    std::vector<EnvPage> pages;
    pages.push_back({"World", {{" Environment", {Name()}}}});

    pages.push_back({"Region",
                     {{" Ground",
                       {Check("Enable Ground", "chkRegionGround", ENV_BOOL(chkRegionGround)),
                        Texture("Texture:", "RegionGround", ENV_TEXT(txtRegionGround))}},
                      {" Sky-Box",
                       {Texture("North:", "RegionSkybox", 0, ENV_TEXT(txtRegionSkybox[0])),
                        Texture("South:", "RegionSkybox", 1, ENV_TEXT(txtRegionSkybox[1])),
                        Texture("East:", "RegionSkybox", 2, ENV_TEXT(txtRegionSkybox[2])),
                        Texture("West:", "RegionSkybox", 3, ENV_TEXT(txtRegionSkybox[3])),
                        Texture("Up:", "RegionSkybox", 4, ENV_TEXT(txtRegionSkybox[4])),
                        Texture("Down", "RegionSkybox", 5, ENV_TEXT(txtRegionSkybox[5]))}},
                      {" Panaramic Background",
                       {Check("Enable Panaramic Background", "chkRegionPanaramic", ENV_BOOL(chkRegionPanaramic)),
                        Texture("Texture:", "RegionPanaramic", ENV_TEXT(txtRegionPanaramic))}}}});

    pages.push_back({"Fog",
                     {{" Fog",
                       {Check("Enable Fog", "chkFog", ENV_BOOL(chkFog)),
                        Color("Fog Color:", "lblFogColor", ENV_NUMBER(lblFogColor)),
                        Slider("Density:", "hsFogDensity", "lblFogDensity", 10000, K::FogDensity,
                               ENV_NUMBER(hsFogDensity))}}}});

    pages.push_back({"Lighting",
                     {{" Shadows", {Check("Cast Shadows", "chkLightingShadows", ENV_BOOL(chkLightingShadows))}},
                      {" World Lighting",
                       {Check("Enable World Lighting", "chkLightingEnable", ENV_BOOL(chkLightingEnable)),
                        Color("Color:", "lblLightingColor", ENV_NUMBER(lblLightingColor)),
                        Button("Get from Sun", "btnLighting", EnvButton::GetFromSun)}}}});

    EnvPage trees{"Trees",
                  {{" Background Trees",
                    {Check("Enable Trees in the Far Distance", "chkTreeDistanceEnable",
                           ENV_BOOL(chkTreeDistanceEnable))}}}};
    trees.Panels.push_back({" Tree 1",
                            {Texture("Texture:", "Tree", 0, ENV_TEXT(txtTree[0])),
                             Check("Use Custom Size", "chkTreeUseSize(0)", ENV_BOOL(chkTreeUseSize[0])),
                             Slider("Width:", "hsTreeWidth(0)", "lblTreeWidth(0)", 10000, K::TreeSize,
                                    ENV_NUMBER(hsTreeWidth[0])),
                             Slider("Height:", "hsTreeHeight(0)", "lblTreeHeight(0)", 10000, K::TreeSize,
                                    ENV_NUMBER(hsTreeHeight[0]))}});
    trees.Panels.push_back({" Tree 2",
                            {Texture("Texture:", "Tree", 1, ENV_TEXT(txtTree[1])),
                             Check("Use Custom Size", "chkTreeUseSize(1)", ENV_BOOL(chkTreeUseSize[1])),
                             Slider("Width:", "hsTreeWidth(1)", "lblTreeWidth(1)", 10000, K::TreeSize,
                                    ENV_NUMBER(hsTreeWidth[1])),
                             Slider("Height:", "hsTreeHeight(1)", "lblTreeHeight(1)", 10000, K::TreeSize,
                                    ENV_NUMBER(hsTreeHeight[1]))}});
    trees.Panels.push_back({" Tree 3",
                            {Texture("Texture:", "Tree", 2, ENV_TEXT(txtTree[2])),
                             Check("Use Custom Size", "chkTreeUseSize(2)", ENV_BOOL(chkTreeUseSize[2])),
                             Slider("Width:", "hsTreeWidth(2)", "lblTreeWidth(2)", 10000, K::TreeSize,
                                    ENV_NUMBER(hsTreeWidth[2])),
                             Slider("Height:", "hsTreeHeight(2)", "lblTreeHeight(2)", 10000, K::TreeSize,
                                    ENV_NUMBER(hsTreeHeight[2]))}});
    pages.push_back(std::move(trees));

    pages.push_back({"Sky",
                     {{" Clouds",
                       {Check("Enable Clouds", "chkSkyClouds", ENV_BOOL(chkSkyClouds)),
                        Texture("Texture:", "SkyClouds", ENV_TEXT(txtSkyClouds))}},
                      {" Sky",
                       {Color("Atmosphere:", "lblSkyColor(0)", ENV_NUMBER(lblSkyColor[0])),
                        Color("Horizon:", "lblSkyColor(1)", ENV_NUMBER(lblSkyColor[1]))}}}});

    pages.push_back(
        {"Sun",
         {{" Sun",
           {Check("Visible", "chkSunVisible", ENV_BOOL(chkSunVisible)),
            Texture("Texture:", "Sun", ENV_TEXT(txtSun))}},
          {" Position",
           {Slider("Altitude:", "hsSunPosition(0)", "lblSunPosition(0)", 28800, K::SunPosition,
                   ENV_NUMBER(hsSunPosition[0])),
            Slider("Heading:", "hsSunPosition(1)", "lblSunPosition(1)", 28800, K::SunPosition,
                   ENV_NUMBER(hsSunPosition[1])),
            Button("Set from Mouse Click", "btnSunPosition", EnvButton::SetFromMouseClick)}},
          {" Color",
           {Color("Sun Light (Diffuse):", "lblSunColor(0)", ENV_NUMBER(lblSunColor[0])),
            Color("Reflection (Specular):", "lblSunColor(1)", ENV_NUMBER(lblSunColor[1])),
            Color("Shadow (Ambient):", "lblSunColor(2)", ENV_NUMBER(lblSunColor[2]))}},
          {" Flares",
           {Check("Visible", "chkSunFlaresVisible", ENV_BOOL(chkSunFlaresVisible)),
            Texture("Flare 1:", "SunFlare", 0, ENV_TEXT(txtSunFlare[0])),
            Texture("Flare 2:", "SunFlare", 1, ENV_TEXT(txtSunFlare[1])),
            Texture("Flare 3:", "SunFlare", 2, ENV_TEXT(txtSunFlare[2])),
            Texture("Flare 4:", "SunFlare", 3, ENV_TEXT(txtSunFlare[3])),
            Texture("Flare 5:", "SunFlare", 4, ENV_TEXT(txtSunFlare[4])),
            Texture("Flare 6:", "SunFlare", 5, ENV_TEXT(txtSunFlare[5]))}}}});

    pages.push_back({"Station",
                     {{"",
                       {Texture("Operators Panel:", "Station", 0, ENV_TEXT(txtStation[0])),
                        Texture("Sides:", "Station", 1, ENV_TEXT(txtStation[1])),
                        Texture("Floor:", "Station", 2, ENV_TEXT(txtStation[2])),
                        Texture("Track Pit:", "Station", 3, ENV_TEXT(txtStation[3])),
                        Texture("Outter Railing:", "Station", 4, ENV_TEXT(txtStation[4])),
                        Texture("Roof:", "Station", 5, ENV_TEXT(txtStation[5])),
                        Texture("Roof Siding:", "Station", 6, ENV_TEXT(txtStation[6])),
                        Texture("Queue Railing:", "Station", 7, ENV_TEXT(txtStation[7])),
                        Texture("Queue Gate:", "Station", 8, ENV_TEXT(txtStation[8])),
                        Check("Use Rafters", "chkStationRafters", ENV_BOOL(chkStationRafters)),
                        Texture("Rafters:", "Station", 9, ENV_TEXT(txtStation[9]))}}}});

    pages.push_back({"Track",
                     {{" Chain Lift",
                       {Texture("Chain:", "Track", 0, ENV_TEXT(txtTrack[0])),
                        Texture("Anti-Roll Back:", "Track", 1, ENV_TEXT(txtTrack[1])),
                        Texture("Motor Gear:", "Track", 2, ENV_TEXT(txtTrack[2]))}},
                      {" Transport Wheels", {Texture("Wheel:", "Track", 3, ENV_TEXT(txtTrack[3]))}},
                      {" L.I.M.", {Texture("LIM:", "Track", 4, ENV_TEXT(txtTrack[4]))}},
                      {" Steel Catwalks",
                       {Texture("Invert Platform:", "Track", 5, ENV_TEXT(txtTrack[5])),
                        Texture("Floor:", "Track", 6, ENV_TEXT(txtTrack[6])),
                        Texture("Rail:", "Track", 7, ENV_TEXT(txtTrack[7]))}}}});

    pages.push_back({"Wood",
                     {{" Structure",
                       {Texture("Beams:", "Wood", 0, ENV_TEXT(txtWood[0])),
                        Texture("Catwalks:", "Wood", 1, ENV_TEXT(txtWood[1])),
                        Texture("Footers:", "Wood", 2, ENV_TEXT(txtWood[2]))}},
                      {" Track",
                       {Texture("Rails:", "Wood", 3, ENV_TEXT(txtWood[3])),
                        Texture("Crossties:", "Wood", 4, ENV_TEXT(txtWood[4]))}},
                      {" Track Parts",
                       {Texture("Brake:", "Wood", 5, ENV_TEXT(txtWood[5])),
                        Texture("Wheel:", "Wood", 6, ENV_TEXT(txtWood[6]))}},
                      {" Tunnel - Outside",
                       {Texture("Ends:", "Wood", 7, ENV_TEXT(txtWood[7])),
                        Texture("Sides:", "Wood", 8, ENV_TEXT(txtWood[8]))}},
                      {" Tunnel - Inside",
                       {Texture("Ends:", "Wood", 9, ENV_TEXT(txtWood[9])),
                        Texture("Sides:", "Wood", 10, ENV_TEXT(txtWood[10]))}}}});
    return pages;
}

}  // namespace

const std::vector<EnvPage>& EnvironmentEditorPages() {
    static const std::vector<EnvPage> pages = BuildPages();
    return pages;
}

std::string EnvSliderText(EnvSliderLabel label, int32_t value) {
    switch (label) {
        case EnvSliderLabel::FogDensity:
            return FogDensityText(value);
        case EnvSliderLabel::TreeSize:
            return TreeSizeText(value);
        case EnvSliderLabel::SunPosition:
            return SunPositionText(value);
    }
    return std::string();
}
