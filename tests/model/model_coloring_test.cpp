// Model colouring by segment kind and by the document's colours.

#include "core/app_state.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/track_model.h"
#include "tests/model/model_test_support.h"

namespace {

class ModelColoringTest : public ModelTest {
protected:
    // A track of five segments, one of each kind, with its spine copy and
    // (empty) model entries.
    void SetUp() override {
        ModelTest::SetUp();
        MakeStraightTrack(5, 10.0f);
        for (int i = 0; i < 5; ++i) gSegments[i].SegmentType = i;
        gRailColor = RGBColor(10, 20, 30);
        gSpineColor = RGBColor(40, 50, 60);
        gTieColor = RGBColor(70, 80, 90);
        ExtractTrackSpine();
        InitTrackModel();
    }
    const TrackModelEntry& Entry(int i) { return gTrackModel[i]; }
};

}  // namespace

TEST_F(ModelColoringTest, HalvingRoundsHalvesToEven) {
    EXPECT_EQ(HalveColor(RGBColor(255, 128, 1)), RGBColor(128, 64, 0));
    EXPECT_EQ(HalveColor(RGBColor(3, 5, 7)), RGBColor(2, 2, 4));
    EXPECT_EQ(HalveColor(RGBColor(0, 0, 0)), 0);
}

TEST_F(ModelColoringTest, ByKindFollowsTheTable) {
    ColorTrackModel(ColorBySegmentKind);
    EXPECT_EQ(Entry(0).RailColor, RGBColor(0, 128, 255));
    EXPECT_EQ(Entry(0).SpineColor, RGBColor(0, 64, 128));
    EXPECT_EQ(Entry(1).RailColor, RGBColor(255, 128, 0));
    EXPECT_EQ(Entry(1).SpineColor, RGBColor(128, 64, 0));
    EXPECT_EQ(Entry(2).RailColor, RGBColor(0, 255, 0));
    EXPECT_EQ(Entry(3).SpineColor, RGBColor(128, 128, 0));
    EXPECT_EQ(Entry(4).RailColor, RGBColor(255, 0, 0));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Entry(i).TieColor, RGBColor(255, 255, 255));
    EXPECT_EQ(gSupportDrawColor, RGBColor(255, 255, 255));
    EXPECT_EQ(gTunnelDrawColor, RGBColor(128, 128, 128));
}

TEST_F(ModelColoringTest, TunnelSegmentsAreHalvedInBothModes) {
    gSpineInfoSegments[4].Tunnel = true;  // the brake segment
    ColorTrackModel(ColorBySegmentKind);
    EXPECT_EQ(Entry(4).RailColor, RGBColor(128, 0, 0));
    EXPECT_EQ(Entry(4).SpineColor, RGBColor(64, 0, 0));
    EXPECT_EQ(Entry(4).TieColor, RGBColor(128, 128, 128));

    gSegments[4].CustomColors = true;
    gSegments[4].RailColor = RGBColor(255, 255, 255);
    gSegments[4].SpineColor = RGBColor(3, 3, 3);
    gSegments[4].TieColor = RGBColor(1, 1, 1);
    ColorTrackModel(ColorByDocument);
    EXPECT_EQ(Entry(4).RailColor, RGBColor(128, 128, 128));
    EXPECT_EQ(Entry(4).SpineColor, RGBColor(2, 2, 2));
    EXPECT_EQ(Entry(4).TieColor, 0);
}

TEST_F(ModelColoringTest, TunnelFlagsComeFromTheSpineCopyAndKindsFromTheDocument) {
    gSegments[0].Tunnel = true;  // not yet in the spine copy
    gSegments[0].SegmentType = SegmentBrake;
    ColorTrackModel(ColorBySegmentKind);
    EXPECT_EQ(Entry(0).RailColor, RGBColor(255, 0, 0));
}

