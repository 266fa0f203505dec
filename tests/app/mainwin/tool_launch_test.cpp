// The launch rules of the tool dialogs, tried with stand-in dialogs, and the
// tables of the launcher menus and the tool bars.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "core/document_changed.h"
#include "app/main_menus.h"
#include "app/tool_launch.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/rebuild_flags.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class ToolLaunchTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetRenderSceneHandler([this] { ++renders; });
    }
    void LoadCircuit() {
        ASSERT_TRUE(LoadFile(SamplesFolder() + "circuit.vxtrack", view));
        renders = 0;
        busy = CountingBusyWindow{};
    }
    int renders = 0;
};

}  // namespace

TEST_F(ToolLaunchTest, AToolWithoutADialogDoesNothing) {
    EXPECT_FALSE(IsToolAvailable(ToolId::TScale));
    gRemodelFlags.RebuildTrack = true;
    EXPECT_FALSE(LaunchTool(ToolId::TScale, nullptr));
    EXPECT_TRUE(gRemodelFlags.RebuildTrack) << "flags untouched";
    EXPECT_EQ(busy.Shows, 0);
    EXPECT_EQ(renders, 0);
}

TEST_F(ToolLaunchTest, RebuildingToolClearsTheFlagsShowsAndRebuildsWhatItFlagged) {
    LoadCircuit();
    const Vector3 centreBefore = gTrackModel[0].Centre;
    SetAllRemodelFlags();  // stale flags of an earlier edit
    int shown = 0;
    void* ownerSeen = nullptr;
    RegisterToolDialog(ToolId::TMove, nullptr);
    RegisterToolDialog(ToolId::TScale, [&](void* owner) {
        ++shown;
        ownerSeen = owner;
        EXPECT_FALSE(gRemodelFlags.RebuildPath || gRemodelFlags.RebuildTrack || gRemodelFlags.RebuildTubes ||
                     gRemodelFlags.RebuildFooters || gRemodelFlags.RebuildGround || gRemodelFlags.Recolor ||
                     gRemodelFlags.RebuildTunnels || gRemodelFlags.RebuildPrefabs)
            << "the flags are cleared before the dialog shows";
        EXPECT_EQ(busy.Shows, 0) << "nothing is rebuilt while the modal dialog is open";
        // The tool's OK: lift every node by 2 m and flag the path and the track.
        for (int32_t i = 0; i < gNodeCount; ++i) {
            TrackNode& n = gNodes[static_cast<size_t>(i)];
            n.Position.Y += 2.0f;
            n.ControlIn.Y += 2.0f;
            n.ControlOut.Y += 2.0f;
        }
        gRemodelFlags.RebuildPath = true;
        gRemodelFlags.RebuildTrack = true;
        SetDocumentChanged();
    });
    int owner = 0;
    EXPECT_TRUE(IsToolAvailable(ToolId::TScale));
    EXPECT_FALSE(IsToolAvailable(ToolId::TMove));
    EXPECT_TRUE(LaunchTool(ToolId::TScale, &owner));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ownerSeen, &owner);
    EXPECT_EQ(busy.Shows, 1);
    EXPECT_NE(std::find(busy.Stages.begin(), busy.Stages.end(), "Creating track model"), busy.Stages.end());
    EXPECT_EQ(std::find(busy.Stages.begin(), busy.Stages.end(), "Creating ground model"), busy.Stages.end())
        << "only the flagged parts";
    EXPECT_EQ(renders, 1);
    EXPECT_FLOAT_EQ(gTrackModel[0].Centre.Y, centreBefore.Y + 2.0f);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(ToolLaunchTest, ACancelledToolOnlyRedraws) {
    LoadCircuit();
    RegisterToolDialog(ToolId::TRotate, [](void*) {});
    EXPECT_TRUE(LaunchTool(ToolId::TRotate, nullptr));
    EXPECT_EQ(renders, 1);
    EXPECT_TRUE(busy.Stages.empty()) << "no part rebuilt";
    EXPECT_EQ(busy.Shows, busy.Unloads);
}

