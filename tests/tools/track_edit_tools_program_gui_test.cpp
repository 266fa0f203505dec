// The Shuttle Builder, Backwards Rebuilder, Tunneler, Tube Exchange, Node
// Smoother, Spine Changer and Terrain Poly Reducer inside the real program: launched from the
// Track menu and the tools' tool bar on the samples, the model rebuilt as each
// tool flags it, then saved and opened again.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/radiobut.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "app/tool_launch.h"
#include "controls/uc_numeric_text_box.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tests/tools/tool_program_test.h"
#include "tools/frm_t_backwards_builder.h"
#include "tools/frm_t_node_smoother.h"
#include "tools/frm_t_shuttle_maker.h"
#include "tools/frm_t_spine_changer.h"
#include "tools/frm_t_terrain_poly_reducer.h"
#include "tools/frm_t_tube_exchanger.h"
#include "tools/frm_t_tunneler.h"
#include "trackdoc/track_document.h"

namespace {

class TrackEditToolsInTheProgram : public ToolProgramTest {
protected:
    // Saved under a new name and opened again; the bytes of the first save.
    std::vector<uint8_t> SaveAndOpen(const std::string& name) {
        const std::string path = SaveAs(name);
        const std::vector<uint8_t> bytes = FileBytes(path);
        EXPECT_TRUE(frame->LoadFile(path));
        return bytes;
    }
    std::vector<TrackNode> Nodes() const { return {gNodes.begin(), gNodes.begin() + gNodeCount}; }
    static bool SameNodes(const std::vector<TrackNode>& a, const std::vector<TrackNode>& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (!SameBits(a[i].Position, b[i].Position) || !SameBits(a[i].ControlIn, b[i].ControlIn) ||
                !SameBits(a[i].ControlOut, b[i].ControlOut) || a[i].Roll != b[i].Roll)
                return false;
        return true;
    }
};

}  // namespace

