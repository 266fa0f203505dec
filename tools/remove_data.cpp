#include "tools/remove_data.h"

#include <algorithm>
#include <vector>

#include "tools/record_removal.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/track_document.h"

namespace {

using B = RemoveBox;

bool InGroup(RemoveBox box, RemoveBox first, RemoveBox last) {
    return static_cast<int>(box) >= static_cast<int>(first) && static_cast<int>(box) <= static_cast<int>(last);
}

}  // namespace

const char* RemoveBoxCaption(RemoveBox box) {
    static const char* const kCaptions[kRemoveBoxCount] = {
        "Track", "Custom Colors", "Tunnels",
        "Terrain",
        "Trees", "Type 'A' Trees", "Type 'B' Trees", "Type 'C' Trees",
        "3DS Objects",
        "Prefered Environment",
        "Free Nodes", "Unused Free Nodes",
        "Fundamental Node", "Unused Fundamental Nodes",
        "Catwalks",
        "Prefrabricated Supports", "Track Nodes", "Simple", "Complex", "Inverted", "90deg Bank", "Small Inverted",
        "'A' Shape",
        "Support Beams", "Steel Beams", "Wood Beams", "Small Tubes", "Medium Tubes", "Large Tubes", "X-Large Tubes",
        "XX-Large Tubes", "'L' Beams", "'H' Beams", "4 x 4 Beams", "2 x 2 Beams", "1 x 4 Beams",
        "Orfan Support Beams",
        "Author's Comments"};
    const int i = static_cast<int>(box);
    return i >= 0 && i < kRemoveBoxCount ? kCaptions[i] : "";
}

const std::array<RemovePanel, 6>& RemoveDataPanels() {
    static const std::array<RemovePanel, 6> kPanels = {{
        {" Track", {B::Track, B::CustomColors, B::Tunnels}, 3},
        {" Scenery", {B::Terrain, B::Trees, B::TreesA, B::TreesB, B::TreesC, B::Objects, B::Environment}, 7},
        {" Additional Supports", {B::FreeNodes, B::UnusedFreeNodes, B::Footers, B::UnusedFooters, B::Catwalks}, 5},
        {" Prefabricated Supports",
         {B::Prefabs, B::PrefabTrackNodes, B::PrefabSimple, B::PrefabComplex, B::PrefabInverted, B::Prefab90degBank,
          B::PrefabSmallInverted, B::PrefabAShape},
         8},
        {" Support Beams",
         {B::Beams, B::SteelBeams, B::SmallTubes, B::MediumTubes, B::LargeTubes, B::XLargeTubes, B::XXLargeTubes,
          B::LBeams, B::HBeams, B::WoodBeams, B::Wood4x4, B::Wood2x2, B::Wood1x4, B::OrphanBeams},
         14},
        {" Other Stuff", {B::Comments}, 1},
    }};
    return kPanels;
}

void RemoveDataForm::SetValue(RemoveBox box, int value) {
    values_[Index(box)] = value;
    RunRules(box);
}

void RemoveDataForm::Click(RemoveBox box) {
    if (!Enabled(box)) return;
    SetValue(box, Checked(box) ? 0 : 1);
}

void RemoveDataForm::SetAllRemoveChecks(int value) {
    std::vector<RemoveBox> order = {B::Track, B::CustomColors, B::Tunnels, B::Terrain};
    for (int i = 0; i < 4; ++i) order.push_back(TreeBox(i));
    for (RemoveBox box : {B::Objects, B::Environment, B::Comments, B::FreeNodes, B::Footers, B::UnusedFreeNodes,
                          B::UnusedFooters, B::Catwalks})
        order.push_back(box);
    for (int i = 0; i < 8; ++i) order.push_back(RascBox(i));
    for (int i = 0; i < 13; ++i) order.push_back(TubeBox(i));
    order.push_back(B::OrphanBeams);
    for (RemoveBox box : order) SetValue(box, value);
}

void RemoveDataForm::EnableRange(RemoveBox first, RemoveBox last, bool enabled) {
    for (int i = Index(first); i <= Index(last); ++i) enabled_[i] = enabled;
}

void RemoveDataForm::RunRules(RemoveBox box) {
    const bool checked = Checked(box);
    if (InGroup(box, B::Track, B::Tunnels)) {
        EnableRange(B::CustomColors, B::Tunnels, !Checked(B::Track));
        if (box == B::Track && checked) {
            SetValue(B::Prefabs, 1);
            SetValue(B::OrphanBeams, 1);
        }
    } else if (InGroup(box, B::Trees, B::TreesC)) {
        EnableRange(B::TreesA, B::TreesC, !Checked(B::Trees));
    } else if (InGroup(box, B::FreeNodes, B::UnusedFreeNodes)) {
        EnableRange(B::UnusedFreeNodes, B::UnusedFreeNodes, !Checked(B::FreeNodes));
        if (box == B::FreeNodes && checked) {
            SetValue(B::Catwalks, 1);
            SetValue(B::OrphanBeams, 1);
        }
    } else if (InGroup(box, B::Footers, B::UnusedFooters)) {
        EnableRange(B::UnusedFooters, B::UnusedFooters, !Checked(B::Footers));
        if (box == B::Footers && checked) SetValue(B::OrphanBeams, 1);
    } else if (InGroup(box, B::Prefabs, B::PrefabAShape)) {
        EnableRange(B::PrefabTrackNodes, B::PrefabAShape, !Checked(B::Prefabs));
        bool any = false;
        for (int i = 0; i < 8; ++i) any = any || Checked(RascBox(i));
        if (any) SetValue(B::OrphanBeams, 1);
    } else if (box == B::Beams) {
        EnableRange(B::SteelBeams, B::Wood1x4, !checked);
    } else if (box == B::SteelBeams) {
        EnableRange(B::SmallTubes, B::HBeams, !checked);
    } else if (box == B::WoodBeams) {
        EnableRange(B::Wood4x4, B::Wood1x4, !checked);
    }
}

