#include "tools/track_statistics.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

#include "core/number_formats.h"
#include "model/path_frames.h"
#include "trackdoc/element_document.h"
#include "trackdoc/track_document.h"

namespace {

// The records of a list that may be read: its count, but never more than held.
template <typename T>
int32_t Used(int32_t count, const std::vector<T>& records) {
    return std::clamp<int64_t>(count, 0, static_cast<int64_t>(records.size()));
}

float AddSingle(float total, float value) { return static_cast<float>(double(total) + double(value)); }

// The polyline through 101 samples of every segment of a node chain, starting
// at node 0; segment i runs to node i + 1, or back to node 0 past the last node.
float CurveLength(const std::vector<TrackNode>& nodes, int32_t nodeCount, int32_t segmentCount) {
    nodeCount = Used(nodeCount, nodes);
    if (nodeCount < 1 || segmentCount < 1) return 0.0f;
    float total = 0.0f;
    Vector3 prev = nodes[0].Position;
    for (int32_t i = 0; i < segmentCount && i < nodeCount; ++i) {
        const int32_t j = i + 1 < nodeCount ? i + 1 : 0;
        const TrackNode& a = nodes[i];
        const TrackNode& b = nodes[j];
        for (float t = 0.0f; t <= 1.0f; t += 0.01f) {
            const Vector3 p = BezierPoint(a.Position, a.ControlOut, b.Position, b.ControlIn, t);
            total = AddSingle(total, VectorDistance(prev, p));
            prev = p;
        }
    }
    return total;
}

template <typename Qualifies>
int32_t CountRuns(Qualifies qualifies) {
    int32_t runs = 0;
    bool inside = false;
    const int32_t n = Used(gSegmentCount, gSegments);
    for (int32_t i = 0; i < n; ++i) {
        if (qualifies(gSegments[i])) {
            if (!inside) ++runs;
            inside = true;
        } else {
            inside = false;
        }
    }
    return runs;
}

template <typename Take>
float SumTubeLengths(Take take) {
    float total = 0.0f;
    const int32_t n = Used(gTubeCount, gTubes);
    for (int32_t i = 0; i < n; ++i)
        if (take(gTubes[i])) total = AddSingle(total, GetTubeLength(gTubes[i]));
    return total;
}

std::string Summary(int32_t count, float length) {
    std::string countText = FormatInteger(count) + "        ";
    countText.resize(8);
    return countText + " - " + FormatMetersFeet(length);
}

// The frames of the built path that may be read: segment s, frames 0 .. FrameCount - 1.
int32_t PathSegments(int32_t segmentCount) {
    return std::clamp<int64_t>(segmentCount, 0, static_cast<int64_t>(gPathMatrixArray.size()));
}
int32_t PathFrames(int32_t segment) {
    const PathSegmentFrames& s = gPathMatrixArray[segment];
    return Used(s.FrameCount, s.Frames);
}
Vector3 PathPoint(int32_t segment, int32_t frame) {
    return MatrixGetTranslation(gPathMatrixArray[segment].Frames[frame].Frame);
}

template <typename Visit>
void ForEachPathPoint(Visit visit) {
    const int32_t segments = PathSegments(gSpineInfoSegmentCount);
    for (int32_t s = 0; s < segments; ++s) {
        const int32_t frames = PathFrames(s);
        for (int32_t k = 0; k < frames; ++k) visit(PathPoint(s, k));
    }
}

std::function<double()>& RandomSource() {
    static std::function<double()> source;
    return source;
}

double ProgramRandom() {
    static std::mt19937 engine;  // never seeded: the same sequence every run, as the tools expect
    return static_cast<double>(engine()) / 4294967296.0;
}

}  // namespace

float GetTrackLength() { return CurveLength(gNodes, gNodeCount, gSegmentCount); }

float GetElementLength() {
    return CurveLength(gElementNodes, gElementNodeCount, std::max<int32_t>(0, gElementNodeCount - 1));
}

int32_t CountTunnelRuns() {
    return CountRuns([](const TrackSegment& s) { return s.Tunnel; });
}

