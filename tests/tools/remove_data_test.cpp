// Track > Remove Data without its window: the linked check boxes, and OK's
// removals with every reference left valid through a save and a reload.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/record_check_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/remove_data.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

using B = RemoveBox;
using RemoveDataTest = ToolTest;

std::string TempPath(const char* name) { return TestTempFile(name); }

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The circuit sample with scenery, a catwalk on its three free nodes and two
// tubes on prefabricated supports added.
void LoadRichCircuit() {
    ASSERT_TRUE(LoadTrackFile(std::string(GW_SAMPLES_DIR) + "circuit.vxtrack"));
    gDocumentType = DocumentTrack;
    ClearSegmentSelection();
    gTrees.assign(4, SceneryTree{});
    gTrees[0].TreeType = 1, gTrees[1].TreeType = 2, gTrees[2].TreeType = 3;
    gTreeCount = 3;
    gObjects.assign(2, SceneryObject{});
    gObjects[0].FileName = "Barn.3ds";
    gObjectCount = 1;
    gCatwalks.assign(2, TrackCatwalk{});
    gCatwalks[0] = {0, 1, 2, 0};
    gCatwalkCount = 1;
    SupportTube onPrefab;
    onPrefab.EndAKind = EndPrefabAnchor, onPrefab.EndASegment = 3, onPrefab.EndAIndex = 1;
    onPrefab.EndBKind = EndFooter, onPrefab.EndBIndex = 5;
    onPrefab.TubeType = TubeWood2x2;
    gTubes.resize(static_cast<size_t>(gTubeCount));
    gTubes.push_back(onPrefab);
    onPrefab.EndASegment = 4, onPrefab.EndAIndex = 0, onPrefab.TubeType = TubeSmall;
    gTubes.push_back(onPrefab);
    gTubeCount += 2;
    gTubes.emplace_back();
    gEnvironmentName = "Dusk";
    ASSERT_TRUE(EveryReferenceValid());
}

bool AllFlagsSet() {
    const RemodelFlags& f = gRemodelFlags;
    return f.RebuildPath && f.RebuildTrack && f.RebuildTubes && f.RebuildFooters && f.RebuildGround && f.Recolor &&
           f.RebuildTunnels && f.RebuildPrefabs;
}

}  // namespace

TEST(RemoveDataFormTest, CaptionsAndPanels) {
    EXPECT_STREQ(RemoveBoxCaption(B::Prefabs), "Prefrabricated Supports");
    EXPECT_STREQ(RemoveBoxCaption(B::OrphanBeams), "Orfan Support Beams");
    EXPECT_STREQ(RemoveBoxCaption(B::Environment), "Prefered Environment");
    EXPECT_STREQ(RemoveBoxCaption(B::Footers), "Fundamental Node");
    EXPECT_STREQ(RemoveBoxCaption(TubeBox(12)), "1 x 4 Beams");
    EXPECT_STREQ(RemoveBoxCaption(TubeBox(3)), "Small Tubes");
    int boxes = 0;
    for (const RemovePanel& panel : RemoveDataPanels()) boxes += panel.BoxCount;
    EXPECT_EQ(boxes, kRemoveBoxCount);
    EXPECT_STREQ(RemoveDataPanels()[4].Title, " Support Beams");
    EXPECT_EQ(RemoveDataPanels()[4].Boxes[9], B::WoodBeams);
}

