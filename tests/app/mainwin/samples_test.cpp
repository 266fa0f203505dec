// The sample documents: the kept files are what the generator writes, they
// read back as the documents they describe, and their models build.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/rebuild_flags.h"
#include "platform/file_system.h"
#include "samples/sample_tracks.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

class SamplesTest : public MainWindowTest {};

int CountType(int32_t type) {
    int n = 0;
    for (int32_t i = 0; i < gSegmentCount; ++i) n += gSegments[static_cast<size_t>(i)].SegmentType == type;
    return n;
}

}  // namespace

TEST_F(SamplesTest, KeptFilesAreWhatTheGeneratorWrites) {
    ASSERT_TRUE(WriteSamples(temp.Path()));
    for (const std::string& name : SampleFileNames()) {
        const std::vector<uint8_t> kept = FileBytes(SamplesFolder() + name);
        ASSERT_FALSE(kept.empty()) << name << " is missing from samples/";
        EXPECT_EQ(FileBytes(temp / name), kept) << name << ": run make_samples samples";
    }
}

TEST_F(SamplesTest, CircuitHasAStationALiftBrakesAndSupports) {
    ASSERT_TRUE(LoadTrackFile(SamplesFolder() + "circuit.vxtrack"));
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_EQ(gRunMode, 0);
    EXPECT_EQ(gSegmentCount, gNodeCount);
    EXPECT_EQ(CountType(SegmentStation), 1);
    EXPECT_EQ(CountType(SegmentLift), 1);
    EXPECT_EQ(CountType(SegmentBrake), 1);
    EXPECT_GT(gFooterCount, 0);
    EXPECT_GT(gTubeCount, 0);
    int prefabs = 0;
    for (int32_t i = 0; i < gRascGroupCount; ++i) prefabs += gRascGroups[static_cast<size_t>(i)].ItemCount;
    EXPECT_GT(prefabs, 5);
    // Every node lies above the floor and the lift climbs.
    for (int32_t i = 0; i < gNodeCount; ++i) EXPECT_GT(gNodes[static_cast<size_t>(i)].Position.Y, 0.5f);
    EXPECT_GT(gNodes[3].Position.Y, gNodes[2].Position.Y + 10.0f);
}

TEST_F(SamplesTest, ShuttleRunsBackAndForth) {
    ASSERT_TRUE(LoadTrackFile(SamplesFolder() + "shuttle.vxtrack"));
    EXPECT_FALSE(gClosedCircuit);
    EXPECT_NE(gRunMode, 0);
    EXPECT_EQ(gSegmentCount, gNodeCount - 1);
    EXPECT_EQ(CountType(SegmentStation), 1);
    EXPECT_EQ(CountType(SegmentTransport), 2);
}

TEST_F(SamplesTest, LakesideHasTerrainWaterAndTrackAboveGround) {
    ASSERT_TRUE(LoadTrackFile(SamplesFolder() + "lakeside.vxtrack"));
    EXPECT_TRUE(gHasTerrain);
    EXPECT_TRUE(gHasWater);
    EXPECT_EQ(gTerrainWidth, 33);
    float lowest = 0, highest = 0;
    for (int32_t j = 0; j < gTerrainDepth; ++j)
        for (int32_t i = 0; i < gTerrainWidth; ++i) {
            lowest = std::min(lowest, gTerrainHeights(i, j));
            highest = std::max(highest, gTerrainHeights(i, j));
        }
    EXPECT_LT(lowest, -2.0f) << "a lake";
    EXPECT_GT(highest, 10.0f) << "hills";
    for (int32_t i = 0; i < gNodeCount; ++i) {
        const Vector3& p = gNodes[static_cast<size_t>(i)].Position;
        EXPECT_GT(p.Y, GetGroundHeightAt(p) + 1.5f) << "node " << i << " clears the ground";
    }
}

TEST_F(SamplesTest, CamelbackElementStartsAtTheOrigin) {
    ASSERT_TRUE(LoadElementFile(SamplesFolder() + "camelback.vxelem"));
    EXPECT_EQ(gElementNodeCount, 5);
    EXPECT_EQ(gElementNodes[0].Position.Y, 0.0f);
    EXPECT_EQ(gElementNodes[0].Position.Z, 0.0f);
    EXPECT_FLOAT_EQ(gElementNodes[2].Position.Y, 11.0f);
}

TEST_F(SamplesTest, EverySampleOpensWithItsModel) {
    for (const std::string& name : SampleFileNames()) {
        ASSERT_TRUE(LoadFile(SamplesFolder() + name, view)) << name;
        EXPECT_TRUE(gTrackModelValid) << name;
        EXPECT_GT(gTrackModel.size(), 2u) << name;
        EXPECT_TRUE(prompts.Messages.empty()) << name;
    }
}
