#pragma once
// Whether the rebuild flags raised by a tool are exactly the expected set.

#include "model/rebuild_flags.h"

inline bool FlagsAre(const RemodelFlags& expected) {
    const RemodelFlags& f = gRemodelFlags;
    return f.RebuildPath == expected.RebuildPath && f.RebuildTrack == expected.RebuildTrack &&
           f.RebuildTubes == expected.RebuildTubes && f.RebuildFooters == expected.RebuildFooters &&
           f.RebuildGround == expected.RebuildGround && f.Recolor == expected.Recolor &&
           f.RebuildTunnels == expected.RebuildTunnels && f.RebuildPrefabs == expected.RebuildPrefabs;
}
