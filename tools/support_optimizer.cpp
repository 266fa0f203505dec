#include "tools/support_optimizer.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "tools/record_removal.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "tools/track_statistics.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

// Straight: the two directions, both pointing away from the shared node, are
// more than pi - 0.01 rad apart.
constexpr double kStraightAngle = 3.13159265358979;

struct NodeTubeLink {
    int32_t Tube = 0;
    int32_t Other = -1;  // the free node at the tube's other end, or -1
};

int32_t UsedTubes() { return std::clamp<int32_t>(gTubeCount, 0, static_cast<int32_t>(gTubes.size())); }
int32_t UsedFreeNodes() { return std::clamp<int32_t>(gFreeNodeCount, 0, static_cast<int32_t>(gFreeNodes.size())); }

bool IsFreeNodeEnd(int32_t kind, int32_t index) { return kind == EndFreeNode && index >= 0 && index < UsedFreeNodes(); }

bool EndExists(int32_t kind, int32_t index, int32_t segment) {
    Vector3 point;
    return (kind == EndFooter || kind == EndFreeNode || kind == EndPrefabAnchor) &&
           GetTubeEndPoint(kind, index, segment, point);
}

bool TubeSound(const SupportTube& t) {
    return EndExists(t.EndAKind, t.EndAIndex, t.EndASegment) && EndExists(t.EndBKind, t.EndBIndex, t.EndBSegment);
}

Vector3 EndPosition(int32_t kind, int32_t index) {
    if (kind == EndFreeNode && index >= 0 && index < UsedFreeNodes()) return gFreeNodes[index];
    if (kind == EndFooter && index >= 0 && index < std::min<int32_t>(gFooterCount, int32_t(gFooters.size()))) {
        Vector3 p = gFooters[index].Position;
        p.Y = GetGroundHeightAt(p);
        return p;
    }
    return Vector3{};
}

// End 1 (A) or 2 (B) of a tube, as kind, index and segment.
struct TubeEnd {
    int32_t Kind, Index, Segment;
};
TubeEnd EndOf(const SupportTube& t, int32_t end) {
    return end == 1 ? TubeEnd{t.EndAKind, t.EndAIndex, t.EndASegment} : TubeEnd{t.EndBKind, t.EndBIndex, t.EndBSegment};
}
void SetEnd(SupportTube& t, int32_t end, const TubeEnd& e) {
    if (end == 1) {
        t.EndAKind = e.Kind, t.EndAIndex = e.Index, t.EndASegment = e.Segment;
    } else {
        t.EndBKind = e.Kind, t.EndBIndex = e.Index, t.EndBSegment = e.Segment;
    }
}
bool IsNode(const TubeEnd& e, int32_t node) { return e.Kind == EndFreeNode && e.Index == node; }

}  // namespace

bool OptimizerOkEnabled(int32_t tubeCount) { return tubeCount >= 3; }

const char* OptimizerInfoText(int32_t tubeCount) {
    return OptimizerOkEnabled(tubeCount) ? kOptimizerInfoText : kOptimizerTooFewText;
}

Vector3 TubeDirection(int32_t tube, int32_t end) {
    if (tube < 0 || tube >= UsedTubes()) return Vector3{};
    const SupportTube& t = gTubes[tube];
    Vector3 d = VectorFromTo(EndPosition(t.EndAKind, t.EndAIndex), EndPosition(t.EndBKind, t.EndBIndex));
    if (end == 2) d = VectorNegate(d);
    if (t.EndAKind > EndFreeNode || t.EndBKind > EndFreeNode) d.X = 999.0f;
    return d;
}

int32_t OptimizeTubes() {
    const int32_t tubes = UsedTubes();
    const int32_t nodes = UsedFreeNodes();
    std::vector<std::vector<NodeTubeLink>> links(static_cast<size_t>(nodes));
    for (int32_t t = 0; t < tubes; ++t) {
        const SupportTube& tube = gTubes[t];
        if (!TubeSound(tube)) continue;
        const bool a = IsFreeNodeEnd(tube.EndAKind, tube.EndAIndex);
        const bool b = IsFreeNodeEnd(tube.EndBKind, tube.EndBIndex);
        if (a) links[tube.EndAIndex].push_back({t, b ? tube.EndBIndex : -1});
        if (b) links[tube.EndBIndex].push_back({t, a ? tube.EndAIndex : -1});
    }

    std::vector<bool> removed(static_cast<size_t>(tubes), false);
    int32_t merged = 0;
    for (int32_t f = 0; f < nodes; ++f) {
        const size_t c = links[f].size();
        for (size_t a = 0; a + 1 < c; ++a) {
            for (size_t b = a + 1; b < c; ++b) {
                const int32_t ta = links[f][a].Tube, tb = links[f][b].Tube;
                if (ta == tb || removed[ta] || removed[tb]) continue;
                SupportTube& A = gTubes[ta];
                const SupportTube& B = gTubes[tb];
                if (A.TubeType != B.TubeType || A.TubeType == TubeWood1x4) continue;
                // The shared end must be this free node itself on both tubes.
                int32_t endA = 0, endB = 0;
                for (int32_t ea = 1; ea <= 2 && !endA; ++ea)
                    for (int32_t eb = 1; eb <= 2 && !endA; ++eb)
                        if (IsNode(EndOf(A, ea), f) && IsNode(EndOf(B, eb), f)) endA = ea, endB = eb;
                if (!endA) continue;
                if (VectorAngle(TubeDirection(ta, endA), TubeDirection(tb, endB)) <= kStraightAngle) continue;

                const int32_t farB = endB == 1 ? 2 : 1;
                const TubeEnd far = EndOf(B, farB);
                const TubeEnd ownFar = EndOf(A, endA == 1 ? 2 : 1);
                SetEnd(A, endA, far);
                removed[tb] = true;
                ++merged;
                // The free node at tb's far end now meets ta.
                if (IsFreeNodeEnd(far.Kind, far.Index)) {
                    const int32_t other = IsFreeNodeEnd(ownFar.Kind, ownFar.Index) ? ownFar.Index : -1;
                    for (NodeTubeLink& link : links[far.Index])
                        if (link.Tube == tb) link = {ta, other};
                }
            }
        }
    }

    // Compaction: the kept tubes in order, the "1 x 4" wood beams last.
    std::vector<SupportTube> kept;
    kept.reserve(static_cast<size_t>(tubes));
    for (int pass = 0; pass < 2; ++pass)
        for (int32_t t = 0; t < tubes; ++t)
            if (!removed[t] && ((gTubes[t].TubeType == TubeWood1x4) == (pass == 1))) kept.push_back(gTubes[t]);
    std::copy(kept.begin(), kept.end(), gTubes.begin());
    std::fill(gTubes.begin() + static_cast<std::ptrdiff_t>(kept.size()), gTubes.begin() + tubes, SupportTube{});
    gTubeCount = static_cast<int32_t>(kept.size());
    return merged;
}

bool RunSupportOptimizer(bool cleanUp) {
    OptimizeTubes();
    if (cleanUp) {
        RemoveUnusedFooters();
        RemoveUnusedFreeNodes();
        RemoveOrphanBeams();
    }
    FinishToolEdit(FindToolDialog("frmTSupportOptimizer")->Flags);
    return true;
}
