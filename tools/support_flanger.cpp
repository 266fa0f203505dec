#include "tools/support_flanger.h"

#include <cmath>

#include "tools/scene_boundary.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "tools/track_statistics.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

constexpr double kMaxMiddleFlanges = 1000.0;

Vector3 Along(const Vector3& from, const Vector3& unit, double distance) {
    return MakeVector(static_cast<float>(from.X + unit.X * distance), static_cast<float>(from.Y + unit.Y * distance),
                      static_cast<float>(from.Z + unit.Z * distance));
}

void AddFlange(const Vector3& p, const Vector3& q, int32_t type) {
    const int32_t a = AddFreeNode(p);
    const int32_t b = AddFreeNode(q);
    AddSupportBeam(a, b, type, 0.0f);
}

bool AnyPrefabEnd(int32_t tubes) {
    for (int32_t t = 0; t < tubes; ++t)
        if (gTubes[t].EndAKind == EndPrefabAnchor || gTubes[t].EndBKind == EndPrefabAnchor) return true;
    return false;
}

}  // namespace

int32_t FlangeTypeOf(int32_t tubeType) {
    switch (tubeType) {
        case TubeSmall: return TubeMedium;
        case TubeMedium: return TubeLarge;
        case TubeLarge: return TubeXLarge;
        case TubeXLarge: return TubeXXLarge;
        default: return -1;
    }
}

int32_t FlangeSupportTubes(const SupportFlangerOptions& o) {
    // Only the tubes that exist now; the flanges appended below are not visited.
    const int32_t tubes = std::min<int32_t>(std::max<int32_t>(gTubeCount, 0), static_cast<int32_t>(gTubes.size()));
    if (o.UseRasc && AnyPrefabEnd(tubes)) EnsureTrackPathCurrent();
    int32_t made = 0;
    for (int32_t t = 0; t < tubes; ++t) {
        const SupportTube tube = gTubes[t];  // a copy: appending may move the list
        auto usable = [&](int32_t kind) {
            return !(kind == EndFooter && !o.UseFooters) && !(kind == EndPrefabAnchor && !o.UseRasc);
        };
        if (!usable(tube.EndAKind) || !usable(tube.EndBKind)) continue;
        Vector3 a, b;
        if (!GetTubeEndPoint(tube.EndAKind, tube.EndAIndex, tube.EndASegment, a) ||
            !GetTubeEndPoint(tube.EndBKind, tube.EndBIndex, tube.EndBSegment, b))
            continue;
        const double length = VectorDistance(a, b);
        if (!(length >= o.MinTubeLength) || length <= 0.0) continue;
        const int32_t type = FlangeTypeOf(tube.TubeType);
        if (type < 0) continue;
        const Vector3 u = MakeVector(static_cast<float>((b.X - a.X) / length), static_cast<float>((b.Y - a.Y) / length),
                                     static_cast<float>((b.Z - a.Z) / length));
        const double n = o.SplitLength > 0.0 ? std::nearbyint(length / o.SplitLength + 1.0) : 1.0;
        const double inner = length - 2.0 * o.FlangeDist;
        // A tube far longer than the scene (a stray free node) gets no middle
        // flanges rather than millions of them.
        if (o.MakeMiddle && inner >= o.MinSplitLength && n > 1.0 && n <= kMaxMiddleFlanges) {
            const double step = inner / n;
            for (int32_t k = 1; k <= static_cast<int32_t>(n) - 1; ++k) {
                const Vector3 c = Along(a, u, o.FlangeDist + k * step);
                AddFlange(Along(c, u, -o.FlangeSize / 2.0), Along(c, u, o.FlangeSize / 2.0), type);
                ++made;
            }
        }
        AddFlange(Along(a, u, o.FlangeDist), Along(a, u, o.FlangeDist + o.FlangeSize), type);
        AddFlange(Along(b, u, -o.FlangeDist), Along(b, u, -(o.FlangeDist + o.FlangeSize)), type);
        made += 2;
    }
    return made;
}

bool RunSupportFlanger(const SupportFlangerOptions& options) {
    FlangeSupportTubes(options);
    FinishToolEdit(FindToolDialog("frmTSupportFlanger")->Flags);
    return true;
}
