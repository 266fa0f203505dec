// Crosstie placement: tie positions, the choice of primary or secondary tie,
// and the toggle runs that continue across segments.

#include <cmath>
#include <cstring>
#include <vector>
#include <string>

#include "model/crosstie_placement.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/track_model.h"
#include "tests/model/model_test_support.h"

namespace {

constexpr float kPrimaryY = 0.1f;
constexpr float kSecondaryY = 0.2f;

class CrosstiePlacementTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        SetTieTriangle(0, kPrimaryY);
        SetTieTriangle(1, kSecondaryY);
        gModelSettings.TieSpacing = 1.0f;
    }

    // Builds the ties of every segment as the track model does, starting the
    // pattern afresh.
    void PlaceAll() {
        InitTrackModel();
        gTieState = 0;
        gTieCountdown = gModelSettings.ToggleCount1;
        for (int s = 0; s < gSpineInfoSegmentCount; ++s) ModelCrossties(s);
    }

    // "P" or "S" per tie, over all segments, from the local height of each
    // tie's triangle in its frame (all frames here share one roll).
    std::string Pattern(float roll = 0.0f) {
        std::string out;
        for (int s = 0; s < gSpineInfoSegmentCount; ++s) {
            const TrackModelEntry& e = gTrackModel[s];
            for (int i = 0; i < e.TieFaceCount; ++i) {
                const Vector3& v = e.TieFaces[i].V1;
                const double up = -std::sin(roll) * v.X + std::cos(roll) * v.Y;  // local y of the corner
                const double localY = up + 0.0;
                out += std::fabs(localY - kSecondaryY) < 1e-3 ? 'S' : (std::fabs(localY - kPrimaryY) < 1e-3 ? 'P' : '?');
            }
        }
        return out;
    }
};

}  // namespace

TEST_F(CrosstiePlacementTest, TiesSitInTheMiddleOfEqualIntervals) {
    MakeSyntheticPath({10.0f});
    gModelSettings.gTieModels[1].Use = false;
    gModelSettings.TieSpacing = 4.0f;  // 10 / 4 = 2.5 rounds to 2 ties, 5 m apart
    PlaceAll();
    const TrackModelEntry& e = gTrackModel[0];
    ASSERT_EQ(e.TieFaceCount, 2);
    EXPECT_NEAR(e.TieFaces[0].V1.Z, -2.5f, 1e-5f);
    EXPECT_NEAR(e.TieFaces[1].V1.Z, -7.5f, 1e-5f);
    // The corners are the model's corners placed by the frame; the normal is the face's.
    EXPECT_NEAR(e.TieFaces[0].V1.X, -0.1f, 1e-6f);
    EXPECT_NEAR(e.TieFaces[0].V3.Z, -2.6f, 1e-5f);
    EXPECT_NEAR(e.TieFaces[0].FaceNormal().Y, 1.0f, 1e-6f);
    EXPECT_EQ(e.TieFaces[0].Smoothing, 0);
    EXPECT_EQ(e.TieFaces[0].VertexNormal1.Y, 0.0f);
}

TEST_F(CrosstiePlacementTest, ShortSegmentGetsOneTieInItsMiddle) {
    MakeSyntheticPath({0.3f});
    gModelSettings.TieSpacing = 1.0f;
    PlaceAll();
    ASSERT_EQ(gTrackModel[0].TieFaceCount, 1);
    EXPECT_NEAR(gTrackModel[0].TieFaces[0].V1.Z, -0.15f, 1e-6f);
}

TEST_F(CrosstiePlacementTest, ZeroLengthSegmentGetsOneTieAndEnds) {
    MakeSyntheticPath({0.0f});
    PlaceAll();
    EXPECT_EQ(gTrackModel[0].TieFaceCount, 1);
}

