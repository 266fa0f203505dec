#include "bench/model/large_track.h"

#include <cmath>
#include <vector>

#include "app/app_state.h"
#include "trackdoc/track_document.h"

void MakeLargeTrack() {
    ClearTrackDocument();
    const int nodes = kLargeTrackSegments + 1;
    std::vector<Vector3> p(nodes);
    for (int i = 0; i < nodes; ++i) {
        const double a = 24.0 * kPi * i / kLargeTrackSegments;
        const double r = 200.0 + 20.0 * std::sin(5.0 * a);
        p[i] = Vector3{float(r * std::cos(a)), float(30.0 + 12.0 * std::sin(9.0 * a)), float(-r * std::sin(a))};
    }
    gNodeCount = nodes;
    gNodes.assign(nodes + 1, TrackNode{});
    for (int i = 0; i < nodes; ++i) {
        const Vector3& prev = p[i > 0 ? i - 1 : 0];
        const Vector3& next = p[i + 1 < nodes ? i + 1 : i];
        const Vector3 t{(next.X - prev.X) / 6.0f, (next.Y - prev.Y) / 6.0f, (next.Z - prev.Z) / 6.0f};
        TrackNode& n = gNodes[i];
        n.Position = p[i];
        n.ControlOut = Vector3{p[i].X + t.X, p[i].Y + t.Y, p[i].Z + t.Z};
        n.ControlIn = Vector3{p[i].X - t.X, p[i].Y - t.Y, p[i].Z - t.Z};
        n.Roll = static_cast<float>(0.6 * std::sin(2.0 * kPi * 150.0 * i / kLargeTrackSegments));
        n.RollEasing = (i % 3) == 0;
    }
    gSegmentCount = kLargeTrackSegments;
    gSegments.assign(kLargeTrackSegments + 1, TrackSegment{});
    for (int i = 0; i < kLargeTrackSegments; ++i) {
        gSegments[i].SegmentType = i % 40 == 0 ? SegmentBrake : SegmentNormal;
        gSegments[i].Tunnel = i % 25 == 0;
    }
    gRascGroupCount = kLargeTrackSegments;
    gRascGroups.assign(kLargeTrackSegments + 1, RascGroup{});
    gDocumentType = DocumentTrack;
    gTrackStyle = StyleSteelLooping;
    gAppPath = GW_BENCH_DATA_DIR;
    gModelOnLoad = 4;
}
