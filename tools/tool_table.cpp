#include "tools/tool_table.h"

namespace {

RemodelFlags Flags(bool path, bool track, bool tubes, bool footers, bool ground, bool recolor, bool tunnels,
                   bool prefabs) {
    RemodelFlags f;
    f.RebuildPath = path;
    f.RebuildTrack = track;
    f.RebuildTubes = tubes;
    f.RebuildFooters = footers;
    f.RebuildGround = ground;
    f.Recolor = recolor;
    f.RebuildTunnels = tunnels;
    f.RebuildPrefabs = prefabs;
    return f;
}

const RemodelFlags kNone{};

std::vector<ToolDialogInfo> MakeTable() {
    const RemodelFlags allButGround = AllFlagsButGround();
    const RemodelFlags all = AllFlags();
    using L = ToolLaunch;
    constexpr ToolDocument T = ToolDocument::Track, E = ToolDocument::Element;
    return {
        {"frmTOverview", "mnuTOverview", "Track: Overview", "Track: Overview", "t_overview", T, L::Plain, kNone,
         false, true},
        {"frmTPowerTweaker", "mnuTPowerTweaker", "Track: Power Tweaker", "Track: Power Tweaker", "t_powertweaker", T,
         L::Modal, Flags(true, true, false, false, false, true, true, false), true, true},
        {"frmTColorizer", "mnuTColorizer", "Track: Colorizer", "Track: Colorizer", "t_colorizer", T, L::Modal,
         Flags(false, false, false, false, false, true, false, false), true, true},
        {"frmTRemoveData", "mnuTRemove", "Track: Remove Data", "Track: Remove Data", "t_removedata", T, L::Modal, all,
         true, true},
        {"frmTMove", "mnuTMove", "Track: Move", "Track: Move", "t_move", T, L::Modeless, allButGround, true, true},
        {"frmTScale", "mnuTScale", "Track: Scale", "Track: Scale", "t_scale", T, L::Modal, allButGround, true, true},
        {"frmTRotate", "mnuTRotate", "Track: Rotate", "Track: Rotate", "t_rotate", T, L::Modal, allButGround, true,
         true},
        {"frmTMirror", "mnuTMirror", "Track: Mirror", "Track: Mirror", "t_mirror", T, L::Modal, allButGround, true,
         true},
        {"frmTTunneler", "mnuTTunneler", "Track: Tunneler", "Track: Tunneler", "t_tunneler", T, L::Modal,
         Flags(false, false, false, false, false, true, true, false), true, true},
        {"frmTShuttleMaker", "mnuTShuttleBuilder", "Track: Shuttle Builder", "Track: Shuttle Builder",
         "t_shuttlebuilder", T, L::Modal, allButGround, true, true},
        {"frmTBackwardsBuilder", "mnuTBackwardsRebuilder", "Track: Backwards Rebuilder", "Track: Backwards Rebuilder",
         "t_backwardsrebuilder", T, L::Modal, allButGround, true, true},
        {"frmTObjectRenamer", "mnuTObjectRenamer", "Track: Object Renamer", "Track: Object Renamer",
         "t_objectrenamer", T, L::Plain, kNone, true, true},
        {"frmTObjectPlacer", "mnuTObjectPlacer", "Track: Object Placer", "Track: Object Placer", "t_objectplacer", T,
         L::Plain, kNone, true, true},
        {"frmTSupportFlanger", "mnuTSupportFlanger", "Track: Support Flanger", "Track: Support Flanger",
         "t_supportflanger", T, L::Modal, Flags(false, false, true, false, false, false, false, false), true, true},
        {"frmTSupportOptimizer", "mnuTSupportOptimizer", "Track: Support Optimizer", "Track: Support Optimizer",
         "t_supportoptimizer", T, L::Modal, Flags(false, false, true, true, false, false, false, false), true, true},
        {"frmTSupportWizard", "mnuTSupportWizard", "Track: Support Wizard", "Track: Support Wizard",
         "t_supportwizard", T, L::Modal, Flags(false, false, false, false, false, false, false, true), true, true},
        {"frmTTubeExchanger", "mnuTTubeExhange", "Track: Tube Exchanger", "Track: Tube Exchange", "t_tubeexchanger",
         T, L::Modal, Flags(false, false, true, false, false, false, false, false), true, true},
        {"frmTTerrainPolyReducer", "mnuTTerrainPolyReducer", "Track: Terrain Poly Reducer",
         "Track: Terrain Poly Reducer", "t_terrainpolyreducer", T, L::Modal,
         Flags(false, false, true, true, true, false, false, true), true, true},
        {"frmTNodeSmoother", "mnuTNodeSmoother", "Track: Node Smoother", "Track: Node Smoother", "t_nodesmoother", T,
         L::Modal, Flags(true, true, true, false, false, false, true, true), true, true},
        {"frmTSpineChanger", "mnuTSpineChanger", "Track: Spine Changer", "Track: Spine Changer", "", T, L::Modal,
         kNone, true, false},
        {"frmEOverview", "mnuEOverview", "Element: Overview", "Element: Overview", "e_overview", E, L::Plain, kNone,
         false, true},
        {"frmEReverse", "mnuEReverse", "Element: Reverse", "Element: Reverse", "e_reverse", E, L::Modal,
         Flags(true, true, false, false, false, true, false, false), true, true},
        {"frmEScale", "mnuEScale", "Element: Scale", "Element: Scale", "e_scale", E, L::Modal,
         Flags(true, true, false, false, false, false, false, false), true, true},
        {"frmEPitch", "mnuEPitch", "Element: Pitch", "Element: Pitch", "e_pitch", E, L::Modal, allButGround, true,
         true},
        {"frmETilt", "mnuETilt", "Element: Tilt", "Element: Tilt", "e_tilt", E, L::Modal, allButGround, true, true},
        {"frmESkew", "mnuESkew", "Element: Skew", "Element: Skew", "e_skew", E, L::Modal,
         Flags(true, true, false, false, false, false, false, false), true, true},
    };
}

}  // namespace

