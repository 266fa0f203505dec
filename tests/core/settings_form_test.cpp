// The settings dialog's rules as values: what its controls show and how OK
// stores them.
#include "core/settings_form.h"

#include <gtest/gtest.h>

#include "core/app_state.h"
#include "tests/core/core_test_support.h"

namespace {

using SettingsForm = AppStateTest;

SettingsFormValues Form(int16_t model, bool use, bool sync, const char* scale, const char* limit) {
    return SettingsFormValues{model, use, sync, scale, limit};
}

TEST_F(SettingsForm, ControlsShowTheStoredSettings) {
    gModelOnLoad = 5;
    gUseRecentList = false;
    gSyncRecentList = true;
    gCombRadiusScale = 2.5f;
    gCombRadiusLimit = 75;
    const SettingsFormValues form = SettingsFormFromState();
    EXPECT_EQ(form.ModelOnLoad, 5);
    EXPECT_FALSE(form.UseRecentList);
    EXPECT_TRUE(form.SyncRecentList) << "the sync box keeps its mark while greyed";
    EXPECT_FALSE(SyncRecentListEnabled(form.UseRecentList));
    EXPECT_EQ(form.RadiusScaleText, "2.50");
    EXPECT_EQ(form.RadiusLimitText, "75");

    gCombRadiusScale = 0.1f;
    EXPECT_EQ(SettingsFormFromState().RadiusScaleText, "0.10");
}

TEST_F(SettingsForm, UncheckingTheRecentListStoresSyncOff) {
    ApplySettingsForm(Form(3, false, true, "0.10", "50"));
    EXPECT_FALSE(gUseRecentList);
    EXPECT_FALSE(gSyncRecentList) << "whatever the sync box's mark";
    ApplySettingsForm(Form(3, true, false, "0.10", "50"));
    EXPECT_TRUE(gUseRecentList);
    EXPECT_FALSE(gSyncRecentList);
    ApplySettingsForm(Form(3, true, true, "0.10", "50"));
    EXPECT_TRUE(gSyncRecentList);
}

TEST_F(SettingsForm, AnOutOfRangeLimitKeepsTheOldValueWhileTheRestIsStored) {
    gCombRadiusLimit = 40;
    ApplySettingsForm(Form(1, false, false, "2.5", "150"));
    EXPECT_EQ(gCombRadiusLimit, 40);
    EXPECT_EQ(gModelOnLoad, 1);
    EXPECT_FALSE(gUseRecentList);
    EXPECT_EQ(gCombRadiusScale, 2.5f);

    // Out of range, not one number as a whole, or (pasted) not a whole number.
    for (const char* bad : {"0", "", "100.5", "-5", "12 metres", "5-5", "50.5"}) {
        ApplySettingsForm(Form(1, false, false, "2.5", bad));
        EXPECT_EQ(gCombRadiusLimit, 40) << bad;
        EXPECT_FALSE(SettingsFormValid(Form(1, false, false, "2.5", bad))) << bad;
    }
    ApplySettingsForm(Form(1, false, false, "2.5", "100"));
    EXPECT_EQ(gCombRadiusLimit, 100);
    ApplySettingsForm(Form(1, false, false, "2.5", "1"));
    EXPECT_EQ(gCombRadiusLimit, 1);
    EXPECT_TRUE(SettingsFormValid(Form(1, false, false, "2.5", "1")));
}

TEST_F(SettingsForm, AnOutOfRangeScaleKeepsTheOldValue) {
    gCombRadiusScale = 0.5f;
    for (const char* bad : {"0.009", "20.01", "0,5", "2.5.7", "", "-"}) {
        ApplySettingsForm(Form(3, true, true, bad, "30"));
        EXPECT_EQ(gCombRadiusScale, 0.5f) << bad;
        EXPECT_EQ(gCombRadiusLimit, 30);
        EXPECT_FALSE(SettingsFormValid(Form(3, true, true, bad, "30"))) << bad;
    }
    ApplySettingsForm(Form(3, true, true, "0.01", "30"));
    EXPECT_EQ(gCombRadiusScale, 0.01f);
    ApplySettingsForm(Form(3, true, true, "20", "30"));
    EXPECT_EQ(gCombRadiusScale, 20.0f);
    ApplySettingsForm(Form(3, true, true, "1.234", "30"));
    EXPECT_EQ(gCombRadiusScale, 1.234f) << "more decimals than shown are kept";
}

TEST_F(SettingsForm, AnUntouchedScaleBoxKeepsTheStoredScaleExactly) {
    // The settings file may hold a scale with more than the two decimals shown.
    gCombRadiusScale = 0.125f;
    SettingsFormValues form = SettingsFormFromState();
    ASSERT_EQ(form.RadiusScaleText, "0.13");
    form.ModelOnLoad = 4;
    ApplySettingsForm(form);
    EXPECT_EQ(gCombRadiusScale, 0.125f);
    EXPECT_EQ(gModelOnLoad, 4);
    form.RadiusScaleText = "0.12";
    ApplySettingsForm(form);
    EXPECT_EQ(gCombRadiusScale, 0.12f) << "an edited box stores its value";
}

}  // namespace
