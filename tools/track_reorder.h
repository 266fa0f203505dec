#pragma once
// The Track menu's Shuttle Builder and Backwards Rebuilder: both rebuild the
// order of the track's nodes and segments.
//
// Shuttle Builder: an open track of n nodes becomes a closed circuit of 2n
// nodes that runs out along the track, turns at its last node and runs back
// over mirrored copies of the nodes to node 0.
//
// Backwards Rebuilder: the track is rebuilt to be ridden the other way round:
// nodes and segments in reverse order, prefabricated supports at the mirrored
// positions with their tube ends following, some speeds of the segment types
// reversed, one train.
//
// The Run functions are the tools' OK: edit, rebuild flags, changed mark; they
// return false, with nothing changed, when the tool cannot apply.

#include "trackdoc/track_document.h"

inline constexpr const char* kShuttleInfoText =
    "This will create new segments over existing segment to make the track into a full circut.";
inline constexpr const char* kShuttleRefusalText = "A shuttle coaster can only be made from a non-circut track.";
inline constexpr const char* kShuttleTooShortText = "A shuttle coaster needs a track of at least two nodes.";
inline constexpr const char* kBackwardsInfoText =
    "This will rebuild the track backwards causing the train to give the illusion it is backwards on the track.";

// The same place ridden the other way: control points swapped, roll negated,
// the flags kept.
TrackNode MirrorNode(const TrackNode& node);

// ---- Shuttle Builder ------------------------------------------------------

// The dialog's text for the open track, and whether its OK is enabled: an open
// track of at least two nodes.
const char* ShuttleInfoText();
bool ShuttleOkEnabled();
// Appends node 2n - 1 - k as the mirror of node k (k = n - 1 .. 0) and closes
// the circuit. The new segments n - 1 .. 2n - 1 are zeroed normal segments
// without prefabricated supports; the selection is cleared. False, nothing
// changed, while ShuttleOkEnabled is false.
bool BuildShuttle();
bool RunShuttleBuilder();

// ---- Backwards Rebuilder --------------------------------------------------

// The changes of a segment's own type block when it is ridden backwards.
void ReverseSegmentSpeeds(TrackSegment& segment);
// The lift's fixed acceleration and deceleration backwards (bit patterns
// C29D1100 and C19D1100).
inline constexpr float kBackwardsLiftAccel = -78.533203125f;
inline constexpr float kBackwardsLiftDecel = -19.63330078125f;

// Where each segment goes: entry s is the new index of old segment s. On a
// closed circuit of m segments old segment m - 2 - i becomes i and the closing
// segment m - 1 keeps its place; on an open track old segment m - 1 - i
// becomes i, so that every segment stays between its own two nodes.
std::vector<int32_t> BackwardsSegmentMap(int32_t segmentCount, bool closed);
// Rebuilds the track backwards: node i = mirror of node n - 1 - i; every
// segment but a closed circuit's closing one moves by the map with its speeds
// reversed and its supports at 1 - their position; tube ends at supports and
// the selection follow the segments; one train.
void RebuildBackwards();
bool RunBackwardsRebuilder();
