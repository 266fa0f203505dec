#include "model/tunnel_models.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/member_placement.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/outline_sweep.h"
#include "model/path_frames.h"
#include "model/rail_sweeps.h"
#include "trackdoc/track_document.h"

namespace {

// Section centre height above the track's centre line (below on the inverted styles).
double SectionCentre() { return IsInvertedStyle(gTrackStyle) ? -1.0 : 1.0; }

// Round section of n points: angles 0, -s, -2s, ... degrees (s = 360 / n,
// counted in single precision), point (R cos a, c - R sin a).
std::vector<Vector3> RoundSection(int n, double radius) {
    const double c = SectionCentre();
    const float step = static_cast<float>(360.0 / n);
    std::vector<Vector3> points(static_cast<size_t>(n));
    float angle = 0.0f;
    for (int j = 0; j < n; ++j) {
        const double a = DegToRad(angle);
        points[j] = MakeVector(static_cast<float>(radius * std::cos(a)), static_cast<float>(c - radius * std::sin(a)), 0.0f);
        angle = static_cast<float>(double(angle) - step);
    }
    return points;
}

// Square section: the corners at -45, -135, -225 and -315 degrees.
std::vector<Vector3> SquareSection(double radius) {
    const double c = SectionCentre();
    std::vector<Vector3> points(4);
    for (int j = 0; j < 4; ++j) {
        const double a = DegToRad(-90.0 * j - 45.0);
        points[j] = MakeVector(static_cast<float>(radius * std::cos(a)), static_cast<float>(c - radius * std::sin(a)), 0.0f);
    }
    return points;
}

// The level frame of a square tunnel ring: the track's direction without its
// roll, its centre moved against the bank.
Matrix4 LevelFrame(const Matrix4& f) {
    const double bank = ArcTan2(f(1, 0), f(1, 1));
    const Vector3 p = MatrixTransformPoint(
        f, MakeVector(static_cast<float>(-0.7 * bank), static_cast<float>(-0.2 * bank), 0.0f));
    const Vector3 dir =
        VectorFromTo(MatrixTransformPoint(f, MakeVector(0, 0, 0)), MatrixTransformPoint(f, MakeVector(0, 0, -1)));
    return MemberTransform(p, MemberYaw(dir), MemberPitch(dir));
}

bool TunnelSlot(int32_t segment, int32_t k) {
    return segment >= 0 && segment < gSpineInfoSegmentCount && segment < static_cast<int32_t>(gPathMatrixArray.size()) &&
           gPathMatrixArray[segment].FrameCount > 0 && k >= 0 &&
           k < static_cast<int32_t>(gTunnelOuterModels.size()) && k < static_cast<int32_t>(gTunnelInnerModels.size());
}

// Sweeps both skins along the segment: rings evenly spaced about SpineDetail
// apart, the first at the segment's start and the last exactly at its end.
void SweepTunnel(int32_t segment, int32_t k, const std::vector<Vector3>& outerSection,
                 const std::vector<Vector3>& innerSection, bool level, bool smooth) {
    if (!TunnelSlot(segment, k)) return;
    const float length = gPathMatrixArray[segment].Length;
    if (!(length > 0.0f)) return;  // nothing to wrap
    ModelMesh& outer = gTunnelOuterModels[k];
    ModelMesh& inner = gTunnelInnerModels[k];
    outer.Smooth = inner.Smooth = smooth;

    const int n = static_cast<int>(outerSection.size());
    const int32_t steps = SweepStepCount(length, UsableSpineDetail());
    const size_t bandFaces = static_cast<size_t>(steps) * 2 * n;
    outer.Faces.reserve(bandFaces + 4 * static_cast<size_t>(n));
    inner.Faces.reserve(bandFaces);

    std::vector<Vector3> o(n), i(n), prevO(n), prevI(n);
    Matrix4 frame;
    for (int32_t ring = 0; ring <= steps; ++ring) {
        GetPathMatrixAt(segment, RingDistance(length, steps, ring), frame);
        const Matrix4 place = level ? LevelFrame(frame) : frame;
        MapOutline(place, outerSection.data(), n, o.data());
        MapOutline(place, innerSection.data(), n, i.data());
        if (ring == 0) {
            for (int j = 0; j < n; ++j) {
                const int next = j + 1 < n ? j + 1 : 0;
                ModelFace a = MakeFace(o[j], o[next], i[next]);
                ModelFace b = MakeFace(i[next], i[j], o[j]);
                a.VertexNormal1 = a.VertexNormal2 = a.VertexNormal3 = a.FaceNormal();
                b.VertexNormal1 = b.VertexNormal2 = b.VertexNormal3 = b.FaceNormal();
                AppendFace(outer, a);
                AppendFace(outer, b);
            }
        } else {
            // Where ring positions lie closer than single floats tell apart
            // (a segment thousands of kilometres out), a ring repeats the one
            // before: the band between them has no area and is left out, as
            // the rails and spines leave theirs out.
            if (StripHasArea(prevO.data(), o.data(), n)) {
                AppendBand(outer, prevO.data(), o.data(), n, BandFacing::Outward);
                if (smooth) SmoothBand(outer, n, BandFacing::Outward);
            }
            if (StripHasArea(prevI.data(), i.data(), n)) {
                AppendBand(inner, prevI.data(), i.data(), n, BandFacing::Inward);
                if (smooth) SmoothBand(inner, n, BandFacing::Inward);
            }
        }
        prevO.swap(o);
        prevI.swap(i);
    }
    // The end ring, on the last ring built.
    for (int j = 0; j < n; ++j) {
        const int next = j + 1 < n ? j + 1 : 0;
        ModelFace a = MakeFace(prevI[next], prevO[next], prevO[j]);
        ModelFace b = MakeFace(prevO[j], prevI[j], prevI[next]);
        a.VertexNormal1 = a.VertexNormal2 = a.VertexNormal3 = a.FaceNormal();
        b.VertexNormal1 = b.VertexNormal2 = b.VertexNormal3 = b.FaceNormal();
        AppendFace(outer, a);
        AppendFace(outer, b);
    }
    // Far out, single floats may also merge some points of a ring with their
    // neighbours (the outer and inner skins 0.1 apart): those faces go too,
    // the others keep the normals their bands were smoothed with.
    DropFacesWithoutArea(outer, 0);
    DropFacesWithoutArea(inner, 0);
}

int UsableSoftness() {
    return std::clamp<int32_t>(BuildSettings().TunnelSoftness, kTunnelSoftnessMin, kTunnelSoftnessMax);
}

}  // namespace

