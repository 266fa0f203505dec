// The about box's animation, credits layout and borrowed camera and light,
// without a window or a rendering context.
#include "app/about_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

#include "core/app_version.h"
#include "model/render/camera.h"
#include "model/render/light_setup.h"

namespace {

using namespace about;

// A random source that returns a script of values, then 0.
RandomSource Script(std::deque<double> values) {
    auto queue = std::make_shared<std::deque<double>>(std::move(values));
    return [queue] {
        if (queue->empty()) return 0.0;
        const double v = queue->front();
        queue->pop_front();
        return v;
    };
}

bool SameBits(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

class AboutSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedPosition = gCameraPosition;
        savedAngles = gCameraAngles;
        savedLights = SaveLightState();
    }
    void TearDown() override {
        gCameraPosition = savedPosition;
        gCameraAngles = savedAngles;
        RestoreLightState(savedLights);
    }
    Vector3 savedPosition{}, savedAngles{};
    LightState savedLights{};
};

TEST_F(AboutSceneTest, TheFieldStartsRandomInsideAndFlatAtItsFarEdges) {
    AboutAnimation animation(SystemRandom());
    EXPECT_EQ(animation.WaveGridSize, 30);
    EXPECT_EQ(animation.CreditsScroll, -7.0f);
    float highest = 0;
    for (int i = 0; i <= 30; ++i) {
        for (int j = 0; j <= 30; ++j) {
            const float h = animation.WaveGrid[i][j];
            if (i == 30 || j == 30) {
                EXPECT_EQ(h, 0.0f) << i << "," << j;
            } else {
                EXPECT_GE(h, 0.0f);
                EXPECT_LT(h, 10.0f);
                highest = std::max(highest, h);
            }
        }
    }
    EXPECT_GT(highest, 5.0f) << "900 draws from 0 to 10";

    AboutAnimation scripted(Script({0.5, 0.25}));
    EXPECT_EQ(scripted.WaveGrid[0][0], 5.0f) << "rows first, then columns";
    EXPECT_EQ(scripted.WaveGrid[0][1], 2.5f);
    EXPECT_EQ(scripted.WaveGrid[0][2], 0.0f);
}

TEST_F(AboutSceneTest, EachTickTurnsTheCameraOnItsOrbit) {
    AboutAnimation animation(Script({}));
    BorrowedViewState borrowed;
    borrowed.SaveCameraAndPose();
    EXPECT_EQ(gCameraAngles.X, -30.0f);
    EXPECT_EQ(gCameraAngles.Y, 0.0f);
    EXPECT_EQ(gCameraPosition.Y, 10.0f);
    EXPECT_EQ(gCameraPosition.Z, 30.0f);

    animation.Step();
    EXPECT_EQ(gCameraAngles.Y, 0.2f);
    EXPECT_EQ(gCameraAngles.X, -30.0f);
    const Vector3 expected = OrbitPosition(gCameraAngles);
    EXPECT_EQ(gCameraPosition.X, expected.X);
    EXPECT_EQ(gCameraPosition.Y, expected.Y);
    EXPECT_EQ(gCameraPosition.Z, expected.Z);
    // 25 from the origin, 12.5 up (30 degrees down to the field).
    EXPECT_NEAR(gCameraPosition.Y, 12.5, 1e-5);
    EXPECT_NEAR(std::hypot(gCameraPosition.X, gCameraPosition.Y, gCameraPosition.Z), 25.0, 1e-5);

    // A quarter turn later the camera stands on +x.
    const Vector3 quarter = OrbitPosition(MakeVector(-30, 90, 0));
    EXPECT_NEAR(quarter.X, 21.650635, 1e-4);
    EXPECT_NEAR(quarter.Y, 12.5, 1e-5);
    EXPECT_NEAR(quarter.Z, 0.0, 1e-5);
    borrowed.Restore();
}

