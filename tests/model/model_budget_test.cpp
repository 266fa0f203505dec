// The model budget: hostile documents (segments thousands of kilometres long,
// an element node near the end of the float range, more segments than nodes,
// a huge terrain) build within the ceilings at levels 0 and 4, counted in the
// faces and bytes of the model; a document beyond the budget is built in part
// with one message; a failed allocation is a message, never an abort.

#include <cmath>
#include <cstdio>
#include <new>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/radius_comb.h"
#include "model/rail_sweeps.h"
#include "model/rebuild_flags.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/element_document.h"

namespace {

class ModelBudgetTest : public ModelTest {
protected:
    void TearDown() override {
        gModelCeilings = ModelCeilings{};
        ModelTest::TearDown();
    }
    // Opens the document at a level as File > Open does, and checks the model
    // against the ceilings.
    ModelCost Open(int level, const char* what) {
        gModelOnLoad = static_cast<int16_t>(level);
        RemodelTrack(true);
        const ModelCost cost = MeasureModel();
        std::printf("%s at level %d: %lld faces, %lld bytes\n", what, level, static_cast<long long>(cost.Faces),
                    static_cast<long long>(cost.Bytes));
        EXPECT_LE(cost.Faces, gModelCeilings.Faces) << what;
        EXPECT_LE(cost.Bytes, gModelCeilings.Bytes) << what;
        EXPECT_FALSE(IsModelBuilding());
        if (level == 0) {
            EXPECT_EQ(cost.Faces, 0) << what;
            EXPECT_LE(cost.Bytes, gModelCeilings.PathBytes) << what;
        }
        return cost;
    }
    int64_t SegmentFaces(int32_t s) const {
        const TrackModelEntry& e = gTrackModel[s];
        int64_t n = e.TieFaceCount;
        for (const ModelMesh& m : e.Rails) n += m.FaceCount;
        for (const ModelMesh& m : e.Spines) n += m.FaceCount;
        return n;
    }
};

std::string Expected(const std::string& leftOut) {
    return "This document's model is larger than the program builds (at most 8,000,000 faces and 768 MiB), "
           "so it was built only in part.\r\nLeft out: " + leftOut +
           ".\r\nThe document itself is unchanged and can still be edited and saved.";
}

}  // namespace

TEST_F(ModelBudgetTest, NoSegmentSamplesMoreThanASegmentInsideTheSceneNeeds) {
    // Three diagonals of the 440 x 150 x 440 m scene: 1,920.23 m.
    EXPECT_NEAR(SceneSegmentLength(), 1920.2344, 1e-3);
    EXPECT_EQ(SceneSampleCap(0.5f), 3841);
    EXPECT_EQ(SceneSampleCap(0.1f), 19203);
    EXPECT_EQ(BoundedSampleCount(10.0f, 0.5f), 20);
    EXPECT_EQ(BoundedSampleCount(1.0e7f, 0.5f), 3841);
    EXPECT_EQ(BoundedSampleCount(INFINITY, 1.5f), 1281);
    EXPECT_EQ(BoundedSampleCount(NAN, 0.5f), 1);
    EXPECT_EQ(SweepStepCount(3.0e38f, 1.0f), 1921);
}

TEST_F(ModelBudgetTest, SegmentsTenThousandKilometresLongAtLevelsZeroAndFour) {
    MakeStraightTrack(30, 1.0e7f);
    Open(0, "30 segments of 10,000 km");
    for (int32_t s = 0; s < 30; ++s) EXPECT_LE(gHeartline[s].Count, 3841 + 2) << s;  // spacing 0.5 m
    EXPECT_TRUE(prompts.Messages.empty());

    MakeStraightTrack(4, 1.0e7f);
    Open(4, "4 segments of 10,000 km");
    EXPECT_TRUE(prompts.Messages.empty());
    // Style 0 at level 4: two round rails and a round spine every 0.5 m, at
    // most 3,841 steps a segment whatever its length.
    for (int32_t s = 0; s < 4; ++s) {
        EXPECT_LE(gTrackModel[s].Rails[0].FaceCount, 10 * 3842) << s;
        EXPECT_GT(gTrackModel[s].Rails[0].FaceCount, 10 * 3800) << s;
        EXPECT_LE(gTrackModel[s].Spines[0].FaceCount, 16 * 3842) << s;
    }
}

