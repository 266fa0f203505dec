#include "tools/support_optimizer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tools/record_removal.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "tools/track_statistics.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

// Straight: the two directions, both pointing away from the shared node, are
// more than pi - 0.01 rad apart. Only an angle of pi - 0.01 or less fails: one
// that is no number (a direction that is not finite) passes.
constexpr double kStraightAngle = 3.13159265358979;
bool Straight(const Vector3& a, const Vector3& b) { return !(VectorAngle(a, b) <= kStraightAngle); }

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

namespace {

using NodeLinks = std::vector<std::vector<NodeTubeLink>>;

// One run of the merging: the links of every free node and the tubes merged away.
class TubeMerger {
public:
    TubeMerger(int32_t tubes, int32_t nodes)
        : links_(static_cast<size_t>(nodes)), removed_(static_cast<size_t>(tubes)) {
        for (int32_t t = 0; t < tubes; ++t) {
            const SupportTube& tube = gTubes[t];
            if (!TubeSound(tube)) continue;
            const bool a = IsFreeNodeEnd(tube.EndAKind, tube.EndAIndex);
            const bool b = IsFreeNodeEnd(tube.EndBKind, tube.EndBIndex);
            if (a) links_[tube.EndAIndex].push_back({t, b ? tube.EndBIndex : -1});
            if (b) links_[tube.EndBIndex].push_back({t, a ? tube.EndAIndex : -1});
        }
    }

    const std::vector<NodeTubeLink>& Links(int32_t node) const { return links_[node]; }
    bool Removed(int32_t tube) const { return removed_[tube]; }
    int32_t Merged() const { return merged_; }

    // The pairs of node f in their order, (0, 1), (0, 2), ... (1, 2), ...: each
    // pair that shares this node and lies in a straight line merges.
    void CompareEveryPair(int32_t f) {
        const size_t c = links_[f].size();
        for (size_t a = 0; a + 1 < c; ++a)
            for (size_t b = a + 1; b < c; ++b) TryPair(f, a, b);
    }

    // The ends of ta and tb at node f (1 or 2 each), or false when the pair does
    // not merge there: one of them gone, types that differ or never merge, no
    // end of both on this node.
    bool SharedEnds(int32_t f, int32_t ta, int32_t tb, int32_t& endA, int32_t& endB) const {
        if (ta == tb || removed_[ta] || removed_[tb]) return false;
        const SupportTube& A = gTubes[ta];
        const SupportTube& B = gTubes[tb];
        if (A.TubeType != B.TubeType || A.TubeType == TubeWood1x4) return false;
        // The shared end must be this free node itself on both tubes.
        endA = endB = 0;
        for (int32_t ea = 1; ea <= 2 && !endA; ++ea)
            for (int32_t eb = 1; eb <= 2 && !endA; ++eb)
                if (IsNode(EndOf(A, ea), f) && IsNode(EndOf(B, eb), f)) endA = ea, endB = eb;
        return endA != 0;
    }

    bool TryPair(int32_t f, size_t a, size_t b) {
        const int32_t ta = links_[f][a].Tube, tb = links_[f][b].Tube;
        int32_t endA = 0, endB = 0;
        if (!SharedEnds(f, ta, tb, endA, endB)) return false;
        if (!Straight(TubeDirection(ta, endA), TubeDirection(tb, endB))) return false;
        Merge(f, a, b, endA, endB);
        return true;
    }

