#include "model/prefab_support_models.h"

#include <algorithm>
#include <cmath>

#include "core/app_state.h"
#include "model/busy_window.h"
#include "model/member_placement.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/parallel_build.h"
#include "model/path_frames.h"
#include "model/prefab_support_parts.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

// What every style builder starts from.
struct SupportBasis {
    Matrix4 F;          // path frame at the support
    double Heading = 0; // compass angle of the direction of travel
    double Bank = 0;    // world-up parts of the frame's x and y axes
    float Side = 1.0f;  // the side styles 5 to 7 stand on
    Vector3 A;          // anchor on the spine
    Matrix4 S;          // Translate(A) . RotY(heading): level, turned with the track
};

bool StartSupport(int32_t segment, int32_t item, SupportBasis& basis) {
    if (!FindPrefabSupport(segment, item, basis.F, basis.A)) return false;
    const Vector3 d =
        VectorFromTo(MatrixTransformPoint(basis.F, MakeVector(0, 0, 0)), MatrixTransformPoint(basis.F, MakeVector(0, 0, -1)));
    basis.Heading = MemberYaw(d);
    basis.Bank = ArcTan2(basis.F(1, 0), basis.F(1, 1));
    basis.Side = basis.Bank >= 0.0 ? 1.0f : -1.0f;
    if (IsInvertedStyle(gTrackStyle)) basis.Side = -basis.Side;
    basis.S = MatrixMultiply(MatrixTranslateV(basis.A), MatrixRotateY(basis.Heading));
    return true;
}

Vector3 At(const Matrix4& m, double x, double y, double z) {
    return MatrixTransformPoint(m, MakeVector(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)));
}

Vector3 Ground(const Vector3& p) { return MakeVector(p.X, GetGroundHeightAt(p), p.Z); }

Vector3 AtHeight(const Vector3& p, float y) { return MakeVector(p.X, y, p.Z); }

Vector3 Raised(const Vector3& p, double dy) { return MakeVector(p.X, static_cast<float>(p.Y + dy), p.Z); }

double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

enum class Turn { Heading, Own };

struct BeamResult {
    float Length = 0.0f;
    double OwnYaw = 0.0;
};

// A beam of half-width w from start to end: its length is the distance plus
// `extra` (never below 0); it is turned by the support's heading or by its
// own direction.
BeamResult Beam(int32_t model, const SupportBasis& basis, const Vector3& start, const Vector3& end, float w,
                double extra, Turn turn, bool capStart, bool capEnd) {
    const Vector3 v = VectorFromTo(start, end);
    BeamResult r;
    double length = double(VectorDistance(start, end)) + extra;
    if (!(length >= 0.0)) length = 0.0;
    r.Length = static_cast<float>(length);
    r.OwnYaw = MemberYaw(v);
    const double yaw = turn == Turn::Heading ? basis.Heading : r.OwnYaw;
    const Matrix4 m = MemberTransform(start, yaw, MemberPitch(v));
    BuildPrefabBeam(model, m, MakeVector(w, w, r.Length), capStart, capEnd);
    return r;
}

void Footer(int32_t model, Vector3 position, double angle) { BuildPrefabFooter(model, position, static_cast<float>(angle)); }

constexpr float kPostShort = -0.75f;   // a post stops this short of the anchor
constexpr double kArmLong = 0.175;     // arms and bank posts reach this far past their point
constexpr float kClampHeight = 0.855f; // top of the clamp fitting above its origin
// Far more bracing levels than any ride needs (6 km): a bound for a damaged file.
constexpr int32_t kMaxBracingLevels = 1000;

}  // namespace

int32_t UsablePrefabGroupCount() {
    const int32_t groups = std::min<int32_t>(gRascGroupCount, static_cast<int32_t>(gRascGroups.size()));
    return std::clamp<int32_t>(gSegmentCount, 0, std::max<int32_t>(groups, 0));
}

int32_t UsablePrefabItemCount(int32_t segment) {
    if (segment < 0 || segment >= UsablePrefabGroupCount()) return 0;
    const RascGroup& group = gRascGroups[segment];
    return std::clamp<int32_t>(group.ItemCount, 0, static_cast<int32_t>(group.Items.size()));
}

bool FindPrefabSupport(int32_t segment, int32_t item, Matrix4& frame, Vector3& anchor) {
    if (item < 0 || item >= UsablePrefabItemCount(segment)) return false;
    if (segment >= gSpineInfoSegmentCount || segment >= static_cast<int32_t>(gPathMatrixArray.size()) ||
        gPathMatrixArray[segment].FrameCount < 1)
        return false;
    Matrix4 f;
    Vector3 a;
    if (!GetPrefabSupportFrame(f, segment, item) || f(3, 3) == 0.0f) return false;  // the lookup found no frame
    if (!GetPrefabSupportAnchor(a, segment, item)) return false;
    frame = f;
    anchor = a;
    return true;
}

