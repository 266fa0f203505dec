#pragma once
// The Track menu's Node Smoother: reshapes the Bezier path in place. Each
// node's control points are drawn into the plane of its neighbours' facing
// control points, the node is placed on its own control arm where the
// curvature of its two segments balances, and on request the arms turn
// parallel to the chord between the neighbours' facing control points
// ("Prefer Equal CP 's Lengths") and each segment's two handles take the
// lengths of a circular arc of the same length and turn ("Depump").
//
// Straight segments keep their nodes; so do the selected or the unselected
// segments' start nodes on request, and the two end nodes of an open track.
// Only node positions, control points and NodeFlag3 (cleared) change; every
// value written is finite: where a step's geometry leaves it undefined (a zero
// length, coinciding points) that node or segment is left as it is.

#include <array>

enum class SmootherApplication { EntireTrack = 0, PreservingSelected = 1, OnlySelected = 2 };

inline constexpr std::array<const char*, 3> kSmootherApplicationCaptions = {
    "Entire Track", "Entire Track Preserving Selected Segments", "Only Selected Segments"};
inline constexpr std::array<const char*, 3> kSmootherOptionCaptions = {
    "Preserve Straight Bunnyhills", "Prefer Equal CP 's Lengths", "Depump"};

struct NodeSmootherOptions {
    SmootherApplication Application = SmootherApplication::EntireTrack;
    bool PreserveStraightBunnyhills = false;
    bool PreferEqualLengths = false;
    bool Depump = false;  // runs only together with PreferEqualLengths
};

// The rule of the option boxes: "Depump" is enabled only while "Prefer Equal
// CP 's Lengths" is ticked, and cleared when it is not.
struct SmootherOptionBoxes {
    bool DepumpEnabled;
    bool DepumpChecked;
};
SmootherOptionBoxes SmootherBoxesAfterClick(bool preferEqualLengths, bool depump);

// Five passes of projection, placement, arm alignment and depump over gNodes.
void SmoothNodes(const NodeSmootherOptions& options);
// OK: SmoothNodes, its rebuild flags and the changed mark (also when nothing moved).
bool RunNodeSmoother(const NodeSmootherOptions& options);