int32_t CountLiftHills() {
    return CountRuns([](const TrackSegment& s) { return s.SegmentType == SegmentLift; });
}

int32_t CountSegmentsOfType(int32_t type) {
    const int32_t n = Used(gSegmentCount, gSegments);
    return static_cast<int32_t>(
        std::count_if(gSegments.begin(), gSegments.begin() + n, [type](const TrackSegment& s) { return s.SegmentType == type; }));
}

int32_t CountPrefabSupports() {
    int32_t total = 0;
    const int32_t n = Used(gRascGroupCount, gRascGroups);
    for (int32_t g = 0; g < n; ++g) total += Used(gRascGroups[g].ItemCount, gRascGroups[g].Items);
    return total;
}

int32_t CountPrefabSupportsOfType(int32_t style) {
    int32_t total = 0;
    const int32_t n = Used(gRascGroupCount, gRascGroups);
    for (int32_t g = 0; g < n; ++g) {
        const RascGroup& group = gRascGroups[g];
        const int32_t items = Used(group.ItemCount, group.Items);
        for (int32_t k = 0; k < items; ++k)
            if (group.Items[k].Style == style) ++total;
    }
    return total;
}

int32_t CountItemsOfKind(int32_t kind) {
    const int32_t n = Used(gTreeCount, gTrees);
    return static_cast<int32_t>(
        std::count_if(gTrees.begin(), gTrees.begin() + n, [kind](const SceneryTree& t) { return t.TreeType == kind; }));
}

bool GetTubeEndPoint(int32_t kind, int32_t index, int32_t segment, Vector3& point) {
    if (index < 0) return false;
    switch (kind) {
        case EndFooter:
            if (index >= Used(gFooterCount, gFooters)) return false;
            point = gFooters[index].Position;
            return true;
        case EndFreeNode:
            if (index >= Used(gFreeNodeCount, gFreeNodes)) return false;
            point = gFreeNodes[index];
            return true;
        default:
            if (segment < 0 || segment >= gSegmentCount) return false;
            return GetPrefabSupportAnchor(point, segment, index);
    }
}

float GetTubeLength(const SupportTube& tube) {
    Vector3 a, b;
    if (!GetTubeEndPoint(tube.EndAKind, tube.EndAIndex, tube.EndASegment, a) ||
        !GetTubeEndPoint(tube.EndBKind, tube.EndBIndex, tube.EndBSegment, b))
        return 0.0f;
    return VectorDistance(a, b);
}

float GetSteelBeamLength() {
    return SumTubeLengths([](const SupportTube& t) { return t.TubeType < 7; });
}

float GetWoodBeamLength() {
    return SumTubeLengths([](const SupportTube& t) { return t.TubeType >= 7; });
}

std::string GetBeamTypeSummary(int32_t type) {
    int32_t count = 0;
    const int32_t n = Used(gTubeCount, gTubes);
    for (int32_t i = 0; i < n; ++i)
        if (gTubes[i].TubeType == type) ++count;
    return Summary(count, SumTubeLengths([type](const SupportTube& t) { return t.TubeType == type; }));
}

std::string GetCatwalkSummary() {
    float total = 0.0f;
    const int32_t n = Used(gCatwalkCount, gCatwalks);
    const int32_t nodes = Used(gFreeNodeCount, gFreeNodes);
    for (int32_t i = 0; i < n; ++i) {
        const TrackCatwalk& c = gCatwalks[i];
        // A corner naming no free node gives the catwalk no length.
        if (c.Corner1 < 0 || c.Corner1 >= nodes || c.Corner3 < 0 || c.Corner3 >= nodes) continue;
        total = AddSingle(total, VectorDistance(gFreeNodes[c.Corner1], gFreeNodes[c.Corner3]));
    }
    return Summary(gCatwalkCount, total);
}

