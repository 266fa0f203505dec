#include "model/model_budget.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/prefab_support_models.h"
#include "model/radius_comb.h"
#include "model/rebuild_flags.h"
#include "trackdoc/track_document.h"

ModelBudgetLimits gModelBudgetLimits;
ModelCeilings gModelCeilings;

namespace {

constexpr int64_t kFaceBytes = sizeof(ModelFace);
constexpr int64_t kMeshBytes = sizeof(ModelMesh);

ModelCost FacesCost(int64_t faces) { return ModelCost{faces, faces * kFaceBytes}; }

ModelCost Measure(const std::vector<ModelFace>& faces, int32_t count) {
    return ModelCost{std::max<int32_t>(count, 0), static_cast<int64_t>(faces.capacity()) * kFaceBytes};
}

ModelCost Measure(const std::vector<ModelMesh>& meshes) {
    ModelCost c{0, static_cast<int64_t>(meshes.capacity()) * kMeshBytes};
    for (const ModelMesh& m : meshes) c += Measure(m.Faces, m.FaceCount);
    return c;
}

template <class T, class A>
int64_t Bytes(const std::vector<T, A>& v) {
    return static_cast<int64_t>(v.capacity()) * static_cast<int64_t>(sizeof(T));
}

// Numbers with thousands separators, as the messages show them.
std::string Grouped(int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

// The control polygon's length of segment s of these nodes (the last segment
// of a closed circuit ends at node 0): never shorter than the curve, so the
// sample counts taken from it are never below the ones the builders will use.
float PolygonLength(const std::vector<TrackNode>& nodes, int32_t count, int32_t s) {
    count = std::min<int32_t>(count, static_cast<int32_t>(std::min<size_t>(nodes.size(), INT32_MAX)));
    if (s < 0 || s >= count) return 0.0f;
    const TrackNode& a = nodes[s];
    const TrackNode& b = nodes[s + 1 < count ? s + 1 : 0];
    const double l = double(VectorDistance(a.Position, a.ControlOut)) + VectorDistance(a.ControlOut, b.ControlIn) +
                     VectorDistance(b.ControlIn, b.Position);
    return static_cast<float>(std::min(l, 3.0e38));
}

// The highest point of segment s's control polygon: the curve stays below it.
float PolygonTop(const std::vector<TrackNode>& nodes, int32_t count, int32_t s) {
    count = std::min<int32_t>(count, static_cast<int32_t>(std::min<size_t>(nodes.size(), INT32_MAX)));
    if (s < 0 || s >= count) return 0.0f;
    const TrackNode& a = nodes[s];
    const TrackNode& b = nodes[s + 1 < count ? s + 1 : 0];
    return std::max({a.Position.Y, a.ControlOut.Y, b.ControlIn.Y, b.Position.Y});
}

int32_t TieTriangles(const TieModel& tie) {
    return std::max<int32_t>(0, std::min<int32_t>(tie.TriangleCount, static_cast<int32_t>(tie.Triangles.size())));
}

int ProfilePoints(const RailSpec& spec, bool spine) {
    switch (spec.Shape) {
        case 0: return spine ? 8 : 5;
        case 1: return 4;
        case 2: return spine ? 0 : 6;
        default: return 0;
    }
}

// The path frames of one segment, and with the comb its teeth and heart-line
// points at this spacing.
ModelCost PathSegmentCost(float polygonLength, bool comb, float pointSpacing) {
    ModelCost c{0, static_cast<int64_t>(sizeof(PathSegmentFrames)) +
                       kFramesPerSegment * static_cast<int64_t>(sizeof(PathFrame))};
    if (comb) {
        const int64_t teeth =
            std::min<int32_t>(BoundedSampleCount(polygonLength, kCombToothSpacing), kFramesPerSegment - 1) + 1;
        const int64_t points = BoundedSampleCount(polygonLength, pointSpacing) + 2;
        // One sample more than the polygon's count, for rounding of the sampled length.
        c.Bytes += (teeth + 1) * static_cast<int64_t>(sizeof(CombTooth)) +
                   (points + 1) * static_cast<int64_t>(sizeof(Vector3)) +
                   static_cast<int64_t>(sizeof(RadiusCombSegment) + sizeof(SegmentUpPoints));
    }
    return c;
}

// The track entry of one segment with its meshes; with `rings` (rails, then
// spines) and `ties` above 0, the faces of that many rings and crossties of
// `tieTriangles` triangles each.
ModelCost TrackSegmentCost(const ModelerSettings& m, int64_t railRings, int64_t spineRings, int64_t ties,
                           int64_t tieTriangles) {
    const int32_t rails = std::max<int32_t>(m.gRailCount, 0), spines = std::max<int32_t>(m.gSpineCount, 0);
    ModelCost c{0, static_cast<int64_t>(sizeof(TrackModelEntry)) + (rails + spines + 2) * kMeshBytes};
    int64_t faces = 0;
    for (int32_t r = 0; r < rails && r < static_cast<int32_t>(m.gRails.size()); ++r)
        faces += railRings * 2 * ProfilePoints(m.gRails[r], false);
    for (int32_t r = 0; r < spines && r < static_cast<int32_t>(m.gSpines.size()); ++r)
        faces += spineRings * 2 * ProfilePoints(m.gSpines[r], true);
    if (m.gTieModels[0].Use || m.gTieModels[1].Use) faces += ties * tieTriangles;
    c += FacesCost(faces);
    return c;
}

// The two tunnel meshes of one segment of `steps` steps.
ModelCost TunnelSegmentCost(const ModelerSettings& m, int64_t steps) {
    const int64_t n =
        m.SquareTunnels ? 4 : std::clamp<int32_t>(m.TunnelSoftness, kTunnelSoftnessMin, kTunnelSoftnessMax);
    ModelCost c{0, 2 * kMeshBytes};
    if (steps > 0) c += FacesCost(2 * steps * 2 * n + 4 * n);
    return c;
}

// Records of one mesh each of at most `faces` faces: the array of count + 1
// meshes, then the faces.
ModelCost RecordsCost(int32_t count, int64_t faces) {
    return ModelCost{count * faces, (static_cast<int64_t>(count) + 1) * kMeshBytes + count * faces * kFaceBytes};
}

int32_t DocumentCount(int32_t count, size_t records) {
    return std::clamp<int32_t>(count, 0, static_cast<int32_t>(std::min<size_t>(records, INT32_MAX)));
}

// The largest prefix of `count` items whose cost, with `fixed`, fits in
// `available`; item(i) gives the cost of item i.
template <class ItemCost>
int32_t FittingPrefix(int32_t count, ModelCost fixed, const ModelCost& available, ItemCost item) {
    if (fixed.Faces > available.Faces || fixed.Bytes > available.Bytes) return 0;
    for (int32_t i = 0; i < count; ++i) {
        fixed += item(i);
        if (fixed.Faces > available.Faces || fixed.Bytes > available.Bytes) return i;
    }
    return count;
}

}  // namespace

double SceneSegmentLength() {
    const double across = 2.0 * kSceneHalfWidth;
    return 3.0 * std::sqrt(across * across + across * across + kSceneHeight * kSceneHeight);
}

int32_t SceneSampleCap(float spacing) {
    if (!(spacing > 0.0f)) return 1;
    const double cap = std::ceil(SceneSegmentLength() / spacing);
    return cap >= 16777216.0 ? 16777216 : std::max<int32_t>(1, static_cast<int32_t>(cap));
}

int32_t BoundedSampleCount(float length, float spacing) {
    const float ratio = static_cast<float>(double(length) / spacing);
    const double n = RoundHalfEven(ratio);
    if (!(n >= 1.0)) return 1;  // also NaN
    const int32_t cap = SceneSampleCap(spacing);
    return n > cap ? cap : static_cast<int32_t>(n);
}

ModelCost MeasureModelPart(ModelPart part) {
    ModelCost c;
    switch (part) {
        case ModelPart::Path:
            c.Bytes = Bytes(gSpineInfoNodes) + Bytes(gSpineInfoSegments) + Bytes(gPathMatrixArray) +
                      Bytes(gRadiusComb) + Bytes(gHeartline);
            for (const PathSegmentFrames& p : gPathMatrixArray) c.Bytes += Bytes(p.Frames);
            for (const RadiusCombSegment& r : gRadiusComb) c.Bytes += Bytes(r.Teeth);
            for (const SegmentUpPoints& h : gHeartline) c.Bytes += Bytes(h.Points);
            break;
        case ModelPart::Track:
            c.Bytes = Bytes(gTrackModel);
            for (const TrackModelEntry& e : gTrackModel) {
                c += Measure(e.Rails);
                c += Measure(e.Spines);
                c += Measure(e.TieFaces, e.TieFaceCount);
            }
            break;
        case ModelPart::Tubes: c = Measure(gTubeModels); break;
        case ModelPart::Catwalks: c = Measure(gCatwalkModels); break;
        case ModelPart::Footers: c = Measure(gFooterModels); break;
        case ModelPart::Prefabs:
            c = Measure(gPrefabModels);
            c += Measure(gPrefabFooterModels);
            break;
        case ModelPart::Tunnels:
            c = Measure(gTunnelOuterModels);
            c += Measure(gTunnelInnerModels);
            break;
        case ModelPart::Ground:
            c.Faces = std::max<int32_t>(gGroundTriangleCount, 0) + (gHasWaterModel ? std::max<int32_t>(gWaterTriangleCount, 0) : 0);
            c.Bytes = Bytes(gGroundVertices) + Bytes(gGroundTriangles);
            break;
    }
    return c;
}

ModelCost MeasureModel() {
    ModelCost c;
    for (int p = 0; p < kModelPartCount; ++p) c += MeasureModelPart(static_cast<ModelPart>(p));
    return c;
}

ModelCost EstimatePathSegment(int32_t s, bool comb) {
    // A segment without its curve gets an empty record.
    if (s < 0 || s >= gSpineInfoNodeCount) return ModelCost{0, static_cast<int64_t>(sizeof(PathSegmentFrames))};
    const float detail = BuildSettings().RailDetail;
    const float spacing = !(detail > 0.0f) ? kCombToothSpacing : ClampSetting(detail, kDetailMin, kDetailMax);
    return PathSegmentCost(PolygonLength(gSpineInfoNodes, gSpineInfoNodeCount, s), comb, spacing);
}

ModelCost EstimateTrackSegment(int32_t s) {
    const ModelerSettings& m = BuildSettings();
    if (s < 0 || s >= static_cast<int32_t>(gPathMatrixArray.size()) || gPathMatrixArray[s].FrameCount < 1)
        return TrackSegmentCost(m, 0, 0, 0, 0);
    const float length = gPathMatrixArray[s].Length;
    return TrackSegmentCost(m, BoundedSampleCount(length, UsableRailDetail()) + 2,
                            BoundedSampleCount(length, UsableSpineDetail()) + 2,
                            BoundedSampleCount(length, UsableTieSpacing()),
                            std::max(TieTriangles(m.gTieModels[0]), TieTriangles(m.gTieModels[1])));
}

ModelCost EstimateTunnelSegment(int32_t s) {
    if (s < 0 || s >= gSpineInfoSegmentCount || s >= static_cast<int32_t>(gPathMatrixArray.size()) ||
        gPathMatrixArray[s].FrameCount < 1)
        return TunnelSegmentCost(BuildSettings(), 0);
    return TunnelSegmentCost(BuildSettings(), BoundedSampleCount(gPathMatrixArray[s].Length, UsableSpineDetail()));
}

ModelCost EstimateGround(int32_t stride) {
    if (stride < 1) return ModelCost{2, 5 * int64_t(sizeof(GroundVertex)) + 3 * int64_t(sizeof(GroundTriangle))};
    const int64_t width = std::clamp<int32_t>(gTerrainWidth, 0, gTerrainHeights.Columns) / stride;
    const int64_t depth = std::clamp<int32_t>(gTerrainDepth, 0, gTerrainHeights.Rows) / stride;
    const int64_t vertices = width * depth;
    const int64_t triangles = width > 1 && depth > 1 ? 2 * (width - 1) * (depth - 1) : 0;
    ModelCost c;
    c.Faces = triangles;
    // The vertices and triangles, and the sums of the vertex normals while they are made.
    c.Bytes = (vertices + 1) * int64_t(sizeof(GroundVertex)) + (triangles + 1) * int64_t(sizeof(GroundTriangle)) +
              vertices * 32;
    if (gHasWater) {
        c.Faces += triangles;
        c.Bytes += (triangles + 1) * int64_t(sizeof(GroundTriangle)) + (vertices + 1) * int64_t(sizeof(Vector3));
    }
    return c;
}

ModelBudget::ModelBudget() { gModelBudgetLimits = ModelBudgetLimits{}; }

ModelBudget::~ModelBudget() { gModelBudgetLimits = ModelBudgetLimits{}; }

ModelCost ModelBudget::Available(ModelPart part) {
    ModelCost others;
    for (int p = 0; p < kModelPartCount; ++p)
        if (static_cast<ModelPart>(p) != part) others += MeasureModelPart(static_cast<ModelPart>(p));
    ModelCost available{gModelCeilings.Faces - others.Faces, gModelCeilings.Bytes - others.Bytes};
    if (part == ModelPart::Path) available.Bytes = std::min(available.Bytes, gModelCeilings.PathBytes);
    return available;
}

void ModelBudget::PlanPath(bool comb) {
    const int32_t segments = std::max<int32_t>(gSpineInfoSegmentCount, 0);
    const ModelCost fixed{0, static_cast<int64_t>(gSpineInfoNodes.capacity() * sizeof(TrackNode) +
                                                  gSpineInfoSegments.capacity() * sizeof(TrackSegment))};
    const int32_t fit = FittingPrefix(segments, fixed, Available(ModelPart::Path),
                                      [comb](int32_t s) { return EstimatePathSegment(s, comb); });
    gModelBudgetLimits.PathSegments = fit;
    if (fit < segments)
        leftOut_.push_back("the path of " + Grouped(segments - fit) + " of the " + Grouped(segments) +
                           " segments, and everything along it");
}

void ModelBudget::PlanTrack() {
    const int32_t segments = std::max<int32_t>(gSpineInfoSegmentCount, 0);
    const ModelCost fixed{0, static_cast<int64_t>(sizeof(TrackModelEntry))};
    const int32_t fit = FittingPrefix(segments, fixed, Available(ModelPart::Track), EstimateTrackSegment);
    gModelBudgetLimits.TrackSegments = fit;
    if (fit < segments)
        leftOut_.push_back("the rails, spines and crossties of " + Grouped(segments - fit) + " of the " +
                           Grouped(segments) + " segments");
}

namespace {

// Records of one mesh each, made by a single sweep (reserved exactly): the
// array of count + 1 meshes, then `faces` faces at most per record.
int32_t FitRecords(int32_t count, int64_t faces, const ModelCost& available) {
    const ModelCost fixed{0, (static_cast<int64_t>(count) + 1) * kMeshBytes};
    const ModelCost each = FacesCost(faces);
    return FittingPrefix(count, fixed, available, [&](int32_t) { return each; });
}

}  // namespace

void ModelBudget::PlanTubes() {
    const int32_t count = gDocumentType == DocumentTrack ? DocumentCount(gTubeCount, gTubes.size()) : 0;
    const int32_t fit = FitRecords(count, kTubeFaceBound, Available(ModelPart::Tubes));
    gModelBudgetLimits.Tubes = fit;
    if (fit < count) leftOut_.push_back(Grouped(count - fit) + " of the " + Grouped(count) + " support tubes");
}

namespace {

// The fewest bytes a face takes in a crosstie object file: its four numbers,
// the 56 bytes after them and the length of its last block.
constexpr int64_t kTieFileFaceBytes = 4 + 12 + 56 + 4;
// Far above any ceiling: a plan's sums stop growing there.
constexpr int64_t kPlanSaturation = int64_t{1} << 50;

// The most triangles the crosstie object file of a slot can hold.
int64_t TieFileTriangles(const TieModel& tie) {
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(tie.File, ec);
    return ec ? 0 : static_cast<int64_t>(std::min<uintmax_t>(size / kTieFileFaceBytes, kPlanSaturation));
}

// Adds without overflow: a sum stops at kPlanSaturation.
void AddPlanned(ModelCost& total, const ModelCost& c) {
    total.Faces = std::min(total.Faces + c.Faces, kPlanSaturation);
    total.Bytes = std::min(total.Bytes + c.Bytes, kPlanSaturation);
}

// The settings the next build uses: the ones in force, or, while the track
// style's presets are not applied yet, those the build applies first.
ModelerSettings PlannedModelSettings() {
    ModelerSettings m = gModelSettings;
    if (!gPresetsLoaded) ApplyTrackStylePresetsTo(m, gDocumentType == DocumentTrack ? gTrackStyle : 0, false);
    return m;
}

}  // namespace

ModelCost PlanModelPart(ModelPart part) {
    const ModelerSettings m = PlannedModelSettings();
    const int32_t nodes = DocumentCount(gNodeCount, gNodes.size());
    const int32_t segments = DocumentCount(gSegmentCount, gSegments.size());
    const auto length = [&](int32_t s) { return PolygonLength(gNodes, nodes, s); };
    // Every sampling at the finest spacing a detail sets, with one sample
    // more for the rounding of the sampled length.
    const auto samples = [](float len, float spacing) { return int64_t{BoundedSampleCount(len, spacing)} + 1; };
    // Past the ceilings, the sums need go no further.
    const auto full = [](const ModelCost& c) {
        return c.Faces > gModelCeilings.Faces || c.Bytes > gModelCeilings.Bytes;
    };
    ModelCost c;
    switch (part) {
        case ModelPart::Path:
            c.Bytes = (static_cast<int64_t>(nodes) + 1) * static_cast<int64_t>(sizeof(TrackNode)) +
                      (static_cast<int64_t>(segments) + 1) * static_cast<int64_t>(sizeof(TrackSegment));
            for (int32_t s = 0; s < segments && c.Bytes < gModelCeilings.PathBytes; ++s)
                AddPlanned(c, s < nodes ? PathSegmentCost(length(s), true, kDetailMin)
                                        : ModelCost{0, static_cast<int64_t>(sizeof(PathSegmentFrames))});
            c.Bytes = std::min(c.Bytes, gModelCeilings.PathBytes);  // the path is built no further
            break;
        case ModelPart::Track: {
            const float tieSpacing = ClampSetting(m.TieSpacing, kTieSpacingMin, kTieSpacingMax);
            const int64_t tieTriangles = std::max(TieFileTriangles(m.gTieModels[0]), TieFileTriangles(m.gTieModels[1]));
            c.Bytes = static_cast<int64_t>(sizeof(TrackModelEntry));
            for (int32_t s = 0; s < segments && !full(c); ++s) {
                const int64_t rings = samples(length(s), kDetailMin) + 2;
                AddPlanned(c, TrackSegmentCost(m, rings, rings, samples(length(s), tieSpacing), tieTriangles));
            }
            break;
        }
        case ModelPart::Tubes: c = RecordsCost(DocumentCount(gTubeCount, gTubes.size()), kTubeFaceBound); break;
        case ModelPart::Catwalks:
            c = RecordsCost(DocumentCount(gCatwalkCount, gCatwalks.size()), kCatwalkFaceBound);
            break;
        case ModelPart::Footers:
            c = RecordsCost(DocumentCount(gFooterCount, gFooters.size()), kFooterFaceBound);
            break;
        case ModelPart::Prefabs: {
            // The bracing of the complex ones as high as the segment's anchor
            // can stand (the curve's highest point with the first spine's
            // offset), in two arrays of meshes that grow by doubling.
            const float offset = m.gSpineCount >= 1 && !m.gSpines.empty() ? std::fabs(m.gSpines[0].PosY) : 0.0f;
            const int32_t groups = UsablePrefabGroupCount();
            c.Bytes = 2 * kMeshBytes;
            for (int32_t g = 0; g < groups && !full(c); ++g) {
                const double levels = std::floor((double(PolygonTop(gNodes, nodes, g)) + offset) / 6.0);
                const int64_t bracing =
                    kPrefabBracingFaces * static_cast<int64_t>(levels >= 0.0 ? std::min(levels, 1000.0) : 0.0);
                const int32_t items = UsablePrefabItemCount(g);
                for (int32_t j = 0; j < items; ++j) {
                    const int64_t faces =
                        kPrefabFaceBound + (gRascGroups[g].Items[j].Style == PrefabComplex ? bracing : 0);
                    AddPlanned(c, ModelCost{faces, 2 * faces * kFaceBytes + 2 * kMeshBytes});
                }
            }
            break;
        }
        case ModelPart::Tunnels:
            c.Bytes = 2 * kMeshBytes;
            for (int32_t s = 0; s < segments && !full(c); ++s)
                if (gSegments[s].Tunnel) AddPlanned(c, TunnelSegmentCost(m, samples(length(s), kDetailMin)));
            break;
        case ModelPart::Ground: c = EstimateGround(gHasTerrain ? 1 : 0); break;  // as the finest detail builds it
    }
    return c;
}

ModelCost PlanModelBesideTubes() {
    ModelCost total;
    for (int p = 0; p < kModelPartCount; ++p)
        if (static_cast<ModelPart>(p) != ModelPart::Tubes) AddPlanned(total, PlanModelPart(static_cast<ModelPart>(p)));
    return total;
}

int32_t ModelBudget::TubesThatFit() {
    // As FitRecords counts them: the array of count + 1 meshes, then the faces of each.
    const ModelCost others = PlanModelBesideTubes();
    const ModelCost available{gModelCeilings.Faces - others.Faces, gModelCeilings.Bytes - others.Bytes};
    const ModelCost each = FacesCost(kTubeFaceBound);
    if (available.Faces < 0 || available.Bytes < kMeshBytes) return 0;
    const int64_t n =
        std::min(available.Faces / each.Faces, (available.Bytes - kMeshBytes) / (each.Bytes + kMeshBytes));
    return static_cast<int32_t>(std::clamp<int64_t>(n, 0, INT32_MAX - 1));
}

void ModelBudget::PlanCatwalks() {
    const int32_t count = gDocumentType == DocumentTrack ? DocumentCount(gCatwalkCount, gCatwalks.size()) : 0;
    const int32_t fit = FitRecords(count, kCatwalkFaceBound, Available(ModelPart::Catwalks));
    gModelBudgetLimits.Catwalks = fit;
    if (fit < count) leftOut_.push_back(Grouped(count - fit) + " of the " + Grouped(count) + " catwalks");
}

void ModelBudget::PlanFooters() {
    const int32_t count = gDocumentType == DocumentTrack ? DocumentCount(gFooterCount, gFooters.size()) : 0;
    const int32_t fit = FitRecords(count, kFooterFaceBound, Available(ModelPart::Footers));
    gModelBudgetLimits.Footers = fit;
    if (fit < count) leftOut_.push_back(Grouped(count - fit) + " of the " + Grouped(count) + " footers");
}

int64_t EstimatePrefabFaces(int32_t segment, int32_t item) {
    if (segment < 0 || segment >= static_cast<int32_t>(gRascGroups.size())) return 0;
    const RascGroup& group = gRascGroups[segment];
    if (item < 0 || item >= static_cast<int32_t>(group.Items.size())) return 0;
    if (group.Items[item].Style != PrefabComplex) return kPrefabFaceBound;
    Vector3 anchor;
    if (!GetPrefabSupportAnchor(anchor, segment, item)) return kPrefabFaceBound;
    const double levels = std::floor(double(anchor.Y) / 6.0);
    return kPrefabFaceBound + kPrefabBracingFaces * static_cast<int64_t>(levels >= 0.0 ? std::min(levels, 1000.0) : 0.0);
}

void ModelBudget::PlanPrefabs() {
    // The supports in the order they are built, as (segment, item).
    std::vector<std::pair<int32_t, int32_t>> supports;
    if (gDocumentType == DocumentTrack) {
        const int32_t groups = UsablePrefabGroupCount();
        for (int32_t g = 0; g < groups; ++g) {
            const int32_t n = UsablePrefabItemCount(g);
            for (int32_t j = 0; j < n && supports.size() < static_cast<size_t>(INT32_MAX - 1); ++j) supports.emplace_back(g, j);
        }
    }
    const int32_t items = static_cast<int32_t>(supports.size());
    // Two arrays of meshes; each mesh grows by doubling as its beams are added.
    const ModelCost fixed{0, 2 * (static_cast<int64_t>(items) + 1) * kMeshBytes};
    const int32_t fit = FittingPrefix(items, fixed, Available(ModelPart::Prefabs), [&](int32_t k) {
        const int64_t faces = EstimatePrefabFaces(supports[k].first, supports[k].second);
        return ModelCost{faces, 2 * faces * kFaceBytes};
    });
    gModelBudgetLimits.Prefabs = fit;
    if (fit < items)
        leftOut_.push_back(Grouped(items - fit) + " of the " + Grouped(items) + " prefabricated supports");
}

void ModelBudget::PlanTunnels() {
    std::vector<int32_t> tunnels;
    if (gDocumentType == DocumentTrack) {
        const int32_t segments = DocumentCount(gSegmentCount, gSegments.size());
        for (int32_t i = 0; i < segments; ++i)
            if (gSegments[i].Tunnel) tunnels.push_back(i);
    }
    const int32_t count = static_cast<int32_t>(tunnels.size());
    const int32_t fit = FittingPrefix(count, ModelCost{0, 2 * kMeshBytes}, Available(ModelPart::Tunnels),
                                      [&](int32_t k) { return EstimateTunnelSegment(tunnels[k]); });
    gModelBudgetLimits.Tunnels = fit;
    if (fit < count) leftOut_.push_back(Grouped(count - fit) + " of the " + Grouped(count) + " tunnel segments");
}

void ModelBudget::PlanGround() {
    const ModelerSettings& m = BuildSettings();
    if (gDocumentType == DocumentElement || !m.UseTerrain || !gHasTerrain) return;  // the flat ground
    const ModelCost available = Available(ModelPart::Ground);
    auto fits = [&](int32_t stride) {
        const ModelCost c = EstimateGround(stride);
        return c.Faces <= available.Faces && c.Bytes <= available.Bytes;
    };
    const int32_t first = m.LowDetailTerrain ? 2 : 1;
    if (fits(first)) return;
    const int32_t widest = std::max<int32_t>({gTerrainWidth, gTerrainDepth, 2});
    for (int32_t stride = first * 2; stride <= widest; stride *= 2) {
        if (fits(stride)) {
            gModelBudgetLimits.GroundStride = stride;
            leftOut_.push_back("the terrain's full detail (it is shown with one point in " + Grouped(stride) +
                               " along each side)");
            return;
        }
    }
    gModelBudgetLimits.GroundStride = -1;
    leftOut_.push_back("the terrain (flat ground is shown in its place)");
}

std::string ModelBudget::Message() const {
    if (leftOut_.empty()) return {};
    std::string list;
    for (size_t i = 0; i < leftOut_.size(); ++i) list += (i ? "; " : "") + leftOut_[i];
    return "This document's model is larger than the program builds (at most " + Grouped(gModelCeilings.Faces) +
           " faces and " + Grouped(gModelCeilings.Bytes >> 20) + " MiB), so it was built only in part.\r\nLeft out: " +
           list + ".\r\nThe document itself is unchanged and can still be edited and saved.";
}
