#include "samples/sample_tracks.h"

#include <cmath>

#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

constexpr int32_t RGB(int32_t r, int32_t g, int32_t b) { return r + 256 * g + 65536 * b; }

struct NodeSpec {
    float x, y, z, roll;
    // A level node whose track runs along this direction (x, z) through it,
    // for stations and the straights around them; (0, 0) for a free node.
    float dirX = 0.0f, dirZ = 0.0f;
};

// Bezier nodes through the points with Catmull-Rom tangents: each control
// point lies a sixth of the chord between the neighbours away from its node
// (an open end mirrors its neighbour, giving a third of the first chord).
std::vector<TrackNode> SmoothNodes(const std::vector<NodeSpec>& specs, bool closed) {
    const int n = static_cast<int>(specs.size());
    auto point = [&](int i) { return MakeVector(specs[i].x, specs[i].y, specs[i].z); };
    auto around = [&](int i) -> Vector3 {
        if (closed) return point((i + n) % n);
        if (i < 0) return VectorFromTo(VectorFromTo(point(0), point(1)), point(0));  // 2 p0 - p1
        if (i >= n) return VectorFromTo(VectorFromTo(point(n - 1), point(n - 2)), point(n - 1));
        return point(i);
    };
    std::vector<TrackNode> nodes(static_cast<size_t>(n) + 1);
    for (int i = 0; i < n; ++i) {
        const Vector3 p = point(i);
        const Vector3 prev = around(i - 1), next = around(i + 1);
        Vector3 t = MakeVector((next.X - prev.X) / 6.0f, (next.Y - prev.Y) / 6.0f, (next.Z - prev.Z) / 6.0f);
        const float dirLength = std::sqrt(specs[i].dirX * specs[i].dirX + specs[i].dirZ * specs[i].dirZ);
        if (dirLength > 0.0f) {
            const float length = std::sqrt(t.X * t.X + t.Y * t.Y + t.Z * t.Z);
            t = MakeVector(specs[i].dirX / dirLength * length, 0.0f, specs[i].dirZ / dirLength * length);
        }
        TrackNode& node = nodes[static_cast<size_t>(i)];
        node.Position = p;
        node.ControlIn = MakeVector(p.X - t.X, p.Y - t.Y, p.Z - t.Z);
        node.ControlOut = MakeVector(p.X + t.X, p.Y + t.Y, p.Z + t.Z);
        node.Roll = specs[i].roll;
        node.RollEasing = specs[i].roll != 0.0f;
    }
    return nodes;
}

void StartTrack(int32_t style, const char* info) {
    ClearTrackDocument();
    gTrackStyle = style;
    gTrainCount = 1;
    gTrains.assign(2, TrainEntry{});
    gTrains[0].Flag = true;
    gTrains[0].Color1 = RGB(200, 30, 40);
    gTrains[0].Color2 = RGB(240, 240, 240);
    gTrains[0].Color3 = RGB(30, 30, 30);
    gTrains[0].Color4 = RGB(200, 160, 20);
    gTrains[0].Name = "Train 1";
    gCarsPerTrain = 5;
    gRunMode = 0;
    gSpineColor = RGB(32, 84, 180);
    gRailColor = RGB(235, 120, 30);
    gTieColor = RGB(90, 90, 100);
    gTrackSupportColor = RGB(225, 225, 215);
    gTrackInfo = info;
}

void SetNodes(const std::vector<NodeSpec>& specs, bool closed) {
    gNodes = SmoothNodes(specs, closed);
    gNodeCount = static_cast<int32_t>(specs.size());
    gClosedCircuit = closed;
    gSegmentCount = closed ? gNodeCount : gNodeCount - 1;
    gSegments.assign(static_cast<size_t>(gSegmentCount) + 1, TrackSegment{});
    gRascGroupCount = gSegmentCount;
    gRascGroups.assign(static_cast<size_t>(gSegmentCount) + 1, RascGroup{});
}

