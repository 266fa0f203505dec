// A track built by the model builder, drawn and picked: the colours by segment
// kind, the selection highlight, picking each segment, and frames drawn while
// the build is still running.
#include <GL/gl.h>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/busy_window.h"
#include "model/model_coloring.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/scene_render.h"
#include "model/render/segment_picking.h"
#include "render_test_support.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace rendertest {
namespace {

// Draws a frame at every step of the build, as the busy window's event
// delivery may.
class DrawingBusyWindow final : public BuildProgress {
public:
    int Frames = 0;
    void Show() override {}
    void UpdateInfo(const std::string&) override {}
    void UpdateMarker() override {
        RenderScene();
        ++Frames;
    }
    void ForceUnload() override {}
};

constexpr int kSegments = 4;
const int32_t kTypes[kSegments] = {SegmentNormal, SegmentStation, SegmentLift, SegmentBrake};
const Rgb kRailColours[kSegments] = {{0, 128, 255}, {255, 128, 0}, {0, 255, 0}, {255, 0, 0}};

class GeneratedTrackTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        // Four straight segments of 10 m along -Z at a height of 5 m.
        gNodeCount = kSegments + 1;
        gNodes.assign(kSegments + 2, TrackNode{});
        for (int i = 0; i <= kSegments; ++i) {
            const float z = -10.0f * i;
            gNodes[i].Position = MakeVector(0, 5, z);
            gNodes[i].ControlIn = MakeVector(0, 5, z + 10.0f / 3);
            gNodes[i].ControlOut = MakeVector(0, 5, z - 10.0f / 3);
        }
        gSegmentCount = kSegments;
        gSegments.assign(kSegments + 1, TrackSegment{});
        for (int i = 0; i < kSegments; ++i) gSegments[i].SegmentType = kTypes[i];
        gRascGroupCount = kSegments;
        gRascGroups.assign(kSegments + 1, RascGroup{});
        gTrackStyle = StyleSteelLooping;
        gDocumentType = DocumentTrack;
        gAppPath = GW_TEST_DATA_DIR;
        gModelOnLoad = 3;
        gColorTrackChecked = false;
        gColorSegmentChecked = true;
        ClearSegmentSelection();
        SetBusyWindow(&busy_);
        RemodelTrack(true);
        SetBusyWindow(nullptr);
        // Straight down onto the track from 30 m above it.
        SetCamera(MakeVector(0, 35, -20), MakeVector(-90, 0, 0), MakeVector(-1e3f, -1e3f, -1e3f), MakeVector(1e3f, 1e3f, 1e3f));
        gViewSwitches = ViewSwitches{false, false, false, false, false, true, false, false, false};
        glDisable(GL_LIGHTING);
    }
    void TearDown() override {
        gColorTrackChecked = true;
        gColorSegmentChecked = false;
        RenderFixture::TearDown();
    }

    DrawingBusyWindow busy_;
};

TEST_F(GeneratedTrackTest, BuiltWhileFramesWereDrawn) {
    ASSERT_TRUE(gTrackModelValid);
    EXPECT_GT(busy_.Frames, 0);
    EXPECT_FALSE(IsModelBuilding());
}

TEST_F(GeneratedTrackTest, RailsShowTheColoursOfTheirSegmentKinds) {
    Frame f = Render();
    for (int i = 0; i < kSegments; ++i) {
        int x = 0, y = 0;
        Project(MakeVector(0, 5, -5.0f - 10 * i), x, y);
        EXPECT_TRUE(f.HasNear(x, y, kRailColours[i], 8)) << "segment " << i;
    }
    // The same frame from the lists and sent face by face.
    glEnable(GL_LIGHTING);
    const Frame lists = Render();
    SetMeshSubmission(MeshSubmission::Immediate);
    const Frame immediate = Render();
    EXPECT_TRUE(lists.Bytes == immediate.Bytes);
}

TEST_F(GeneratedTrackTest, ClicksPickTheSegmentUnderThem) {
    Render();
    for (int i = 0; i < kSegments; ++i) {
        int x = 0, y = 0;
        Project(MakeVector(0, 5, -5.0f - 10 * i), x, y);
        EXPECT_EQ(PickSegment(x, y), i);
    }
    int x = 0, y = 0;
    Project(MakeVector(15, 5, -20), x, y);
    EXPECT_EQ(PickSegment(x, y), -1);
}

TEST_F(GeneratedTrackTest, ASelectedSegmentIsHighlighted) {
    int x = 0, y = 0;
    Render();
    Project(MakeVector(0, 5, -25), x, y);
    const int picked = PickSegment(x, y);
    ASSERT_EQ(picked, 2);
    gSegmentSelected[picked] = !gSegmentSelected[picked];
    Frame f = Render();
    EXPECT_TRUE(f.HasNear(x, y, Rgb{255, 128, 196}, 8));
    EXPECT_FALSE(f.HasNear(x, y, kRailColours[2], 8));
    Project(MakeVector(0, 5, -15), x, y);
    EXPECT_TRUE(f.HasNear(x, y, kRailColours[1], 8));
}

TEST_F(GeneratedTrackTest, AnEditRebuildsTheListsDrawn) {
    Render();
    // A recolouring by the document's colours changes no geometry.
    gRailColor = 0x00FFFF;  // yellow
    ClearRemodelFlags();
    gRemodelFlags.Recolor = true;
    gColorTrackChecked = true;
    gColorSegmentChecked = false;
    RemodelChangedParts();
    Frame f = Render();
    int x = 0, y = 0;
    Project(MakeVector(0, 5, -5), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{255, 255, 0}, 8));
    // A move of the nodes rebuilds the track: the frame shows it moved.
    for (int i = 0; i <= kSegments; ++i)
        for (Vector3* v : {&gNodes[i].Position, &gNodes[i].ControlIn, &gNodes[i].ControlOut}) v->X += 8.0f;
    SetRemodelFlagsKeepGround();
    RemodelChangedParts();
    f = Render();
    EXPECT_FALSE(f.HasNear(x, y, Rgb{255, 255, 0}, 8));
    Project(MakeVector(8, 5, -5), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{255, 255, 0}, 8));
}

}  // namespace
}  // namespace rendertest
