// The figures of the overview reports and the placement of scenery clear of
// the track, on documents made in code.

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "model/path_frames.h"
#include "tests/tools/tool_test_support.h"
#include "tools/track_statistics.h"
#include "trackdoc/element_document.h"

namespace {

using TrackStatisticsTest = ToolTest;

void BuildPath() {
    ExtractTrackSpine();
    BuildPathMatrixArray();
}

SupportTube Tube(int32_t type, int32_t aKind, int32_t aIndex, int32_t bKind, int32_t bIndex, int32_t aSeg = 0,
                 int32_t bSeg = 0) {
    SupportTube t;
    t.TubeType = type;
    t.EndAKind = aKind, t.EndAIndex = aIndex, t.EndASegment = aSeg;
    t.EndBKind = bKind, t.EndBIndex = bIndex, t.EndBSegment = bSeg;
    return t;
}

// One segment of hand-made frames, each turned about the travel axis by its bank in degrees.
void MakeBankedFrames(const std::vector<std::vector<double>>& banks) {
    gSegmentCount = static_cast<int32_t>(banks.size());
    gSegments.assign(banks.size() + 1, TrackSegment{});
    gPathMatrixArray.assign(banks.size(), PathSegmentFrames{});
    gSpineInfoSegmentCount = gSegmentCount;
    for (size_t s = 0; s < banks.size(); ++s) {
        PathSegmentFrames& seg = gPathMatrixArray[s];
        seg.FrameCount = static_cast<int32_t>(banks[s].size());
        for (double bank : banks[s]) {
            PathFrame f;
            f.Frame = MatrixRotateZ(DegToRad(bank));
            seg.Frames.push_back(f);
        }
    }
}

std::vector<double> Banks(int frames, int from, int to, double inverted = 180.0) {
    std::vector<double> b(static_cast<size_t>(frames), 0.0);
    for (int k = from; k <= to && k < frames; ++k) b[static_cast<size_t>(k)] = inverted;
    return b;
}

}  // namespace

TEST_F(TrackStatisticsTest, EmptyDocumentHasTheStartValues) {
    EXPECT_EQ(GetTrackLength(), 0.0f);
    EXPECT_EQ(GetElementLength(), 0.0f);
    EXPECT_EQ(CountTunnelRuns(), 0);
    EXPECT_EQ(CountLiftHills(), 0);
    EXPECT_EQ(CountInversions(), 0);
    float lowest = 0, highest = 0;
    GetTrackHeightRange(lowest, highest);
    EXPECT_EQ(lowest, 1000.0f);
    EXPECT_EQ(highest, -999.0f);
    Vector3 size;
    GetTrackExtents(size);
    EXPECT_TRUE(Same(size, MakeVector(-1999.0f, -1999.0f, -1999.0f)));
    EXPECT_EQ(GetTerrainMaxHeight(), -999.0f);
    EXPECT_EQ(GetTerrainMinHeight(), 999.0f);
    EXPECT_EQ(GetBeamTypeSummary(2), "0        - 0.00m (0.00ft)");
    EXPECT_EQ(GetCatwalkSummary(), "0        - 0.00m (0.00ft)");
    EXPECT_EQ(EnvironmentNameOrDefault(), "Default");
}

TEST_F(TrackStatisticsTest, CurveLengthIncludesTheClosingSegmentOfACircuit) {
    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 3);
    EXPECT_NEAR(GetTrackLength(), 30.0f, 1e-3f);
    // The same four nodes as a circuit: the closing segment runs 30 m straight back.
    gClosedCircuit = true;
    gNodeCount = 4;
    gSegmentCount = 4;
    gSegments.resize(5);
    gNodes[3].ControlOut = MakeVector(20, 0, 0);
    gNodes[0].ControlIn = MakeVector(10, 0, 0);
    EXPECT_NEAR(GetTrackLength(), 60.0f, 1e-3f);

    MakeElement({Node({0, 0, 0}, {-1, 0, 0}, {0, 0, -2}), Node({0, 3, -6}, {0, 3, -4}, {0, 3, -8}),
                 Node({0, 3, -10}, {0, 3, -9}, {0, 3, -11})});
    // A curve from the origin to (0, 3, -6), no shorter than its chord, then a 4 m straight.
    EXPECT_GT(GetElementLength(), 4.0f + std::sqrt(45.0f) - 1e-3f);
    gElementNodeCount = 2;
    const float first = GetElementLength();
    gElementNodeCount = 3;
    EXPECT_NEAR(GetElementLength() - first, 4.0f, 1e-3f);
}

