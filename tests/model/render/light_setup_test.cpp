// The light's colours and direction, computed without a display.
#include <gtest/gtest.h>

#include "model/render/light_setup.h"

namespace {

TEST(LightSetupTest, FromAboveAndBehind) {
    SetupGLLight(180, 60);
    EXPECT_NEAR(gLightPosition[0], 0.0f, 1e-3f);
    EXPECT_NEAR(gLightPosition[1], 0.866f, 1e-3f);
    EXPECT_NEAR(gLightPosition[2], 0.5f, 1e-3f);
    EXPECT_EQ(gLightPosition[3], 0.0f);
}

TEST(LightSetupTest, NoTurnLooksDownMinusZ) {
    SetupGLLight(0, 0);
    EXPECT_NEAR(gLightPosition[0], 0.0f, 1e-6f);
    EXPECT_NEAR(gLightPosition[1], 0.0f, 1e-6f);
    EXPECT_NEAR(gLightPosition[2], -1.0f, 1e-6f);
    EXPECT_EQ(gLightPosition[3], 0.0f);
}

TEST(LightSetupTest, HeadingTurnsAboutY) {
    SetupGLLight(90, 0);
    EXPECT_NEAR(gLightPosition[0], -1.0f, 1e-6f);
    EXPECT_NEAR(gLightPosition[2], 0.0f, 1e-6f);
}

TEST(LightSetupTest, Colours) {
    SetupGLLight(180, -60);
    const float ambient[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    const float diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(gLightAmbient[i], ambient[i]);
        EXPECT_EQ(gLightDiffuse[i], diffuse[i]);
        EXPECT_EQ(gLightSpecular[i], 1.0f);
    }
    EXPECT_NEAR(gLightPosition[1], -0.866f, 1e-3f);
}

TEST(LightSetupTest, SaveAndRestoreGiveTheLightBackExactly) {
    SetupGLLight(180, 60);
    const LightState saved = SaveLightState();
    SetupGLLight(33, -12);
    gLightAmbient[0] = 7.0f;
    RestoreLightState(saved);
    SetupGLLight(180, 60);  // what it was
    const LightState again = SaveLightState();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(saved.Ambient[i], again.Ambient[i]);
        EXPECT_EQ(saved.Position[i], again.Position[i]);
    }
    EXPECT_EQ(gLightAmbient[0], 0.25f);
}

}  // namespace
