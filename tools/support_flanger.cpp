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

bool SamePoint(const Vector3& a, const Vector3& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

// The flanges of one tube. Far out (a stray free node thousands of kilometres
// away) single precision cannot tell the ends of a flange or two neighbouring
// flanges apart: a flange of no length, or one on the spot of the flange made
// just before it, is left out rather than stacked.
class FlangeRow {
public:
    explicit FlangeRow(int32_t type) : type_(type) {}
    bool Add(const Vector3& p, const Vector3& q) {
        if (SamePoint(p, q) || (made_ > 0 && SamePoint(p, lastP_) && SamePoint(q, lastQ_))) return false;
        const int32_t a = AddFreeNode(p);
        const int32_t b = AddFreeNode(q);
        AddSupportBeam(a, b, type_, 0.0f);
        lastP_ = p, lastQ_ = q;
        ++made_;
        return true;
    }
    int32_t Made() const { return made_; }

private:
    int32_t type_;
    int32_t made_ = 0;
    Vector3 lastP_{}, lastQ_{};
};

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
        FlangeRow row(type);
        if (o.MakeMiddle && inner >= o.MinSplitLength && n > 1.0 && n <= kMaxMiddleFlanges) {
            const double step = inner / n;
            for (int32_t k = 1; k <= static_cast<int32_t>(n) - 1; ++k) {
                const Vector3 c = Along(a, u, o.FlangeDist + k * step);
                row.Add(Along(c, u, -o.FlangeSize / 2.0), Along(c, u, o.FlangeSize / 2.0));
            }
        }
        row.Add(Along(a, u, o.FlangeDist), Along(a, u, o.FlangeDist + o.FlangeSize));
        row.Add(Along(b, u, -o.FlangeDist), Along(b, u, -(o.FlangeDist + o.FlangeSize)));
        made += row.Made();
    }
    return made;
}

bool RunSupportFlanger(const SupportFlangerOptions& options) {
    FlangeSupportTubes(options);
    FinishToolEdit(FindToolDialog("frmTSupportFlanger")->Flags);
    return true;
}
