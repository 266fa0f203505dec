#pragma once
// Track > Support Optimizer: wherever two support tubes of the same type meet
// at a free node and continue each other in a straight line, one tube spanning
// both takes their place. Optionally the footers and free nodes that no tube
// uses any more, and the tubes naming removed records, are cleaned up after.

#include <cstdint>

#include "trackdoc/math3d.h"

inline constexpr const char* kOptimizerInfoText = "This will merge tubes that are in a straight line of the same type.";
inline constexpr const char* kOptimizerTooFewText =
    "There are not enough support tubes to optimize.  There must be at least 3 tubes.";

// OK is offered from 3 tubes on; the explanation line for the tube count.
bool OptimizerOkEnabled(int32_t tubeCount);
const char* OptimizerInfoText(int32_t tubeCount);

// A direction along the tube pointing away from end 1 (A) or end 2 (B). A
// footer stands on the ground below its position; a prefabricated-support end
// has no position here (the origin) and its direction's x is 999, so that a
// tube hanging from a support is never found straight with another.
Vector3 TubeDirection(int32_t tube, int32_t end);

// The merging. Tubes whose ends name missing records are left out; a pair
// merges only at the free node both share and only while both still exist.
// Afterwards the kept tubes stand in their order, the "1 x 4" wood beams
// (which never merge) after all others. Returns the number of tubes merged away.
// Where many tubes meet at one node, each looks for its partner only among the
// tubes pointing nearly the opposite way; the result is that of comparing
// every pair.
int32_t OptimizeTubes();
// The same merging with every pair of tubes at a node compared in turn.
int32_t OptimizeTubesComparingEveryPair();

// The tool's OK: OptimizeTubes, with cleanUp the unused footers and free nodes
// and the orphan tubes removed, then RebuildTubes, RebuildFooters and the
// changed mark (even when nothing merged).
bool RunSupportOptimizer(bool cleanUp);