    // tb's far end becomes ta's end at the node; tb goes.
    void Merge(int32_t f, size_t a, size_t b, int32_t endA, int32_t endB) {
        const int32_t ta = links_[f][a].Tube, tb = links_[f][b].Tube;
        SupportTube& A = gTubes[ta];
        const TubeEnd far = EndOf(gTubes[tb], endB == 1 ? 2 : 1);
        const TubeEnd ownFar = EndOf(A, endA == 1 ? 2 : 1);
        SetEnd(A, endA, far);
        removed_[tb] = true;
        ++merged_;
        // The free node at tb's far end now meets ta.
        if (IsFreeNodeEnd(far.Kind, far.Index)) {
            const int32_t other = IsFreeNodeEnd(ownFar.Kind, ownFar.Index) ? ownFar.Index : -1;
            for (NodeTubeLink& link : links_[far.Index])
                if (link.Tube == tb) link = {ta, other};
        }
    }

private:
    NodeLinks links_;
    std::vector<bool> removed_;
    int32_t merged_ = 0;
};

// Below this many tubes at a node every pair is compared.
constexpr size_t kPairsCompared = 24;

// Unit directions are filed in cubic cells of this width (per axis, over -1
// to 1). Two directions that pass the straight test lie less than 0.0101 apart
// once one is reversed (the chord of 0.01 rad, with the rounding of the test),
// so the partners of a direction lie in the 27 cells around its reverse.
constexpr double kCellWidth = 0.011;
constexpr int64_t kCellsPerAxis = 183;  // ceil(2 / kCellWidth) + 1

int64_t CellOnAxis(double unit) {
    return std::clamp<int64_t>(static_cast<int64_t>(std::floor((unit + 1.0) / kCellWidth)), 0, kCellsPerAxis - 1);
}

// Link positions of one node filed by a group number, each group in link
// order. A link whose tube went is skipped over in amortised constant time.
class LinkFile {
public:
    void Add(int64_t group, int32_t link) { entries_.push_back({group, link}); }
    void Seal(size_t links) {
        std::sort(entries_.begin(), entries_.end());
        skip_.resize(entries_.size() + 1);
        for (size_t i = 0; i < skip_.size(); ++i) skip_[i] = static_cast<uint32_t>(i);
        position_.assign(links, -1);
        for (size_t i = 0; i < entries_.size(); ++i) {
            position_[static_cast<size_t>(entries_[i].second)] = static_cast<int32_t>(i);
            if (i == 0 || entries_[i].first != entries_[i - 1].first) groups_[entries_[i].first].first = uint32_t(i);
            groups_[entries_[i].first].second = static_cast<uint32_t>(i + 1);
        }
    }
    // Takes the link out of every later search.
    void Drop(size_t link) {
        const int32_t p = position_[link];
        if (p >= 0) skip_[static_cast<size_t>(p)] = static_cast<uint32_t>(p + 1);
    }
    // The first link of the group after `after` and before `before` that
    // passes `test`; `before` when none does.
    template <typename Test>
    int32_t First(int64_t group, int32_t after, int32_t before, Test test) {
        const auto found = groups_.find(group);
        if (found == groups_.end()) return before;
        const auto first = entries_.begin() + found->second.first, last = entries_.begin() + found->second.second;
        const auto it = std::upper_bound(first, last, std::make_pair(group, after));
        for (size_t i = Next(static_cast<size_t>(it - entries_.begin())); i < found->second.second; i = Next(i + 1)) {
            if (entries_[i].second >= before) break;
            if (test(entries_[i].second)) return entries_[i].second;
        }
        return before;
    }

private:
    size_t Next(size_t i) {
        while (skip_[i] != i) {
            skip_[i] = skip_[skip_[i]];
            i = skip_[i];
        }
        return i;
    }
    std::vector<std::pair<int64_t, int32_t>> entries_;
    std::unordered_map<int64_t, std::pair<uint32_t, uint32_t>> groups_;  // the entries of each group
    std::vector<uint32_t> skip_;
    std::vector<int32_t> position_;
};

bool FiniteVector(const Vector3& v) { return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z); }
bool ZeroVector(const Vector3& v) { return v.X == 0.0f && v.Y == 0.0f && v.Z == 0.0f; }

