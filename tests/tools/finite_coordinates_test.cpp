// No tool of the Track or Element menus leaves a coordinate that is not a
// finite number: where one would come out (points near the largest float
// scaled up or turned, a point already at "inf", a terrain spacing past the
// largest float), the tool says so and the document stays byte for byte as it
// was.

#include "tools/finite_coordinates.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "core/app_state.h"
#include "platform/file_system.h"
#include "tests/tools/tool_test_support.h"
#include "tools/element_transforms.h"
#include "tools/object_placer.h"
#include "tools/support_flanger.h"
#include "tools/terrain_poly_reducer.h"
#include "tools/track_move.h"
#include "tools/track_transforms.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_file.h"

namespace {

constexpr float kBig = 3e38f;
constexpr float kInf = std::numeric_limits<float>::infinity();

// A climbing two-node element with `change` made to it.
void Element(const std::function<void(std::vector<TrackNode>&)>& change) {
    std::vector<TrackNode> nodes = {Node({0, 0, 0}, {0, 0, 0}, {0, 0, -3}), Node({0, 5, -10}, {0, 4, -7}, {0, 6, -13})};
    change(nodes);
    MakeElement(nodes);
}

// The straight track of the tool tests, inside the scene.
void Track() { MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2); }

// The track with a terrain of w by d points at the largest float spacing.
void Terrain(int32_t w, int32_t d) {
    Track();
    gHasTerrain = true;
    gTerrainWidth = w, gTerrainDepth = d;
    gTerrainSpacingX = gTerrainSpacingZ = std::numeric_limits<float>::max();
    gTerrainHeights.Resize(w, d);
}

std::string SavedBytes() {
    const bool element = gDocumentType == DocumentElement;
    const std::string path = TestTempFile(element ? "saved.vxelem" : "saved.vxtrack");
    std::string bytes;
    EXPECT_TRUE((element ? SaveElementFile(path) : SaveTrackFile(path)) && fsys::ReadWholeFile(path, bytes));
    return bytes;
}

struct RefusalCase {
    const char* Name;
    const char* Action;
    std::function<void()> Make;
    std::function<bool()> Run;
};

}  // namespace

using FiniteCoordinatesTest = ToolTest;

TEST(FiniteCoordinatesCheck, EveryPartOfEveryRecordCounts) {
    EXPECT_TRUE(AllFinite(MakeVector(kBig, -kBig, 0)));
    EXPECT_FALSE(AllFinite(MakeVector(0, 0, kInf)));
    EXPECT_FALSE(AllFinite(MakeVector(std::nanf(""), 0, 0)));
    EXPECT_FALSE(AllFinite(Node({0, 0, 0}, {0, 0, 0}, {0, -kInf, 0})));
    SceneryObject object;
    object.Transform(2, 3) = kInf;
    EXPECT_FALSE(AllFinite(object));
    const std::vector<Vector3> points = {MakeVector(1, 2, 3), MakeVector(kInf, 0, 0)};
    EXPECT_TRUE(AllFinite(points, 1)) << "only the records in use";
    EXPECT_FALSE(AllFinite(points));
}

TEST_F(FiniteCoordinatesTest, AToolThatWouldLeaveNoNumberChangesNothingAndSaysSo) {
    const RefusalCase cases[] = {
        {"element scale", "scale", [] { Element([](auto& n) { n[1].ControlOut.Z = -kBig; }); },
         [] {
             ElementScaleOptions o;
             o.Percent[2] = 1000;
             return RunElementScale(o);
         }},
        {"element pitch", "pitch", [] { Element([](auto& n) { n[1].ControlOut = MakeVector(0, kBig, kBig); }); },
         [] { return RunElementPitch(45); }},
        {"element tilt", "tilt", [] { Element([](auto& n) { n[1].ControlOut = MakeVector(kBig, -kBig, 0); }); },
         [] { return RunElementTilt(45); }},
        {"element reverse", "reversal",
         [] { Element([](auto& n) { n[0].ControlOut.Z = kBig, n[1].Position.Z = -kBig; }); },
         [] { return RunElementReverse(); }},
        {"element skew", "skew", [] { Element([](auto& n) { n[1].ControlOut.Y = kBig; }); },
         [] {
             ElementSkewOptions o;
             o.RightLeft = 50;
             return RunElementSkew(o);
         }},
        {"track scale", "scale", [] { Track(), gFreeNodes[0].X = kBig; },
         [] {
             TrackScaleOptions o;
             o.Percent[0] = 1000;
             return RunTrackScale(o);
         }},
        {"track rotate", "rotation", [] { Track(), gFreeNodes[0] = MakeVector(kBig, 10, kBig); },
         [] {
             TrackRotateOptions o;
             o.ClockWise = false;
             return RunTrackRotate(o);
         }},
        {"track auto-center", "move",
         [] {
             // One node far east and no segment: the centring move takes a free
             // node far west past the largest float.
             Track();
             gNodeCount = 1, gSegmentCount = gRascGroupCount = 0;
             gNodes[0] = Node({kBig, 10, 0}, {kBig, 10, 0}, {kBig, 10, 0});
             gFreeNodes[0].X = -kBig;
         },
         [] {
             TrackMoveSession move;
             return move.Click(MoveAutoCenter, 10, TrackMoveOptions{}) == MoveResult::Applied;
         }},
        {"track mirror of a point at inf", "mirroring", [] { Track(), gFooters[1].Position.Z = kInf; },
         [] {
             TrackMirrorOptions o;
             o.MirrorZ = true;
             return RunTrackMirror(o);
         }},
        {"flanges of a tube ending at inf", "flanging",
         [] {
             Track();
             AddSupportBeam(0, AddFreeNode(MakeVector(kInf, 5, 0)), TubeMedium, 0.0f);
         },
         [] { return RunSupportFlanger(SupportFlangerOptions{}); }},
        {"terrain of 33 x 1 points at the largest spacing, reduced to 32", "reduction", [] { Terrain(33, 1); },
         [] { return RunTerrainPolyReducer(32, 32); }},
        {"terrain of 1 x 33 points at the largest spacing, reduced to 32", "reduction", [] { Terrain(1, 33); },
         [] { return RunTerrainPolyReducer(32, 32); }},
        {"objects on ground at inf", "placement",
         [] {
             Track();
             gHasTerrain = true;
             gTerrainWidth = gTerrainDepth = 3;
             gTerrainSpacingX = gTerrainSpacingZ = 220.0f;
             gTerrainHeights.Resize(3, 3);
             for (float& h : gTerrainHeights.Values) h = kInf;
         },
         [] {
             ObjectPlacerOptions o;
             o.FileName = "Trees\\oak.3ds";
             o.KeepAway = o.NoPlaceAbove = false;
             return RunObjectPlacer(o);
         }},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        prompts.Messages.clear();
        c.Make();
        const std::string before = SavedBytes();
        EXPECT_FALSE(c.Run());
        EXPECT_EQ(prompts.Messages.size(), 1u);
        for (const auto& message : prompts.Messages) {
            EXPECT_EQ(message.Title, "Notice!");
            EXPECT_EQ(message.Text, NotFiniteText(c.Action, gDocumentType == DocumentElement ? "element" : "track"));
        }
        EXPECT_TRUE(SavedBytes() == before) << "the document as it was";
        EXPECT_TRUE(FlagsClear());
        EXPECT_FALSE(gDocumentChanged);
    }
    EXPECT_EQ(NotFiniteText("skew", "element"),
              "Performing this skew would leave points of the element at coordinates that are not finite numbers.\r\n"
              "The skew has been aborted!");
}