TrackSegment& Segment(int i) { return gSegments[static_cast<size_t>(i)]; }

void Station(int i) {
    TrackSegment& s = Segment(i);
    s.SegmentType = SegmentStation;
    s.Station.WaitTime[0] = 20.0f;
    s.Station.WaitTime[1] = 10.0f;
    s.Station.WaitTime[2] = 35.0f;
    s.Station.WaitTime[3] = 5.0f;
    s.Station.MainBrakeDecel = 6.0f;
    s.Station.Entrance = 1;
    s.Station.Wheels = true;
    s.Station.WheelSpeed = 2.5f;
    s.Station.WheelAccel = 1.0f;
    s.Station.WheelDecel = 1.0f;
}

void Lift(int i) {
    TrackSegment& s = Segment(i);
    s.SegmentType = SegmentLift;
    s.Lift.MotorSpeed = 3.5f;
    s.Lift.MotorAccel = 1.0f;
    s.Lift.MotorDecel = 1.0f;
    s.Lift.LiftStyle = 0;
    s.Lift.LeftRailing = true;
    s.Lift.RightRailing = true;
}

void Launch(int i) {
    TrackSegment& s = Segment(i);
    s.SegmentType = SegmentTransport;
    s.Transport.MotorSpeed = 27.0f;
    s.Transport.MotorAccel = 9.0f;
    s.Transport.MotorDecel = 9.0f;
    s.Transport.TransportStyle = 1;
}

void Brake(int i) {
    TrackSegment& s = Segment(i);
    s.SegmentType = SegmentBrake;
    s.Brake.BlockSegment = true;
    s.Brake.CompleteStop = false;
    s.Brake.BrakeSpeedLimit = 4.0f;
    s.Brake.BrakeDecel = 5.0f;
    s.Brake.BrakeHysteresis = 0.5f;
    s.Brake.Wheels = true;
    s.Brake.WheelSpeed = 3.0f;
    s.Brake.WheelAccel = 1.0f;
    s.Brake.WheelDecel = 1.0f;
}

void PrefabSupports(int segment, std::initializer_list<float> positions, int32_t style = PrefabSimple) {
    RascGroup& g = gRascGroups[static_cast<size_t>(segment)];
    g.ItemCount = static_cast<int32_t>(positions.size());
    g.Items.assign(positions.size() + 1, RascItem{});
    size_t k = 0;
    for (float p : positions) g.Items[k++] = RascItem{style, p};
}

// An A-frame under a point of the track: a free node just below the track and
// two footers on the floor either side, joined by two tubes.
struct AFrames {
    std::vector<TrackFooter> Footers;
    std::vector<Vector3> FreeNodes;
    std::vector<SupportTube> Tubes;

    void Add(float x, float topY, float z, float spreadX, float spreadZ) {
        const int32_t top = static_cast<int32_t>(FreeNodes.size());
        FreeNodes.push_back(MakeVector(x, topY, z));
        for (float side : {-1.0f, 1.0f}) {
            const int32_t footer = static_cast<int32_t>(Footers.size());
            TrackFooter f;
            f.Position = MakeVector(x + side * spreadX, 0.0f, z + side * spreadZ);
            Footers.push_back(f);
            SupportTube t;
            t.EndAKind = EndFooter;
            t.EndAIndex = footer;
            t.EndBKind = EndFreeNode;
            t.EndBIndex = top;
            t.TubeType = TubeLarge;
            Tubes.push_back(t);
        }
    }
    void Store() const {
        gFooterCount = static_cast<int32_t>(Footers.size());
        gFooters = Footers;
        gFooters.emplace_back();
        gFreeNodeCount = static_cast<int32_t>(FreeNodes.size());
        gFreeNodes = FreeNodes;
        gFreeNodes.emplace_back();
        gTubeCount = static_cast<int32_t>(Tubes.size());
        gTubes = Tubes;
        gTubes.emplace_back();
    }
};