// The pairs of node f compared as CompareEveryPair does, with each tube's
// partner looked for among the tubes whose direction is nearly its reverse
// instead of among all. This holds only while every tube of the node has at
// most one end on it and is listed once; false (and nothing done) otherwise.
//
// Under that condition a merge at f moves ta's end off f and removes tb, and
// changes no other tube of the node: each link takes part in at most one
// merge here, as the earlier of its pair, the first later link with which it
// passes the tests, and the directions stay as they were when the node began.
bool MergeByDirection(TubeMerger& merger, int32_t f) {
    const std::vector<NodeTubeLink>& links = merger.Links(f);
    const size_t c = links.size();
    std::vector<int32_t> ends(c, 0), tubes(c);
    for (size_t i = 0; i < c; ++i) {
        const SupportTube& t = gTubes[links[i].Tube];
        const bool a = IsNode(EndOf(t, 1), f), b = IsNode(EndOf(t, 2), f);
        if (a && b) return false;
        ends[i] = a ? 1 : (b ? 2 : 0);
        tubes[i] = links[i].Tube;
    }
    std::sort(tubes.begin(), tubes.end());
    if (std::adjacent_find(tubes.begin(), tubes.end()) != tubes.end()) return false;

    // Each link that can merge, by its direction away from the node: finite
    // and not zero in the cells by type and cell (and by type alone), the
    // others by type alone.
    enum Kind : uint8_t { None, Unit, Zero, NotFinite };
    std::vector<Kind> kinds(c, None);
    std::vector<Vector3> directions(c);
    LinkFile unitFile, unitByType, zeroFile, notFiniteFile;
    const auto typeOf = [&](size_t i) { return static_cast<int64_t>(gTubes[links[i].Tube].TubeType); };
    // The cell of the unit direction of d, or of its reverse (sign -1).
    const auto cellOf = [](const Vector3& d, double sign, int64_t& x, int64_t& y, int64_t& z) {
        const double l = sign * std::sqrt(double(d.X) * d.X + double(d.Y) * d.Y + double(d.Z) * d.Z);
        x = CellOnAxis(d.X / l), y = CellOnAxis(d.Y / l), z = CellOnAxis(d.Z / l);
    };
    const auto group = [](int64_t type, int64_t x, int64_t y, int64_t z) {
        return ((type * kCellsPerAxis + x) * kCellsPerAxis + y) * kCellsPerAxis + z;
    };
    for (size_t i = 0; i < c; ++i) {
        const int32_t t = links[i].Tube;
        if (!ends[i] || merger.Removed(t) || gTubes[t].TubeType == TubeWood1x4) continue;
        const Vector3 d = directions[i] = TubeDirection(t, ends[i]);
        const int32_t link = static_cast<int32_t>(i);
        if (!FiniteVector(d)) {
            kinds[i] = NotFinite;
            notFiniteFile.Add(typeOf(i), link);
        } else if (ZeroVector(d)) {
            kinds[i] = Zero;
            zeroFile.Add(typeOf(i), link);
        } else {
            kinds[i] = Unit;
            int64_t x, y, z;
            cellOf(d, 1.0, x, y, z);
            unitFile.Add(group(typeOf(i), x, y, z), link);
            unitByType.Add(typeOf(i), link);
        }
    }
    unitFile.Seal(c);
    unitByType.Seal(c);
    zeroFile.Seal(c);
    notFiniteFile.Seal(c);

    for (size_t a = 0; a + 1 < c; ++a) {
        if (kinds[a] == None) continue;
        const int32_t ta = links[a].Tube;
        if (merger.Removed(ta)) continue;
        const int64_t type = typeOf(a);
        const int32_t after = static_cast<int32_t>(a);
        const auto straight = [&](int32_t b) {
            int32_t endA = 0, endB = 0;
            return merger.SharedEnds(f, ta, links[b].Tube, endA, endB) && Straight(directions[a], directions[b]);
        };
        // A zero direction fails the straight test against every finite one;
        // one that is not finite may pass against any, so it meets them all.
        int32_t best = static_cast<int32_t>(c);
        best = notFiniteFile.First(type, after, best, straight);
        if (kinds[a] == NotFinite) {
            best = zeroFile.First(type, after, best, straight);
            best = unitByType.First(type, after, best, straight);
        } else if (kinds[a] == Unit) {
            int64_t x, y, z;
            cellOf(directions[a], -1.0, x, y, z);
            for (int64_t i = std::max<int64_t>(x - 1, 0); i <= std::min(x + 1, kCellsPerAxis - 1); ++i)
                for (int64_t j = std::max<int64_t>(y - 1, 0); j <= std::min(y + 1, kCellsPerAxis - 1); ++j)
                    for (int64_t k = std::max<int64_t>(z - 1, 0); k <= std::min(z + 1, kCellsPerAxis - 1); ++k)
                        best = unitFile.First(group(type, i, j, k), after, best, straight);
        }
        if (best == static_cast<int32_t>(c)) continue;
        int32_t endA = 0, endB = 0;
        merger.SharedEnds(f, ta, links[best].Tube, endA, endB);
        merger.Merge(f, a, static_cast<size_t>(best), endA, endB);
        for (LinkFile* file : {&unitFile, &unitByType, &zeroFile, &notFiniteFile}) {
            file->Drop(a);
            file->Drop(static_cast<size_t>(best));
        }
    }
    return true;
}

int32_t Optimize(bool everyPair) {
    const int32_t tubes = UsedTubes();
    TubeMerger merger(tubes, UsedFreeNodes());
    for (int32_t f = 0; f < UsedFreeNodes(); ++f) {
        if (everyPair || merger.Links(f).size() < kPairsCompared || !MergeByDirection(merger, f))
            merger.CompareEveryPair(f);
    }

    // Compaction: the kept tubes in order, the "1 x 4" wood beams last.
    std::vector<SupportTube> kept;
    kept.reserve(static_cast<size_t>(tubes));
    for (int pass = 0; pass < 2; ++pass)
        for (int32_t t = 0; t < tubes; ++t)
            if (!merger.Removed(t) && ((gTubes[t].TubeType == TubeWood1x4) == (pass == 1))) kept.push_back(gTubes[t]);
    std::copy(kept.begin(), kept.end(), gTubes.begin());
    std::fill(gTubes.begin() + static_cast<std::ptrdiff_t>(kept.size()), gTubes.begin() + tubes, SupportTube{});
    gTubeCount = static_cast<int32_t>(kept.size());
    return merger.Merged();
}

}  // namespace

int32_t OptimizeTubes() { return Optimize(false); }

int32_t OptimizeTubesComparingEveryPair() { return Optimize(true); }

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
