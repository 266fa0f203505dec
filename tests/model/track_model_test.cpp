// The track model driver: entries, bounding spheres, colours of a fresh build.

#include <cmath>

#include "core/app_state.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "model/track_model.h"
#include "tests/model/model_test_support.h"

namespace {

class TrackModelTest : public ModelTest {
protected:
    void BuildPath() {
        ExtractTrackSpine();
        BuildPathMatrixArray();
    }
    void SteelLoopingWithTie() {
        ApplyTrackStylePresets(0, false);
        SetTieTriangle(0, -0.2f);
    }
};

float Farthest(const TrackModelEntry& e) {
    double best = 0.0;
    const auto see = [&](const Vector3& p) {
        best = std::max(best, double(VectorDistance(e.Centre, p)));
    };
    const auto faces = [&](const std::vector<ModelFace>& list, int32_t count) {
        for (int i = 0; i < count; ++i) {
            see(list[i].V1);
            see(list[i].V2);
            see(list[i].V3);
        }
    };
    for (const ModelMesh& m : e.Rails) faces(m.Faces, m.FaceCount);
    for (const ModelMesh& m : e.Spines) faces(m.Faces, m.FaceCount);
    faces(e.TieFaces, e.TieFaceCount);
    return static_cast<float>(best);
}

}  // namespace

TEST_F(TrackModelTest, SpineWithoutSegmentsLeavesTheModelAsItWas) {
    gTrackModel.assign(4, TrackModelEntry{});
    gTrackModel[2].RailColor = 77;
    MakeStraightTrack(0, 10.0f);
    BuildPath();
    CreateTrackModel();
    EXPECT_TRUE(gTrackModelValid);
    ASSERT_EQ(gTrackModel.size(), 4u);
    EXPECT_EQ(gTrackModel[2].RailColor, 77);
}

TEST_F(TrackModelTest, EntriesWithoutPartsStillGetSphereAndColours) {
    MakeStraightTrack(3, 10.0f);
    BuildPath();
    CreateTrackModel();
    ASSERT_EQ(gTrackModel.size(), 4u);  // one per segment and the spare
    for (int i = 0; i < 3; ++i) {
        const TrackModelEntry& e = gTrackModel[i];
        EXPECT_EQ(e.Rails.size(), 1u);
        EXPECT_EQ(e.Spines.size(), 1u);
        EXPECT_EQ(e.TieFaceCount, 0);
        EXPECT_NEAR(e.Centre.Z, -10.0f * i - 0.999f * 5.0f, 1e-3f);
        EXPECT_NEAR(e.Radius, 0.999f * 10.0f / 1.75f, 1e-3f);
        EXPECT_EQ(e.RailColor, gRailColor);
    }
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_EQ(busy.Markers, 4 + 3 + 3 + 3);  // nodes and segments copied, frames built, segments modelled
}

TEST_F(TrackModelTest, BoundingSphereHoldsTheWholeSegment) {
    MakeCircleTrack(4, 20.0f);
    SteelLoopingWithTie();
    BuildPath();
    CreateTrackModel();
    for (int i = 0; i < 4; ++i) {
        const TrackModelEntry& e = gTrackModel[i];
        const Vector3 a = MatrixGetTranslation(gPathMatrixArray[i].Frames[0].Frame);
        const Vector3 b = MatrixGetTranslation(gPathMatrixArray[i].Frames[999].Frame);
        EXPECT_NEAR(e.Centre.X, (a.X + b.X) / 2, 1e-4f);
        EXPECT_NEAR(e.Centre.Z, (a.Z + b.Z) / 2, 1e-4f);
        EXPECT_GE(e.Radius, Farthest(e));
        EXPECT_GE(e.Radius, VectorDistance(a, b) / 1.75f);
    }
}

TEST_F(TrackModelTest, BoundingSphereOfAHairpinReachesItsFarEnd) {
    // A hairpin: the ends 4 m apart, the bend some 22 m away from them. The
    // chord's 4/7 would be a sphere of 2.3 m that leaves the bend out.
    gNodeCount = 2;
    gNodes.assign(3, TrackNode{});
    gNodes[0] = Node({0, 5, 0}, {0, 5, 10}, {0, 5, -30});
    gNodes[1] = Node({4, 5, 0}, {4, 5, -30}, {4, 5, 10});
    gSegmentCount = 1;
    FinishTrackSegments();
    SteelLoopingWithTie();
    BuildPath();
    CreateTrackModel();
    const TrackModelEntry& e = gTrackModel[0];
    EXPECT_NEAR(e.Centre.X, 2.0f, 0.05f);
    EXPECT_NEAR(e.Centre.Z, 0.0f, 0.05f);
    EXPECT_GE(e.Radius, Farthest(e));
    EXPECT_GT(e.Radius, 22.0f);
    for (int k = 0; k < 1000; k += 37)
        EXPECT_LE(VectorDistance(e.Centre, MatrixGetTranslation(gPathMatrixArray[0].Frames[k].Frame)), e.Radius);
}

TEST_F(TrackModelTest, FreshBuildColoursFollowTheMenu) {
    MakeStraightTrack(2, 10.0f);
    gSegments[1].SegmentType = SegmentLift;
    gRailColor = RGBColor(9, 9, 9);
    BuildPath();
    CreateTrackModel();
    EXPECT_EQ(gTrackModel[1].RailColor, RGBColor(9, 9, 9));
    gColorTrackChecked = false;
    gColorSegmentChecked = true;
    CreateTrackModel();
    EXPECT_EQ(gTrackModel[1].RailColor, RGBColor(0, 255, 0));
}

TEST_F(TrackModelTest, RebuildWithFewerRailsKeepsNothingOfTheOld) {
    MakeStraightTrack(2, 10.0f);
    SteelLoopingWithTie();
    BuildPath();
    CreateTrackModel();
    EXPECT_EQ(gTrackModel[0].Rails.size(), 3u);
    EXPECT_GT(gTrackModel[0].Rails[1].FaceCount, 0);
    EXPECT_GT(gTrackModel[0].TieFaceCount, 0);
    gModelSettings.gRailCount = 1;
    gModelSettings.gTieModels[0].Use = false;
    CreateTrackModel();
    ASSERT_EQ(gTrackModel[0].Rails.size(), 2u);
    EXPECT_EQ(gTrackModel[0].Rails[1].FaceCount, 0);
    EXPECT_EQ(gTrackModel[0].TieFaceCount, 0);
}

TEST_F(TrackModelTest, TiePatternRestartsWithEveryBuild) {
    MakeStraightTrack(2, 10.0f);
    SetTieTriangle(0, 0.1f);
    SetTieTriangle(1, 0.2f);
    gModelSettings.TieSpacing = 1.0f;
    gModelSettings.ToggleTies = true;
    gModelSettings.ToggleCount1 = 4;
    gModelSettings.ToggleCount2 = 4;
    BuildPath();
    CreateTrackModel();
    const float firstY = gTrackModel[0].TieFaces[0].V1.Y;
    CreateTrackModel();
    EXPECT_EQ(gTrackModel[0].TieFaces[0].V1.Y, firstY);
    EXPECT_NEAR(firstY, 5.1f, 1e-5f);
}

TEST_F(TrackModelTest, BadSegmentNumbersDoNothing) {
    MakeStraightTrack(1, 10.0f);
    BuildPath();
    InitTrackModel();
    ModelSegment(1);
    ModelSegment(-1);
    InitSegmentModel(5);
    InitSegmentModel(-1);
    EXPECT_EQ(gTrackModel[0].Radius, 0.0f);
}