float Bump(float x, float z, float cx, float cz, float height, float spread) {
    const float dx = x - cx, dz = z - cz;
    return height * std::exp(-(dx * dx + dz * dz) / spread);
}

}  // namespace

void BuildCircuitTrack() {
    StartTrack(StyleSteelLooping, "Sample circuit: station, chain lift, a turning drop, an airtime hill and a block brake.");
    SetNodes({{-30.0f, 1.5f, -55.0f, 0.0f, 1.0f, 0.0f},
              {-8.0f, 1.5f, -55.0f, 0.0f, 1.0f, 0.0f},
              {6.0f, 1.5f, -55.0f, 0.0f, 1.0f, 0.0f},
              {24.0f, 17.0f, -55.0f, 0.0f},
              {36.0f, 18.0f, -60.0f, 0.35f},
              {42.0f, 4.0f, -82.0f, 0.6f},
              {34.0f, 3.0f, -110.0f, 0.5f},
              {12.0f, 9.0f, -122.0f, 0.0f},
              {-12.0f, 3.0f, -122.0f, 0.2f},
              {-34.0f, 5.0f, -112.0f, 0.7f},
              {-46.0f, 4.0f, -90.0f, 0.5f},
              {-44.0f, 1.5f, -68.0f, 0.1f}},
             true);
    Station(0);
    Lift(2);
    Brake(11);
    Segment(8).Tunnel = true;
    for (int s = 4; s <= 10; ++s) PrefabSupports(s, {0.5f});
    PrefabSupports(3, {0.3f, 0.8f});
    AFrames frames;
    frames.Add(24.0f, 16.0f, -55.0f, 0.0f, 5.0f);
    frames.Add(36.0f, 17.0f, -60.0f, 2.0f, 5.0f);
    frames.Add(15.0f, 6.5f, -55.0f, 0.0f, 3.5f);
    frames.Store();
}

void BuildShuttleTrack() {
    StartTrack(StyleHyper2Seat, "Sample shuttle: back spike, station, magnetic launch and a front spike.");
    gRunMode = 1;
    gSpineColor = RGB(150, 20, 30);
    gRailColor = RGB(230, 230, 230);
    gTieColor = RGB(60, 60, 60);
    SetNodes({{-75.0f, 30.0f, -90.0f, 0.0f},
              {-62.0f, 8.0f, -90.0f, 0.0f},
              {-45.0f, 1.5f, -90.0f, 0.0f, 1.0f, 0.0f},
              {-25.0f, 1.5f, -90.0f, 0.0f, 1.0f, 0.0f},
              {-5.0f, 1.5f, -90.0f, 0.0f, 1.0f, 0.0f},
              {20.0f, 1.5f, -90.0f, 0.0f, 1.0f, 0.0f},
              {40.0f, 10.0f, -90.0f, 0.0f},
              {52.0f, 35.0f, -90.0f, 0.0f}},
             false);
    Station(2);
    Launch(3);
    Launch(4);
    PrefabSupports(0, {0.25f, 0.6f});
    PrefabSupports(1, {0.5f});
    PrefabSupports(5, {0.6f});
    PrefabSupports(6, {0.3f, 0.7f});
    AFrames frames;
    frames.Add(51.0f, 31.0f, -90.0f, 5.0f, 5.0f);
    frames.Add(-73.0f, 27.0f, -90.0f, 5.0f, 5.0f);
    frames.Store();
}

