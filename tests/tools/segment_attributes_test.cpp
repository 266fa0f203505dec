// Tunneler, Spine Changer and Tube Exchanger: the actions with their
// exclusions, the captions by track style, the list-to-code map, and the
// results through save and load.

#include <filesystem>

#include "core/app_state.h"
#include "tests/tools/remodel_flag_check.h"
#include "tests/tools/tool_test_support.h"
#include "tools/segment_attributes.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

// Segment types normal, station, lift, transport, brake, normal, station; tunnels on the lift and the last station.
void MakeMixedTrack() {
    MakeLineTrack({0, 10, 0}, {0, 0, -10}, 7);
    const int types[7] = {0, 1, 2, 3, 4, 0, 1};
    for (int s = 0; s < 7; ++s) gSegments[s].SegmentType = types[s];
    gSegments[2].Tunnel = gSegments[6].Tunnel = true;
}

std::string Tunnels() {
    std::string t;
    for (int s = 0; s < gSegmentCount; ++s) t += gSegments[s].Tunnel ? 'T' : '-';
    return t;
}

void SaveAndLoad() {
    const std::string path = TestTempFile("gw_segment_attributes_test.vxtrack");
    ASSERT_TRUE(SaveTrackFile(path));
    ASSERT_TRUE(LoadTrackFile(path));
    std::filesystem::remove(path);
}

}  // namespace

using SegmentAttributeTest = ToolTest;

TEST_F(SegmentAttributeTest, TunnelerActionsAndExclusions) {
    const TunnelerOptions defaults;  // stations excluded
    MakeMixedTrack();
    ASSERT_TRUE(RunTunneler(TunnelAction::TunnelAll, defaults));
    SaveAndLoad();
    EXPECT_EQ(Tunnels(), "T-TTTT-") << "every segment but the stations; the station's tunnel goes";
    RemodelFlags f;
    f.Recolor = f.RebuildTunnels = true;
    EXPECT_TRUE(FlagsAre(f));
    EXPECT_TRUE(gDocumentChanged);
    MakeMixedTrack();
    ApplyTunnelAction(TunnelAction::Toggle, defaults);
    EXPECT_EQ(Tunnels(), "T--TTT-") << "a station gets no tunnel but loses one";
    ApplyTunnelAction(TunnelAction::Remove, defaults);
    EXPECT_EQ(Tunnels(), "-------");

    for (int box = 0; box < 4; ++box) {
        TunnelerOptions one{{false, false, false, false}};
        one.NeverTunnel[box] = true;
        MakeMixedTrack();
        ApplyTunnelAction(TunnelAction::TunnelAll, one);
        for (int s = 0; s < gSegmentCount; ++s)
            EXPECT_EQ(gSegments[s].Tunnel, gSegments[s].SegmentType != box + 1) << "box " << box << " segment " << s;
    }
    MakeMixedTrack();
    const TunnelerOptions none{{false, false, false, false}};
    ApplyTunnelAction(TunnelAction::Toggle, none);
    ApplyTunnelAction(TunnelAction::Toggle, none);
    EXPECT_EQ(Tunnels(), "--T---T") << "toggled twice without exclusions";
}

TEST_F(SegmentAttributeTest, SpineChangerCaptionsAndApplications) {
    using C = std::array<std::string, 3>;
    EXPECT_EQ(SpineStyleCaptions(0), (C{"Round", "Box", ""}));
    EXPECT_EQ(SpineStyleCaptions(1), (C{"Single", "Double", ""}));
    EXPECT_EQ(SpineStyleCaptions(2), (C{"Single", "Double", ""}));
    EXPECT_EQ(SpineStyleCaptions(5), (C{"3 Tube", "4 Tube", "2 Tube"}));
    for (int style : {3, 4, 6, 9, 12, -1, 99}) EXPECT_FALSE(HasSpineStyles(style)) << style;
    EXPECT_STREQ(kNoSpineStylesText, "There are no different spine style's for this style of track.");

    MakeLineTrack({0, 10, 0}, {0, 0, -10}, 4);
    gSegmentSelected = {false, true, true, false, false};
    EXPECT_EQ(SelectedSegmentCount(), 2);
    ASSERT_TRUE(RunSpineChanger(2, SegmentApplication::OnlySelected));
    RunSpineChanger(1, SegmentApplication::ExceptSelected);
    SaveAndLoad();
    const uint8_t expected[4] = {4, 8, 8, 4};
    for (int s = 0; s < 4; ++s) EXPECT_EQ(gSegments[s].SpineStyle, expected[s]) << s;
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(FlagsClear()) << "the Spine Changer asks for no rebuild";
}

TEST_F(SegmentAttributeTest, TubeExchangerListMapAndExchange) {
    const char* entries[kTubeListSize] = {"Small Tube",     "Medium Tube",     "Large Tube",      "X-Large Tube",
                                          "XX-Large Tube",  "'L' Beam",        "'H' Beam",        "4 x 4 Wood Beam",
                                          "2 x 2 Wood Beam", "1 x 4 Wood Beam"};
    const int32_t codes[kTubeListSize] = {2, 0, 1, 5, 6, 3, 4, 7, 9, 8};
    for (int p = 0; p < kTubeListSize; ++p) {
        EXPECT_EQ(TubeListEntry(p), entries[p]) << p;
        EXPECT_EQ(TubeListCode(p), codes[p]) << p;
    }

    MakeLineTrack({0, 10, 0}, {0, 0, -10}, 2);
    gTubeCount = 2;
    gTubes.assign(3, SupportTube{});
    gTubes[0].TubeType = TubeSmall;
    gTubes[0].Rotation = 0.5f;
    gTubes[1].TubeType = TubeMedium;
    gTubes[2].TubeType = TubeSmall;  // the spare record past the count
    ASSERT_TRUE(RunTubeExchanger(0, 5));
    SaveAndLoad();
    EXPECT_EQ(gTubes[0].TubeType, TubeLBeam);
    EXPECT_EQ(gTubes[0].Rotation, 0.5f);
    EXPECT_EQ(gTubes[1].TubeType, TubeMedium);
    EXPECT_TRUE(gRemodelFlags.RebuildTubes);
    gDocumentChanged = false;
    ASSERT_TRUE(RunTubeExchanger(8, 0)) << "no tube of the type: nothing changes";
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_FALSE(RunTubeExchanger(3, 3)) << "the same entry in both lists";
}