void RemoveTreesOfType(int32_t treeType) {
    const int32_t n = std::clamp<int32_t>(gTreeCount, 0, static_cast<int32_t>(gTrees.size()));
    int32_t kept = 0;
    for (int32_t i = 0; i < n; ++i)
        if (gTrees[i].TreeType != treeType) gTrees[kept++] = gTrees[i];
    for (int32_t i = kept; i < n; ++i) gTrees[i] = SceneryTree{};
    if (kept < n) gTreeCount = kept;
}

void RunRemoveData(const RemoveDataForm& f) {
    // What tubes and catwalks could name before this OK: what the steps below
    // leave dangling goes at the end, whatever the boxes say.
    const SupportRecordCounts before = CurrentSupportRecordCounts();

    // 1. Track.
    if (f.Checked(B::Track)) {
        RemoveTrackRecords();
    } else {
        const int32_t n = std::clamp<int32_t>(gSegmentCount, 0, static_cast<int32_t>(gSegments.size()));
        if (f.Checked(B::CustomColors))
            for (int32_t i = 0; i < n; ++i) gSegments[i].CustomColors = false;
        if (f.Checked(B::Tunnels))
            for (int32_t i = 0; i < n; ++i) gSegments[i].Tunnel = false;
    }
    // 2. Terrain: the grid stays in memory.
    if (f.Checked(B::Terrain)) gHasTerrain = false;
    // 3. Trees.
    if (f.Checked(B::Trees)) {
        gTreeCount = 0;
    } else {
        for (int type = 1; type <= 3; ++type)
            if (f.Checked(TreeBox(type))) RemoveTreesOfType(type);
    }
    // 4 - 7. Objects, environment, comments, catwalks.
    if (f.Checked(B::Objects)) gObjectCount = 0;
    if (f.Checked(B::Environment)) gEnvironmentName.clear();
    if (f.Checked(B::Comments)) gTrackInfo.clear();
    if (f.Checked(B::Catwalks)) gCatwalkCount = 0;
    // 8. Prefabricated supports.
    if (f.Checked(B::Prefabs)) {
        for (RascGroup& group : gRascGroups) group.ItemCount = 0;
    } else {
        static constexpr int32_t kStyles[7] = {0, 2, 3, 4, 5, 6, 7};
        std::vector<int32_t> styles;
        for (int i = 1; i <= 7; ++i)
            if (f.Checked(RascBox(i))) styles.push_back(kStyles[i - 1]);
        if (!styles.empty()) RemovePrefabsOfStyles(styles);  // as one after the other, in one pass
    }
    // 9. Tubes: steel, then wood.
    if (f.Checked(B::Beams)) {
        gTubeCount = 0;
    } else {
        if (f.Checked(B::SteelBeams)) {
            for (int32_t type = 0; type <= 6; ++type) RemoveBeamsOfType(type);
        } else {
            static constexpr int32_t kSteelTypes[7] = {2, 0, 1, 5, 6, 3, 4};  // boxes 3 .. 9
            for (int i = 0; i < 7; ++i)
                if (f.Checked(TubeBox(3 + i))) RemoveBeamsOfType(kSteelTypes[i]);
        }
        if (f.Checked(B::WoodBeams)) {
            for (int32_t type = 7; type <= 9; ++type) RemoveBeamsOfType(type);
        } else {
            static constexpr int32_t kWoodTypes[3] = {7, 9, 8};  // boxes 10 .. 12
            for (int i = 0; i < 3; ++i)
                if (f.Checked(TubeBox(10 + i))) RemoveBeamsOfType(kWoodTypes[i]);
        }
    }
    // 10, 11. Free nodes and footers.
    if (f.Checked(B::FreeNodes)) {
        gFreeNodeCount = 0;
    } else if (f.Checked(B::UnusedFreeNodes)) {
        RemoveUnusedFreeNodes();
    }
    if (f.Checked(B::Footers)) {
        gFooterCount = 0;
    } else if (f.Checked(B::UnusedFooters)) {
        RemoveUnusedFooters();
    }
    // 12. Orphans: every one when asked for; and whatever the boxes say,
    // nothing may go on naming a record removed above. Tubes and catwalks that
    // were orphans before this OK stay unless "Orfan Support Beams" is ticked.
    if (f.Checked(B::OrphanBeams)) RemoveOrphanBeams();
    RemoveBeamsLeftDangling(before);
    RemoveCatwalksLeftDangling(before);
    // 13.
    FinishToolEdit(AllFlags());
}
