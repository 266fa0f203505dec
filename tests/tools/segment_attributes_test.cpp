// Tunneler, Spine Changer and Tube Exchanger: each action with its exclusions,
// the captions by track style, the list-to-code map, and the results through
// save and load.

#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "tests/tools/remodel_flag_check.h"
#include "tests/tools/tool_test_support.h"
#include "tools/segment_attributes.h"
#include "tools/tool_table.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

RemodelFlags RecolorAndTunnels() {
    RemodelFlags f;
    f.Recolor = f.RebuildTunnels = true;
    return f;
}

// Segments of types normal, station, lift, transport, brake, normal, station,
// with tunnels on the 3rd (lift) and the 7th (station).
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

void SaveAndLoad(const char* name) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    ASSERT_TRUE(SaveTrackFile(path));
    ASSERT_TRUE(LoadTrackFile(path));
    std::filesystem::remove(path);
}

}  // namespace

using TunnelerTest = ToolTest;
using SpineChangerTest = ToolTest;
using TubeExchangerTest = ToolTest;

TEST_F(TunnelerTest, ThreeActionsWithTheDefaultExclusions) {
    const TunnelerOptions defaults;  // stations excluded
    MakeMixedTrack();
    ASSERT_TRUE(RunTunneler(TunnelAction::TunnelAll, defaults));
    EXPECT_EQ(Tunnels(), "T-TTTT-") << "every segment but the stations; the station's tunnel goes";
    EXPECT_TRUE(FlagsAre(RecolorAndTunnels()));
    EXPECT_TRUE(gDocumentChanged);

    MakeMixedTrack();
    ApplyTunnelAction(TunnelAction::Toggle, defaults);
    EXPECT_EQ(Tunnels(), "T--TTT-") << "a station without tunnel stays without; one with loses it";

    MakeMixedTrack();
    SaveAndLoad("gw_tunneler_test.vxtrack");
    ApplyTunnelAction(TunnelAction::Remove, defaults);
    EXPECT_EQ(Tunnels(), "-------");
    ApplyTunnelAction(TunnelAction::TunnelAll, defaults);
    SaveAndLoad("gw_tunneler_test.vxtrack");
    EXPECT_EQ(Tunnels(), "T-TTTT-");
}

TEST_F(TunnelerTest, EachBoxGuardsItsOwnTypeAndToggleTwiceRestores) {
    for (int box = 0; box < 4; ++box) {
        TunnelerOptions options;
        options.NeverTunnel = {false, false, false, false};
        options.NeverTunnel[box] = true;
        MakeMixedTrack();
        ApplyTunnelAction(TunnelAction::TunnelAll, options);
        for (int s = 0; s < gSegmentCount; ++s)
            EXPECT_EQ(gSegments[s].Tunnel, gSegments[s].SegmentType != box + 1) << "box " << box << " segment " << s;
    }
    TunnelerOptions none;
    none.NeverTunnel = {false, false, false, false};
    EXPECT_FALSE(TunnelExcluded(0, TunnelerOptions{})) << "normal segments are never excluded";
    EXPECT_FALSE(TunnelExcluded(7, TunnelerOptions{{true, true, true, true}}));
    MakeMixedTrack();
    ApplyTunnelAction(TunnelAction::Toggle, none);
    EXPECT_EQ(Tunnels(), "TT-TTT-");
    ApplyTunnelAction(TunnelAction::Toggle, none);
    EXPECT_EQ(Tunnels(), "--T---T");
}

TEST_F(SpineChangerTest, CaptionsByTrackStyle) {
    using C = std::array<std::string, 3>;
    EXPECT_EQ(SpineStyleCaptions(0), (C{"Round", "Box", ""}));
    EXPECT_EQ(SpineStyleCaptions(1), (C{"Single", "Double", ""}));
    EXPECT_EQ(SpineStyleCaptions(2), (C{"Single", "Double", ""}));
    EXPECT_EQ(SpineStyleCaptions(5), (C{"3 Tube", "4 Tube", "2 Tube"}));
    for (int style : {3, 4, 6, 7, 8, 9, 12, -1, 99}) {
        EXPECT_EQ(SpineStyleCaptions(style), (C{"", "", ""})) << style;
        EXPECT_FALSE(HasSpineStyles(style)) << style;
    }
    EXPECT_STREQ(kNoSpineStylesText, "There are no different spine style's for this style of track.");
}

