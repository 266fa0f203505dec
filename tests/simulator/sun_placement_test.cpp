// Sun placement without its window: clicks, marker positions, zoom keys,
// panning and the sliders OK writes; the panorama of six faces; the texture
// viewer's verdicts by size.

#include "simulator/sun_placement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/app_state.h"
#include "platform/file_system.h"
#include "simulator/dib_section.h"
#include "simulator/environment_editor.h"
#include "simulator/picture_loading.h"
#include "simulator/texture_size_verdict.h"
#include "tests/core/locale_scope.h"
#include "tests/platform/temp_folder.h"
#include "tests/simulator/picture_test_support.h"

TEST(SunPlacementTest, ClicksAndMarkers) {
    SunPlacement sun(14400, 14400);
    EXPECT_NEAR(sun.PixelsPerDegree(), 512.0 / 360.0, 1e-12);
    EXPECT_EQ(sun.Reference(), 192.0);
    EXPECT_EQ(sun.MarkerPosition().X, 187.0);

    sun.SetSunFromPoint(192, 192);
    EXPECT_EQ(sun.mAltitude, 0.0);
    EXPECT_EQ(sun.mHeading, 0.0);
    sun.SetSunFromPoint(320, 192);
    EXPECT_NEAR(sun.mHeading, 90.0, 1e-9);
    sun.SetSunFromPoint(511, 192);
    EXPECT_NEAR(sun.mHeading, 224.296875 - 360.0, 1e-9);
    EXPECT_EQ(SunPlacement::AngleText(sun.mHeading), "-135.7031");
    // Drawn at its place right of South, not wrapped to the left edge.
    EXPECT_NEAR(sun.MarkerPosition().X, 187.0 + 224.296875 * 512.0 / 360.0, 1e-9);
    sun.SetSunFromPoint(192, 0);
    EXPECT_EQ(sun.mAltitude, 90.0);
    EXPECT_EQ(sun.AnglesAt(192, 383).X, -90.0);
    EXPECT_EQ(SunPlacement::AngleText(sun.mAltitude), "90.0");

    SunPlacement one(14400, 14400);
    ASSERT_TRUE(one.Key('+'));
    EXPECT_EQ(one.mZoom, 1.0f);
    EXPECT_EQ(one.Reference(), 384.0);
    EXPECT_EQ(one.MarkerPosition().X, 379.0);
    EXPECT_EQ(one.MarkerPosition().Y, 379.0);
    SunPlacement west(14400, 14400 - 150 * 80);
    west.Key('+');
    EXPECT_NEAR(west.MarkerPosition().X, 379.0 + 210.0 * 1024.0 / 360.0, 1e-9);
}

TEST(SunPlacementTest, OkWritesOnlyWhatAClickChanged) {
    SunPlacement sun(21600, 14401);
    EXPECT_EQ(sun.mAltitude, 90.0);
    EXPECT_EQ(sun.Sliders(), (std::array<int32_t, 2>{21600, 14401}));
    for (int32_t s = 0; s <= 28800; s += 7) EXPECT_EQ(SunPlacement(s, 28800 - s).Sliders()[0], s);

    // Altitude 90 (a click above the top limit) and heading -179.99.
    const double p = sun.PixelsPerDegree(), r = sun.Reference();
    sun.SetSunFromPoint(r - 179.99 * p, 0);
    EXPECT_EQ(sun.Sliders(), (std::array<int32_t, 2>{21600, 0}));
    sun.SetSunFromPoint(r + 45.0 * p, r + 0.001 * p);  // altitude -0.001
    EXPECT_EQ(sun.Sliders(), (std::array<int32_t, 2>{14399, 18000}));
}

TEST(SunPlacementTest, AnglesShowAPointAsTheEditorDoesWhateverTheLocale) {
    LocaleScope german("de_DE.UTF-8");
    SKIP_WITHOUT_LOCALE(german);
    for (const int32_t slider : {3544, 14399, 21600, 28800}) {
        const SunPlacement sun(slider, slider);
        EXPECT_EQ(SunPlacement::AngleText(sun.mAltitude), SunPositionText(slider)) << slider;
    }
    EXPECT_EQ(SunPlacement::AngleText(-135.703125), "-135.7031");
}