void BuildLakesideTrack() {
    StartTrack(StyleSteelLooping, "Sample lakeside circuit: a low ride around a lake between two hills.");
    gSpineColor = RGB(40, 130, 70);
    gRailColor = RGB(240, 210, 40);
    gTrackSupportColor = RGB(200, 200, 200);
    SetNodes({{40.0f, 3.0f, -90.0f, -0.3f},
              {32.4f, 3.0f, -73.5f, -0.4f},
              {12.4f, 3.0f, -63.4f, 0.0f, -1.0f, 0.0f},
              {-12.4f, 3.0f, -63.4f, 0.0f, -1.0f, 0.0f},
              {-32.4f, 6.0f, -73.5f, -0.2f},
              {-40.0f, 10.0f, -90.0f, -0.3f},
              {-32.4f, 10.0f, -106.5f, -0.4f},
              {-12.4f, 7.0f, -116.6f, 0.0f},
              {12.4f, 4.0f, -116.6f, 0.0f},
              {32.4f, 3.0f, -106.5f, -0.4f}},
             true);
    Station(2);
    Lift(3);
    Lift(4);
    Brake(9);
    for (int s = 0; s < gSegmentCount; ++s)
        if (s != 2) PrefabSupports(s, {0.5f});

    gHasTerrain = true;
    gHasWater = true;
    gTerrainWidth = 33;
    gTerrainDepth = 33;
    gTerrainSpacingX = 8.0f;
    gTerrainSpacingZ = 8.0f;
    gTerrainHeights.Resize(gTerrainWidth, gTerrainDepth);
    const float x0 = -(gTerrainSpacingX * (gTerrainWidth - 1)) * 0.5f;
    const float z0 = -(gTerrainSpacingZ * (gTerrainDepth - 1)) * 0.5f;
    for (int32_t j = 0; j < gTerrainDepth; ++j)
        for (int32_t i = 0; i < gTerrainWidth; ++i) {
            const float x = x0 + i * gTerrainSpacingX, z = z0 + j * gTerrainSpacingZ;
            const float h = 0.5f + Bump(x, z, 100.0f, -128.0f, 24.0f, 1200.0f) + Bump(x, z, -90.0f, -50.0f, 16.0f, 1500.0f) +
                            Bump(x, z, 20.0f, 70.0f, 9.0f, 1200.0f) - Bump(x, z, 0.0f, -90.0f, 5.0f, 420.0f);
            // Quarter metres: the file stays the same whatever the last bits of exp are.
            gTerrainHeights(i, j) = std::round(h * 4.0f) / 4.0f;
        }
}

void BuildCamelbackElement() {
    ClearElementDocument();
    const std::vector<NodeSpec> specs = {{0.0f, 0.0f, 0.0f, 0.0f},
                                         {0.0f, 7.0f, -14.0f, 0.0f},
                                         {0.0f, 11.0f, -24.0f, 0.0f},
                                         {0.0f, 7.0f, -34.0f, 0.0f},
                                         {0.0f, 0.0f, -48.0f, 0.0f}};
    gElementNodes = SmoothNodes(specs, false);
    for (TrackNode& node : gElementNodes) node.RollEasing = false;
    // The first node is the origin with only its outgoing control point; the
    // last node's outgoing control point is not stored.
    gElementNodes[0].ControlIn = MakeVector(0.0f, 0.0f, 0.0f);
    gElementNodes[specs.size() - 1].ControlOut = MakeVector(0.0f, 0.0f, 0.0f);
    gElementNodeCount = static_cast<int32_t>(specs.size());
    gElementSize = 136 + 50 * (gElementNodeCount - 1);
}

std::vector<std::string> SampleFileNames() {
    return {"circuit.vxtrack", "shuttle.vxtrack", "lakeside.vxtrack", "camelback.vxelem"};
}

bool WriteSamples(const std::string& folder) {
    bool ok = true;
    BuildCircuitTrack();
    ok = SaveTrackFile(folder + "circuit.vxtrack") && ok;
    BuildShuttleTrack();
    ok = SaveTrackFile(folder + "shuttle.vxtrack") && ok;
    BuildLakesideTrack();
    ok = SaveTrackFile(folder + "lakeside.vxtrack") && ok;
    BuildCamelbackElement();
    ok = SaveElementFile(folder + "camelback.vxelem") && ok;
    return ok;
}