TEST_F(AboutSceneTest, ColumnsSinkAndDropsRaiseThem) {
    // A flat field, then drops at (2, 29), (29, 29) from a source that strays
    // to 1, and (0, 0); every later drop falls at (0, 0).
    std::deque<double> values(900, 0.0);
    for (double v : {2.5 / 30, 29.5 / 30, 1.0, 0.999999, 0.0, 0.0}) values.push_back(v);
    AboutAnimation animation(Script(values));
    animation.WaveGrid[3][4] = 0.05f;
    animation.WaveGrid[5][6] = 7.0f;
    animation.WaveGrid[30][30] = 4.0f;  // outside the field: untouched

    animation.Step();
    EXPECT_EQ(animation.WaveGrid[3][4], 0.0f) << "not below 0";
    EXPECT_EQ(animation.WaveGrid[5][6], 7.0f - 0.1f);
    EXPECT_EQ(animation.WaveGrid[30][30], 4.0f);
    EXPECT_EQ(animation.WaveGrid[2][29], 10.0f);
    EXPECT_EQ(animation.WaveGrid[29][29], 10.0f) << "a source that strays to 1 still names a column";
    EXPECT_EQ(animation.WaveGrid[0][0], 10.0f);
    EXPECT_EQ(animation.WaveGrid[1][1], 0.0f);

    // A drop falls flat within 100 ticks.
    for (int t = 0; t < 99; ++t) animation.Step();
    EXPECT_GT(animation.WaveGrid[2][29], 0.0f);
    EXPECT_LT(animation.WaveGrid[2][29], 0.11f);
    animation.Step();
    animation.Step();
    EXPECT_EQ(animation.WaveGrid[2][29], 0.0f);
    EXPECT_EQ(animation.WaveGrid[0][0], 10.0f) << "struck again at every tick";
}

TEST_F(AboutSceneTest, CreditsScrollUpAndStartAgainAfterFifty) {
    AboutAnimation animation(Script({}));
    animation.Step();
    EXPECT_EQ(animation.CreditsScroll, -7.0f + 0.02f);
    animation.CreditsScroll = 49.99f;
    animation.Step();
    EXPECT_EQ(animation.CreditsScroll, -7.0f);
    animation.CreditsScroll = 49.97f;
    animation.Step();
    EXPECT_EQ(animation.CreditsScroll, 49.97f + 0.02f);
}

TEST_F(AboutSceneTest, CameraAndLightComeBackExactly) {
    SetupGLLight(37.5f, 12.25f);
    gLightAmbient[3] = 0.123f;
    gCameraPosition = MakeVector(101.1f, -7.3f, 3.3e-5f);
    gCameraAngles = MakeVector(-89.9f, 359.7f, 0.01f);
    const LightState lightsBefore = SaveLightState();
    const Vector3 positionBefore = gCameraPosition, anglesBefore = gCameraAngles;

    BorrowedViewState borrowed;
    borrowed.SaveLights();
    SetupGLLight(kAboutLightHeading, kAboutLightElevation);
    borrowed.SaveCameraAndPose();
    AboutAnimation animation(SystemRandom());
    for (int i = 0; i < 250; ++i) animation.Step();
    EXPECT_NE(gCameraPosition.X, positionBefore.X);
    EXPECT_NE(gLightPosition[1], lightsBefore.Position[1]);

    borrowed.Restore();
    const LightState lightsAfter = SaveLightState();
    EXPECT_TRUE(SameBits(&lightsAfter, &lightsBefore, sizeof(LightState)));
    EXPECT_TRUE(SameBits(&gCameraPosition, &positionBefore, sizeof(Vector3)));
    EXPECT_TRUE(SameBits(&gCameraAngles, &anglesBefore, sizeof(Vector3)));

    // Once only, and nothing that was not taken is given back.
    gCameraAngles.Y = 5;
    borrowed.Restore();
    EXPECT_EQ(gCameraAngles.Y, 5.0f);
    BorrowedViewState lightsOnly;
    lightsOnly.SaveLights();
    gCameraPosition.X = 1;
    SetupGLLight(0, 0);
    lightsOnly.Restore();
    EXPECT_EQ(gCameraPosition.X, 1.0f);
    EXPECT_TRUE(SameBits(gLightPosition, lightsBefore.Position, sizeof(gLightPosition)));
}