RemodelFlags AllFlagsButGround() { return Flags(true, true, true, true, false, true, true, true); }

RemodelFlags AllFlags() { return Flags(true, true, true, true, true, true, true, true); }

void RaiseRemodelFlags(const RemodelFlags& f) {
    RemodelFlags& g = gRemodelFlags;
    g.RebuildPath = g.RebuildPath || f.RebuildPath;
    g.RebuildTrack = g.RebuildTrack || f.RebuildTrack;
    g.RebuildTubes = g.RebuildTubes || f.RebuildTubes;
    g.RebuildFooters = g.RebuildFooters || f.RebuildFooters;
    g.RebuildGround = g.RebuildGround || f.RebuildGround;
    g.Recolor = g.Recolor || f.Recolor;
    g.RebuildTunnels = g.RebuildTunnels || f.RebuildTunnels;
    g.RebuildPrefabs = g.RebuildPrefabs || f.RebuildPrefabs;
}

const std::vector<ToolDialogInfo>& ToolDialogTable() {
    static const std::vector<ToolDialogInfo> table = MakeTable();
    return table;
}

const ToolDialogInfo* FindToolDialog(std::string_view dialog) {
    for (const ToolDialogInfo& tool : ToolDialogTable())
        if (dialog == tool.Dialog) return &tool;
    return nullptr;
}

const ToolDialogInfo* ToolDialogOfButton(ToolDocument document, int index) {
    if (index < 0) return nullptr;
    int button = 0;
    for (const ToolDialogInfo& tool : ToolDialogTable()) {
        if (tool.Document != document || !tool.OnToolBar) continue;
        if (button == index) return &tool;
        ++button;
    }
    return nullptr;
}
