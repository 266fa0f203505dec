#include "model/track_model.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/build_snapshot.h"
#include "model/busy_window.h"
#include "model/crosstie_placement.h"
#include "model/model_budget.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/parallel_build.h"
#include "model/path_frames.h"
#include "model/rail_sweeps.h"
#include "model/rebuild_flags.h"

namespace {

// The smallest float radius around `centre` that holds every point seen.
class SphereFit {
public:
    explicit SphereFit(const Vector3& centre) : c_(centre) {}
    void Add(const Vector3& p) {
        const double dx = double(p.X) - c_.X, dy = double(p.Y) - c_.Y, dz = double(p.Z) - c_.Z;
        const double d2 = dx * dx + dy * dy + dz * dz;
        if (d2 > max2_) max2_ = d2;
    }
    void Add(const ModelFace* faces, int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            Add(faces[i].V1);
            Add(faces[i].V2);
            Add(faces[i].V3);
        }
    }
    float Radius() const {
        const double r = std::sqrt(max2_);
        float f = static_cast<float>(r);
        if (double(f) < r) f = std::nextafter(f, INFINITY);
        return f;
    }

private:
    Vector3 c_;
    double max2_ = 0.0;
};

}  // namespace

void InitTrackModel() {
    const int32_t segments = std::max<int32_t>(gSpineInfoSegmentCount, 0);
    gTrackModel.clear();
    gTrackModel.resize(static_cast<size_t>(segments) + 1);
    for (int32_t i = 0; i < segments; ++i) InitSegmentModel(i);
}

void InitSegmentModel(int32_t i) {
    if (i < 0 || i >= static_cast<int32_t>(gTrackModel.size())) return;
    const ModelerSettings& m = BuildSettings();
    TrackModelEntry& entry = gTrackModel[i];
    entry.Rails.assign(static_cast<size_t>(std::max<int32_t>(m.gRailCount, 0)) + 1, ModelMesh{});
    entry.Spines.assign(static_cast<size_t>(std::max<int32_t>(m.gSpineCount, 0)) + 1, ModelMesh{});
    entry.TieFaceCount = 0;
}

namespace {

bool SegmentHasPath(int32_t i) {
    return i >= 0 && i < gSpineInfoSegmentCount && i < static_cast<int32_t>(gTrackModel.size()) &&
           i < static_cast<int32_t>(gPathMatrixArray.size());
}

// Rails and spines of one segment: they read the path and the settings only.
void ModelSegmentSweeps(int32_t i) {
    if (!SegmentHasPath(i) || gPathMatrixArray[i].FrameCount < 1) return;
    const ModelerSettings& m = BuildSettings();
    for (int32_t r = 0; r < m.gRailCount; ++r) ModelRail(i, r, m.RailDetail);
    for (int32_t s = 0; s < m.gSpineCount; ++s) ModelSpine(i, s, m.SpineDetail);
}

// The bounding sphere of one segment, once everything it draws is built.
void FitSegmentSphere(int32_t i) {
    if (!SegmentHasPath(i)) return;
    TrackModelEntry& entry = gTrackModel[i];
    const PathSegmentFrames& path = gPathMatrixArray[i];
    if (path.FrameCount < 1) {
        // A segment without the nodes it names (or past the budget's limit) has
        // no path: nothing is built along it.
        entry.Centre = Vector3{};
        entry.Radius = 0.0f;
        return;
    }
    // Bounding sphere about the midpoint of the segment's chord. Its radius is
    // at least 4/7 of the chord and reaches every point the segment draws, so
    // a curved segment is never dropped while part of it is in view.
    const Vector3 a = MatrixGetTranslation(path.Frames[0].Frame);
    const Vector3 b = MatrixGetTranslation(path.Frames[path.FrameCount - 1].Frame);
    entry.Centre = VectorLerp(a, b, 0.5f);
    SphereFit fit(entry.Centre);
    for (int32_t k = 0; k < path.FrameCount; ++k) fit.Add(MatrixGetTranslation(path.Frames[k].Frame));
    for (const ModelMesh& mesh : entry.Rails) fit.Add(mesh.Faces.data(), std::min<int32_t>(mesh.FaceCount, static_cast<int32_t>(mesh.Faces.size())));
    for (const ModelMesh& mesh : entry.Spines) fit.Add(mesh.Faces.data(), std::min<int32_t>(mesh.FaceCount, static_cast<int32_t>(mesh.Faces.size())));
    fit.Add(entry.TieFaces.data(), std::min<int32_t>(entry.TieFaceCount, static_cast<int32_t>(entry.TieFaces.size())));
    const float chordRadius = static_cast<float>(std::fabs(double(VectorDistance(a, b)) / 1.75));
    entry.Radius = std::max(chordRadius, fit.Radius());
}

// The crossties of one segment: the tie pattern runs on from the segment
// before (in the globals).
void ModelSegmentTies(int32_t i) {
    if (SegmentHasPath(i) && gPathMatrixArray[i].FrameCount >= 1) ModelCrossties(i);
}

}  // namespace

void ModelSegment(int32_t i) {
    if (!SegmentHasPath(i)) return;
    ModelSegmentSweeps(i);
    ModelSegmentTies(i);
    FitSegmentSphere(i);
}

void CreateTrackModel() {
    if (gSpineInfoSegmentCount < 1) {
        gTrackModelValid = true;
        return;
    }
    InitTrackModel();
    BuildProgress& busy = BusyWindow();
    const int32_t limit = std::clamp<int32_t>(gModelBudgetLimits.TrackSegments, 0, gSpineInfoSegmentCount);
    // The tie pattern runs on from segment to segment: a cheap pass in order
    // gives each segment the pattern it starts from, so that every segment,
    // its ties included, can be built on its own.
    std::vector<TiePattern> patterns(static_cast<size_t>(limit));
    TiePattern pattern{0, BuildSettings().ToggleCount1};
    for (int32_t i = 0; i < limit; ++i) {
        patterns[i] = pattern;
        if (SegmentHasPath(i) && gPathMatrixArray[i].FrameCount >= 1) pattern = TiePatternAfter(i, pattern);
    }
    // A block of segments at a time on all cores (each segment's meshes are
    // its own), then the marker once per segment of the block as before. The
    // marker lets the window system deliver events, and the preview may draw
    // the track model meanwhile (a partial rebuild keeps it valid): so it
    // steps only while no core is writing to the model.
    const int32_t built = std::min(limit, gSpineInfoSegmentCount);
    ParallelBlocks(
        0, built, 128,
        [&patterns](int64_t k) {
            const int32_t i = static_cast<int32_t>(k);
            ModelSegmentSweeps(i);
            if (SegmentHasPath(i) && gPathMatrixArray[i].FrameCount >= 1) {
                TiePattern start = patterns[i];
                ModelCrosstiesFrom(i, start);
            }
            FitSegmentSphere(i);
        },
        [&busy](int64_t) { busy.UpdateMarker(); });
    for (int32_t i = built; i < gSpineInfoSegmentCount; ++i) busy.UpdateMarker();
    gTieState = pattern.State;
    gTieCountdown = pattern.Countdown;
    ColorTrackModel(gColorSegmentChecked ? ColorBySegmentKind : ColorByDocument);
    gTrackModelValid = true;
}
