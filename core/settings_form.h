#pragma once
// What the settings dialog shows and stores, apart from its window: the
// values of its controls read from the application state, and the rules by
// which OK puts them back.

#include <cstdint>
#include <string>

#include "core/numeric_input.h"

// The ranges of the two comb boxes.
inline constexpr double kRadiusScaleMin = 0.01;
inline constexpr double kRadiusScaleMax = 20.0;
inline constexpr double kRadiusLimitMin = 1.0;
inline constexpr double kRadiusLimitMax = 100.0;
// The two comb boxes: the scale takes a decimal point, the limit whole numbers.
inline constexpr uc::NumericBoxRule kRadiusScaleRule{kRadiusScaleMin, kRadiusScaleMax, false, true};
inline constexpr uc::NumericBoxRule kRadiusLimitRule{kRadiusLimitMin, kRadiusLimitMax, false, false};

// The dialog's controls as values.
struct SettingsFormValues {
    int16_t ModelOnLoad = 3;       // index of the selected option, 0 to 5
    bool UseRecentList = true;     // "Maintain the Recent File List"
    bool SyncRecentList = true;    // the sync box's mark (kept even while the box is greyed)
    std::string RadiusScaleText;   // txtRadiusScale
    std::string RadiusLimitText;   // txtRadiusLimit
};

// The controls filled from gUseRecentList, gSyncRecentList, gModelOnLoad and
// the comb settings: the limit as plain digits, the scale with two decimals
// and a "." whatever the locale.
SettingsFormValues SettingsFormFromState();

// The sync box can be used only while the recent list is kept.
inline bool SyncRecentListEnabled(bool useRecentList) { return useRecentList; }

// True while both comb boxes hold one number as a whole within their ranges
// (the limit a whole number): the dialog's OK is enabled only then.
bool SettingsFormValid(const SettingsFormValues& form);

// Stores the controls' values in the application state, in this order: the
// recent-list flag; syncing (off whenever the list is not kept); the model
// detail (held to 0..5); the comb limit when its box holds a whole number in
// 1..100; the comb scale when its box holds one number in 0.01..20. A comb
// box that does not (which the dialog's disabled OK never lets through)
// leaves the old value. A scale box whose text is still the one
// SettingsFormFromState showed keeps the stored scale exactly (the box shows
// it rounded to two decimals).
void ApplySettingsForm(const SettingsFormValues& form);
