#include "tests/model/model_test_support.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rail_sweeps.h"
#include "model/rebuild_flags.h"
#include "trackdoc/element_document.h"

std::vector<std::string> RecordingBusyWindow::Texts() const {
    std::vector<std::string> texts;
    for (const std::string& e : Events)
        if (e.rfind("info:", 0) == 0) texts.push_back(e.substr(5));
    return texts;
}

void ModelTest::SetUp() {
    ClearTrackDocument();
    ClearElementDocument();
    ClearModelArrays();
    gModelSettings = ModelerSettings{};
    ClearRemodelFlags();
    gPathValid = gTrackModelValid = gSpineInfoValid = gPresetsLoaded = false;
    gDocumentType = DocumentNone;
    gModelOnLoad = 3;
    gAppPath = TestDataFolder();
    gColorTrackChecked = true;
    gColorSegmentChecked = false;
    gSupportDrawColor = gTunnelDrawColor = 0;
    SetPrompts(&prompts);
    SetBusyWindow(&busy);
    SetRenderSceneHandler(nullptr);
    SetModelerDialogHandler(nullptr);
}

void ModelTest::TearDown() {
    SetPrompts(nullptr);
    SetBusyWindow(nullptr);
    SetRenderSceneHandler(nullptr);
    SetModelerDialogHandler(nullptr);
}

std::string TestDataFolder() { return GW_TEST_DATA_DIR; }

std::string MakeTempFolder() {
    static std::atomic<int> counter{0};
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("gw_model_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) +
                                 "_" + (info ? info->name() : "x"));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

TrackNode Node(Vector3 position, Vector3 controlIn, Vector3 controlOut, float roll) {
    TrackNode n;
    n.Position = position;
    n.ControlIn = controlIn;
    n.ControlOut = controlOut;
    n.Roll = roll;
    return n;
}

void FinishTrackSegments() {
    gDocumentType = DocumentTrack;
    gSegments.assign(static_cast<size_t>(gSegmentCount) + 1, TrackSegment{});
    gRascGroupCount = gSegmentCount;
    gRascGroups.assign(static_cast<size_t>(gSegmentCount) + 1, RascGroup{});
}

void MakeStraightTrack(int segments, float length, bool closed, int style) {
    const int nodes = segments + 1;
    gNodeCount = nodes;
    gNodes.assign(static_cast<size_t>(nodes) + 1, TrackNode{});
    for (int i = 0; i < nodes; ++i) {
        const float z = -length * i;
        gNodes[i] = Node({0, 5, z}, {0, 5, z + length / 3.0f}, {0, 5, z - length / 3.0f});
    }
    gClosedCircuit = closed;
    gSegmentCount = segments;
    gTrackStyle = style;
    FinishTrackSegments();
}

void MakeCircleTrack(int segments, float radius, int style) {
    const double step = 2.0 * kPi / segments;
    const double k = 4.0 / 3.0 * std::tan(step / 4.0) * radius;
    gNodeCount = segments;
    gNodes.assign(static_cast<size_t>(segments) + 1, TrackNode{});
    for (int i = 0; i < segments; ++i) {
        const double a = step * i;
        const double px = radius * std::cos(a), pz = -radius * std::sin(a);
        const double tx = -std::sin(a), tz = -std::cos(a);  // direction of travel
        gNodes[i] = Node({float(px), 5, float(pz)}, {float(px - k * tx), 5, float(pz - k * tz)},
                         {float(px + k * tx), 5, float(pz + k * tz)});
    }
    gClosedCircuit = true;
    gSegmentCount = segments;
    gTrackStyle = style;
    FinishTrackSegments();
}

void MakeSyntheticPath(const std::vector<float>& lengths, float roll, bool closed) {
    const int n = static_cast<int>(lengths.size());
    gSpineInfoSegmentCount = n;
    gSpineInfoNodeCount = n + 1;
    gSpineInfoNodes.assign(static_cast<size_t>(n) + 2, TrackNode{});
    gSpineInfoSegments.assign(static_cast<size_t>(n) + 1, TrackSegment{});
    gSpineInfoClosed = closed;
    gPathMatrixArray.assign(static_cast<size_t>(std::max(n, 1)), PathSegmentFrames{});
    const Matrix4 rotation = MatrixRotateZ(roll);
    double start = 0.0;
    for (int s = 0; s < n; ++s) {
        PathSegmentFrames& rec = gPathMatrixArray[s];
        rec.FrameCount = kFramesPerSegment;
        rec.Frames.resize(kFramesPerSegment);
        rec.Length = lengths[s];
        for (int k = 0; k < kFramesPerSegment; ++k) {
            PathFrame& f = rec.Frames[k];
            f.Distance = k == kFramesPerSegment - 1 ? lengths[s] : static_cast<float>(k * double(lengths[s]) / 999.0);
            f.Frame = MatrixSetTranslation(rotation, Vector3{0, 0, static_cast<float>(-(start + f.Distance))});
        }
        start += lengths[s];
    }
    gPathValid = true;
}

void SetTieTriangle(int slot, float y) {
    TieModel& tie = gModelSettings.gTieModels[slot];
    tie.Use = true;
    tie.Triangles = {TieTriangle{{-0.1f, y, 0.0f}, {0.1f, y, 0.0f}, {0.0f, y, -0.1f}}, TieTriangle{}};
    tie.TriangleCount = 1;
}

int SweepRingCount(float length, float detail) {
    const int n = SweepStepCount(length, detail);
    const float s = static_cast<float>(double(length) / n);
    const float end = static_cast<float>(double(length) + s);
    int rings = 0;
    for (float d = 0.0f; d <= end; d = static_cast<float>(double(d) + s)) ++rings;
    return rings;
}

int SweepStripCount(float length, float detail, bool lastOfOpenTrack) {
    const int n = SweepStepCount(length, detail);
    const float s = static_cast<float>(double(length) / n);
    const float end = static_cast<float>(double(length) + s);
    int within = 0, beyond = 0;
    for (float d = 0.0f; d <= end; d = static_cast<float>(double(d) + s)) ++(d <= length ? within : beyond);
    return within - 1 + (lastOfOpenTrack ? 0 : std::min(beyond, 1));
}

int TieCount(float length, float spacing) {
    const double n = std::nearbyint(static_cast<float>(double(length) / spacing));
    return n < 1.0 ? 1 : static_cast<int>(n);
}