TEST_F(ModelColoringTest, DocumentColoursAndSettingsColours) {
    gSegments[2].CustomColors = true;
    gSegments[2].RailColor = RGBColor(1, 2, 3);
    gSegments[2].SpineColor = RGBColor(4, 5, 6);
    gSegments[2].TieColor = RGBColor(7, 8, 9);
    gModelSettings.SupportColor = RGBColor(11, 12, 13);
    gModelSettings.TunnelColor = RGBColor(14, 15, 16);
    ColorTrackModel(ColorByDocument);
    EXPECT_EQ(Entry(0).RailColor, gRailColor);
    EXPECT_EQ(Entry(0).SpineColor, gSpineColor);
    EXPECT_EQ(Entry(0).TieColor, gTieColor);
    EXPECT_EQ(Entry(2).RailColor, RGBColor(1, 2, 3));
    EXPECT_EQ(Entry(2).TieColor, RGBColor(7, 8, 9));
    EXPECT_EQ(gSupportDrawColor, RGBColor(11, 12, 13));
    EXPECT_EQ(gTunnelDrawColor, RGBColor(14, 15, 16));
}

TEST_F(ModelColoringTest, SwitchingModesRepeatedlyGivesTheSameColours) {
    gSpineInfoSegments[1].Tunnel = true;
    gSpineInfoSegments[3].Tunnel = true;
    ColorTrackModel(ColorBySegmentKind);
    const TrackModelEntry byKind = Entry(1);
    ColorTrackModel(ColorByDocument);
    const TrackModelEntry byDocument = Entry(3);
    for (int round = 0; round < 3; ++round) {
        ColorTrackModel(ColorBySegmentKind);
        EXPECT_EQ(Entry(1).RailColor, byKind.RailColor);
        EXPECT_EQ(Entry(1).TieColor, byKind.TieColor);
        ColorTrackModel(ColorByDocument);
        EXPECT_EQ(Entry(3).SpineColor, byDocument.SpineColor);
    }
}

TEST_F(ModelColoringTest, UnknownKindKeepsAStableColourInATunnel) {
    gSegments[2].SegmentType = 7;
    gSpineInfoSegments[2].Tunnel = true;
    ColorTrackModel(ColorBySegmentKind);
    const int32_t first = Entry(2).RailColor;
    EXPECT_EQ(first, HalveColor(ColorsOfSegmentKind(7).Rail));
    for (int i = 0; i < 5; ++i) {
        ColorTrackModel(ColorByDocument);
        ColorTrackModel(ColorBySegmentKind);
    }
    EXPECT_EQ(Entry(2).RailColor, first);  // it does not fade away call by call
    EXPECT_NE(ColorsOfSegmentKind(7).Rail, ColorsOfSegmentKind(0).Rail);
}

TEST_F(ModelColoringTest, ElementColours) {
    gDocumentType = DocumentElement;
    ColorTrackModel(ColorByDocument);
    EXPECT_EQ(Entry(0).RailColor, RGBColor(255, 0, 255));
    EXPECT_EQ(Entry(0).SpineColor, RGBColor(128, 0, 128));
    EXPECT_EQ(Entry(0).TieColor, RGBColor(255, 255, 255));
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(Entry(i).RailColor, RGBColor(0, 128, 255));
        EXPECT_EQ(Entry(i).SpineColor, RGBColor(0, 64, 128));
    }
    EXPECT_EQ(gSupportDrawColor, RGBColor(255, 255, 255));
    EXPECT_EQ(gTunnelDrawColor, RGBColor(255, 255, 255));
    // By kind an element is all normal track, whatever the track document holds.
    ColorTrackModel(ColorBySegmentKind);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Entry(i).RailColor, RGBColor(0, 128, 255));
}

TEST_F(ModelColoringTest, SegmentsWithoutModelEntryArePassedOver) {
    gTrackModel.resize(3);  // fewer entries than segments
    ColorTrackModel(ColorBySegmentKind);
    EXPECT_EQ(gTrackModel[2].RailColor, RGBColor(0, 255, 0));
    gSegmentCount = 9;  // a document that grew since the model was built
    gSegments.resize(10);
    ColorTrackModel(ColorByDocument);
    SUCCEED();
}