void ModelRoundTunnel(int32_t segment, int32_t k) {
    const int n = UsableSoftness();
    SweepTunnel(segment, k, RoundSection(n, kRoundTunnelOuterRadius), RoundSection(n, kRoundTunnelInnerRadius), false,
                true);
}

void ModelSquareTunnel(int32_t segment, int32_t k) {
    SweepTunnel(segment, k, SquareSection(kSquareTunnelOuterRadius), SquareSection(kSquareTunnelInnerRadius), true,
                false);
}

void CreateTunnelModels() {
    if (gDocumentType != DocumentTrack) {
        gTunnelModelCount = 0;
        gTunnelOuterModels.assign(1, ModelMesh{});
        gTunnelInnerModels.assign(1, ModelMesh{});
        return;
    }
    const int32_t segments = std::clamp<int32_t>(gSegmentCount, 0, static_cast<int32_t>(gSegments.size()));
    int32_t count = 0;
    for (int32_t i = 0; i < segments; ++i)
        if (gSegments[i].Tunnel) ++count;
    gTunnelModelCount = count;
    gTunnelOuterModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    gTunnelInnerModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    const bool square = BuildSettings().SquareTunnels;
    int32_t k = 0;
    for (int32_t i = 0; i < segments && k < gModelBudgetLimits.Tunnels; ++i) {
        if (!gSegments[i].Tunnel) continue;
        if (square)
            ModelSquareTunnel(i, k);
        else
            ModelRoundTunnel(i, k);
        ++k;
    }
}
