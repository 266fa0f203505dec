#include "tools/record_removal.h"

#include <algorithm>
#include <vector>

#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace {

// The records of a list that may be read: its count, but never more than held.
template <typename T>
int32_t Used(int32_t count, const std::vector<T>& records) {
    return static_cast<int32_t>(std::clamp<int64_t>(count, 0, static_cast<int64_t>(records.size())));
}

bool InRange(int32_t index, int32_t count) { return index >= 0 && index < count; }

// Keeps the records i for which keep(i) holds, in their order; the records
// from the new count up to the old one become zero records. Returns how many
// went; with none the list and its count are left as they were.
template <typename T, typename Keep>
int32_t CompactList(int32_t& count, std::vector<T>& list, Keep keep) {
    const int32_t n = Used(count, list);
    std::vector<T> kept;
    kept.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        if (keep(i)) kept.push_back(list[i]);
    const int32_t removed = n - static_cast<int32_t>(kept.size());
    if (removed == 0) return 0;
    for (int32_t i = 0; i < n; ++i) list[i] = i < static_cast<int32_t>(kept.size()) ? kept[i] : T{};
    count = static_cast<int32_t>(kept.size());
    return removed;
}

// Old index to new: -1 for a removed record, otherwise its index after compaction.
std::vector<int32_t> IndexMap(const std::vector<bool>& keep) {
    std::vector<int32_t> map(keep.size(), -1);
    int32_t next = 0;
    for (size_t i = 0; i < keep.size(); ++i)
        if (keep[i]) map[i] = next++;
    return map;
}

int32_t TubeCount() { return Used(gTubeCount, gTubes); }
int32_t CatwalkCount() { return Used(gCatwalkCount, gCatwalks); }

template <typename Visit>
void ForEachTubeEnd(Visit visit) {
    const int32_t n = TubeCount();
    for (int32_t i = 0; i < n; ++i) {
        SupportTube& t = gTubes[i];
        visit(t.EndAKind, t.EndAIndex, t.EndASegment);
        visit(t.EndBKind, t.EndBIndex, t.EndBSegment);
    }
}

template <typename Visit>
void ForEachCatwalkCorner(Visit visit) {
    const int32_t n = CatwalkCount();
    for (int32_t i = 0; i < n; ++i) {
        TrackCatwalk& c = gCatwalks[i];
        visit(c.Corner1);
        visit(c.Corner2);
        visit(c.Corner3);
        visit(c.Corner4);
    }
}

// The free nodes or footers not named by a tube end of `kind` (nor, for free
// nodes, by a catwalk corner) go; the references to the kept ones follow.
template <typename T>
int32_t RemoveUnused(int32_t& count, std::vector<T>& list, int32_t kind, bool withCatwalks) {
    const int32_t n = Used(count, list);
    std::vector<bool> used(static_cast<size_t>(n), false);
    ForEachTubeEnd([&](int32_t endKind, int32_t index, int32_t) {
        if (endKind == kind && InRange(index, n)) used[index] = true;
    });
    if (withCatwalks)
        ForEachCatwalkCorner([&](int32_t corner) {
            if (InRange(corner, n)) used[corner] = true;
        });
    if (CompactList(count, list, [&](int32_t i) { return used[i]; }) == 0) return 0;

    const std::vector<int32_t> map = IndexMap(used);
    ForEachTubeEnd([&](int32_t endKind, int32_t& index, int32_t) {
        if (endKind == kind && InRange(index, n)) index = map[index];
    });
    if (withCatwalks)
        ForEachCatwalkCorner([&](int32_t& corner) {
            if (InRange(corner, n)) corner = map[corner];
        });
    return n - count;
}

bool IsOrphanEnd(int32_t kind, int32_t index, int32_t segment) {
    switch (kind) {
        case EndFooter: return !InRange(index, Used(gFooterCount, gFooters));
        case EndFreeNode: return !InRange(index, Used(gFreeNodeCount, gFreeNodes));
        case EndPrefabAnchor: {
            if (!InRange(segment, gSegmentCount) || !InRange(segment, Used(gRascGroupCount, gRascGroups))) return true;
            const RascGroup& group = gRascGroups[segment];
            return !InRange(index, Used(group.ItemCount, group.Items));
        }
        default: return false;
    }
}

template <typename Drop>
int32_t RemoveTubesWhere(Drop drop) {
    return CompactList(gTubeCount, gTubes, [&](int32_t i) { return !drop(gTubes[i]); });
}

bool NamesPrefab(int32_t kind, int32_t index, int32_t segment, int32_t s, int32_t item) {
    return kind == EndPrefabAnchor && segment == s && index == item;
}

}  // namespace

int32_t RemoveUnusedFreeNodes() { return RemoveUnused(gFreeNodeCount, gFreeNodes, EndFreeNode, true); }

int32_t RemoveUnusedFooters() { return RemoveUnused(gFooterCount, gFooters, EndFooter, false); }

int32_t RemoveOrphanBeams() {
    return RemoveTubesWhere([](const SupportTube& t) {
        return IsOrphanEnd(t.EndAKind, t.EndAIndex, t.EndASegment) ||
               IsOrphanEnd(t.EndBKind, t.EndBIndex, t.EndBSegment);
    });
}

int32_t RemoveBeamsOfType(int32_t tubeType) {
    return RemoveTubesWhere([tubeType](const SupportTube& t) { return t.TubeType == tubeType; });
}

