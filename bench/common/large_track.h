#pragma once
// The large ride every benchmark measures, made in one place.
//
// The ride: an open track of 2,000 segments of about 8 m (some 15.6 km),
// twelve turns of a wavy circle of 160 to 200 m radius (well inside the
// simulator's scene, so that the tools may move it) with hills from 18 to
// 42 m and banking, roll easing on every third node. Segment types are mixed:
// a station at the start, a lift hill after it, a brake every 40th segment, a
// transport every 100th, the rest normal; a tunnel every 25th segment and
// custom colours on every 50th. Two trains, a description and an environment
// name.
//
// Around it, by the options (defaults: the full ride):
//   footers      beside the ride, alternately 3 m to either side of every
//                second node, every third with a custom rotation
//   free nodes   stacked over the footers in levels between the ground and the
//                track (2,000 over 1,000 footers: a third and two thirds up)
//   catwalks     quads over the lowest level of free nodes
//   tubes        five kinds in turn: footer up to its free node, a free node up
//                to the one above it, along the upper level to the next, a
//                prefabricated support's anchor down to a footer, footer to
//                the next footer; every tube type and spin
//   prefabricated supports  one about every `PrefabSpacing` metres along the
//                ride's chords, the styles 2 to 7 in turn
//   scenery      objects spread along the ride, each with its own file name
//   terrain      `TerrainPoints` x `TerrainPoints` points about 512 m across
//                (spacing 512 / points), gentle hills dipping below the water
//                line, with water when `Water`
//
// The document is ready for RemodelTrack at level 4 (gModelOnLoad 4, gAppPath
// the build tree's data folder with the crosstie files).

#include <cstdint>

inline constexpr int kLargeTrackSegments = 2000;

struct LargeRideOptions {
    int32_t Footers = 1000;
    int32_t FreeNodes = 2000;
    int32_t Catwalks = 500;
    int32_t Tubes = 5000;         // need footers and free nodes
    double PrefabSpacing = 10.0;  // metres; 0 for none
    int32_t SceneryObjects = 1000;
    int32_t TerrainPoints = 1024;  // points a side; 0 for no terrain
    bool Water = true;
};

// The ride alone: its nodes and segments, nothing around it.
inline constexpr LargeRideOptions kBareRide{0, 0, 0, 0, 0.0, 0, 0, false};

// Replaces the open document by the large ride with the records the options ask for.
void MakeLargeRide(const LargeRideOptions& options = LargeRideOptions{});

// The ride alone (MakeLargeRide(kBareRide)).
void MakeLargeTrack();