TEST_F(ModelBudgetTest, ElementNodeNearTheEndOfTheFloatRangeAtLevelsZeroAndFour) {
    gDocumentType = DocumentElement;
    gElementNodeCount = 3;
    gElementNodes.assign(4, TrackNode{});
    gElementNodes[0].ControlOut = Vector3{0, 0, -3};
    gElementNodes[1] = Node({0, -3.0e38f, -10}, {0, -3.0e38f, -7}, {0, -3.0e38f, -13});
    gElementNodes[2] = Node({0, 2, -20}, {0, 2, -17}, {0, 2, -23});
    for (int level : {0, 4}) {
        Open(level, "an element node at y = -3e38");
        EXPECT_TRUE(prompts.Messages.empty());
        EXPECT_EQ(gSpineInfoSegmentCount, 2);
    }
    for (int32_t s = 0; s < 2; ++s) EXPECT_LE(gTrackModel[s].Spines[0].FaceCount, 16 * 3842) << s;
    EXPECT_EQ(gElementNodes[1].Position.Y, -3.0e38f);  // the document is not touched
}

TEST_F(ModelBudgetTest, SegmentsWithoutTheirNodesBuildNothing) {
    MakeStraightTrack(1, 10.0f);  // two nodes
    gSegmentCount = 100000;
    FinishTrackSegments();
    for (int level : {0, 4}) {
        const ModelCost cost = Open(level, "100,000 segments over 2 nodes");
        EXPECT_TRUE(prompts.Messages.empty());
        EXPECT_LT(cost.Bytes, 64LL << 20);
    }
    // Segment 0 and the one back from node 1 to node 0 have a curve; no other.
    EXPECT_EQ(gPathMatrixArray[1].FrameCount, kFramesPerSegment);
    EXPECT_EQ(gPathMatrixArray[2].FrameCount, 0);
    int64_t faces = 0;
    for (int32_t s = 0; s < 100000; ++s) faces += SegmentFaces(s);
    EXPECT_GT(SegmentFaces(1), 0);
    EXPECT_EQ(faces, SegmentFaces(0) + SegmentFaces(1));
    EXPECT_EQ(gRadiusComb[2].Count, 0);
    EXPECT_EQ(gHeartline[99999].Count, 0);
}

TEST_F(ModelBudgetTest, HugeTerrainIsBuiltCoarserWithOneMessage) {
    MakeStraightTrack(2, 10.0f);
    gHasTerrain = gHasWater = true;
    gTerrainWidth = gTerrainDepth = 3000;
    gTerrainSpacingX = gTerrainSpacingZ = 0.2f;
    gTerrainHeights.Resize(3000, 3000);
    gTerrainHeights(7, 9) = 4.0f;
    Open(0, "a terrain of 3,000 x 3,000 points");
    EXPECT_TRUE(prompts.Messages.empty());
    Open(4, "a terrain of 3,000 x 3,000 points");
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompts.Messages[0].Text,
              Expected("the terrain's full detail (it is shown with one point in 4 along each side)"));
    EXPECT_EQ(gGroundVertexCount, 750 * 750);
    EXPECT_EQ(gWaterTriangleCount, 2 * 749 * 749);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_EQ(gTerrainWidth, 3000);
    EXPECT_EQ(gTerrainHeights(7, 9), 4.0f);
}

TEST_F(ModelBudgetTest, ModelBeyondTheCeilingIsBuiltAsFarAsItFits) {
    MakeStraightTrack(10, 12.0f);
    Open(4, "ten segments");
    ASSERT_TRUE(prompts.Messages.empty());
    const int64_t whole = MeasureModel().Faces;

    gModelCeilings.Faces = whole / 2;
    Open(4, "ten segments, half the faces allowed");
    ASSERT_EQ(prompts.Messages.size(), 1u);
    int32_t built = 0;
    while (built < 10 && SegmentFaces(built) > 0) ++built;
    EXPECT_GE(built, 3);
    EXPECT_LT(built, 5);
    for (int32_t s = built; s < 10; ++s) EXPECT_EQ(SegmentFaces(s), 0) << s;
    EXPECT_NE(prompts.Messages[0].Text.find("Left out: the rails, spines and crossties of " +
                                            std::to_string(10 - built) + " of the 10 segments.\r\n"),
              std::string::npos)
        << prompts.Messages[0].Text;
    EXPECT_EQ(gNodeCount, 11);
    EXPECT_EQ(gSegmentCount, 10);

    // Level 0 under a path ceiling of three segments' frames.
    prompts.Messages.clear();
    gModelCeilings = ModelCeilings{};
    gModelCeilings.PathBytes = 3 * EstimatePathSegment(0, true).Bytes + 8192;
    Open(0, "ten segments, three segments' path allowed");
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_NE(prompts.Messages[0].Text.find("Left out: the path of 7 of the 10 segments, and everything along it."),
              std::string::npos)
        << prompts.Messages[0].Text;
    EXPECT_EQ(gPathMatrixArray[2].FrameCount, kFramesPerSegment);
    EXPECT_EQ(gPathMatrixArray[3].FrameCount, 0);
    EXPECT_EQ(gHeartline[3].Count, 0);
}