float GetTerrainMaxHeight() {
    float highest = -999.0f;
    const TerrainHeightGrid& g = gTerrainHeights;
    const int32_t width = std::min(gTerrainWidth, g.Columns), depth = std::min(gTerrainDepth, g.Rows);
    for (int32_t j = 0; j < depth; ++j)
        for (int32_t i = 0; i < width; ++i)
            if (g(i, j) > highest) highest = g(i, j);
    return highest;
}

float GetTerrainMinHeight() {
    float lowest = 999.0f;
    const TerrainHeightGrid& g = gTerrainHeights;
    const int32_t width = std::min(gTerrainWidth, g.Columns), depth = std::min(gTerrainDepth, g.Rows);
    for (int32_t j = 0; j < depth; ++j)
        for (int32_t i = 0; i < width; ++i)
            if (g(i, j) < lowest) lowest = g(i, j);
    return lowest;
}

void GetTrackHeightRange(float& lowest, float& highest) {
    lowest = 1000.0f;
    highest = -999.0f;
    ForEachPathPoint([&](const Vector3& p) {
        if (p.Y < lowest) lowest = p.Y;
        if (p.Y > highest) highest = p.Y;
    });
}

void GetTrackExtents(Vector3& size) {
    Vector3 lo = MakeVector(1000.0f, 1000.0f, 1000.0f);
    Vector3 hi = MakeVector(-999.0f, -999.0f, -999.0f);
    ForEachPathPoint([&](const Vector3& p) {
        lo.X = std::min(lo.X, p.X), lo.Y = std::min(lo.Y, p.Y), lo.Z = std::min(lo.Z, p.Z);
        hi.X = std::max(hi.X, p.X), hi.Y = std::max(hi.Y, p.Y), hi.Z = std::max(hi.Z, p.Z);
    });
    size = VectorFromTo(lo, hi);
}

int32_t CountInversions() {
    int32_t count = 0;
    bool inside = false;
    const int32_t segments = PathSegments(gSegmentCount);
    for (int32_t s = 0; s < segments; ++s) {
        const int32_t frames = PathFrames(s);
        for (int32_t k = 0; k < frames;) {
            const Matrix4& f = gPathMatrixArray[s].Frames[k].Frame;
            const double bank = std::fabs(RadToDeg(ArcTan2(f(1, 0), f(1, 1))));
            if (bank > 175.0) {
                if (!inside) {
                    ++count;
                    inside = true;
                    k += 51;
                } else {
                    k += 1;
                }
            } else {
                inside = false;
                k += 51;
            }
        }
    }
    return count;
}

std::string CoasterStyleName(int32_t style) { return TrackStyleName(style); }

std::string SupportTypeName(int32_t style) {
    switch (style) {
        case 0: return "Track Nodes";
        case 2: return "Simple";
        case 3: return "Complex";
        case 4: return "Inverted";
        case 5: return "90deg Bank";
        case 6: return "Small Inverted";
        case 7: return "'A' Shape";
        default: return "Unknown";
    }
}

std::string EnvironmentNameOrDefault() { return gEnvironmentName.empty() ? "Default" : gEnvironmentName; }

double NextRandom() {
    if (RandomSource()) return RandomSource()();
    return ProgramRandom();
}

void SetRandomSource(std::function<double()> source) { RandomSource() = std::move(source); }

bool PickRandomObjectPosition(float distance, Vector3& position) {
    // The test of every draw reads only the sampled points near it.
    const TrackSampleGrid grid(distance);
    for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
        const float x = static_cast<float>(NextRandom() * 440.0 - 220.0);
        const float z = static_cast<float>(NextRandom() * 440.0 - 220.0);
        const Vector3 p = MakeVector(x, 0.0f, z);
        if (!IsNearTrack(grid, distance, p)) {
            position = p;
            return true;
        }
    }
    return false;
}

namespace {

// Every sampled point of the keep-away test in turn: every fifth frame of
// every segment, put on y = 0.
template <typename Visit>
bool AnySamplePoint(Visit visit) {
    const int32_t segments = PathSegments(gSegmentCount);
    for (int32_t s = 0; s < segments; ++s) {
        const int32_t frames = PathFrames(s);
        for (int32_t k = 0; k < frames; k += 5) {
            Vector3 p = PathPoint(s, k);
            p.Y = 0.0f;
            if (visit(p)) return true;
        }
    }
    return false;
}

bool Finite(const Vector3& p) { return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z); }

