#include "tools/support_flanger.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/number_formats.h"
#include "model/model_budget.h"
#include "platform/prompts.h"
#include "tools/finite_coordinates.h"
#include "tools/scene_boundary.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "tools/track_statistics.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

constexpr double kMaxMiddleFlanges = 1000.0;
// A tube's length between single-precision ends is only so exact: a flange
// that reaches past its place by less than this share of the tube's length
// still lies on it.
constexpr double kLengthRounding = 1e-6;

struct Direction {
    double X = 0.0, Y = 0.0, Z = 0.0;
};

Vector3 Along(const Vector3& from, const Direction& unit, double distance) {
    return MakeVector(static_cast<float>(from.X + unit.X * distance), static_cast<float>(from.Y + unit.Y * distance),
                      static_cast<float>(from.Z + unit.Z * distance));
}

bool SamePoint(const Vector3& a, const Vector3& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

// The flanges of one tube, as pairs of end points. Far out (a stray free node
// thousands of kilometres away) single precision cannot tell the ends of a
// flange or two neighbouring flanges apart: a flange of no length, or one on
// the spot of the flange before it, is left out rather than stacked.
class FlangeRow {
public:
    void Add(const Vector3& p, const Vector3& q) {
        if (SamePoint(p, q) || (!flanges_.empty() && SamePoint(p, flanges_.back().first) &&
                                SamePoint(q, flanges_.back().second)))
            return;
        flanges_.emplace_back(p, q);
    }
    size_t Size() const { return flanges_.size(); }
    bool Finite() const {
        for (const auto& [p, q] : flanges_)
            if (!AllFinite(p) || !AllFinite(q)) return false;
        return true;
    }
    // Each flange a new tube of the type between two new free nodes.
    void Make(int32_t type) const {
        for (const auto& [p, q] : flanges_) {
            const int32_t a = AddFreeNode(p);
            const int32_t b = AddFreeNode(q);
            AddSupportBeam(a, b, type, 0.0f);
        }
    }

private:
    std::vector<std::pair<Vector3, Vector3>> flanges_;
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

namespace {

// The flanges of tube t (none when it takes none), and their type.
FlangeRow TubeFlanges(const SupportFlangerOptions& o, int32_t t, int32_t& type) {
    FlangeRow row;
    const SupportTube& tube = gTubes[t];
    auto usable = [&](int32_t kind) {
        return !(kind == EndFooter && !o.UseFooters) && !(kind == EndPrefabAnchor && !o.UseRasc);
    };
    if (!usable(tube.EndAKind) || !usable(tube.EndBKind)) return row;
    Vector3 a, b;
    if (!GetTubeEndPoint(tube.EndAKind, tube.EndAIndex, tube.EndASegment, a) ||
        !GetTubeEndPoint(tube.EndBKind, tube.EndBIndex, tube.EndBSegment, b))
        return row;
    const double length = VectorDistance(a, b);
    if (!(length >= o.MinTubeLength) || length <= 0.0) return row;
    type = FlangeTypeOf(tube.TubeType);
    if (type < 0) return row;
    // Each flange lies on its tube: the end flanges only where the distance
    // from the end and the flange's size fit on the tube (a tube too short for
    // them gets none at all, as one below the shortest length), the middle
    // flanges only in the stretch between the end flanges. The distance and
    // size boxes alone would let a flange stand past the tube's far end, above
    // its top or under the ground.
    const double slack = length * kLengthRounding;
    const double endSpan = o.FlangeDist + o.FlangeSize;
    if (!(endSpan <= length + slack)) return row;
    // The direction in double precision: a tube longer than a float can
    // measure still has one.
    const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, dz = double(b.Z) - a.Z;
    const double exact = std::sqrt(dx * dx + dy * dy + dz * dz);
    const Direction u{dx / exact, dy / exact, dz / exact};
    const double n = o.SplitLength > 0.0 ? std::nearbyint(length / o.SplitLength + 1.0) : 1.0;
    const double inner = length - 2.0 * o.FlangeDist;
    // A tube far longer than the scene (a stray free node) gets no middle
    // flanges rather than millions of them.
    if (o.MakeMiddle && inner >= o.MinSplitLength && n > 1.0 && n <= kMaxMiddleFlanges) {
        const double step = inner / n;
        const double half = o.FlangeSize / 2.0;
        for (int32_t k = 1; k <= static_cast<int32_t>(n) - 1; ++k) {
            const double at = o.FlangeDist + k * step;
            if (at - half < endSpan - slack || at + half > length - endSpan + slack) continue;
            const Vector3 c = Along(a, u, at);
            row.Add(Along(c, u, -half), Along(c, u, half));
        }
    }
    row.Add(Along(a, u, o.FlangeDist), Along(a, u, endSpan));
    row.Add(Along(b, u, -o.FlangeDist), Along(b, u, -endSpan));
    return row;
}

}  // namespace

int32_t FlangeSupportTubes(const SupportFlangerOptions& o, FlangeOutcome* outcome) {
    // Only the tubes that exist now; the flanges appended below are not visited.
    const int32_t tubes = std::min<int32_t>(std::max<int32_t>(gTubeCount, 0), static_cast<int32_t>(gTubes.size()));
    if (o.UseRasc && AnyPrefabEnd(tubes)) EnsureTrackPathCurrent();
    // Every flange is a tube the model must build: no more are made than the
    // model builds beside the tubes there are.
    const int32_t most = ModelBudget::TubesThatFit();
    FlangeOutcome result;
    result.MostTubes = most;
    result.Room = std::max<int64_t>(0, int64_t(most) - std::max<int32_t>(gTubeCount, 0));
    int64_t room = result.Room;
    // The flanges are worked out first and made only when every one of them
    // has finite ends (a tube with an end at "inf" would give flanges at "nan").
    std::vector<std::pair<FlangeRow, int32_t>> rows;
    for (int32_t t = 0; t < tubes; ++t) {
        int32_t type = -1;
        FlangeRow row = TubeFlanges(o, t, type);
        if (row.Size() == 0) continue;
        // The tubes take their flanges whole, in their order, while there is room.
        if (result.TubesLeftOut == 0 && static_cast<int64_t>(row.Size()) <= room) {
            room -= static_cast<int64_t>(row.Size());
            result.Made += static_cast<int32_t>(row.Size());
            ++result.TubesFlanged;
            result.NotFinite = result.NotFinite || !row.Finite();
            rows.emplace_back(std::move(row), type);
        } else {
            if (result.TubesLeftOut++ == 0) result.FirstLeftOut = t;
            result.FlangesLeftOut += static_cast<int64_t>(row.Size());
        }
    }
    if (result.NotFinite) {
        result.Made = result.TubesFlanged = 0;
    } else {
        for (const auto& [row, type] : rows) row.Make(type);
    }
    if (outcome) *outcome = result;
    return result.Made;
}

std::string FlangesLeftOutText(const FlangeOutcome& r) {
    if (r.TubesLeftOut == 0) return {};
    return "Flanges were made on " + FormatInteger(r.TubesFlanged) + " of the " +
           FormatInteger(r.TubesFlanged + r.TubesLeftOut) + " tubes that take them: the model can show at most " +
           FormatInteger(r.MostTubes) + " support tubes (" + FormatInteger64(r.Room) +
           " more than the track had). The other " + FormatInteger(r.TubesLeftOut) + " tubes, from tube " +
           FormatInteger(r.FirstLeftOut + 1) + " on, were left without their " + FormatInteger64(r.FlangesLeftOut) +
           " flanges.";
}

bool RunSupportFlanger(const SupportFlangerOptions& options) {
    FlangeOutcome outcome;
    FlangeSupportTubes(options, &outcome);
    if (outcome.NotFinite) {
        NotFiniteNotice("flanging", "track");
        return false;
    }
    FinishToolEdit(FindToolDialog("frmTSupportFlanger")->Flags);
    if (outcome.TubesLeftOut > 0)
        MsgBox(FlangesLeftOutText(outcome), kFlangerShortTitle, MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}
