#pragma once
// The edits of the Track menu's Scale, Rotate and Mirror tools and the
// translation of the Move tool. They change the Bezier nodes of the open track
// (position and both control points; rolls and flags never) and, when the
// supports option is ticked, the free nodes and the footers' positions.
// Prefabricated supports, tubes and catwalks follow by reference; trees,
// scenery objects and the terrain never change.
//
// The Run functions are the tools' OK: checks, edit, rebuild flags, changed
// mark. They return true when the edit was applied (the dialog then unloads)
// and false when a check refused it (nothing changed, the dialog stays open),
// an edit that would leave a coordinate that is not finite with
// NotFiniteNotice.

#include "tools/tool_form.h"
#include "trackdoc/math3d.h"

// ---- Edits ----------------------------------------------------------------
// Each is worked out apart from the document and put in only when every
// coordinate it gives is a finite number; false, nothing changed, otherwise.

// Every node point += v; with supports every free node and footer += v.
bool TranslateTrack(const Vector3& v, bool withSupports);
// Every node point scaled component by component by s about the origin; with
// supports every free node scaled and every footer scaled, then put on y = 0.
bool ScaleTrack(const Vector3& s, bool withSupports);
// Every node point (and with supports every free node and footer) = m p.
bool TransformTrack(const Matrix4& m, bool withSupports);
// X negated when mirrorX, Z when mirrorZ.
bool MirrorTrack(bool mirrorX, bool mirrorZ, bool withSupports);

// ---- Scale ----------------------------------------------------------------

inline constexpr NumericBoxSpec kTrackScaleBox{1.0, 1000.0, false, false, "100"};

struct TrackScaleOptions {
    double Percent[3] = {100.0, 100.0, 100.0};  // X, Y, Z
    bool ScaleSupports = true;
};

// The factors of the three percentages (value / 100 each).
Vector3 ScaleFactors(const TrackScaleOptions& options);
// Scale OK: the scene-boundary test over the path scaled by the factors (its
// "Notice!" message on failure), the edit, all flags but ground, the changed mark.
bool RunTrackScale(const TrackScaleOptions& options);

// ---- Rotate ---------------------------------------------------------------

inline constexpr NumericBoxSpec kTrackRotateBox{1.0, 360.0, true, false, "45"};

struct TrackRotateOptions {
    double Degrees = 45.0;
    bool ClockWise = true;  // "Clock-Wise" chosen; otherwise "Counter Clock-Wise"
    bool RotateSupports = true;
};

// The turn about the vertical axis: MatrixRotateY of the angle, negated for
// clock-wise (a positive angle turns east toward north).
Matrix4 TrackRotation(const TrackRotateOptions& options);
bool RunTrackRotate(const TrackRotateOptions& options);

// ---- Mirror ---------------------------------------------------------------

struct TrackMirrorOptions {
    bool MirrorX = false;  // "Mirror X Coordinates (East/West)"
    bool MirrorZ = false;  // "Mirror Z Coordinates (North/South)"
    bool MirrorSupports = true;
};

// OK is enabled exactly while at least one of the two boxes is ticked.
bool MirrorOkEnabled(bool mirrorX, bool mirrorZ);
bool RunTrackMirror(const TrackMirrorOptions& options);
