#pragma once
// What a model build reads of the program's settings, frozen while it runs.
//
// The pipeline freezes the settings when a build starts and makes its own
// changes between stages (the track style's presets, the crosstie models it
// reads) to the frozen copy as well as to the live settings, always while no
// builder runs. Every builder, on every
// thread, reads the frozen copy: nothing the program does while the busy
// window lets events through can change a build half-way, and the builders'
// threads share no settings that anyone writes while they run. A builder
// called outside a build (as the tests do) reads the live settings.

#include <cstdint>

#include "model/modeler_settings.h"

struct ModelBuildSnapshot {
    ModelerSettings Settings;     // the modeler settings, crosstie models included
    float CombRadiusScale = 0.0f;  // the radius comb's scale and limit
    int32_t CombRadiusLimit = 0;
    int16_t ModelOnLoad = 0;       // the detail of the model built on open
};

// The running build's frozen settings; outside a build the live ones.
const ModelerSettings& BuildSettings();
float BuildCombRadiusScale();
int32_t BuildCombRadiusLimit();
int16_t BuildModelOnLoad();

// The spacings the builders use: the build's settings clamped into the
// modeler dialog's ranges (model/modeler_settings.h).
inline float UsableRailDetail() { return ClampSetting(BuildSettings().RailDetail, kDetailMin, kDetailMax); }
inline float UsableSpineDetail() { return ClampSetting(BuildSettings().SpineDetail, kDetailMin, kDetailMax); }
inline float UsableTieSpacing() { return ClampSetting(BuildSettings().TieSpacing, kTieSpacingMin, kTieSpacingMax); }

// Freezes the live settings for the builders until it ends. Scopes nest: an
// inner one (a build started inside another's stage) keeps the outer's copy.
class FrozenBuildSettings {
public:
    FrozenBuildSettings();
    ~FrozenBuildSettings();
    // The frozen copy, for the pipeline's own changes between stages (the
    // presets, the crosstie models it reads), made while no builder runs and
    // made to the live settings as well.
    ModelerSettings& Settings();
    // Takes the crosstie model just read into the live settings' slot.
    void TakeTieGeometry(int slot);

    FrozenBuildSettings(const FrozenBuildSettings&) = delete;
    FrozenBuildSettings& operator=(const FrozenBuildSettings&) = delete;

private:
    bool outermost_;
};