void AddSupportFace(int32_t model, const Vector3& a, const Vector3& b, const Vector3& c) {
    if (model < 0 || model >= static_cast<int32_t>(gPrefabModels.size())) return;
    AppendFace(gPrefabModels[model], MakeFace(a, b, c));
}

void ModelSimplePrefab(int32_t segment, int32_t item, int32_t model) {
    SupportBasis b;
    if (!StartSupport(segment, item, b)) return;
    BuildPrefabPartMesh1(model, b.S, MakeVector(0.3f, 0.75f, 0.3f));
    Beam(model, b, Ground(b.A), b.A, 0.25f, kPostShort, Turn::Heading, false, false);
    Footer(model, b.A, b.Heading);
}

void ModelComplexPrefab(int32_t segment, int32_t item, int32_t model) {
    SupportBasis b;
    if (!StartSupport(segment, item, b)) return;
    const Vector3 p1 = At(b.S, -1.5, -0.1, 0), p2 = At(b.S, -1.7, -0.1, 0);
    const Vector3 p3 = At(b.S, 1.5, -0.1, 0), p4 = At(b.S, 1.7, -0.1, 0);
    const float top = static_cast<float>(double(b.A.Y) - 0.1);
    const Vector3 g1 = Ground(p1), g3 = Ground(p3);
    Beam(model, b, g1, p1, 0.1f, 0.0, Turn::Heading, false, false);
    Beam(model, b, g3, p3, 0.1f, 0.0, Turn::Heading, false, false);

    // Bracing every 6 m of absolute height, where both legs stand below the
    // level and the level lies below the cross beam. The levels are counted
    // (a height that only adds 6 stops growing far up) and bounded.
    float previous = 0.0f;
    for (int32_t level = 1; level <= kMaxBracingLevels; ++level) {
        const float h = static_cast<float>(6.0 * level);
        if (!(h <= top)) break;
        if (!(h > g1.Y && h > g3.Y && h < top)) continue;
        Beam(model, b, AtHeight(p1, h), AtHeight(p3, h), 0.1f, 0.0, Turn::Own, false, false);
        if (previous == 0.0f) previous = static_cast<float>(double(h) - 5.0);
        Beam(model, b, AtHeight(p1, previous), AtHeight(p3, h), 0.05f, 0.0, Turn::Own, false, false);
        Beam(model, b, AtHeight(p1, h), AtHeight(p3, previous), 0.05f, 0.0, Turn::Own, false, false);
        previous = h;
    }
    const BeamResult cross = Beam(model, b, p2, p4, 0.1f, 0.0, Turn::Own, true, true);

    bool closing = true;
    if (previous == 0.0f) {
        previous = static_cast<float>(double(std::max(g1.Y, g3.Y)) + 1.0);
        if (previous > top) closing = false;
    }
    if (closing && previous >= 0.0f) {
        Beam(model, b, AtHeight(p1, previous), AtHeight(p3, top), 0.05f, 0.0, Turn::Own, false, false);
        Beam(model, b, AtHeight(p1, top), AtHeight(p3, previous), 0.05f, 0.0, Turn::Own, false, false);
    }
    Footer(model, p1, cross.OwnYaw);
    Footer(model, p3, cross.OwnYaw);
}

void ModelInvertedPrefab(int32_t segment, int32_t item, int32_t model) {
    SupportBasis b;
    if (!StartSupport(segment, item, b)) return;
    BuildPrefabPartMesh2(model, b.S, MakeVector(0.35f, 0.75f, 0.75f));
    const Vector3 q1 = At(b.S, -2, kClampHeight, 0), b1 = Ground(At(b.S, -5, 0, 0));
    const Vector3 q2 = At(b.S, -2.5, kClampHeight, 0);
    const Vector3 q3 = At(b.S, 2, kClampHeight, 0), b2 = Ground(At(b.S, 5, 0, 0));
    const Vector3 q4 = At(b.S, 2.5, kClampHeight, 0);
    Beam(model, b, q2, q4, 0.3f, 0.0, Turn::Own, true, true);
    Beam(model, b, b1, q1, 0.3f, 0.0, Turn::Own, false, false);
    Beam(model, b, b2, q3, 0.3f, 0.0, Turn::Own, false, false);
    Footer(model, b1, b.Heading);
    Footer(model, b2, b.Heading);
}

void ModelBankPrefab(int32_t segment, int32_t item, int32_t model) {
    SupportBasis b;
    if (!StartSupport(segment, item, b)) return;
    const Matrix4 r = MatrixMultiply(b.S, MatrixRotateZ(DegToRad(-90.0 * b.Side)));
    BuildPrefabPartMesh2(model, r, MakeVector(0.35f, 0.75f, 0.75f));
    const Vector3 p = At(r, 0, kClampHeight, 0);
    const BeamResult post = Beam(model, b, Ground(p), p, 0.25f, kArmLong, Turn::Heading, false, false);
    const double e = Clamp(post.Length / 7.0 + 1.0, 1.0, 5.0);
    const Vector3 g2 = Ground(At(r, 0, e, 0));
    const Vector3 foot = Raised(p, -1.0);
    const BeamResult strut = Beam(model, b, g2, foot, 0.25f, 0.0, Turn::Own, false, false);
    Footer(model, foot, strut.OwnYaw);
    Footer(model, g2, strut.OwnYaw);
}

