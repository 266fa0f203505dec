#include "model/rail_sweeps.h"

#include <algorithm>
#include <cmath>

#include "model/build_snapshot.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"

namespace {

inline Vector3 ProfilePoint(const Matrix4& frame, double x, double y) {
    return MatrixTransformPoint(frame, MakeVector(static_cast<float>(x), static_cast<float>(y), 0.0f));
}

using ProfileProc = void (*)(const Vector3&, float, const Matrix4&, Vector3*);

struct SweepShape {
    ProfileProc Profile = nullptr;
    int Points = 0;
    bool Smooth = false;
};

SweepShape RailShape(const RailSpec& rail) {
    switch (rail.Shape) {
        case RailRound: return {MakeRoundRailProfile, 5, true};
        case RailSquare: return {MakeSquareProfile, 4, false};
        case RailWood:
            return {rail.PosX >= 0.0f ? MakePositiveSideRailProfile : MakeNegativeSideRailProfile, 6, false};
        default: return {};
    }
}

SweepShape SpineShape(const RailSpec& spine) {
    switch (spine.Shape) {
        case SpineRound: return {MakeSpineProfile, 8, true};
        case SpineSquare: return {MakeSquareProfile, 4, false};
        default: return {};
    }
}

void Sweep(int32_t segment, const RailSpec& spec, const SweepShape& shape, float detail, ModelMesh& mesh) {
    const float length = gPathMatrixArray[segment].Length;
    const int32_t steps = SweepStepCount(length, ClampSetting(detail, kDetailMin, kDetailMax));
    const float step = static_cast<float>(double(length) / steps);
    if (!shape.Profile) return;

    const int m = shape.Points;
    const size_t expected = static_cast<size_t>(mesh.FaceCount) + static_cast<size_t>(steps + 2) * 2 * m;
    if (mesh.Faces.capacity() < expected) mesh.Faces.reserve(expected);

    const Vector3 position{spec.PosX, spec.PosY, spec.PosZ};
    Vector3 a[9] = {}, b[9] = {};
    Matrix4 frame;  // zero until the first lookup succeeds
    bool firstRing = true;
    const float endValue = static_cast<float>(double(length) + step);
    // n + 1 or n + 2 rings; the bound only matters where the sum of many
    // steps drifts, and keeps the faces within what was reserved.
    int32_t rings = 0;
    for (float d = 0.0f; d <= endValue && rings < steps + 2; ++rings) {
        GetPathMatrixAt(segment, d, frame);  // a failed lookup keeps the previous ring's frame
        shape.Profile(position, spec.Size, frame, b);
        // A ring that repeats the one before (a lookup past the end of an open
        // track repeats the last frame; two rings past the end both take the
        // next segment's first frame) or a profile of no size would be joined
        // by triangles without area: that strip is left out.
        if (!firstRing && StripHasArea(a, b, m)) {
            AppendSideStrip(mesh, a, b, m);
            if (shape.Smooth) SmoothStripEdges(mesh, m);
        }
        std::copy(b, b + 9, a);
        firstRing = false;
        const float next = static_cast<float>(double(d) + step);
        if (!(next > d)) break;  // a zero-length segment: one ring and no strip
        d = next;
    }
}

bool SegmentModelExists(int32_t segment) {
    return segment >= 0 && segment < gSpineInfoSegmentCount &&
           segment < static_cast<int32_t>(gTrackModel.size()) &&
           segment < static_cast<int32_t>(gPathMatrixArray.size());
}

}  // namespace

int32_t SweepStepCount(float length, float detail) { return BoundedSampleCount(length, detail); }

void ModelRail(int32_t segment, int32_t rail, float detail) {
    if (!SegmentModelExists(segment)) return;
    const ModelerSettings& m = BuildSettings();
    TrackModelEntry& entry = gTrackModel[segment];
    if (rail < 0 || rail >= m.gRailCount || rail >= static_cast<int32_t>(m.gRails.size()) ||
        rail >= static_cast<int32_t>(entry.Rails.size()))
        return;
    const RailSpec& spec = m.gRails[rail];
    const SweepShape shape = RailShape(spec);
    ModelMesh& mesh = entry.Rails[rail];
    mesh.Smooth = shape.Smooth;
    Sweep(segment, spec, shape, detail, mesh);
}

