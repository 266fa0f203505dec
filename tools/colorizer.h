#pragma once
// Track > Colorizer's OK: repaints the spine, rail and crosstie colours of the
// segments chosen by scope, type filter and tunnel filter, each part by its
// own painting mode. A painted segment gets CustomColors and all three colours;
// every other segment keeps its colours and its flag.

#include <array>
#include <cstdint>

// The parts of the track, the index of every per-part array.
inline constexpr int kColorizerParts = 3;  // 0 spine, 1 rails, 2 crossties

enum ColorizerMode : int {
    PaintPrimary = 0,
    PaintAlternate = 1,
    PaintGradient = 2,    // linear RGB walk from the primary towards the alternate colour
    PaintColorWheel = 3,  // the primary colour's hue turned once round over the scope
    PaintToggle = 4,      // runs of the primary and the alternate colour
};

struct ColorizerOptions {
    bool SelectedOnly = false;            // "Selected Segments", else "Entire Track"
    bool AllTypes = true;                 // "All Segment Types"
    std::array<bool, 5> Types{};          // "Normal" .. "Brake", by SegmentTypeCodes
    bool OnlyTunnels = false;             // "Only Tunneled Segments"
    bool UseAlternate = false;            // "Use Alternate Color"
    std::array<int32_t, kColorizerParts> Primary{};
    std::array<int32_t, kColorizerParts> Alternate{};
    std::array<int, kColorizerParts> Mode{};
    // The Toggle run lengths as their boxes read: [part][0 primary, 1 alternate].
    std::array<std::array<double, 2>, kColorizerParts> RunLengths{{{1, 1}, {1, 1}, {1, 1}}};
};

// The number of segments in the scope: all of them, or the selected ones.
int ColorizerScopeSize(bool selectedOnly);
// Whether a segment in the scope is painted (type and tunnel filters).
bool ColorizerPaints(const ColorizerOptions& options, int segment);

// Paints the segments; returns how many were painted. A scope of no segments
// paints nothing.
int ColorizeTrack(const ColorizerOptions& options);
// OK: the painting, then Recolor and the changed mark (also when nothing was painted).
void RunColorizer(const ColorizerOptions& options);