TEST_F(ModelBudgetTest, AnAllocationThatFailsIsAMessageAndTheModelIsEmptied) {
    MakeStraightTrack(3, 12.0f);
    int markers = 0;
    busy.OnMarker = [&] {
        if (++markers == 6) throw std::bad_alloc();
    };
    gModelOnLoad = 4;
    EXPECT_NO_THROW(RemodelTrack(true));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, kOutOfMemoryText);
    EXPECT_EQ(prompts.Messages[0].Title, "Error");
    EXPECT_EQ(busy.Events.back(), "unload");
    EXPECT_FALSE(IsModelBuilding());
    EXPECT_FALSE(gPathValid || gTrackModelValid || gSpineInfoValid);
    EXPECT_EQ(MeasureModel().Faces, 0);
    EXPECT_EQ(gNodeCount, 4);

    // The partial rebuild likewise; afterwards a build runs normally.
    markers = 0;
    SetAllRemodelFlags();
    EXPECT_NO_THROW(RemodelChangedParts());
    EXPECT_EQ(prompts.Messages.size(), 2u);
    busy.OnMarker = nullptr;
    RemodelTrack(true);
    EXPECT_EQ(prompts.Messages.size(), 2u);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_GT(MeasureModel().Faces, 0);
}

// The per-record bounds the budget plans with hold for every kind of tube,
// footer and prefabricated support the builders make.
TEST_F(ModelBudgetTest, EveryRecordStaysWithinItsFaceBound) {
    MakeStraightTrack(6, 20.0f);
    for (int32_t i = 0; i < gNodeCount; ++i)  // 100 m up: 16 levels of bracing on the complex style
        for (Vector3* p : {&gNodes[i].Position, &gNodes[i].ControlIn, &gNodes[i].ControlOut}) p->Y = 100.0f;
    for (int32_t s = 0; s < 6; ++s) gRascGroups[s] = RascGroup{1, {RascItem{2 + s, 0.5f}, RascItem{}}};
    const int32_t a = AddFreeNode(Vector3{4, 1, 0}), b = AddFreeNode(Vector3{4, 6, -3});
    for (int32_t type = 0; type < 10; ++type) gTubes.insert(gTubes.begin() + gTubeCount++, SupportTube{2, a, 0, 2, b, 0, type, 0, 0.3f});
    gFooters.insert(gFooters.begin() + gFooterCount++, TrackFooter{Vector3{3, 0, -5}});
    for (bool round : {false, true}) {
        gModelOnLoad = 4;
        RemodelTrack(false);
        gModelSettings.RoundFooters = round;
        SetAllRemodelFlags();
        RemodelChangedParts();
        ASSERT_EQ(gPrefabModelCount, 6);
        for (int32_t k = 0; k < 6; ++k) {
            const int64_t faces = gPrefabModels[k].FaceCount + gPrefabFooterModels[k].FaceCount;
            EXPECT_GT(faces, 0) << k;
            EXPECT_LE(faces, EstimatePrefabFaces(k, 0)) << k;
            EXPECT_LE(gPrefabModels[k].Faces.capacity() + gPrefabFooterModels[k].Faces.capacity(), 2 * size_t(faces)) << k;
        }
        // The complex support (style 3) braced all the way up: more than the flat bound.
        EXPECT_GT(gPrefabModels[1].FaceCount, kPrefabFaceBound);
        for (int32_t t = 0; t < 10; ++t) {
            EXPECT_GT(gTubeModels[t].FaceCount, 0) << t;
            EXPECT_LE(gTubeModels[t].FaceCount, kTubeFaceBound) << t;
        }
        EXPECT_EQ(gFooterModels[0].FaceCount, round ? kFooterFaceBound : 10);
    }
    EXPECT_TRUE(prompts.Messages.empty());
}