TEST(SunPlacementTest, ZoomKeysAndPanning) {
    SunPlacement sun(14400, 14400);
    EXPECT_FALSE(sun.Key('-'));
    EXPECT_FALSE(sun.Key('/'));
    EXPECT_FALSE(sun.Key('x'));
    ASSERT_TRUE(sun.Key('='));
    // Centred on the sun at (384, 384) of the zoom-1 panorama.
    EXPECT_EQ(sun.ViewLeft, 256.0f - 384.0f);
    EXPECT_EQ(sun.ViewTop, 192.0f - 384.0f);
    ASSERT_TRUE(sun.Key('+'));
    EXPECT_EQ(sun.mZoom, 2.0f);
    EXPECT_EQ(sun.ViewLeft, 256.0f - 768.0f);
    ASSERT_TRUE(sun.Key('+'));
    EXPECT_EQ(sun.mZoom, 3.0f);
    EXPECT_FALSE(sun.Key('+'));
    ASSERT_TRUE(sun.Key('-'));
    EXPECT_EQ(sun.mZoom, 2.0f);

    // Panning keeps the 2048 x 1536 view over the 512 x 384 viewport.
    sun.StartPan(100, 100);
    sun.Pan(150, 50);
    EXPECT_EQ(sun.ViewLeft, 256.0f - 768.0f + 50.0f);
    EXPECT_EQ(sun.ViewTop, 192.0f - 768.0f - 50.0f);
    sun.Pan(5000, -5000);
    EXPECT_EQ(sun.ViewLeft, 0.0f);
    EXPECT_EQ(sun.ViewTop, 384.0f - 1536.0f);

    ASSERT_TRUE(sun.Key('*'));
    EXPECT_EQ(sun.ViewLeft, 256.0f - 768.0f);
    ASSERT_TRUE(sun.Key('/'));
    EXPECT_EQ(sun.mZoom, 0.5f);
    EXPECT_EQ(sun.ViewLeft, 0.0f);
    ASSERT_TRUE(sun.Key('*'));
    EXPECT_EQ(sun.ViewTop, 0.0f);
}

TEST(SunPlacementTest, PanoramaOfTheSixFaces) {
    TempFolder sim;
    const std::string saved = gSimPath;
    gSimPath = sim.Path();
    // One-colour 1 x 1 side faces; 2 x 2 up and down faces with four colours
    // (top row 1, 2; bottom row 3, 4 on screen), stored bottom row first.
    auto solid = [&](const std::string& name, uint8_t level) {
        const Bytes file = Tga(2, 24, 1, 1, 0, Bytes(3, level));
        return sim.Write(name, std::string(file.begin(), file.end()));
    };
    auto corners = [&](const std::string& name, uint8_t base) {
        const Bytes data = {uint8_t(base + 3), 0, 0, uint8_t(base + 4), 0, 0, uint8_t(base + 1), 0, 0,
                            uint8_t(base + 2), 0, 0};
        const Bytes file = Tga(2, 24, 2, 2, 0, data);
        return sim.Write(name, std::string(file.begin(), file.end()));
    };
    solid("Environments/Sky/north.tga", 10);
    const std::string east = solid("elsewhere/east.tga", 30);
    solid("Environments/Sky/west.tga", 40);
    corners("Environments/Sky/up.tga", 100);
    corners("Environments/Sky/down.tga", 200);
    const std::array<std::string, 6> faces = {"environments\\sky\\NORTH.tga", "", east, "Environments\\Sky\\west.tga",
                                              "Environments\\Sky\\up.tga", "Environments\\Sky\\down.tga"};
    std::vector<std::string> lines;
    cDIBSection canvas;
    BuildSkyboxPanorama(faces, canvas, [&](const std::string& line) { lines.push_back(line); });
    gSimPath = saved;

    const std::vector<std::string> expected = {
        " Loading Images...", "", "     Loading North", "     Loading South", "     Loading East", "     Loading West",
        "     Loading Up:", "         Rotating 90deg", "         Rotating 180deg", "         Rotating 270deg",
        "     Loading Down:", "         Rotating 90deg", "         Rotating 180deg", "         Rotating 270deg",
        " Done."};
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(canvas.Width(), 1024);
    // The blue byte in the top-left quarter of each cell.
    auto cell = [&](int column, int row) {
        return int(canvas.PixelAt(column * 256 + 64, 767 - (row * 256 + 64))[0]);
    };
    EXPECT_EQ(cell(0, 1), 40);  // West
    EXPECT_EQ(cell(1, 1), 10);  // North
    EXPECT_EQ(cell(2, 1), 30);  // East
    EXPECT_EQ(cell(3, 1), 0);   // South: no picture
    // Up and its quarter turns clockwise, left to right; Down's turns right to left.
    EXPECT_EQ((std::array<int, 4>{cell(0, 0), cell(1, 0), cell(2, 0), cell(3, 0)}),
              (std::array<int, 4>{101, 103, 104, 102}));
    EXPECT_EQ((std::array<int, 4>{cell(0, 2), cell(3, 2), cell(2, 2), cell(1, 2)}),
              (std::array<int, 4>{201, 203, 204, 202}));
}

TEST(TextureSizeVerdictTest, VerdictsBySize) {
    EXPECT_STREQ(JudgeTextureSize(1024, 1024).Text, "Valid");
    EXPECT_EQ(JudgeTextureSize(1024, 1024).TextColour, 0x00FF00);
    EXPECT_STREQ(JudgeTextureSize(256, 64).Text, "Valid");
    EXPECT_STREQ(JudgeTextureSize(16, 16).Text, "Valid");
    EXPECT_STREQ(JudgeTextureSize(2048, 512).Text, "Oversized");
    EXPECT_EQ(JudgeTextureSize(8192, 8192).TextColour, 0x00FFFF);
    for (auto [w, h] : {std::pair{16384, 16384}, {8, 8}, {100, 128}, {512, 300}, {0, 0}, {-16, 16}}) {
        EXPECT_STREQ(JudgeTextureSize(w, h).Text, "Invalid Dimensions") << w << " x " << h;
        EXPECT_EQ(JudgeTextureSize(w, h).TextColour, 0x0000FF);
    }
}
