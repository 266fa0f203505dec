#pragma once
// The colours of the track model (rails, spines and ties per segment) and the
// draw colours of supports and tunnels, by segment kind or by the document's
// own colours. Tunnel segments of a track are shown at half brightness.

#include <cstdint>

// The check marks of the main window's colour menu items, which the main window
// keeps up to date: "Track Specified" (mnuColorTrack) and "Segment Type"
// (mnuColorSegment). Exactly one of them is set.
extern bool gColorTrackChecked;
extern bool gColorSegmentChecked;

enum ColorModes : int { ColorBySegmentKind = 1, ColorByDocument = 2 };

// 1 by segment kind, 2 by the document's colours.
void ColorTrackModel(int mode);

inline constexpr int32_t RGBColor(int32_t r, int32_t g, int32_t b) { return r + 256 * g + 65536 * b; }

// Each channel halved, halves rounded to the even neighbour (255 -> 128, 3 -> 2).
int32_t HalveColor(int32_t color);

struct SegmentKindColors {
    int32_t Rail, Spine, Tie;
};
// The colours of a segment kind in mode 1. A kind outside 0 to 4 has a grey of
// its own, the same at every call.
SegmentKindColors ColorsOfSegmentKind(int32_t segmentType);