int32_t RemoveBeamsOfPrefab(int32_t segment, int32_t item) {
    return RemoveTubesWhere([segment, item](const SupportTube& t) {
        return NamesPrefab(t.EndAKind, t.EndAIndex, t.EndASegment, segment, item) ||
               NamesPrefab(t.EndBKind, t.EndBIndex, t.EndBSegment, segment, item);
    });
}

int32_t RemoveBeamsOfAnyPrefab() {
    const int32_t groups = Used(gRascGroupCount, gRascGroups);
    const auto names = [groups](int32_t kind, int32_t index, int32_t segment) {
        return kind == EndPrefabAnchor && InRange(segment, groups) && InRange(index, gRascGroups[segment].ItemCount);
    };
    return RemoveTubesWhere([&](const SupportTube& t) {
        return names(t.EndAKind, t.EndAIndex, t.EndASegment) || names(t.EndBKind, t.EndBIndex, t.EndBSegment);
    });
}

int32_t RemovePrefabsOfStyle(int32_t style) { return RemovePrefabsOfStyles(std::vector<int32_t>{style}); }

int32_t RemovePrefabsOfStyles(const std::vector<int32_t>& styles) {
    // Per group, the old-to-new index of every support (-1 for one that goes).
    const int32_t groups = Used(gRascGroupCount, gRascGroups);
    std::vector<std::vector<int32_t>> maps(static_cast<size_t>(groups));
    int32_t removed = 0;
    for (int32_t s = 0; s < groups; ++s) {
        RascGroup& group = gRascGroups[s];
        const int32_t n = Used(group.ItemCount, group.Items);
        std::vector<bool> keep(static_cast<size_t>(n), true);
        bool any = false;
        for (int32_t k = 0; k < n; ++k) {
            keep[k] = std::find(styles.begin(), styles.end(), group.Items[k].Style) == styles.end();
            any = any || !keep[k];
        }
        if (!any) continue;
        CompactList(group.ItemCount, group.Items, [&](int32_t k) { return keep[k]; });
        removed += n - group.ItemCount;
        maps[s] = IndexMap(keep);
    }
    if (removed == 0) return 0;

    // One pass over the tubes: a tube with an end on a support that went goes
    // with it (so none is left naming it); the ends on kept supports follow
    // their support's new index. Ends naming no support stay as they are.
    const auto map = [&](int32_t kind, int32_t index, int32_t segment) -> const int32_t* {
        if (kind != EndPrefabAnchor || !InRange(segment, groups)) return nullptr;
        const std::vector<int32_t>& m = maps[static_cast<size_t>(segment)];
        return InRange(index, static_cast<int32_t>(m.size())) ? &m[static_cast<size_t>(index)] : nullptr;
    };
    const auto goes = [&](int32_t kind, int32_t index, int32_t segment) {
        const int32_t* to = map(kind, index, segment);
        return to && *to < 0;
    };
    RemoveTubesWhere([&](const SupportTube& t) {
        return goes(t.EndAKind, t.EndAIndex, t.EndASegment) || goes(t.EndBKind, t.EndBIndex, t.EndBSegment);
    });
    ForEachTubeEnd([&](int32_t kind, int32_t& index, int32_t segment) {
        if (const int32_t* to = map(kind, index, segment)) index = *to;
    });
    return removed;
}

void RemoveTrackRecords() {
    gNodeCount = 0;
    gSegmentCount = 0;
    for (RascGroup& group : gRascGroups) group.ItemCount = 0;
    ClearSegmentSelection();
}

SupportRecordCounts CurrentSupportRecordCounts() {
    SupportRecordCounts counts;
    counts.FreeNodes = Used(gFreeNodeCount, gFreeNodes);
    counts.Footers = Used(gFooterCount, gFooters);
    const int32_t groups = std::min(std::max<int32_t>(gSegmentCount, 0), Used(gRascGroupCount, gRascGroups));
    for (int32_t s = 0; s < groups; ++s)
        counts.PrefabItems.push_back(Used(gRascGroups[s].ItemCount, gRascGroups[s].Items));
    return counts;
}

namespace {

// An end that named a record under `before` and names none now.
bool EndLeftDangling(const SupportRecordCounts& before, int32_t kind, int32_t index, int32_t segment) {
    if (!IsOrphanEnd(kind, index, segment)) return false;
    switch (kind) {
        case EndFooter: return InRange(index, before.Footers);
        case EndFreeNode: return InRange(index, before.FreeNodes);
        case EndPrefabAnchor:
            return InRange(segment, static_cast<int32_t>(before.PrefabItems.size())) &&
                   InRange(index, before.PrefabItems[static_cast<size_t>(segment)]);
        default: return false;
    }
}

}  // namespace

int32_t RemoveBeamsLeftDangling(const SupportRecordCounts& before) {
    return RemoveTubesWhere([&](const SupportTube& t) {
        return EndLeftDangling(before, t.EndAKind, t.EndAIndex, t.EndASegment) ||
               EndLeftDangling(before, t.EndBKind, t.EndBIndex, t.EndBSegment);
    });
}

int32_t RemoveCatwalksLeftDangling(const SupportRecordCounts& before) {
    const int32_t nodes = Used(gFreeNodeCount, gFreeNodes);
    const auto dangling = [&](int32_t corner) { return !InRange(corner, nodes) && InRange(corner, before.FreeNodes); };
    return CompactList(gCatwalkCount, gCatwalks, [&](int32_t i) {
        const TrackCatwalk& c = gCatwalks[i];
        return !dangling(c.Corner1) && !dangling(c.Corner2) && !dangling(c.Corner3) && !dangling(c.Corner4);
    });
}
