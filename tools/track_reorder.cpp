#include "tools/track_reorder.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/segment_selection.h"

namespace {

template <typename T>
int32_t Used(int32_t count, const std::vector<T>& records) {
    return std::clamp<int32_t>(count, 0, static_cast<int32_t>(records.size()));
}

// Single-precision field times a factor, worked in double as the values are typed.
float Scaled(float value, double factor) { return static_cast<float>(double(value) * factor); }

}  // namespace

TrackNode MirrorNode(const TrackNode& node) {
    TrackNode m = node;
    m.ControlIn = node.ControlOut;
    m.ControlOut = node.ControlIn;
    m.Roll = -node.Roll;
    return m;
}

// ---- Shuttle Builder --------------------------------------------------------

const char* ShuttleInfoText() {
    if (gClosedCircuit) return kShuttleRefusalText;
    if (Used(gNodeCount, gNodes) < 2) return kShuttleTooShortText;
    return kShuttleInfoText;
}

bool ShuttleOkEnabled() { return !gClosedCircuit && Used(gNodeCount, gNodes) >= 2; }

bool BuildShuttle() {
    if (!ShuttleOkEnabled()) return false;
    const int32_t n = Used(gNodeCount, gNodes);
    const int32_t total = 2 * n;
    // Each array keeps one zeroed spare record past its count.
    gNodes.resize(static_cast<size_t>(total) + 1);
    for (int32_t k = n - 1; k >= 0; --k) gNodes[n + (n - 1 - k)] = MirrorNode(gNodes[k]);
    gNodes[total] = TrackNode{};
    // Segments 0 .. n - 2 keep their records; segment n - 1 (the turn at the last
    // node) and the way back are new normal segments with every field zero.
    const int32_t kept = std::min(Used(gSegmentCount, gSegments), n - 1);
    gSegments.resize(static_cast<size_t>(total) + 1);
    std::fill(gSegments.begin() + kept, gSegments.end(), TrackSegment{});
    const int32_t keptGroups = std::min(Used(gRascGroupCount, gRascGroups), kept);
    gRascGroups.resize(static_cast<size_t>(total) + 1);
    std::fill(gRascGroups.begin() + keptGroups, gRascGroups.end(), RascGroup{});
    gNodeCount = gSegmentCount = gRascGroupCount = total;
    gClosedCircuit = true;
    ClearSegmentSelection();
    return true;
}

bool RunShuttleBuilder() {
    if (!BuildShuttle()) return false;
    FinishToolEdit(FindToolDialog("frmTShuttleMaker")->Flags);
    return true;
}

// ---- Backwards Rebuilder ----------------------------------------------------

void ReverseSegmentSpeeds(TrackSegment& s) {
    switch (s.SegmentType) {
        case SegmentStation:
            s.Station.WheelAccel = -s.Station.WheelAccel;
            s.Station.WheelSpeed = Scaled(-s.Station.WheelSpeed, 0.05);
            s.Station.MainBrakeDecel = Scaled(s.Station.MainBrakeDecel, 0.75);
            break;
        case SegmentLift:
            s.Lift.MotorAccel = kBackwardsLiftAccel;
            s.Lift.MotorDecel = kBackwardsLiftDecel;
            s.Lift.MotorSpeed = Scaled(-s.Lift.MotorSpeed, 1.7);
            break;
        case SegmentTransport:
            s.Transport.MotorAccel = Scaled(-s.Transport.MotorAccel, 0.5);
            s.Transport.MotorSpeed = Scaled(-s.Transport.MotorSpeed, 0.3);
            break;
        case SegmentBrake:
            s.Brake.WheelAccel = Scaled(-s.Brake.WheelAccel, 0.1);
            s.Brake.WheelSpeed = Scaled(-s.Brake.WheelSpeed, 0.1);
            break;
        default:
            break;
    }
}

std::vector<int32_t> BackwardsSegmentMap(int32_t segmentCount, bool closed) {
    const int32_t m = std::max<int32_t>(segmentCount, 0);
    std::vector<int32_t> map(static_cast<size_t>(m));
    if (m == 0) return map;
    const int32_t reversed = closed ? m - 1 : m;  // a circuit's closing segment stays
    for (int32_t i = 0; i < reversed; ++i) map[reversed - 1 - i] = i;
    if (closed) map[m - 1] = m - 1;
    return map;
}

void RebuildBackwards() {
    const int32_t n = Used(gNodeCount, gNodes);
    const std::vector<TrackNode> nodes(gNodes.begin(), gNodes.begin() + n);
    for (int32_t i = 0; i < n; ++i) gNodes[i] = MirrorNode(nodes[n - 1 - i]);

    const int32_t m = Used(gSegmentCount, gSegments);
    const std::vector<int32_t> map = BackwardsSegmentMap(m, gClosedCircuit);
    const std::vector<TrackSegment> segments(gSegments.begin(), gSegments.begin() + m);
    const int32_t groupCount = Used(gRascGroupCount, gRascGroups);
    const std::vector<RascGroup> groups(gRascGroups.begin(), gRascGroups.begin() + groupCount);
    const std::vector<bool> selected = gSegmentSelected;
    for (int32_t s = 0; s < m; ++s) {
        const int32_t to = map[s];
        if (to == s && gClosedCircuit && s == m - 1) continue;  // the closing segment keeps its record
        TrackSegment segment = segments[s];
        ReverseSegmentSpeeds(segment);
        gSegments[to] = segment;
        if (s < groupCount && to < groupCount) {
            RascGroup group = groups[s];
            for (int32_t k = 0, count = Used(group.ItemCount, group.Items); k < count; ++k)
                group.Items[k].Position = 1.0f - group.Items[k].Position;
            gRascGroups[to] = group;
        }
        if (to < static_cast<int32_t>(gSegmentSelected.size()))
            gSegmentSelected[to] = static_cast<size_t>(s) < selected.size() && selected[s];
    }

    // Tube ends at prefabricated supports follow their segment; the item index
    // stays, as the items keep their order. An end naming no segment is left alone.
    auto follow = [&](int32_t kind, int32_t& segment) {
        if (kind == EndPrefabAnchor && segment >= 0 && segment < m) segment = map[segment];
    };
    for (int32_t t = 0, count = Used(gTubeCount, gTubes); t < count; ++t) {
        follow(gTubes[t].EndAKind, gTubes[t].EndASegment);
        follow(gTubes[t].EndBKind, gTubes[t].EndBSegment);
    }

    gTrainCount = 1;
    if (gTrains.size() < 2) gTrains.resize(2);
}

bool RunBackwardsRebuilder() {
    RebuildBackwards();
    FinishToolEdit(FindToolDialog("frmTBackwardsBuilder")->Flags);
    return true;
}
