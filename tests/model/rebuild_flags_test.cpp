// Rebuild flags and the busy marker.

#include "model/busy_window.h"
#include "model/rebuild_flags.h"
#include "tests/model/model_test_support.h"

namespace {

bool All(const RemodelFlags& f, bool value, bool ground) {
    return f.RebuildPath == value && f.RebuildTrack == value && f.RebuildTubes == value &&
           f.RebuildFooters == value && f.RebuildGround == ground && f.Recolor == value &&
           f.RebuildTunnels == value && f.RebuildPrefabs == value;
}

}  // namespace

TEST(RebuildFlagsTest, SetClearAndKeepGround) {
    SetAllRemodelFlags();
    EXPECT_TRUE(All(gRemodelFlags, true, true));
    ClearRemodelFlags();
    EXPECT_TRUE(All(gRemodelFlags, false, false));
    SetRemodelFlagsKeepGround();
    EXPECT_TRUE(All(gRemodelFlags, true, false));
    ClearRemodelFlags();
}

TEST(BusyMarkerTest, RunsToAndFroAlongTheStrip) {
    BusyMarker marker;
    EXPECT_EQ(marker.Position, 0);
    marker.Advance();
    EXPECT_EQ(marker.Position, 2);
    while (marker.Position < kBusyMarkerRange) marker.Advance();
    EXPECT_EQ(marker.Position, 96);
    marker.Advance();
    EXPECT_EQ(marker.Position, 94);
    int steps = 1;
    while (marker.Position > 0) {
        marker.Advance();
        ++steps;
    }
    EXPECT_EQ(steps, 48);
    marker.Advance();
    EXPECT_EQ(marker.Position, 2);
}
