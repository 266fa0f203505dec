#pragma once
// Deleting records from the support structure of the open track while every
// reference between the remaining records stays valid. Support tubes name
// their two ends by kind and index (1 footer, 2 free node, 3 item of the
// prefabricated-support group of a segment); catwalks name four free nodes.
// When a footer, free node or prefabricated support goes, the later records of
// its list move down and every reference to a moved record is renumbered.
//
// Compaction keeps the kept records in their order, lowers the count and
// leaves zero records from the new count up to the old one; the list keeps its
// allocated size. A procedure that removes nothing leaves its list untouched.
//
// A reference that names no record (an index not below its list's count, a
// negative index, a segment that does not exist) is an orphan: it never keeps
// a record in use and is never renumbered onto a record; RemoveOrphanBeams
// drops the tubes that hold one. None of these shows a message.

#include <cstdint>
#include <vector>

// Free nodes that no kind-2 tube end and no catwalk corner names; those
// references renumbered. Returns how many were removed.
int32_t RemoveUnusedFreeNodes();
// Footers that no kind-1 tube end names; those references renumbered.
int32_t RemoveUnusedFooters();
// Tubes with an end of kind 1, 2 or 3 that names no record (ends of other kinds
// are left alone). Returns how many were removed.
int32_t RemoveOrphanBeams();
// Every tube of one TubeType.
int32_t RemoveBeamsOfType(int32_t tubeType);
// Every tube with an end of kind 3 on item `item` of segment `segment`.
int32_t RemoveBeamsOfPrefab(int32_t segment, int32_t item);
// Every tube with an end of kind 3 on any support that a group holds (an item
// below its group's ItemCount), in one pass over the tubes.
int32_t RemoveBeamsOfAnyPrefab();
// Every prefabricated support of one style, with its tubes; the kind-3 ends on
// the kept supports renumbered. Returns how many supports went.
int32_t RemovePrefabsOfStyle(int32_t style);
// The same for several styles at once, as removing them one after the other
// would leave it. Each list is walked once, the tubes in a single pass.
int32_t RemovePrefabsOfStyles(const std::vector<int32_t>& styles);

// The whole track: no nodes, no segments, every prefabricated-support group
// emptied (the group count stays) and an empty segment selection. Support
// records stay (their references to the supports are then orphans for
// RemoveOrphanBeams).
void RemoveTrackRecords();

// What the references of tubes and catwalks could name at one moment: the
// free nodes, the footers, and the supports of each segment.
struct SupportRecordCounts {
    int32_t FreeNodes = 0;
    int32_t Footers = 0;
    std::vector<int32_t> PrefabItems;  // per segment
};
SupportRecordCounts CurrentSupportRecordCounts();

// The tubes (catwalks) with a reference that named a record under `before`
// and names none now: what removals since then left dangling. References that
// were orphans already, and the records holding them, are left alone; the
// removals in between must only shorten lists or renumber onto kept records,
// as every procedure here does. Returns how many were removed.
int32_t RemoveBeamsLeftDangling(const SupportRecordCounts& before);
int32_t RemoveCatwalksLeftDangling(const SupportRecordCounts& before);