TEST_F(ToolLaunchTest, ReportsAndRenamersRebuildNothing) {
    LoadCircuit();
    for (ToolId id : {ToolId::TOverview, ToolId::TObjectRenamer, ToolId::TObjectPlacer, ToolId::EOverview,
                      ToolId::VXOverview, ToolId::VXFixLocation, ToolId::VXFileAssociation,
                      ToolId::VXEnvironmentEditor, ToolId::VXEnvironmentOrganizer, ToolId::SaveModelAs,
                      ToolId::Settings, ToolId::About}) {
        int shown = 0;
        gRemodelFlags.RebuildGround = true;
        RegisterToolDialog(id, [&](void*) {
            ++shown;
            EXPECT_TRUE(gRemodelFlags.RebuildGround) << "flags are not cleared for " << GetToolInfo(id).DialogName;
        });
        EXPECT_TRUE(LaunchTool(id, nullptr));
        EXPECT_EQ(shown, 1) << GetToolInfo(id).DialogName;
    }
    EXPECT_EQ(busy.Shows, 0);
    EXPECT_EQ(renders, 0);
}

TEST_F(ToolLaunchTest, MoveRebuildsAtOnceWhileItsWindowStaysOpen) {
    LoadCircuit();
    bool open = false;
    RegisterToolDialog(ToolId::TMove, [&](void*) {
        open = true;  // shown modeless: returns at once
        EXPECT_EQ(busy.Shows, 0);
    });
    EXPECT_TRUE(LaunchTool(ToolId::TMove, nullptr));
    EXPECT_TRUE(open);
    EXPECT_EQ(busy.Shows, 1) << "rebuilt at once";
    EXPECT_EQ(renders, 1);
    // A later move made in the open window rebuilds through the dialog itself.
    gRemodelFlags.RebuildPath = true;
    RemodelChangedParts();
    EXPECT_EQ(renders, 2);
}

TEST_F(ToolLaunchTest, ModelerRuleAndTheModelBuildOnOpen) {
    EXPECT_EQ(GetToolInfo(ToolId::CreateModel).Rule, LaunchRule::ShowThenRebuild);
    EXPECT_EQ(GetToolInfo(ToolId::TMove).Rule, LaunchRule::ShowAndRebuildNow);
    EXPECT_EQ(GetToolInfo(ToolId::TSpineChanger).Rule, LaunchRule::ShowThenRebuild);
    for (ToolId id : {ToolId::TOverview, ToolId::TObjectRenamer, ToolId::TObjectPlacer, ToolId::EOverview,
                      ToolId::SaveModelAs, ToolId::Settings, ToolId::About, ToolId::VXOverview})
        EXPECT_EQ(GetToolInfo(id).Rule, LaunchRule::Show) << GetToolInfo(id).DialogName;
    EXPECT_STREQ(GetToolInfo(ToolId::TShuttleBuilder).DialogName, "frmTShuttleMaker");
    EXPECT_STREQ(GetToolInfo(ToolId::TTubeExchange).MenuName, "mnuTTubeExhange");
    EXPECT_STREQ(GetToolInfo(ToolId::VXEnvironmentEditor).DialogName, "frmVXEnvEditor");
}

TEST_F(ToolLaunchTest, NoToolStartsWhileTheModelIsBeingBuilt) {
    int secondShown = 0;
    bool refused = false;
    RegisterToolDialog(ToolId::TMirror, [&](void*) { ++secondShown; });
    // An event delivered by the busy window in the middle of the build.
    bool tried = false;
    busy.OnMarker = [&] {
        if (!IsModelBuilding() || tried) return;
        tried = true;
        refused = !LaunchTool(ToolId::TMirror, nullptr);
    };
    ASSERT_TRUE(LoadFile(SamplesFolder() + "circuit.vxtrack", view));
    EXPECT_TRUE(refused);
    EXPECT_EQ(secondShown, 0);
    EXPECT_FALSE(IsModelBuilding());
    EXPECT_TRUE(LaunchTool(ToolId::TMirror, nullptr)) << "after the build it runs";
    EXPECT_EQ(secondShown, 1);
}