TEST_F(TrackStatisticsTest, RunsDoNotWrapRoundACircuit) {
    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 6, true);
    const bool tunnel[6] = {true, false, true, true, false, true};
    const int32_t type[6] = {2, 2, 0, 2, 1, 2};
    for (int i = 0; i < 6; ++i) gSegments[i].Tunnel = tunnel[i], gSegments[i].SegmentType = type[i];
    EXPECT_EQ(CountTunnelRuns(), 3);  // segments 0, 2-3 and 5: the run over 5 and 0 counts twice
    EXPECT_EQ(CountLiftHills(), 3);   // 0-1, 3, 5
    EXPECT_EQ(CountSegmentsOfType(2), 4);
    EXPECT_EQ(CountSegmentsOfType(1), 1);
    EXPECT_EQ(CountSegmentsOfType(4), 0);
}

TEST_F(TrackStatisticsTest, BeamLengthsAndSummariesSkipEndsWithoutARecord) {
    gFooterCount = 1;
    gFooters.assign(2, TrackFooter{});
    gFooters[0].Position = MakeVector(0, 0, 0);  // taken as stored: no footer height added
    gFreeNodeCount = 3;
    gFreeNodes = {MakeVector(0, 3, 0), MakeVector(4, 3, 0), MakeVector(4, 3, 3), Vector3{}};
    gTubes = {Tube(2, 1, 0, 2, 0),  // small, 3 m
              Tube(2, 2, 0, 2, 1),  // small, 4 m
              Tube(7, 2, 1, 2, 2),  // 4 x 4 wood, 3 m
              Tube(2, 2, 0, 2, 3),  // small, end B past the free nodes: counted without length
              Tube(0, 1, -1, 2, 0),  // medium, negative footer index
              Tube(9, 3, 0, 2, 0, 5)};  // 2 x 2, a support of a segment that does not exist
    gTubeCount = 6;
    EXPECT_NEAR(GetSteelBeamLength(), 7.0f, 1e-5f);
    EXPECT_NEAR(GetWoodBeamLength(), 3.0f, 1e-5f);
    EXPECT_EQ(GetBeamTypeSummary(2), "3        - 7.00m (22.97ft)");
    EXPECT_EQ(GetBeamTypeSummary(0), "1        - 0.00m (0.00ft)");
    EXPECT_EQ(GetBeamTypeSummary(7), "1        - 3.00m (9.84ft)");

    gCatwalks.assign(3, TrackCatwalk{});
    gCatwalks[0] = {0, 1, 2, 0};   // corner 1 to corner 3: 5 m
    gCatwalks[1] = {2, 1, 9, 0};   // corner 3 names nothing
    gCatwalkCount = 2;
    EXPECT_EQ(GetCatwalkSummary(), "2        - 5.00m (16.40ft)");
    gCatwalkCount = 123456789;  // a count text longer than 8 characters is cut
    EXPECT_EQ(GetCatwalkSummary(), "12345678 - 5.00m (16.40ft)");
}

TEST_F(TrackStatisticsTest, CountsOfSupportsAndTrees) {
    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 2);
    gRascGroups[0].ItemCount = 3;
    gRascGroups[0].Items = {{2, 0.1f}, {5, 0.5f}, {2, 0.9f}, {7, 0.0f}};  // the spare item is not counted
    gRascGroups[1].ItemCount = 1;
    gRascGroups[1].Items = {{1, 0.5f}};
    EXPECT_EQ(CountPrefabSupports(), 4);
    EXPECT_EQ(CountPrefabSupportsOfType(2), 2);
    EXPECT_EQ(CountPrefabSupportsOfType(7), 0);
    EXPECT_EQ(CountPrefabSupportsOfType(1), 1);
    gTrees.assign(5, SceneryTree{});
    gTrees[0].TreeType = 1, gTrees[1].TreeType = 3, gTrees[2].TreeType = 1, gTrees[3].TreeType = 2;
    gTrees[4].TreeType = 1;
    gTreeCount = 4;
    EXPECT_EQ(CountItemsOfKind(1), 2);
    EXPECT_EQ(CountItemsOfKind(2), 1);
    EXPECT_EQ(CountItemsOfKind(3), 1);
}