TEST(RemoveDataFormTest, LinkedBoxes) {
    RemoveDataForm f;
    f.Click(B::Track);
    EXPECT_TRUE(f.Checked(B::Prefabs));
    EXPECT_TRUE(f.Checked(B::OrphanBeams));
    EXPECT_FALSE(f.Enabled(B::CustomColors));
    EXPECT_FALSE(f.Enabled(B::Tunnels));
    for (int i = 1; i <= 7; ++i) EXPECT_FALSE(f.Enabled(RascBox(i)));
    f.Click(B::CustomColors);  // disabled: no effect
    EXPECT_FALSE(f.Checked(B::CustomColors));
    f.Click(B::Track);
    EXPECT_TRUE(f.Enabled(B::CustomColors));
    EXPECT_TRUE(f.Enabled(B::Tunnels));
    EXPECT_TRUE(f.Checked(B::Prefabs));  // unchecking never unticks
    EXPECT_TRUE(f.Checked(B::OrphanBeams));

    RemoveDataForm beams;
    beams.Click(B::SteelBeams);
    beams.Click(B::Beams);
    for (int i = 1; i <= 12; ++i) EXPECT_FALSE(beams.Enabled(TubeBox(i)));
    beams.Click(B::Beams);
    for (int i = 1; i <= 12; ++i) EXPECT_TRUE(beams.Enabled(TubeBox(i))) << i;  // even while Steel Beams stays ticked
    EXPECT_TRUE(beams.Checked(B::SteelBeams));

    RemoveDataForm nodes;
    nodes.Click(B::FreeNodes);
    EXPECT_TRUE(nodes.Checked(B::Catwalks) && nodes.Checked(B::OrphanBeams));
    EXPECT_FALSE(nodes.Enabled(B::UnusedFreeNodes));
    RemoveDataForm footers;
    footers.Click(B::Footers);
    EXPECT_TRUE(footers.Checked(B::OrphanBeams) && !footers.Checked(B::Catwalks));
    RemoveDataForm style;
    style.Click(B::PrefabComplex);
    EXPECT_TRUE(style.Checked(B::OrphanBeams));
    style.Click(B::Trees);
    EXPECT_FALSE(style.Enabled(B::TreesB));

    RemoveDataForm all;
    all.SetAllRemoveChecks(1);
    for (int i = 0; i < kRemoveBoxCount; ++i) EXPECT_TRUE(all.Checked(static_cast<B>(i))) << i;
    EXPECT_TRUE(all.Enabled(B::Beams));
    EXPECT_FALSE(all.Enabled(B::Wood2x2));
    all.SetAllRemoveChecks(0);
    for (int i = 0; i < kRemoveBoxCount; ++i) {
        EXPECT_FALSE(all.Checked(static_cast<B>(i))) << i;
        EXPECT_TRUE(all.Enabled(static_cast<B>(i))) << i;
    }
}

TEST_F(RemoveDataTest, SelectAllEmptiesTheDocumentAndItSavesConsistently) {
    LoadRichCircuit();
    gSegmentSelected[2] = true;
    const int32_t groups = gRascGroupCount;
    RemoveDataForm f;
    f.SetAllRemoveChecks(1);
    RunRemoveData(f);
    EXPECT_TRUE(AllFlagsSet());
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_FALSE(IsSegmentSelected(2));
    ASSERT_TRUE(SavesAndReloadsValid());
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(gSegmentCount, 0);
    EXPECT_EQ(gRascGroupCount, groups);
    for (int32_t s = 0; s < groups; ++s) EXPECT_EQ(gRascGroups[s].ItemCount, 0) << s;
    EXPECT_EQ(gTubeCount, 0);
    EXPECT_EQ(gFreeNodeCount, 0);
    EXPECT_EQ(gFooterCount, 0);
    EXPECT_EQ(gCatwalkCount, 0);
    EXPECT_EQ(gTreeCount, 0);
    EXPECT_EQ(gObjectCount, 0);
    EXPECT_FALSE(gHasTerrain);
    EXPECT_EQ(gEnvironmentName, "");
    EXPECT_EQ(gTrackInfo, "");
}

TEST_F(RemoveDataTest, NothingTickedChangesNoRecordButMarksTheDocumentChanged) {
    LoadRichCircuit();
    const std::string before = TempPath("gw_remove_none_before.vxtrack");
    const std::string after = TempPath("gw_remove_none_after.vxtrack");
    ASSERT_TRUE(SaveTrackFile(before));
    RunRemoveData(RemoveDataForm{});
    EXPECT_TRUE(AllFlagsSet());
    EXPECT_TRUE(gDocumentChanged);
    ASSERT_TRUE(SaveTrackFile(after));
    EXPECT_EQ(FileBytes(before), FileBytes(after));
    std::remove(before.c_str());
    std::remove(after.c_str());
}

TEST_F(RemoveDataTest, RemovedRecordsTakeTheirReferencesWithThemWhateverWasUnticked) {
    // The track alone, its supports' and orphans' boxes unticked after the track ticked them.
    LoadRichCircuit();
    RemoveDataForm track;
    track.Click(B::Track);
    track.Click(B::Prefabs);
    track.Click(B::OrphanBeams);
    const int32_t tubes = gTubeCount;
    RunRemoveData(track);
    EXPECT_EQ(gTubeCount, tubes - 2);  // the two on prefabricated supports
    EXPECT_EQ(gCatwalkCount, 1);
    const int32_t groups = gRascGroupCount;
    ASSERT_TRUE(SavesAndReloadsValid());
    EXPECT_EQ(gRascGroupCount, groups);  // kept, every group emptied
    EXPECT_EQ(gRascGroups[3].ItemCount, 0);

    // All free nodes, with the catwalks and orphan beams unticked again.
    LoadRichCircuit();
    RemoveDataForm nodes;
    nodes.Click(B::FreeNodes);
    nodes.Click(B::Catwalks);
    nodes.Click(B::OrphanBeams);
    RunRemoveData(nodes);
    EXPECT_EQ(gCatwalkCount, 0);
    EXPECT_EQ(gTubeCount, 2);  // the A-frames' tubes all reached a free node
    ASSERT_TRUE(SavesAndReloadsValid());
    EXPECT_EQ(gFooterCount, 6);

    // One style of prefabricated support: the tube on a kept one follows it to its new index.
    LoadRichCircuit();
    gRascGroups[3].Items[0].Style = PrefabComplex;
    RemoveDataForm complex;
    complex.Click(B::PrefabComplex);
    complex.Click(B::OrphanBeams);
    RunRemoveData(complex);
    EXPECT_EQ(gRascGroups[3].ItemCount, 1);
    EXPECT_EQ(gTubes[gTubeCount - 2].EndAIndex, 0);
    EXPECT_EQ(gTubes[gTubeCount - 2].EndASegment, 3);
    ASSERT_TRUE(SavesAndReloadsValid());
}

