#include "core/settings_form.h"

#include "core/app_state.h"
#include "core/number_formats.h"

SettingsFormValues SettingsFormFromState() {
    SettingsFormValues form;
    form.SyncRecentList = gSyncRecentList;
    form.UseRecentList = gUseRecentList;
    form.ModelOnLoad = gModelOnLoad < 0 ? 0 : (gModelOnLoad > 5 ? 5 : gModelOnLoad);
    form.RadiusLimitText = FormatLong(gCombRadiusLimit);
    form.RadiusScaleText = FormatInvariant2(gCombRadiusScale);
    return form;
}

bool SettingsFormValid(const SettingsFormValues& form) {
    double value = 0;
    return uc::NumericTextValue(form.RadiusLimitText, kRadiusLimitRule, value) &&
           uc::NumericTextValue(form.RadiusScaleText, kRadiusScaleRule, value);
}

void ApplySettingsForm(const SettingsFormValues& form) {
    gUseRecentList = form.UseRecentList;
    gSyncRecentList = gUseRecentList ? form.SyncRecentList : false;
    gModelOnLoad = form.ModelOnLoad < 0 ? 0 : (form.ModelOnLoad > 5 ? 5 : form.ModelOnLoad);
    double limit = 0;
    if (uc::NumericTextValue(form.RadiusLimitText, kRadiusLimitRule, limit))
        gCombRadiusLimit = static_cast<int32_t>(limit);
    // The box shows the scale to two decimals: a box left as it was shown keeps
    // the stored value exactly instead of its rounded text.
    double scale = 0;
    if (form.RadiusScaleText != FormatInvariant2(gCombRadiusScale) &&
        uc::NumericTextValue(form.RadiusScaleText, kRadiusScaleRule, scale))
        gCombRadiusScale = static_cast<float>(scale);
}
