#pragma once
// Track > Support Wizard: prefabricated supports along the whole track at a
// fixed spacing measured along the path from the start of segment 0. Stations
// get none; each support's style comes from the default style, a style per
// segment type (lift, transport, brake) and the bank of the track at its place.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/tool_form.h"
#include "trackdoc/math3d.h"

inline constexpr NumericBoxSpec kWizardDistanceBox{1.0, 99.0, false, false, "10"};

// The styles the lists offer, list position p standing for style p + 2:
// "Simple", "Complex", "Inverted", "90deg Bank", "Small Inverted", "'A' Shape".
inline constexpr std::array<int32_t, 6> kWizardStyles = {2, 3, 4, 5, 6, 7};

struct SupportWizardOptions {
    int32_t DefaultStyle = 2;
    double Distance = 10.0;    // metres between two supports along the path
    bool RemoveAll = true;     // drop every prefabricated support first
    // Lift (0), transport (1) and brake (2) segments: their own style when ticked.
    bool Change[3] = {true, true, true};
    int32_t ChangeStyle[3] = {3, 3, 3};
    bool UseBank90 = true;       // 67 < bank < 135 degrees: "90deg Bank"
    bool UseBankInvert = true;   // bank > 134 degrees: "Inverted" ("Simple" on an inverted track)
};

// The dialog's defaults for a track style: "Simple" and "Complex", on an
// inverted track "Small Inverted" and "Inverted".
SupportWizardOptions DefaultWizardOptions(int32_t trackStyle);

// The bank of a path frame in degrees, 0 level, 90 on its side, 180 upside down.
double FrameBankDegrees(const Matrix4& frame);

// The style of a support on a segment of that type at that bank; -1 on a
// station (no support).
int32_t WizardStyleAt(const SupportWizardOptions& options, bool invertedTrack, int32_t segmentType,
                      double bankDegrees);

// The path as the walk sees it: each segment's type and length, and the bank
// at a distance along a segment.
struct WizardPath {
    std::vector<int32_t> SegmentTypes;
    std::vector<float> Lengths;
    std::function<double(int32_t segment, float distance)> BankDegrees;
};
// The track's path from the built path frames (rebuilt first when stale).
WizardPath TrackWizardPath();

// Drops every prefabricated support of the track together with the tubes
// that hang from them (no tube is left naming a support that is gone).
// Returns the number of tubes removed.
int32_t RemoveAllPrefabSupports();

// A bound on the turns of one walk, far above any track of the scene (a
// hundred kilometres at the smallest spacing): a path of absurd length stops
// here instead of walking on or filling the memory.
inline constexpr int64_t kMaxWizardTurns = 100000;

inline constexpr const char* kWizardShortTitle = "Warning!";

// How a walk went: the supports placed, the steps taken (bounded however long
// the path is), and, when it stopped before the end of the path, where: the
// next support would have stood `StopDistance` metres into segment
// `StopSegment`, and the path from there on got none.
struct WizardWalk {
    int32_t Placed = 0;
    int64_t Turns = 0;
    bool Stopped = false;
    int32_t StopSegment = 0;
    double StopDistance = 0.0;
    int32_t Segments = 0;
    double Spacing = 0.0;
};

// The walk: appends the supports to the segments' groups (after the ones they
// hold). Returns the number of supports placed; `walk` receives how it went.
// No two supports of one walk share a spot.
int32_t PlaceWizardSupports(const SupportWizardOptions& options, bool invertedTrack, const WizardPath& path,
                            WizardWalk* walk = nullptr);

// What a walk that stopped before the end of the path left out; empty when
// it went to the end.
std::string WizardStoppedText(const WizardWalk& walk);

// The tool's OK: the removal when asked for, the walk over the track's path,
// RebuildPrefabs (and RebuildTubes when tubes went), the changed mark; and,
// when the walk stopped before the end of the track, the message saying where.
bool RunSupportWizard(const SupportWizardOptions& options);