TEST_F(CrosstiePlacementTest, SpacingOfZeroOrLessIsClampedToTheDialogsRange) {
    MakeSyntheticPath({2.0f});
    gModelSettings.gTieModels[1].Use = false;
    gModelSettings.TieSpacing = 0.0f;  // a settings set without the key
    PlaceAll();
    EXPECT_EQ(gTrackModel[0].TieFaceCount, 20);  // every 0.1 m
    gModelSettings.TieSpacing = -3.0f;
    PlaceAll();
    EXPECT_EQ(gTrackModel[0].TieFaceCount, 20);
}

TEST_F(CrosstiePlacementTest, ToggleRunsWithinOneSegment) {
    MakeSyntheticPath({10.0f});
    gModelSettings.ToggleTies = true;
    gModelSettings.ToggleCount1 = 3;
    gModelSettings.ToggleCount2 = 2;
    PlaceAll();
    EXPECT_EQ(Pattern(), "PPSSPPPSSP");
}

TEST_F(CrosstiePlacementTest, ToggleRunsContinueAcrossSegments) {
    MakeSyntheticPath({5.0f, 5.0f});
    gModelSettings.ToggleTies = true;
    gModelSettings.ToggleCount1 = 3;
    gModelSettings.ToggleCount2 = 2;
    PlaceAll();
    EXPECT_EQ(Pattern(), "PPSSPPPSSP");
    EXPECT_EQ(gTrackModel[0].TieFaceCount, 5);
}

TEST_F(CrosstiePlacementTest, ToggleCountOfZeroGivesRunsOfOne) {
    MakeSyntheticPath({6.0f});
    gModelSettings.ToggleTies = true;
    gModelSettings.ToggleCount1 = 0;
    gModelSettings.ToggleCount2 = 0;
    PlaceAll();
    EXPECT_EQ(Pattern(), "SPSPSP");
}

TEST_F(CrosstiePlacementTest, SecondarySlotWithoutRulesGivesOnlyPrimaries) {
    MakeSyntheticPath({4.0f, 4.0f});
    PlaceAll();
    EXPECT_EQ(Pattern(), "PPPPPPPP");
    EXPECT_EQ(gTieState, 0);
}

TEST_F(CrosstiePlacementTest, AltOnStartMakesEachSegmentsFirstTieSecondary) {
    MakeSyntheticPath({3.0f, 3.0f});
    gModelSettings.AltOnStart = true;
    PlaceAll();
    EXPECT_EQ(Pattern(), "SPPSPP");
}

TEST_F(CrosstiePlacementTest, AltOnBankChoosesByTheBankEitherWay) {
    gModelSettings.AltOnBank = true;
    gModelSettings.AltBank = 30.0f;
    for (float degrees : {45.0f, -45.0f, 29.9f, -29.9f, 30.5f}) {
        const float roll = static_cast<float>(DegToRad(degrees));
        MakeSyntheticPath({2.0f}, roll);
        PlaceAll();
        const char expected = std::fabs(degrees) >= 30.0f ? 'S' : 'P';
        EXPECT_EQ(Pattern(roll), std::string(2, expected)) << degrees;
    }
}

TEST_F(CrosstiePlacementTest, AltOnBankOverridesAltOnStart) {
    gModelSettings.AltOnBank = true;
    gModelSettings.AltBank = 30.0f;
    gModelSettings.AltOnStart = true;
    MakeSyntheticPath({3.0f});
    PlaceAll();
    EXPECT_EQ(Pattern(), "PPP");  // level track: the start tie is primary too
}

TEST_F(CrosstiePlacementTest, AltOnStartWithToggleSeesPrimaryOnEveryLaterTie) {
    MakeSyntheticPath({6.0f});
    gModelSettings.AltOnStart = true;
    gModelSettings.ToggleTies = true;
    gModelSettings.ToggleCount1 = 2;
    gModelSettings.ToggleCount2 = 2;
    PlaceAll();
    // Tie 1: start rule gives S, countdown 2 -> 1 keeps it. Every later tie is
    // reset to P before the toggle, so a countdown reaching 0 always starts a
    // secondary run of which only its first tie shows.
    EXPECT_EQ(Pattern(), "SSPSPS");
}

