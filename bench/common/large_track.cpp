#include "bench/common/large_track.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "trackdoc/track_document.h"

namespace {

constexpr float kFooterOffset = 3.0f;
constexpr double kTerrainAcross = 512.0;

void MakeNodesAndSegments() {
    constexpr int kSegments = kLargeTrackSegments;
    const int nodes = kSegments + 1;
    std::vector<Vector3> p(static_cast<size_t>(nodes));
    for (int i = 0; i < nodes; ++i) {
        const double a = 24.0 * kPi * i / kSegments;
        const double r = 180.0 + 20.0 * std::sin(5.0 * a);
        p[i] = Vector3{float(r * std::cos(a)), float(30.0 + 12.0 * std::sin(9.0 * a)), float(-r * std::sin(a))};
    }
    gNodeCount = nodes;
    gNodes.assign(static_cast<size_t>(nodes) + 1, TrackNode{});
    for (int i = 0; i < nodes; ++i) {
        const Vector3& prev = p[i > 0 ? i - 1 : 0];
        const Vector3& next = p[i + 1 < nodes ? i + 1 : i];
        const Vector3 t{(next.X - prev.X) / 6.0f, (next.Y - prev.Y) / 6.0f, (next.Z - prev.Z) / 6.0f};
        TrackNode& n = gNodes[i];
        n.Position = p[i];
        n.ControlOut = Vector3{p[i].X + t.X, p[i].Y + t.Y, p[i].Z + t.Z};
        n.ControlIn = Vector3{p[i].X - t.X, p[i].Y - t.Y, p[i].Z - t.Z};
        n.Roll = static_cast<float>(0.6 * std::sin(2.0 * kPi * 150.0 * i / kSegments));
        n.RollEasing = (i % 3) == 0;
    }
    gClosedCircuit = false;
    gSegmentCount = kSegments;
    gSegments.assign(kSegments + 1, TrackSegment{});
    for (int s = 0; s < kSegments; ++s) {
        TrackSegment& seg = gSegments[s];
        seg.SegmentType = s == 0            ? SegmentStation
                          : s <= 30         ? SegmentLift
                          : s % 40 == 0     ? SegmentBrake
                          : s % 100 == 50   ? SegmentTransport
                                            : SegmentNormal;
        seg.Tunnel = s % 25 == 0;
        if (s % 50 == 10) {
            seg.CustomColors = true;
            seg.SpineColor = 0x2040C0 + s;
            seg.RailColor = 0xC04020 + s;
            seg.TieColor = 0x808080 + s;
        }
    }
    gRascGroupCount = kSegments;
    gRascGroups.assign(kSegments + 1, RascGroup{});
}

void MakeTrainsAndInfo() {
    gTrackStyle = StyleSteelLooping;
    gSpineColor = 0x004080;
    gRailColor = 0x0080FF;
    gTieColor = 0xFFFFFF;
    gTrainCount = 2;
    gCarsPerTrain = 6;
    gTrains.assign(3, TrainEntry{});
    gTrains[0].Name = "Train A";
    gTrains[1].Name = "Train B";
    gTrackInfo = "The large benchmark ride.";
    gEnvironmentName = "Default";
}

// Prefabricated supports about every `spacing` metres along the chords.
void MakePrefabs(double spacing) {
    if (spacing <= 0.0) return;
    double carried = 0.0;
    for (int s = 0; s < kLargeTrackSegments; ++s) {
        const double length = VectorDistance(gNodes[s].Position, gNodes[s + 1].Position);
        RascGroup& g = gRascGroups[s];
        g.Items.clear();
        for (double d = spacing - carried; d < length; d += spacing)
            g.Items.push_back(RascItem{2 + static_cast<int32_t>(g.Items.size() + s) % 6, float(d / length)});
        g.ItemCount = static_cast<int32_t>(g.Items.size());
        if (g.ItemCount > 0) g.Items.emplace_back();  // the spare record a load leaves
        carried = std::fmod(carried + length, spacing);
    }
}

void MakeFootersAndFreeNodes(int32_t footers, int32_t freeNodes) {
    gFooterCount = footers;
    gFooters.assign(static_cast<size_t>(footers) + 1, TrackFooter{});
    for (int32_t f = 0; f < footers; ++f) {
        const Vector3& n = gNodes[(2 * f) % gNodeCount].Position;
        const float side = f % 2 ? kFooterOffset : -kFooterOffset;
        TrackFooter& footer = gFooters[f];
        footer.Position = Vector3{n.X + side, 0.0f, n.Z + side};
        footer.CustomRotation = f % 3 == 0;
        footer.Rotation = 0.3f * float(f % 20);
    }
    gFreeNodeCount = freeNodes;
    gFreeNodes.assign(static_cast<size_t>(freeNodes) + 1, Vector3{});
    const int32_t perLevel = std::max(footers, 1);
    const int32_t levels = (freeNodes + perLevel - 1) / perLevel;
    for (int32_t k = 0; k < freeNodes; ++k) {
        const int32_t f = k % perLevel, level = k / perLevel;
        const Vector3& n = gNodes[(2 * f) % gNodeCount].Position;
        const float side = f % 2 ? kFooterOffset : -kFooterOffset;
        const float height = n.Y * float(level + 1) / float(levels + 1);
        gFreeNodes[k] = Vector3{n.X + side, height, n.Z + side};
    }
}

void MakeCatwalks(int32_t catwalks) {
    // Over the lowest level of free nodes: neighbouring pairs on either side.
    const int32_t span = std::min(gFreeNodeCount, std::max(gFooterCount, 4));
    if (span < 4) catwalks = 0;
    gCatwalkCount = catwalks;
    gCatwalks.assign(static_cast<size_t>(catwalks) + 1, TrackCatwalk{});
    for (int32_t c = 0; c < catwalks; ++c)
        gCatwalks[c] = TrackCatwalk{(2 * c) % span, (2 * c + 1) % span, (2 * c + 3) % span, (2 * c + 2) % span, 0, 0, 0};
}

// The first segment from s on (wrapping) that holds a prefabricated support, or -1.
int32_t SegmentWithPrefab(int32_t s) {
    for (int32_t k = 0; k < gRascGroupCount; ++k) {
        const int32_t t = (s + k) % gRascGroupCount;
        if (gRascGroups[t].ItemCount > 0) return t;
    }
    return -1;
}

void MakeTubes(int32_t tubes) {
    const int32_t footers = gFooterCount, freeNodes = gFreeNodeCount;
    if (footers <= 0 || freeNodes <= 0) tubes = 0;
    gTubeCount = tubes;
    gTubes.assign(static_cast<size_t>(tubes) + 1, SupportTube{});
    for (int32_t t = 0; t < tubes; ++t) {
        const int32_t f = (t / 5) % footers;
        const int32_t lower = f % freeNodes;
        const int32_t upper = (f + footers) % freeNodes;
        const int32_t nextUpper = ((f + 1) % footers + footers) % freeNodes;
        const int32_t type = t % 10;
        const float spin = 0.1f * float(t % 7);
        SupportTube& tube = gTubes[t];
        switch (t % 5) {
            case 0: tube = SupportTube{EndFooter, f, 0, EndFreeNode, lower, 0, type, 0, spin}; break;
            case 1: tube = SupportTube{EndFreeNode, lower, 0, EndFreeNode, upper, 0, type, 0, spin}; break;
            case 2: tube = SupportTube{EndFreeNode, upper, 0, EndFreeNode, nextUpper, 0, type, 0, spin}; break;
            case 3: {
                const int32_t s = SegmentWithPrefab((2 * f) % kLargeTrackSegments);
                tube = s >= 0 ? SupportTube{EndPrefabAnchor, 0, s, EndFooter, f, 0, type, 0, spin}
                              : SupportTube{EndFreeNode, lower, 0, EndFooter, f, 0, type, 0, spin};
                break;
            }
            default: tube = SupportTube{EndFooter, f, 0, EndFooter, (f + 1) % footers, 0, type, 0, spin}; break;
        }
    }
}

void MakeScenery(int32_t objects) {
    gObjectCount = objects;
    gObjects.assign(static_cast<size_t>(objects) + 1, SceneryObject{});
    for (int32_t k = 0; k < objects; ++k) {
        const Vector3& n = gNodes[(k * 2 + 1) % gNodeCount].Position;
        SceneryObject& o = gObjects[k];
        o.FileName = "Scenery\\object_" + std::to_string(k % 40) + ".3ds";
        o.ObjectText = "Object " + std::to_string(k);
        o.Transform = MatrixMultiply(MatrixTranslate(n.X + 12.0f, 0.0f, n.Z - 12.0f), MatrixRotateY(0.05 * k));
    }
}

void MakeTerrain(int32_t points, bool water) {
    if (points <= 0) return;
    gHasTerrain = true;
    gHasWater = water;
    gTerrainWidth = gTerrainDepth = points;
    const float spacing = static_cast<float>(kTerrainAcross / points);
    gTerrainSpacingX = gTerrainSpacingZ = spacing;
    gTerrainText1 = "grass.tga";
    gTerrainHeights.Resize(points, points);
    for (int32_t j = 0; j < points; ++j)
        for (int32_t i = 0; i < points; ++i)
            gTerrainHeights(i, j) =
                static_cast<float>(4.0 * std::sin(0.05 * i * spacing) * std::cos(0.04 * j * spacing) - 0.5);
}

}  // namespace

void MakeLargeRide(const LargeRideOptions& options) {
    ClearTrackDocument();
    MakeTrainsAndInfo();
    MakeNodesAndSegments();
    MakePrefabs(options.PrefabSpacing);
    MakeFootersAndFreeNodes(options.Footers, options.FreeNodes);
    MakeCatwalks(options.Catwalks);
    MakeTubes(options.Tubes);
    MakeScenery(options.SceneryObjects);
    MakeTerrain(options.TerrainPoints, options.Water);
    gDocumentType = DocumentTrack;
    gAppPath = GW_BENCH_DATA_DIR;
    gModelOnLoad = 4;
}

void MakeLargeTrack() { MakeLargeRide(kBareRide); }
