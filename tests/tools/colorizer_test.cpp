// Track > Colorizer's painting: the five modes on small tracks, the scope and
// the filters, and the painted colours kept through a save and a reload.

#include <filesystem>
#include <vector>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/colorizer.h"
#include "trackdoc/color_functions.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

constexpr int32_t Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }
constexpr int32_t kUntouched = Rgb(1, 2, 3);

class ColorizerTest : public ToolTest {
protected:
    // A track of segments of the given types, each with its own colours kUntouched.
    void MakeTrack(const std::vector<int>& types) {
        MakeLineTrack({0, 10, 0}, {0, 0, -10}, static_cast<int>(types.size()));
        for (size_t i = 0; i < types.size(); ++i) {
            gSegments[i].SegmentType = types[i];
            gSegments[i].SpineColor = gSegments[i].RailColor = gSegments[i].TieColor = kUntouched;
        }
        ClearSegmentSelection();
    }
    static std::vector<int32_t> Spines() {
        std::vector<int32_t> colors;
        for (int i = 0; i < gSegmentCount; ++i) colors.push_back(gSegments[static_cast<size_t>(i)].SpineColor);
        return colors;
    }
    ColorizerOptions options;
};

}  // namespace

TEST_F(ColorizerTest, GradientOverTheSelectedSegmentsOnly) {
    MakeTrack(std::vector<int>(10, 0));
    for (int i : {3, 7, 9}) gSegmentSelected[static_cast<size_t>(i)] = true;
    options.SelectedOnly = true;
    options.UseAlternate = true;
    options.Primary = {Rgb(10, 20, 30), Rgb(5, 5, 5), Rgb(7, 7, 7)};
    options.Alternate = {Rgb(100, 20, 0), Rgb(6, 6, 6), Rgb(8, 8, 8)};
    options.Mode = {PaintGradient, PaintPrimary, PaintAlternate};
    RunColorizer(options);
    const std::vector<int32_t> spines = Spines();
    EXPECT_EQ(spines[3], Rgb(10, 20, 30));
    EXPECT_EQ(spines[7], Rgb(40, 20, 20)) << "step (30, 0, -10) = (90, 0, -30) / 3";
    EXPECT_EQ(spines[9], Rgb(70, 20, 10)) << "one step short of the alternate colour";
    for (int i : {3, 7, 9}) {
        EXPECT_TRUE(gSegments[static_cast<size_t>(i)].CustomColors);
        EXPECT_EQ(gSegments[static_cast<size_t>(i)].RailColor, Rgb(5, 5, 5));
        EXPECT_EQ(gSegments[static_cast<size_t>(i)].TieColor, Rgb(8, 8, 8));
    }
    for (int i : {0, 1, 2, 4, 5, 6, 8}) {
        EXPECT_EQ(spines[static_cast<size_t>(i)], kUntouched) << i;
        EXPECT_FALSE(gSegments[static_cast<size_t>(i)].CustomColors) << i;
    }
    const RemodelFlags& f = gRemodelFlags;
    EXPECT_TRUE(f.Recolor);
    EXPECT_FALSE(f.RebuildPath || f.RebuildTrack || f.RebuildTubes || f.RebuildFooters || f.RebuildGround ||
                 f.RebuildTunnels || f.RebuildPrefabs);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(ColorizerTest, GradientStepsAreRoundedAndTheChannelsClamped) {
    MakeTrack({0, 0});
    options.UseAlternate = true;
    options.Primary[0] = Rgb(0, 0, 0);
    options.Alternate[0] = Rgb(255, 255, 255);
    options.Mode[0] = PaintGradient;
    ColorizeTrack(options);
    EXPECT_EQ(Spines(), (std::vector<int32_t>{0, Rgb(128, 128, 128)})) << "127.5 rounds to 128";

    MakeTrack(std::vector<int>(8, 0));
    options.Primary[0] = Rgb(250, 0, 10);
    options.Alternate[0] = Rgb(255, 0, 0);  // red +5/8 -> 1, blue -10/8 -> -1 (-1.25)
    ColorizeTrack(options);
    const std::vector<int32_t> spines = Spines();
    const int reds[8] = {250, 251, 252, 253, 254, 255, 255, 255};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(spines[static_cast<size_t>(i)], Rgb(reds[i], 0, 10 - i)) << i;

    MakeTrack(std::vector<int>(4, 0));
    options.Primary[0] = Rgb(0, 0, 0);
    options.Alternate[0] = Rgb(0, 0, 10);  // 2.5 rounds to 2, halves to even
    ColorizeTrack(options);
    EXPECT_EQ(Spines(), (std::vector<int32_t>{0, Rgb(0, 0, 2), Rgb(0, 0, 4), Rgb(0, 0, 6)}));
}

TEST_F(ColorizerTest, ColorWheelTurnsOnceOverTheScope) {
    const int32_t primary = Rgb(255, 0, 255);  // magenta: hue 201
    const ColorHSL base = RGBToHSL(SplitRGB(primary));
    ASSERT_EQ(base.Hue, 201);
    MakeTrack({0, 0, 0, 0});
    options.Primary = {primary, primary, primary};
    options.Mode = {PaintColorWheel, PaintColorWheel, PaintPrimary};
    ColorizeTrack(options);
    const int hues[4] = {201, 21, 81, 141};  // 261 wraps to 21
    for (int i = 0; i < 4; ++i) {
        const int32_t expect = PackRGB(HSLToRGB({hues[i], base.Saturation, base.Luminance}));
        EXPECT_EQ(gSegments[static_cast<size_t>(i)].SpineColor, expect) << i;
        EXPECT_EQ(gSegments[static_cast<size_t>(i)].RailColor, expect) << i;
        EXPECT_EQ(gSegments[static_cast<size_t>(i)].TieColor, primary);
    }
    // A hue of exactly 240 stays 240: base 120 over 2 segments.
    MakeTrack({0, 0});
    const int32_t cyan = PackRGB(HSLToRGB({120, 240, 120}));
    ASSERT_EQ(RGBToHSL(SplitRGB(cyan)).Hue, 120);
    options.Primary[0] = cyan;
    ColorizeTrack(options);
    EXPECT_EQ(gSegments[1].SpineColor, PackRGB(HSLToRGB({240, 240, 120})));
}

TEST_F(ColorizerTest, TypeFilterLeavesGapsInTheWheelButNotInTheGradient) {
    MakeTrack({0, 2, 0, 2});
    const int32_t primary = PackRGB(HSLToRGB({0, 240, 120}));
    options.AllTypes = false;
    options.Types[SegmentLift] = true;
    options.UseAlternate = true;
    options.Primary = {primary, Rgb(0, 0, 0), primary};
    options.Alternate = {primary, Rgb(40, 0, 0), primary};
    options.Mode = {PaintColorWheel, PaintGradient, PaintPrimary};
    EXPECT_EQ(ColorizeTrack(options), 2);
    EXPECT_EQ(gSegments[1].SpineColor, PackRGB(HSLToRGB({60, 240, 120}))) << "position 1 of 4";
    EXPECT_EQ(gSegments[3].SpineColor, PackRGB(HSLToRGB({180, 240, 120}))) << "position 3 of 4";
    EXPECT_EQ(gSegments[1].RailColor, Rgb(0, 0, 0));
    EXPECT_EQ(gSegments[3].RailColor, Rgb(10, 0, 0)) << "the second painted segment, step 40 / 4";
    EXPECT_EQ(gSegments[0].SpineColor, kUntouched);
    EXPECT_EQ(gSegments[2].SpineColor, kUntouched);

    // A type outside 0 to 4 passes only through "All Segment Types".
    MakeTrack({7, 4});
    options.Types = {true, true, true, true, true};
    EXPECT_EQ(ColorizeTrack(options), 1);
    EXPECT_EQ(gSegments[0].SpineColor, kUntouched);
    options.AllTypes = true;
    EXPECT_EQ(ColorizeTrack(options), 2);
}

TEST_F(ColorizerTest, ToggleRunsCountPaintedSegmentsOnly) {
    const int32_t P = Rgb(255, 0, 0), A = Rgb(0, 0, 255);
    MakeTrack({0, 0, 1, 0, 0, 0, 1, 0, 0});
    gSegments[2].Tunnel = gSegments[6].Tunnel = false;
    options.UseAlternate = true;
    options.AllTypes = false;
    options.Types[SegmentNormal] = true;  // the stations 2 and 6 are skipped
    options.Primary[0] = P;
    options.Alternate[0] = A;
    options.Mode[0] = PaintToggle;
    options.RunLengths[0] = {2, 1};
    ColorizeTrack(options);
    EXPECT_EQ(Spines(), (std::vector<int32_t>{P, P, kUntouched, A, P, P, kUntouched, A, P}));

    // Run lengths are the boxes' numbers rounded, halves to even: 1.5 -> 2, 2.5 -> 2.
    MakeTrack(std::vector<int>(6, 0));
    options.AllTypes = true;
    options.RunLengths[0] = {1.5, 2.5};
    ColorizeTrack(options);
    EXPECT_EQ(Spines(), (std::vector<int32_t>{P, P, A, A, P, P}));
}

TEST_F(ColorizerTest, OnlyTunneledSegments) {
    MakeTrack({0, 1, 2, 3});
    gSegments[1].Tunnel = gSegments[3].Tunnel = true;
    options.OnlyTunnels = true;
    options.Primary[0] = Rgb(9, 9, 9);
    EXPECT_EQ(ColorizeTrack(options), 2);
    EXPECT_EQ(Spines(), (std::vector<int32_t>{kUntouched, Rgb(9, 9, 9), kUntouched, Rgb(9, 9, 9)}));
}

TEST_F(ColorizerTest, NoSegmentInScopePaintsNothingButStillEnds) {
    MakeTrack({});
    options.UseAlternate = true;
    options.Mode = {PaintGradient, PaintColorWheel, PaintToggle};
    RunColorizer(options);  // Entire Track of no segment: no step divided by 0
    EXPECT_TRUE(gRemodelFlags.Recolor);
    EXPECT_TRUE(gDocumentChanged);

    MakeTrack({0, 0});
    options.SelectedOnly = true;  // none selected
    EXPECT_EQ(ColorizeTrack(options), 0);
    EXPECT_EQ(Spines(), (std::vector<int32_t>{kUntouched, kUntouched}));
}

TEST_F(ColorizerTest, PaintedColoursSurviveSaveAndReload) {
    MakeTrack({0, 2, 4});
    options.UseAlternate = true;
    options.Primary = {Rgb(0, 0, 0), Rgb(200, 100, 50), Rgb(1, 1, 1)};
    options.Alternate = {Rgb(90, 60, 30), Rgb(0, 0, 0), Rgb(2, 2, 2)};
    options.Mode = {PaintGradient, PaintColorWheel, PaintToggle};
    RunColorizer(options);
    const std::vector<TrackSegment> painted(gSegments.begin(), gSegments.begin() + 3);
    const std::filesystem::path file = std::filesystem::path(TestTempFile("gw_colorizer_test.vxtrack"));
    ASSERT_TRUE(SaveTrackFile(file.string()));
    ClearTrackDocument();
    ASSERT_TRUE(LoadTrackFile(file.string()));
    std::filesystem::remove(file);
    ASSERT_EQ(gSegmentCount, 3);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(gSegments[i].CustomColors);
        EXPECT_EQ(gSegments[i].SpineColor, painted[i].SpineColor) << i;
        EXPECT_EQ(gSegments[i].RailColor, painted[i].RailColor) << i;
        EXPECT_EQ(gSegments[i].TieColor, painted[i].TieColor) << i;
    }
    EXPECT_EQ(gSegments[1].SpineColor, Rgb(30, 20, 10));
}