TEST_F(CrosstiePlacementTest, NoSlotInUsePlacesNothing) {
    MakeSyntheticPath({5.0f, 5.0f});
    gModelSettings.gTieModels[0].Use = false;
    gModelSettings.gTieModels[1].Use = false;
    PlaceAll();
    EXPECT_EQ(gTrackModel[0].TieFaceCount, 0);
    EXPECT_EQ(gTrackModel[1].TieFaceCount, 0);
}

TEST_F(CrosstiePlacementTest, SlotWithoutTrianglesStillCountsForThePattern) {
    MakeSyntheticPath({4.0f});
    gModelSettings.gTieModels[1].TriangleCount = 0;
    gModelSettings.ToggleTies = true;
    gModelSettings.ToggleCount1 = 2;
    gModelSettings.ToggleCount2 = 1;
    PlaceAll();
    EXPECT_EQ(Pattern(), "PPP");  // P, (S placed as nothing), P, P
    EXPECT_EQ(gTrackModel[0].TieFaceCount, 3);
}

// The track model builds its segments on all cores, each from the pattern a
// pass in order gives it: every tie face, and the pattern left at the end, as
// placing the segments one after the other leaves them, on a banked ride where
// the bank decides the switches (several blocks of segments).
TEST_F(CrosstiePlacementTest, TrackModelTiesMatchThePlacementInSegmentOrder) {
    MakeCircleTrack(300, 400.0f);
    for (int i = 0; i < gNodeCount; ++i) gNodes[i].Roll = static_cast<float>(0.9 * std::sin(i * 0.37));
    ExtractTrackSpine();
    BuildPathMatrixArray();
    gModelSettings.TieSpacing = 1.3f;
    gModelSettings.ToggleTies = true;
    gModelSettings.ToggleCount1 = 4;
    gModelSettings.ToggleCount2 = 3;
    gModelSettings.AltOnBank = true;
    gModelSettings.AltBank = 25.0f;
    // Two triangles in a secondary tie, one in a primary: the face counts tell them apart.
    TieModel& secondary = gModelSettings.gTieModels[1];
    secondary.Triangles[1] = secondary.Triangles[0];
    secondary.TriangleCount = 2;
    for (bool onStart : {false, true}) {
        gModelSettings.AltOnStart = onStart;
        PlaceAll();
        std::vector<std::vector<ModelFace>> inOrder;
        for (int s = 0; s < gSpineInfoSegmentCount; ++s)
            inOrder.emplace_back(gTrackModel[s].TieFaces.begin(), gTrackModel[s].TieFaces.begin() + gTrackModel[s].TieFaceCount);
        const int16_t state = gTieState;
        const int32_t countdown = gTieCountdown;
        size_t ties = 0, faces = 0;
        for (int s = 0; s < gSpineInfoSegmentCount; ++s) {
            ties += static_cast<size_t>(TieCount(gPathMatrixArray[s].Length, 1.3f));
            faces += inOrder[s].size();
        }
        EXPECT_GT(faces, ties);      // some secondary ties
        EXPECT_LT(faces, 2 * ties);  // and some primary ones

        gTieState = 1 - state;
        gTieCountdown = countdown + 7;
        CreateTrackModel();
        for (int s = 0; s < gSpineInfoSegmentCount; ++s) {
            const TrackModelEntry& e = gTrackModel[s];
            ASSERT_EQ(e.TieFaceCount, static_cast<int32_t>(inOrder[s].size())) << s;
            EXPECT_EQ(std::memcmp(e.TieFaces.data(), inOrder[s].data(), inOrder[s].size() * sizeof(ModelFace)), 0) << s;
        }
        EXPECT_EQ(gTieState, state);
        EXPECT_EQ(gTieCountdown, countdown);
    }
}