TEST(ToolBars, ToolButtonsByDocumentKind) {
    EXPECT_EQ(ToolOfToolBarButton(1, 0), ToolId::TOverview);
    EXPECT_EQ(ToolOfToolBarButton(1, 4), ToolId::TMove);
    EXPECT_EQ(ToolOfToolBarButton(1, 9), ToolId::TShuttleBuilder);
    EXPECT_EQ(ToolOfToolBarButton(1, 16), ToolId::TTubeExchange);
    EXPECT_EQ(ToolOfToolBarButton(1, 18), ToolId::TNodeSmoother);
    EXPECT_EQ(ToolOfToolBarButton(1, 19), std::nullopt) << "Spine Changer has no button";
    EXPECT_EQ(ToolOfToolBarButton(1, -1), std::nullopt);
    EXPECT_EQ(ToolOfToolBarButton(2, 0), ToolId::EOverview);
    EXPECT_EQ(ToolOfToolBarButton(2, 5), ToolId::ESkew);
    EXPECT_EQ(ToolOfToolBarButton(2, 6), std::nullopt) << "button 6 of an element does nothing";
    EXPECT_EQ(ToolOfToolBarButton(0, 0), std::nullopt);
}

TEST(ToolBars, MainToolBar) {
    const std::vector<ToolBarEntry>& bar = MainToolBarEntries();
    ASSERT_EQ(bar.size(), 9u);
    const char* tips[] = {"Open File...",       "Save File",          "Save File As...",
                          "Create Model...",    "Settings...",        "Help Contents...",
                          "Vortaxis: Overview", "Vortaxis: Fix Location", "Vortaxis: File Association"};
    const int separators[] = {1, 0, 1, 1, 0, 2, 1, 0, 0};
    for (size_t i = 0; i < bar.size(); ++i) {
        EXPECT_STREQ(bar[i].ToolTip, tips[i]);
        EXPECT_EQ(bar[i].SeparatorsAfter, separators[i]) << i;
    }
    EXPECT_EQ(bar[0].Command, MainCommand::Open);
    EXPECT_EQ(bar[1].Command, MainCommand::Save);
    EXPECT_EQ(bar[2].Command, MainCommand::SaveAs);
    EXPECT_EQ(bar[3].Tool, ToolId::CreateModel);
    EXPECT_EQ(bar[4].Tool, ToolId::Settings);
    EXPECT_EQ(bar[5].Command, MainCommand::HelpContents);
    EXPECT_EQ(bar[6].Tool, ToolId::VXOverview);
    EXPECT_EQ(bar[6].Picture, ToolPicture::TrackOverview) << "the overview shares the track overview's picture";
    EXPECT_EQ(bar[7].Tool, ToolId::VXFixLocation);
    EXPECT_EQ(bar[8].Tool, ToolId::VXFileAssociation);
    EXPECT_FALSE(MainToolBarButton(9).has_value());
    EXPECT_FALSE(MainToolBarButton(-1).has_value());
}

TEST(ToolBars, ToolToolBars) {
    const std::vector<ToolBarEntry>& track = ToolToolBarEntries(1);
    ASSERT_EQ(track.size(), 19u);
    const std::set<size_t> trackSeparators = {0, 2, 3, 7, 8, 10, 12, 16, 17};
    for (size_t i = 0; i < track.size(); ++i) {
        EXPECT_EQ(track[i].SeparatorsAfter, trackSeparators.count(i) ? 1 : 0) << i;
        EXPECT_EQ(track[i].Tool, ToolOfToolBarButton(1, static_cast<int>(i)));
        EXPECT_EQ(std::string(track[i].ToolTip).rfind("Track: ", 0), 0u);
    }
    EXPECT_STREQ(track[9].ToolTip, "Track: Shuttle Builder");
    EXPECT_STREQ(track[10].ToolTip, "Track: Backwards Rebuilder");
    EXPECT_STREQ(track[16].ToolTip, "Track: Tube Exchange");
    EXPECT_STREQ(track[17].ToolTip, "Track: Terrain Poly Reducer");
    const std::vector<ToolBarEntry>& element = ToolToolBarEntries(2);
    ASSERT_EQ(element.size(), 6u);
    const char* tips[] = {"Element: Overview", "Element: Reverse", "Element: Scale",
                          "Element: Pitch",    "Element: Tilt",    "Element: Skew"};
    for (size_t i = 0; i < element.size(); ++i) {
        EXPECT_STREQ(element[i].ToolTip, tips[i]);
        EXPECT_EQ(element[i].SeparatorsAfter, i == 0 ? 1 : 0);
    }
    EXPECT_TRUE(ToolToolBarEntries(0).empty());
}