// Cell numbers are held to this bound: far out, neighbouring cells may then
// share a number, which costs only time.
constexpr double kCellBound = 1099511627776.0;  // 2^40

// The cells a test reads, at most; a wider search reads every point instead.
constexpr int64_t kMaxCellsRead = 256;

}  // namespace

bool IsNearTrack(float distance, const Vector3& point) {
    return AnySamplePoint([&](const Vector3& p) { return VectorDistance(p, point) < distance; });
}

bool IsNearTrack(const TrackSampleGrid& grid, float distance, const Vector3& point) {
    return grid.IsNear(distance, point);
}

TrackSampleGrid::TrackSampleGrid(float distance) {
    // A cell as wide as the distance: a test then reads three or four cells a side.
    cell_ = std::isfinite(distance) && distance > 0.01f ? double(distance) : 0.01;
    // A point that is not finite is near nothing, so it is left out; the
    // samples of a segment of no length, all on one spot, are held once.
    std::vector<Vector3> samples;
    AnySamplePoint([&](const Vector3& p) {
        if (Finite(p) && (samples.empty() || samples.back().X != p.X || samples.back().Z != p.Z)) samples.push_back(p);
        return false;
    });
    size_t buckets = 16;
    while (buckets < 2 * samples.size() && buckets < (size_t(1) << 30)) buckets *= 2;
    mask_ = buckets - 1;

    // Counting sort by bucket.
    std::vector<uint32_t> bucketOf(samples.size());
    starts_.assign(buckets + 1, 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        bucketOf[i] = static_cast<uint32_t>(BucketOf(CellOf(samples[i].X), CellOf(samples[i].Z)));
        ++starts_[bucketOf[i] + 1];
    }
    for (size_t b = 0; b < buckets; ++b) starts_[b + 1] += starts_[b];
    points_.resize(samples.size());
    std::vector<uint32_t> next(starts_.begin(), starts_.end() - 1);
    for (size_t i = 0; i < samples.size(); ++i) points_[next[bucketOf[i]]++] = samples[i];
}

int64_t TrackSampleGrid::CellOf(double coordinate) const {
    return static_cast<int64_t>(std::clamp(std::floor(coordinate / cell_), -kCellBound, kCellBound));
}

size_t TrackSampleGrid::BucketOf(int64_t x, int64_t z) const {
    uint64_t h = static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(z) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    return static_cast<size_t>(h) & mask_;
}

bool TrackSampleGrid::AnyNear(float distance, const Vector3& point, size_t first, size_t last) const {
    for (size_t i = first; i < last; ++i)
        if (VectorDistance(points_[i], point) < distance) return true;
    return false;
}

bool TrackSampleGrid::IsNear(float distance, const Vector3& point) const {
    if (!(distance > 0.0f)) return false;  // no distance is below 0 (or below what is no number)
    if (!std::isfinite(distance) || !Finite(point)) return AnyNear(distance, point, 0, points_.size());
    // A point closer than the distance lies less than it away along each
    // axis; the margin covers the rounding of the differences.
    const double reach = double(distance) * (1.0 + 1e-6);
    const int64_t x0 = CellOf(point.X - reach), x1 = CellOf(point.X + reach);
    const int64_t z0 = CellOf(point.Z - reach), z1 = CellOf(point.Z + reach);
    if (x1 - x0 >= kMaxCellsRead || z1 - z0 >= kMaxCellsRead || (x1 - x0 + 1) * (z1 - z0 + 1) > kMaxCellsRead)
        return AnyNear(distance, point, 0, points_.size());
    for (int64_t x = x0; x <= x1; ++x)
        for (int64_t z = z0; z <= z1; ++z) {
            const size_t b = BucketOf(x, z);
            if (AnyNear(distance, point, starts_[b], starts_[b + 1])) return true;
        }
    return false;
}