TEST(AboutCredits, LinesSplitAtCrLf) {
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("one"), std::vector<std::string>{"one"});
    EXPECT_EQ(SplitLines("one\r\n"), std::vector<std::string>{"one"}) << "a CR LF at the end adds no line";
    EXPECT_EQ(SplitLines("one\r\n\r\ntwo"), (std::vector<std::string>{"one", "", "two"}));
    EXPECT_EQ(SplitLines("\r\n"), std::vector<std::string>{""});
    EXPECT_EQ(SplitLines("a\nb"), std::vector<std::string>{"a\nb"}) << "only CR LF ends a line";
}

TEST(AboutCredits, EveryLineHasItsPlaceAndColour) {
    for (float s : {0.0f, 2.5f}) {
        const std::vector<CreditLine> lines = LayoutCredits(s);
        ASSERT_EQ(lines.size(), 23u);
        auto at = [&](size_t i, float y, float z, float r, float g, float b) {
            EXPECT_EQ(lines[i].Y, y) << i << " " << lines[i].Text;
            EXPECT_EQ(lines[i].Z, z) << i;
            EXPECT_EQ(lines[i].Red, r) << i;
            EXPECT_EQ(lines[i].Green, g) << i;
            EXPECT_EQ(lines[i].Blue, b) << i;
        };
        EXPECT_EQ(lines[0].Text, "Brightquay Studios");
        at(0, s, -10, 1, 1, 0);
        EXPECT_EQ(lines[1].Text, "Gantrywright");
        EXPECT_EQ(lines[3].Text, "Version 1.3.3");
        EXPECT_EQ(lines[3].Text, "Version " + AppVersionText()) << "the version the settings file names";
        for (size_t i = 1; i <= 3; ++i) at(i, s - static_cast<float>(i), -10, 1, 1, 1);
        // Headings 3 below the program lines, then 1 between blocks.
        const char* headings[6] = {"- Lead Programmer -", "- Additional Programming -", "- 3D Modeling -",
                                   "- Help Manual -",     "- Lead Beta Tester -",       "- Beta Testers -"};
        const float headingY[6] = {s - 7, s - 10, s - 13, s - 16, s - 19, s - 22};
        const size_t headingIndex[6] = {4, 6, 8, 10, 12, 14};
        for (int b = 0; b < 6; ++b) {
            EXPECT_EQ(lines[headingIndex[b]].Text, headings[b]);
            at(headingIndex[b], headingY[b], -12, 0, 1, 1);
            at(headingIndex[b] + 1, headingY[b] - 1, -12, 1, 1, 1);
        }
        for (size_t i = 16; i <= 19; ++i) at(i, s - 23 - static_cast<float>(i - 15), -12, 1, 1, 1);
        EXPECT_EQ(lines[20].Text, "Vortaxis Coaster");
        for (size_t i = 20; i <= 22; ++i) at(i, s - 32 - static_cast<float>(i - 20), -10, 1, 1, 1);
    }
}

TEST(AboutCredits, AnEmptyLineTakesItsSpace) {
    CreditsText credits = Credits();
    credits.Blocks[0] = "- Lead Programmer -\r\n\r\nSomeone";
    const std::vector<CreditLine> lines = LayoutCredits(0, credits);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[5].Text, "");
    EXPECT_EQ(lines[5].Y, -8.0f);
    EXPECT_EQ(lines[6].Y, -9.0f);
    EXPECT_EQ(lines[7].Y, -11.0f) << "the next block moves down by one line";
}

TEST(AboutCredits, TheTextsAreWrittenInCodesTheLettersExistFor) {
    for (const CreditLine& line : LayoutCredits(0)) {
        for (char c : line.Text) {
            const auto code = static_cast<unsigned char>(c);
            EXPECT_TRUE(code >= 32 && code < 127) << line.Text;
        }
    }
    // The names under the headings: one each, five testers.
    const CreditsText& credits = Credits();
    for (int b = 0; b < 5; ++b) EXPECT_EQ(SplitLines(credits.Blocks[b]).size(), 2u) << b;
    EXPECT_EQ(SplitLines(credits.Blocks[5]).size(), 6u);
    EXPECT_EQ(SplitLines(credits.Program).size(), 3u);
    EXPECT_EQ(SplitLines(credits.Simulator).size(), 3u);
}

}  // namespace
