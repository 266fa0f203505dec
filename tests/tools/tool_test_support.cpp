#include "tests/tools/tool_test_support.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/busy_window.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "core/document_changed.h"
#include "trackdoc/element_document.h"

void ToolTest::SetUp() {
    ClearTrackDocument();
    ClearElementDocument();
    ClearModelArrays();
    ClearPathFrames();
    gModelSettings = ModelerSettings{};
    ClearRemodelFlags();
    gPathValid = gTrackModelValid = gSpineInfoValid = gPresetsLoaded = false;
    gDocumentType = DocumentNone;
    gDocumentChanged = false;
    gModelOnLoad = 1;
    gAppPath = GW_TEST_DATA_DIR;
    gColorTrackChecked = true;
    SetPrompts(&prompts);
    SetBusyWindow(nullptr);
    SetDocumentChangedObserver(nullptr);
    SetRenderSceneHandler([this] { ++redraws; });
}

namespace {

std::filesystem::path TestTempFolder() {
    return std::filesystem::temp_directory_path() / ("gw-tool-tests-" + std::to_string(::getpid()));
}

}  // namespace

void ToolTest::TearDown() {
    SetPrompts(nullptr);
    SetRenderSceneHandler(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(TestTempFolder(), ec);
}

TrackNode Node(Vector3 position, Vector3 controlIn, Vector3 controlOut, float roll) {
    TrackNode n;
    n.Position = position;
    n.ControlIn = controlIn;
    n.ControlOut = controlOut;
    n.Roll = roll;
    return n;
}

void MakeLineTrack(Vector3 start, Vector3 step, int segments, bool closed) {
    const int nodes = closed ? segments : segments + 1;
    gNodeCount = nodes;
    gNodes.assign(static_cast<size_t>(nodes) + 1, TrackNode{});
    const Vector3 third = MakeVector(step.X / 3.0f, step.Y / 3.0f, step.Z / 3.0f);
    for (int i = 0; i < nodes; ++i) {
        const Vector3 p = MakeVector(start.X + step.X * float(i), start.Y + step.Y * float(i),
                                     start.Z + step.Z * float(i));
        gNodes[i] = Node(p, VectorFromTo(third, p), VectorAdd(p, third), 0.1f * float(i));
    }
    gClosedCircuit = closed;
    gSegmentCount = segments;
    gSegments.assign(static_cast<size_t>(segments) + 1, TrackSegment{});
    gRascGroupCount = segments;
    gRascGroups.assign(static_cast<size_t>(segments) + 1, RascGroup{});
    gFreeNodeCount = 2;
    gFreeNodes = {MakeVector(start.X + 3.0f, start.Y, start.Z), MakeVector(start.X - 3.0f, start.Y + 1.0f, start.Z),
                  Vector3{}};
    gFooterCount = 2;
    gFooters.assign(3, TrackFooter{});
    gFooters[0].Position = MakeVector(start.X + 3.0f, 0.0f, start.Z);
    gFooters[1].Position = MakeVector(start.X - 3.0f, 2.0f, start.Z + 1.0f);
    gDocumentType = DocumentTrack;
}

void MakeElement(const std::vector<TrackNode>& nodes) {
    gElementNodeCount = static_cast<int32_t>(nodes.size());
    gElementNodes = nodes;
    gElementNodes.push_back(TrackNode{});
    gDocumentType = DocumentElement;
}

float HighestPathPoint() {
    float highest = -1e9f;
    for (int32_t s = 0; s < gSpineInfoSegmentCount; ++s)
        for (const PathFrame& f : gPathMatrixArray[s].Frames) highest = std::max(highest, f.Frame(1, 3));
    return highest;
}

::testing::AssertionResult Near(const Vector3& a, const Vector3& b, float tolerance) {
    if (std::fabs(a.X - b.X) <= tolerance && std::fabs(a.Y - b.Y) <= tolerance && std::fabs(a.Z - b.Z) <= tolerance)
        return ::testing::AssertionSuccess();
    std::ostringstream s;
    s << "(" << a.X << ", " << a.Y << ", " << a.Z << ") vs (" << b.X << ", " << b.Y << ", " << b.Z << ")";
    return ::testing::AssertionFailure() << s.str();
}

bool Same(const Vector3& a, const Vector3& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

bool FlagsClear() {
    const RemodelFlags& f = gRemodelFlags;
    return !f.RebuildPath && !f.RebuildTrack && !f.RebuildTubes && !f.RebuildFooters && !f.RebuildGround &&
           !f.Recolor && !f.RebuildTunnels && !f.RebuildPrefabs;
}

std::string TestTempFile(const std::string& name) {
    const std::filesystem::path folder = TestTempFolder();
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}