void ModelSpine(int32_t segment, int32_t spine, float detail) {
    if (!SegmentModelExists(segment)) return;
    const ModelerSettings& m = BuildSettings();
    TrackModelEntry& entry = gTrackModel[segment];
    if (spine < 0 || spine >= m.gSpineCount || spine >= static_cast<int32_t>(m.gSpines.size()) ||
        spine >= static_cast<int32_t>(entry.Spines.size()))
        return;
    const RailSpec& spec = m.gSpines[spine];
    const SweepShape shape = SpineShape(spec);
    ModelMesh& mesh = entry.Spines[spine];
    if (shape.Profile) mesh.Smooth = shape.Smooth;  // an unknown shape leaves the flag as it was
    Sweep(segment, spec, shape, detail, mesh);
}

void MakeRoundRailProfile(const Vector3& p, float s, const Matrix4& f, Vector3* out) {
    const double x0 = p.X, y0 = p.Y, h = static_cast<float>(s / 2.0);
    out[0] = ProfilePoint(f, x0, y0 - s);
    out[1] = ProfilePoint(f, x0 + s, y0);
    out[2] = ProfilePoint(f, x0 + h, y0 + s);
    out[3] = ProfilePoint(f, x0 - h, y0 + s);
    out[4] = ProfilePoint(f, x0 - s, y0);
}

void MakeSquareProfile(const Vector3& p, float s, const Matrix4& f, Vector3* out) {
    const double x0 = p.X, y0 = p.Y;
    out[0] = ProfilePoint(f, x0 + s, y0 - s);
    out[1] = ProfilePoint(f, x0 + s, y0 + s);
    out[2] = ProfilePoint(f, x0 - s, y0 + s);
    out[3] = ProfilePoint(f, x0 - s, y0 - s);
}

void MakePositiveSideRailProfile(const Vector3& p, float, const Matrix4& f, Vector3* out) {
    const double x0 = p.X, y0 = p.Y;
    out[0] = ProfilePoint(f, x0, y0 - 0.2);
    out[1] = ProfilePoint(f, x0 + 0.2, y0 - 0.2);
    out[2] = ProfilePoint(f, x0 + 0.2, y0 + 0.1);
    out[3] = ProfilePoint(f, x0 - 0.1, y0 + 0.1);
    out[4] = ProfilePoint(f, x0 - 0.1, y0);
    out[5] = ProfilePoint(f, x0, y0);
}

void MakeNegativeSideRailProfile(const Vector3& p, float, const Matrix4& f, Vector3* out) {
    const double x0 = p.X, y0 = p.Y;
    out[0] = ProfilePoint(f, x0 - 0.2, y0 - 0.2);
    out[1] = ProfilePoint(f, x0, y0 - 0.2);
    out[2] = ProfilePoint(f, x0, y0);
    out[3] = ProfilePoint(f, x0 + 0.1, y0);
    out[4] = ProfilePoint(f, x0 + 0.1, y0 + 0.1);
    out[5] = ProfilePoint(f, x0 - 0.2, y0 + 0.1);
}

void MakeSpineProfile(const Vector3& p, float s, const Matrix4& f, Vector3* out) {
    const double x0 = p.X, y0 = p.Y, h = static_cast<float>(s / 2.0);
    out[0] = ProfilePoint(f, x0 + h, y0 - s);
    out[1] = ProfilePoint(f, x0 + s, y0 - h);
    out[2] = ProfilePoint(f, x0 + s, y0 + h);
    out[3] = ProfilePoint(f, x0 + h, y0 + s);
    out[4] = ProfilePoint(f, x0 - h, y0 + s);
    out[5] = ProfilePoint(f, x0 - s, y0 + h);
    out[6] = ProfilePoint(f, x0 - s, y0 - h);
    out[7] = ProfilePoint(f, x0 - h, y0 - s);
}