TEST_F(TrackStatisticsTest, TerrainExtremesScanTheGridButItsSpareRowAndColumn) {
    gTerrainWidth = 2, gTerrainDepth = 2;
    gTerrainHeights.Resize(2, 2);
    gTerrainHeights(0, 0) = -3, gTerrainHeights(1, 0) = 4, gTerrainHeights(0, 1) = 1, gTerrainHeights(1, 1) = 2;
    gTerrainHeights(2, 0) = 50, gTerrainHeights(0, 2) = -50;  // spare
    gHasTerrain = false;  // not read
    EXPECT_EQ(GetTerrainMaxHeight(), 4.0f);
    EXPECT_EQ(GetTerrainMinHeight(), -3.0f);
}

TEST_F(TrackStatisticsTest, HeightRangeAndExtentsOfTheBuiltPath) {
    MakeLineTrack({-5, 2, 1}, {10, 1, 0}, 2);
    BuildPath();
    float lowest = 0, highest = 0;
    GetTrackHeightRange(lowest, highest);
    EXPECT_NEAR(lowest, 2.0f, 1e-4f);
    EXPECT_NEAR(highest, 4.0f, 2e-3f);  // the last frame lies just short of the end
    Vector3 size;
    GetTrackExtents(size);
    EXPECT_NEAR(size.X, 20.0f, 0.03f);
    EXPECT_NEAR(size.Y, 2.0f, 2e-3f);
    EXPECT_NEAR(size.Z, 0.0f, 1e-4f);
}

TEST_F(TrackStatisticsTest, InversionsSampleEvery51stFrameWhileUpright) {
    MakeBankedFrames({Banks(1000, 1, 50)});
    EXPECT_EQ(CountInversions(), 0);  // frames 1..50 lie between the samples 0 and 51
    MakeBankedFrames({Banks(1000, 51, 60)});
    EXPECT_EQ(CountInversions(), 1);
    MakeBankedFrames({Banks(1000, 102, 102, 175.1)});
    EXPECT_EQ(CountInversions(), 1);
    MakeBankedFrames({Banks(1000, 102, 102, -179.0)});
    EXPECT_EQ(CountInversions(), 1);
    MakeBankedFrames({Banks(1000, 102, 102, 174.9)});
    EXPECT_EQ(CountInversions(), 0);
    // Inverted from frame 51 to 200: frame by frame after the first, then out at 201.
    // A second roll from 255 on counts again; one continued into the next segment does not.
    std::vector<double> first = Banks(1000, 51, 200);
    for (int k = 255; k < 1000; ++k) first[k] = 180.0;
    MakeBankedFrames({first, Banks(1000, 0, 30), Banks(1000, 51, 51)});
    EXPECT_EQ(CountInversions(), 3);
}

TEST_F(TrackStatisticsTest, NameTables) {
    EXPECT_EQ(CoasterStyleName(0), "Steel Looping");
    EXPECT_EQ(CoasterStyleName(9), "Wooden Coaster (Trailored 2 Seat)");
    EXPECT_EQ(CoasterStyleName(12), "Wooden Coaster (Trailored 4 Seat)");
    EXPECT_EQ(CoasterStyleName(13), "Unknown");
    EXPECT_EQ(CoasterStyleName(-1), "Unknown");
    EXPECT_EQ(SupportTypeName(0), "Track Nodes");
    EXPECT_EQ(SupportTypeName(1), "Unknown");
    EXPECT_EQ(SupportTypeName(5), "90deg Bank");
    EXPECT_EQ(SupportTypeName(7), "'A' Shape");
    EXPECT_EQ(SupportTypeName(8), "Unknown");
    gEnvironmentName = "Desert";
    EXPECT_EQ(EnvironmentNameOrDefault(), "Desert");
}

TEST_F(TrackStatisticsTest, PlacementKeepsClearOfTheTrackAndGivesUp) {
    MakeLineTrack({0, 5, 0}, {10, 0, 0}, 2);
    BuildPath();
    EXPECT_TRUE(IsNearTrack(5.0f, MakeVector(10, 0, 3)));  // horizontal distance only
    EXPECT_FALSE(IsNearTrack(2.0f, MakeVector(10, 0, 3)));
    EXPECT_FALSE(IsNearTrack(5.0f, MakeVector(30, 0, 3)));  // past the sampled end

    std::vector<double> values = {0.5227, 0.5, 0.0, 0.75};  // (10, 0) is on the track; (-220, 110) is clear
    size_t next = 0;
    SetRandomSource([&] { return values[next++ % values.size()]; });
    Vector3 position = MakeVector(1, 2, 3);
    ASSERT_TRUE(PickRandomObjectPosition(10.0f, position));
    EXPECT_TRUE(Same(position, MakeVector(-220, 0, 110)));
    EXPECT_EQ(next, 4u);

    int draws = 0;
    SetRandomSource([&] { return ++draws, 0.5227; });  // always beside the track
    position = MakeVector(1, 2, 3);
    EXPECT_FALSE(PickRandomObjectPosition(10.0f, position));
    EXPECT_EQ(draws, 2 * kPlacementTries);
    EXPECT_TRUE(Same(position, MakeVector(1, 2, 3)));
    SetRandomSource(nullptr);
    const double r = NextRandom();
    EXPECT_GE(r, 0.0);
    EXPECT_LT(r, 1.0);
}

