#include "model/tube_models.h"

#include <algorithm>
#include <array>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/busy_window.h"
#include "model/footer_models.h"
#include "model/member_placement.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/parallel_build.h"
#include "model/modeler_settings.h"
#include "model/outline_sweep.h"
#include "model/prefab_support_models.h"
#include "trackdoc/track_document.h"

namespace {

int32_t UsableTubeCount() { return std::clamp<int32_t>(gTubeCount, 0, static_cast<int32_t>(gTubes.size())); }

using Builder = void (*)(int32_t, const Matrix4&, const Vector3&);

struct TubeKind {
    int Slot;
    Builder Build;
};

// By tube type code; the scale slots are in another order than the codes.
constexpr TubeKind kTubeKinds[10] = {
    {ScaleMediumTube, BuildRoundTubeMesh}, {ScaleLargeTube, BuildRoundTubeMesh},
    {ScaleSmallTube, BuildRoundTubeMesh},  {ScaleLBeam, BuildLBeamMesh},
    {ScaleHBeam, BuildHBeamMesh},          {ScaleXLargeTube, BuildRoundTubeMesh},
    {ScaleXXLargeTube, BuildRoundTubeMesh}, {ScaleWood4x4, BuildWoodBeamMesh},
    {ScaleWood1x4, BuildWoodBeamMesh},     {ScaleWood2x2, BuildWoodBeamMesh},
};

constexpr std::array<int, 3> kLCapTriangles[] = {{0, 1, 2}, {2, 5, 0}, {2, 3, 4}, {4, 5, 2}};
constexpr std::array<int, 3> kHCapTriangles[] = {{0, 1, 10}, {10, 11, 0}, {2, 3, 8}, {8, 9, 2}, {4, 5, 6}, {6, 7, 4}};
const CapPattern kLCap{kLCapTriangles, 4};
const CapPattern kHCap{kHCapTriangles, 6};

// The prism of one section: outline (x, y) at z = 0 (end A) and z = -L (end B).
void BuildSection(int32_t index, const Matrix4& m, float length, const float (*xy)[2], int n, const CapPattern& cap,
                  bool smooth) {
    if (index < 0 || index >= UsableTubeCount() || index >= static_cast<int32_t>(gTubeModels.size())) return;
    const SupportTube& tube = gTubes[index];
    Vector3 a[12], b[12];
    for (int i = 0; i < n; ++i) {
        a[i] = MatrixTransformPoint(m, MakeVector(xy[i][0], xy[i][1], 0.0f));
        b[i] = MatrixTransformPoint(m, MakeVector(xy[i][0], xy[i][1], -length));
    }
    ModelMesh& mesh = gTubeModels[index];
    mesh.Smooth = smooth;
    AppendOutlineSweep(mesh, a, b, n, cap, tube.EndAKind != EndFooter, tube.EndBKind != EndFooter,
                       OutlineSweepStyle{smooth, smooth});
}

}  // namespace

bool GetTubeEndPosition(int32_t kind, int32_t index, int32_t segment, Vector3& point) {
    switch (kind) {
        case EndFooter: {
            if (index < 0 || index >= gFooterCount || index >= static_cast<int32_t>(gFooters.size())) return false;
            const Vector3& p = gFooters[index].Position;
            float bottom = 0.0f, top = 0.0f;
            GetGroundLevelAt(p, bottom, top);
            point = MakeVector(p.X, static_cast<float>(double(top) - kFooterAboveGround), p.Z);
            return true;
        }
        case EndFreeNode:
            if (index < 0 || index >= gFreeNodeCount || index >= static_cast<int32_t>(gFreeNodes.size())) return false;
            point = gFreeNodes[index];
            return true;
        case EndPrefabAnchor: {
            Matrix4 frame;
            return FindPrefabSupport(segment, index, frame, point);
        }
        default:
            return false;
    }
}

void ModelTube(int32_t index) {
    if (index < 0 || index >= UsableTubeCount() || index >= static_cast<int32_t>(gTubeModels.size())) return;
    const SupportTube& tube = gTubes[index];
    if (tube.TubeType < 0 || tube.TubeType >= 10) return;
    Vector3 endA, endB;
    if (!GetTubeEndPosition(tube.EndAKind, tube.EndAIndex, tube.EndASegment, endA) ||
        !GetTubeEndPosition(tube.EndBKind, tube.EndBIndex, tube.EndBSegment, endB))
        return;
    const MemberRun run = PlaceMemberBetween(endA, endB, tube.Rotation);
    if (run.Length == 0.0f) return;  // both ends at one point: a tube of no length builds nothing
    const TubeKind& kind = kTubeKinds[tube.TubeType];
    // The sizes the modeler dialog allows; a damaged settings set cannot make
    // a section of no size or one that is not a number.
    const Vector3& scale = BuildSettings().TubeScales[kind.Slot];
    const float across = ClampSetting(scale.X, kTubeScaleMin, kTubeScaleMax);
    const float high = ClampSetting(scale.Z, kTubeScaleMin, kTubeScaleMax);
    kind.Build(index, run.Transform, MakeVector(across, high, run.Length));
}

void BuildRoundTubeMesh(int32_t index, const Matrix4& m, const Vector3& size) {
    const float s0 = size.X, s1 = size.Y;
    const float a = static_cast<float>(s0 / 2.0), b = static_cast<float>(s1 / 2.0);
    const float xy[8][2] = {{a, -s1}, {s0, -b}, {s0, b}, {a, s1}, {-a, s1}, {-s0, b}, {-s0, -b}, {-a, -s1}};
    BuildSection(index, m, size.Z, xy, 8, kOctagonCap, true);
}

void BuildWoodBeamMesh(int32_t index, const Matrix4& m, const Vector3& size) {
    const float s0 = size.X, s1 = size.Y;
    const float xy[4][2] = {{s0, -s1}, {s0, s1}, {-s0, s1}, {-s0, -s1}};
    BuildSection(index, m, size.Z, xy, 4, kQuadCap, false);
}

void BuildLBeamMesh(int32_t index, const Matrix4& m, const Vector3& size) {
    const float s0 = size.X, s1 = size.Y;
    const float a = static_cast<float>(0.9 * s0), b = static_cast<float>(0.9 * s1);
    const float xy[6][2] = {{s0, -s1}, {s0, -b}, {-a, -b}, {-a, s1}, {-s0, s1}, {-s0, -s1}};
    BuildSection(index, m, size.Z, xy, 6, kLCap, false);
}

void BuildHBeamMesh(int32_t index, const Matrix4& m, const Vector3& size) {
    const float s0 = size.X, s1 = size.Y;
    const float a = static_cast<float>(0.1 * s0), b = static_cast<float>(0.9 * s1);
    const float xy[12][2] = {{s0, -s1}, {s0, -b}, {a, -b}, {a, b},     {s0, b},   {s0, s1},
                             {-s0, s1}, {-s0, b}, {-a, b}, {-a, -b}, {-s0, -b}, {-s0, -s1}};
    BuildSection(index, m, size.Z, xy, 12, kHCap, false);
}

void CreateTubeModels() {
    const int32_t count = gDocumentType == DocumentTrack ? UsableTubeCount() : 0;
    gTubeModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    BatchMarker marker;
    const int32_t built = std::min(count, gModelBudgetLimits.Tubes);  // the rest stay empty
    // Each tube's mesh is its own: blocks of tubes on all cores, the marker
    // stepping after every 50th as before.
    ParallelBlocks(0, built, 500, [](int64_t i) { ModelTube(static_cast<int32_t>(i)); },
                   [&](int64_t) { marker.Step(); });
}