TEST_F(TrackEditToolsInTheProgram, ShuttleThenBackwardsOnTheShuttleSample) {
    frmMain& f = Start("shuttle.vxtrack");
    ASSERT_FALSE(gClosedCircuit);
    const int n = gNodeCount;
    const std::vector<TrackNode> before = Nodes();
    busy.Stages.clear();
    WhenModal<frmTShuttleMaker>([](frmTShuttleMaker& d) { Press(*d.OkayButton()); });
    f.tbTool_ButtonClick(9);  // "Track: Shuttle Builder"
    ASSERT_EQ(gNodeCount, 2 * n);
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_TRUE(SameBits(gNodes[2 * n - 1].Position, before[0].Position));
    EXPECT_TRUE(SameBits(gNodes[n].ControlIn, before[n - 1].ControlOut));
    EXPECT_EQ(Count(busy.Stages, "Creating path matrix array"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating ground model"), 0);
    EXPECT_EQ(gSpineInfoSegmentCount, 2 * n);
    EXPECT_EQ(f.GetTitle().ToStdString(), "Gantrywright - shuttle.vxtrack*");

    busy.Stages.clear();
    const std::vector<TrackNode> circuit = Nodes();
    WhenModal<frmTBackwardsBuilder>([](frmTBackwardsBuilder& d) { Press(*d.OkayButton()); });
    Menu("mnuTBackwardsRebuilder");
    EXPECT_TRUE(SameBits(gNodes[0].Position, circuit[2 * n - 1].Position));
    EXPECT_EQ(gNodes[1].Roll, -circuit[2 * n - 2].Roll);
    EXPECT_EQ(gTrainCount, 1);
    EXPECT_EQ(Count(busy.Stages, "Creating track model"), 1);

    const std::vector<TrackNode> edited = Nodes();
    const std::vector<uint8_t> bytes = SaveAndOpen("backwards.vxtrack");
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_TRUE(SameNodes(Nodes(), edited));
    EXPECT_EQ(SaveAndOpen("again.vxtrack"), bytes);
}

TEST_F(TrackEditToolsInTheProgram, TunnelsTubesSmoothingAndSpinesOnTheCircuitSample) {
    frmMain& f = Start("circuit.vxtrack");
    ASSERT_GT(gTubeCount, 0);
    const int32_t fromType = gTubes[0].TubeType;
    busy.Stages.clear();
    WhenModal<frmTTunneler>([](frmTTunneler& d) { Press(*d.ActionButton(1)); });
    Menu("mnuTTunneler");
    for (int s = 0; s < gSegmentCount; ++s)
        EXPECT_EQ(gSegments[s].Tunnel, gSegments[s].SegmentType != SegmentStation) << s;
    EXPECT_EQ(Count(busy.Stages, "Creating tunnel models"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating path matrix array"), 0);

    WhenModal<frmTTubeExchanger>([fromType](frmTTubeExchanger& d) {
        for (int p = 0; p < 10; ++p)
            if (d.FromList()->GetString(p) == TubeTypeName(fromType)) d.FromList()->SetSelection(p);
        Press(*d.FromList());
        d.ToList()->SetSelection(d.FromList()->GetSelection() == 6 ? 5 : 6);
        Press(*d.ToList());
        Press(*d.OkayButton());
    });
    f.tbTool_ButtonClick(16);  // "Track: Tube Exchange"
    EXPECT_NE(gTubes[0].TubeType, fromType);

    const std::vector<TrackNode> before = Nodes();
    busy.Stages.clear();
    WhenModal<frmTNodeSmoother>([](frmTNodeSmoother& d) { Press(*d.OkayButton()); });
    Menu("mnuTNodeSmoother");
    EXPECT_FALSE(SameNodes(Nodes(), before)) << "the sample's curves are reshaped";
    EXPECT_EQ(Count(busy.Stages, "Creating path matrix array"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating footer models"), 0);

    // The Spine Changer has no visible entry: launched as its hidden one would be.
    busy.Stages.clear();
    WhenModal<frmTSpineChanger>([](frmTSpineChanger& d) {
        EXPECT_EQ(d.StyleOption(1)->GetLabel(), "Box");
        d.StyleOption(1)->SetValue(true);
        Press(*d.OkayButton());
    });
    ASSERT_TRUE(LaunchTool(ToolId::TSpineChanger, frame.get()));
    for (int s = 0; s < gSegmentCount; ++s) EXPECT_EQ(gSegments[s].SpineStyle, 4) << s;
    EXPECT_TRUE(busy.Stages.empty()) << "the Spine Changer asks for no rebuild";

    const std::vector<TrackNode> edited = Nodes();
    const int32_t tubeType = gTubes[0].TubeType;
    SaveAndOpen("smoothed.vxtrack");
    EXPECT_TRUE(SameNodes(Nodes(), edited));
    EXPECT_EQ(gTubes[0].TubeType, tubeType);
    EXPECT_EQ(gSegments[gSegmentCount - 1].SpineStyle, 4);
    EXPECT_TRUE(gSegments[gSegmentCount - 1].Tunnel || gSegments[gSegmentCount - 1].SegmentType == SegmentStation);
}

TEST_F(TrackEditToolsInTheProgram, TerrainPolyReducerOnTheLakesideSample) {
    Start("lakeside.vxtrack");
    ASSERT_TRUE(gHasTerrain);
    ASSERT_EQ(gTerrainWidth, 33);  // half of it is below the smallest size
    const float extent = float(gTerrainWidth) * gTerrainSpacingX;
    const float height30 = gTerrainHeights(30, 1), height31 = gTerrainHeights(31, 1);
    busy.Stages.clear();
    WhenModal<frmTTerrainPolyReducer>([](frmTTerrainPolyReducer& dialog) {
        EXPECT_EQ(dialog.NumericBox(0)->GetValue(), "16");
        EXPECT_FALSE(dialog.OkayButton()->IsEnabled());
        dialog.NumericBox(0)->SetValue("32");
        dialog.NumericBox(1)->SetValue("32");
        Press(*dialog.OkayButton());
        if (dialog.IsModal()) Press(*dialog.CancelButton());
    });
    Menu("mnuTTerrainPolyReducer");
    ASSERT_EQ(gTerrainWidth, 32);
    ASSERT_EQ(gTerrainDepth, 32);
    EXPECT_FLOAT_EQ(float(gTerrainWidth) * gTerrainSpacingX, extent);
    // Steps of 33 / 32 = 1.03125: 30.9 and 31.97 take the old points 30 and 31.
    EXPECT_EQ(gTerrainHeights(30, 1), height30);
    EXPECT_EQ(gTerrainHeights(31, 1), height31);
    EXPECT_EQ(Count(busy.Stages, "Creating ground model"), 1);

    const FloatBlock heights = gTerrainHeights.Values;
    const float spacing = gTerrainSpacingZ;
    SaveAndOpen("reduced.vxtrack");
    EXPECT_EQ(gTerrainWidth, 32);
    EXPECT_EQ(gTerrainSpacingZ, spacing);
    EXPECT_EQ(gTerrainHeights.Values, heights);
}