// The grid of the keep-away test answers as the walk over every sampled point,
// on a built path with odd points put in: a segment of no length, a stretch
// that runs back over the samples of another, points far out, -0, and points
// that are not finite; asked about points on, beside and exactly at the distance from the
// samples, off the ground, far out and not finite, and at distances other
// than the one it was built for.
TEST_F(TrackStatisticsTest, TheKeepAwayGridAnswersAsTheWalkOverEveryPoint) {
    MakeLineTrack({0, 5, 0}, {12, 0, 3}, 4);
    gNodes[1].ControlIn = gNodes[1].ControlOut = gNodes[1].Position;
    gNodes[2] = gNodes[1];  // segment 1 has no length
    gNodes[3] = Node({0, 8, 0}, {4, 8, 1}, {-4, 8, -1});  // segments 2 and 3 run back over segment 0
    BuildPath();
    ASSERT_EQ(gPathMatrixArray.size(), 4u);
    // 200 samples a segment; the one of no length is held as one point, the
    // one where the next segment begins.
    EXPECT_EQ(TrackSampleGrid(5.0f).PointCount(), 600u);

    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    // Far out, -0, not finite, and on the corners of cells of 0.5 and 5 m.
    const std::vector<Vector3> odd = {{1e30f, 0, -1e30f}, {-0.0f, 3, -0.0f}, {nan, 0, 0}, {0, 0, inf}, {-inf, 0, 1},
                                      {10, 0, 10},        {-5, 0, 25},       {0.5f, 0, -0.5f}};
    for (size_t i = 0; i < odd.size(); ++i) gPathMatrixArray[3].Frames[5 * (i + 1)].Frame.SetTranslation(odd[i]);

    std::vector<Vector3> samples;
    for (const PathSegmentFrames& seg : gPathMatrixArray)
        for (int32_t k = 0; k < seg.FrameCount; k += 5) samples.push_back(MatrixGetTranslation(seg.Frames[k].Frame));

    std::mt19937 random(3);
    std::uniform_real_distribution<float> across(-30.0f, 60.0f), unit(-1.0f, 1.0f);
    const std::vector<float> distances = {5.0f, 0.5f, 40.0f, 0.004f, 0.0f, -1.0f, nan, inf, 1e30f};
    for (float built : {5.0f, 0.5f, 0.0f, nan}) {
        const TrackSampleGrid grid(built);
        int near = 0, far = 0;
        for (int trial = 0; trial < 4000; ++trial) {
            const float distance = distances[trial % distances.size()];
            Vector3 point;
            switch (trial % 5) {
                case 0: point = MakeVector(across(random), 0.0f, across(random)); break;
                case 1: {  // exactly the distance (or a hair less) from a sample, along an axis, either way
                    const Vector3& p = random() % 2 ? samples[random() % samples.size()] : odd[random() % odd.size()];
                    const float reach = random() % 2 ? distance : std::nextafter(distance, 0.0f);
                    const float d = random() % 2 ? reach : -reach;
                    point = random() % 2 ? MakeVector(p.X + d, 0.0f, p.Z) : MakeVector(p.X, 0.0f, p.Z + d);
                    break;
                }
                case 2: {  // beside a sample, or on it
                    const Vector3& p = samples[random() % samples.size()];
                    point = MakeVector(p.X + unit(random) * std::abs(distance), 0.0f, p.Z + unit(random));
                    break;
                }
                case 3: point = MakeVector(across(random), unit(random) * 6.0f, across(random)); break;
                default: point = odd[random() % odd.size()]; break;
            }
            const bool expected = IsNearTrack(distance, point);
            ASSERT_EQ(IsNearTrack(grid, distance, point), expected)
                << "built " << built << ", distance " << distance << ", point " << point.X << " " << point.Y << " "
                << point.Z;
            (expected ? near : far) += 1;
        }
        EXPECT_GT(near, 800);
        EXPECT_GT(far, 800);
    }
}