namespace {

std::string Captions(const std::vector<MenuEntry>& entries) {
    std::string s;
    for (const MenuEntry& e : entries) {
        if (!s.empty()) s += ",";
        s += e.Action == MenuAction::Separator ? "-" : e.Caption;
        if (e.Action == MenuAction::Submenu) s += "[" + Captions(e.Children) + "]";
    }
    return s;
}

}  // namespace

TEST(LauncherMenus, CaptionsInOrder) {
    const std::vector<MenuSpec>& menus = LauncherMenus();
    ASSERT_EQ(menus.size(), 6u);
    std::map<std::string, std::string> byCaption;
    for (const MenuSpec& m : menus) byCaption[m.Caption] = Captions(m.Entries);
    EXPECT_EQ(byCaption["&Track"],
              "Overview,-,Power Tweaker,Colorizer,-,Remove Data,-,Move,Scale,Rotate,Mirror,-,Tunneler,-,"
              "Shuttle Builder,Backwards Rebuilder,-,Object Renamer,Object Placer,-,Support Flanger,"
              "Support Optimizer,Support Wizard,Tube Exchange,-,Terrain Poly Reducer,-,Node Smoother,-,Spine Changer");
    EXPECT_EQ(byCaption["&Element"], "Overview,-,Reverse,Scale,Pitch,Tilt,Skew");
    EXPECT_EQ(byCaption["&Vortaxis"], "Overview,-,Fix Location,File Association,-,Environment Editor,Environment Organizer");
    EXPECT_EQ(byCaption["&Modeler"], "Create Model...,-,Save Model As...");
    EXPECT_EQ(byCaption["&Settings"], "Settings...");
    EXPECT_EQ(byCaption["&Help"],
              "Contents...,On The Web[Brightquay,-,Vortaxis Purchasing Site,Vortaxis Developer Site,-,ThrillForum],-,"
              "About...");
    EXPECT_STREQ(menus[0].Name, "mnuTrack");
    EXPECT_STREQ(menus[5].Name, "mnuHelp");
}

TEST(LauncherMenus, EveryShownToolHasOneEntryNamedAfterIt) {
    std::map<ToolId, int> seen;
    std::function<void(const std::vector<MenuEntry>&)> walk = [&](const std::vector<MenuEntry>& entries) {
        for (const MenuEntry& e : entries) {
            if (e.Action == MenuAction::Tool) {
                ++seen[e.Tool];
                EXPECT_STREQ(e.Name, GetToolInfo(e.Tool).MenuName);
            }
            if (e.Action == MenuAction::Submenu) walk(e.Children);
            if (e.Action == MenuAction::WebPage) {
                EXPECT_EQ(std::string(e.Target).rfind("https://", 0), 0u);
            }
        }
    };
    for (const MenuSpec& m : LauncherMenus()) walk(m.Entries);
    for (int i = 0; i < kToolCount; ++i) {
        const auto id = static_cast<ToolId>(i);
        EXPECT_EQ(seen[id], 1) << GetToolInfo(id).MenuName;
        EXPECT_EQ(static_cast<int>(GetToolInfo(id).Id), i);
    }
}

TEST(LauncherMenus, FileNamesKeepTheirAmpersands) {
    EXPECT_EQ(EscapeMenuCaption("R&D & Co.vxtrack"), "R&&D && Co.vxtrack");
    EXPECT_EQ(EscapeMenuCaption("plain.vxtrack"), "plain.vxtrack");
}