TEST_F(SpineChangerTest, ApplicationsWriteTheCodeOfTheOption) {
    MakeLineTrack({0, 10, 0}, {0, 0, -10}, 4);
    gSegmentSelected = {false, true, true, false, false};
    EXPECT_EQ(SelectedSegmentCount(), 2);
    ASSERT_TRUE(RunSpineChanger(2, SegmentApplication::OnlySelected));
    EXPECT_EQ(gSegments[0].SpineStyle, 0);
    EXPECT_EQ(gSegments[1].SpineStyle, 8);
    EXPECT_EQ(gSegments[2].SpineStyle, 8);
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(FlagsClear()) << "the Spine Changer asks for no rebuild";
    RunSpineChanger(1, SegmentApplication::ExceptSelected);
    EXPECT_EQ(gSegments[0].SpineStyle, 4);
    EXPECT_EQ(gSegments[1].SpineStyle, 8);
    EXPECT_EQ(gSegments[3].SpineStyle, 4);
    SaveAndLoad("gw_spine_changer_test.vxtrack");
    EXPECT_EQ(gSegments[2].SpineStyle, 8);
    EXPECT_EQ(gSegments[3].SpineStyle, 4);
    ClearSegmentSelection();
    EXPECT_EQ(SelectedSegmentCount(), 0);
    RunSpineChanger(0, SegmentApplication::EntireTrack);
    for (int s = 0; s < 4; ++s) EXPECT_EQ(gSegments[s].SpineStyle, 0);
}

TEST_F(TubeExchangerTest, ListPositionsStandForTheirTubeTypes) {
    const char* entries[kTubeListSize] = {"Small Tube",    "Medium Tube",    "Large Tube",      "X-Large Tube",
                                          "XX-Large Tube", "'L' Beam",       "'H' Beam",        "4 x 4 Wood Beam",
                                          "2 x 2 Wood Beam", "1 x 4 Wood Beam"};
    const int32_t codes[kTubeListSize] = {2, 0, 1, 5, 6, 3, 4, 7, 9, 8};
    for (int p = 0; p < kTubeListSize; ++p) {
        EXPECT_EQ(TubeListEntry(p), entries[p]) << p;
        EXPECT_EQ(TubeListCode(p), codes[p]) << p;
    }
    EXPECT_FALSE(TubeExchangeOkEnabled(0, 0));
    EXPECT_TRUE(TubeExchangeOkEnabled(0, 5));
}

TEST_F(TubeExchangerTest, SmallTubesBecomeLBeamsAndNothingElseChanges) {
    MakeLineTrack({0, 10, 0}, {0, 0, -10}, 2);
    gTubeCount = 3;
    gTubes.assign(4, SupportTube{});
    gTubes[0].TubeType = TubeSmall;
    gTubes[0].Rotation = 0.5f;
    gTubes[0].Reserved = 7;
    gTubes[0].EndAKind = EndFreeNode;
    gTubes[1].TubeType = TubeMedium;
    gTubes[2].TubeType = TubeSmall;
    gTubes[3].TubeType = TubeSmall;  // the spare record past the count
    ASSERT_TRUE(RunTubeExchanger(0, 5));
    EXPECT_EQ(gTubes[0].TubeType, TubeLBeam);
    EXPECT_EQ(gTubes[0].Rotation, 0.5f);
    EXPECT_EQ(gTubes[0].Reserved, 7);
    EXPECT_EQ(gTubes[0].EndAKind, EndFreeNode);
    EXPECT_EQ(gTubes[1].TubeType, TubeMedium);
    EXPECT_EQ(gTubes[2].TubeType, TubeLBeam);
    EXPECT_EQ(gTubes[3].TubeType, TubeSmall);
    RemodelFlags tubes;
    tubes.RebuildTubes = true;
    EXPECT_TRUE(FlagsAre(tubes));
    SaveAndLoad("gw_tube_exchanger_test.vxtrack");
    EXPECT_EQ(gTubes[2].TubeType, TubeLBeam);

    // No tube of the chosen type: nothing changes, the document is still marked.
    gDocumentChanged = false;
    EXPECT_EQ(ExchangeTubes(TubeWood2x2, TubeSmall), 0);
    ASSERT_TRUE(RunTubeExchanger(8, 0));
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_FALSE(RunTubeExchanger(3, 3)) << "the same entry in both lists";
}