TEST_F(RemoveDataTest, OrphansFromBeforeStayUnlessTheirBoxIsTicked) {
    // A tube and a catwalk that named nothing before OK, beside the sound ones.
    const auto addOrphans = [] {
        SupportTube lost;
        lost.EndAKind = EndFreeNode, lost.EndAIndex = 99, lost.EndBKind = EndPrefabAnchor;
        lost.EndBSegment = 3, lost.EndBIndex = 40;
        gTubes.resize(static_cast<size_t>(gTubeCount));
        gTubes.push_back(lost);
        gTubes.emplace_back();
        ++gTubeCount;
        gCatwalks.resize(static_cast<size_t>(gCatwalkCount));
        gCatwalks.push_back(TrackCatwalk{50, 50, 50, 50});
        gCatwalks.emplace_back();
        ++gCatwalkCount;
    };
    for (B removed : {B::Track, B::FreeNodes, B::Prefabs}) {
        LoadRichCircuit();
        addOrphans();
        const int32_t tubes = gTubeCount;
        RemoveDataForm f;
        f.Click(removed);
        f.SetValue(B::Catwalks, 0);
        f.SetValue(B::OrphanBeams, 0);
        RunRemoveData(f);
        ASSERT_GE(gTubeCount, 1);
        EXPECT_EQ(gTubes[gTubeCount - 1].EndAIndex, 99) << static_cast<int>(removed);
        EXPECT_LT(gTubeCount, tubes) << "what this OK left dangling went";
        ASSERT_GE(gCatwalkCount, 1);
        EXPECT_EQ(gCatwalks[gCatwalkCount - 1].Corner1, 50);
        EXPECT_EQ(gCatwalkCount, removed == B::FreeNodes ? 1 : 2);
    }
    // Ticked, the box takes every orphan tube; catwalks are no beams.
    LoadRichCircuit();
    addOrphans();
    RemoveDataForm orphans;
    orphans.Click(B::OrphanBeams);
    RunRemoveData(orphans);
    EXPECT_NE(gTubes[gTubeCount - 1].EndAIndex, 99);
    EXPECT_EQ(gCatwalkCount, 2);
}

TEST_F(RemoveDataTest, TreesAndBeamsByType) {
    gTrees.assign(4, SceneryTree{});
    gTrees[0].TreeType = 1, gTrees[1].TreeType = 1, gTrees[2].TreeType = 2;
    gTrees[2].Position.X = 7.0f;
    gTreeCount = 3;
    RemoveDataForm trees;
    trees.Click(B::TreesA);
    RunRemoveData(trees);
    ASSERT_EQ(gTreeCount, 1);
    EXPECT_EQ(gTrees[0].TreeType, 2);
    EXPECT_EQ(gTrees[0].Position.X, 7.0f);

    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 1);
    const auto tubesOfEveryType = [] {  // types 0 .. 10, 10 being no type of either kind
        gTubes.assign(12, SupportTube{});
        for (int32_t i = 0; i <= 10; ++i) gTubes[i] = {2, 0, 0, 2, 1, 0, i, 0, 0.0f};
        gTubeCount = 11;
    };
    tubesOfEveryType();
    RemoveDataForm both;
    both.Click(B::SteelBeams);
    both.Click(B::WoodBeams);
    RunRemoveData(both);
    EXPECT_EQ(gTubeCount, 1);
    EXPECT_EQ(gTubes[0].TubeType, 10);

    tubesOfEveryType();
    RemoveDataForm some;
    some.Click(B::LBeams);
    some.Click(B::Wood2x2);
    RunRemoveData(some);
    std::vector<int32_t> types;
    for (int32_t i = 0; i < gTubeCount; ++i) types.push_back(gTubes[i].TubeType);
    EXPECT_EQ(types, (std::vector<int32_t>{0, 1, 2, 4, 5, 6, 7, 8, 10}));
}