void ModelSmallInvertedPrefab(int32_t segment, int32_t item, int32_t model) {
    SupportBasis b;
    if (!StartSupport(segment, item, b)) return;
    BuildPrefabPartMesh2(model, b.S, MakeVector(0.35f, 0.75f, 0.75f));
    const double s = b.Side;
    const double f = Clamp(b.A.Y / 7.0 + 3.0, 3.0, 6.0);
    const Vector3 p1 = At(b.S, 2 * s, kClampHeight, 0), b1 = Ground(At(b.S, 2 * s, 0, 0));
    const Vector3 p2 = At(b.S, 3 * s, kClampHeight, 0), b2 = Ground(At(b.S, f * s, 0, 0));
    const Vector3 p3 = At(b.S, 3.5 * s, kClampHeight, 0);
    Beam(model, b, p3, Raised(b.A, kClampHeight), 0.3f, kArmLong, Turn::Own, true, false);
    Beam(model, b, b1, p1, 0.3f, 0.0, Turn::Own, false, false);
    Beam(model, b, b2, p2, 0.3f, 0.0, Turn::Own, false, false);
    Footer(model, b1, b.Heading);
    Footer(model, b2, b.Heading);
}

void ModelAShapePrefab(int32_t segment, int32_t item, int32_t model) {
    SupportBasis b;
    if (!StartSupport(segment, item, b)) return;
    BuildPrefabPartMesh1(model, b.S, MakeVector(0.3f, 0.75f, 0.3f));
    const BeamResult post = Beam(model, b, Ground(b.A), b.A, 0.25f, kPostShort, Turn::Heading, false, false);
    const double o = b.Side * Clamp(post.Length / 7.0 + 1.0, 1.0, 5.0);
    const Vector3 g2 = Ground(At(b.S, o, 0, 0));
    const Vector3 foot = Raised(b.A, -1.0);
    Beam(model, b, g2, foot, 0.25f, 0.0, Turn::Own, false, false);
    Footer(model, foot, b.Heading);
    Footer(model, g2, b.Heading);
}

void ModelPrefabSupport(int32_t segment, int32_t item, int32_t model) {
    if (item < 0 || item >= UsablePrefabItemCount(segment)) return;
    switch (gRascGroups[segment].Items[item].Style) {
        case PrefabSimple: ModelSimplePrefab(segment, item, model); break;
        case PrefabComplex: ModelComplexPrefab(segment, item, model); break;
        case PrefabInverted: ModelInvertedPrefab(segment, item, model); break;
        case Prefab90degBank: ModelBankPrefab(segment, item, model); break;
        case PrefabSmallInverted: ModelSmallInvertedPrefab(segment, item, model); break;
        case PrefabAShape: ModelAShapePrefab(segment, item, model); break;
        default:
            if (model >= 0 && model < static_cast<int32_t>(gPrefabModels.size())) gPrefabModels[model].FaceCount = 0;
            break;
    }
}

void CreatePrefabSupportModels() {
    if (gDocumentType != DocumentTrack) {
        gPrefabModelCount = 0;
        gPrefabModels.assign(1, ModelMesh{});
        gPrefabFooterModels.assign(1, ModelMesh{});
        return;
    }
    const int32_t groups = UsablePrefabGroupCount();
    int64_t count = 0;
    for (int32_t i = 0; i < groups; ++i) count += UsablePrefabItemCount(i);
    gPrefabModelCount = static_cast<int32_t>(count);
    gPrefabModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    gPrefabFooterModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    BuildProgress& busy = BusyWindow();
    // Each group's supports take the next numbers: their first number is
    // known beforehand, and the groups are built on all cores.
    std::vector<int64_t> firsts(static_cast<size_t>(groups) + 1, 0);
    for (int32_t i = 0; i < groups; ++i) firsts[i + 1] = firsts[i] + UsablePrefabItemCount(i);
    const int32_t limit = gModelBudgetLimits.Prefabs;
    ParallelBlocks(0, groups, 64, [&](int64_t group) {
        const int32_t i = static_cast<int32_t>(group);
        const int32_t items = static_cast<int32_t>(firsts[i + 1] - firsts[i]);
        int64_t k = firsts[i];
        for (int32_t j = 0; j < items; ++j, ++k) {
            if (k >= limit) continue;  // the rest stay empty
            ModelPrefabSupport(i, j, static_cast<int32_t>(k));
            // A support's face count is known only once it is built: its lists
            // grew by doubling, and give the spare room back now.
            TrimFaces(gPrefabModels[static_cast<size_t>(k)]);
            TrimFaces(gPrefabFooterModels[static_cast<size_t>(k)]);
        }
    }, [&](int64_t) { busy.UpdateMarker(); });
}
