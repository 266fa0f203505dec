#include "core/settings_form.h"

#include <cmath>

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

void ApplySettingsForm(const SettingsFormValues& form) {
    gUseRecentList = form.UseRecentList;
    gSyncRecentList = gUseRecentList ? form.SyncRecentList : false;
    gModelOnLoad = form.ModelOnLoad < 0 ? 0 : (form.ModelOnLoad > 5 ? 5 : form.ModelOnLoad);
    const double limit = ParseLeadingNumber(form.RadiusLimitText);
    if (kRadiusLimitMin <= limit && limit <= kRadiusLimitMax)
        gCombRadiusLimit = static_cast<int32_t>(std::nearbyint(limit));  // halves to even
    // The box shows the scale to two decimals: a box left as it was shown keeps
    // the stored value exactly instead of its rounded text.
    if (form.RadiusScaleText != FormatInvariant2(gCombRadiusScale)) {
        const double scale = ParseLeadingNumber(form.RadiusScaleText);
        if (kRadiusScaleMin <= scale && scale <= kRadiusScaleMax) gCombRadiusScale = static_cast<float>(scale);
    }
}
