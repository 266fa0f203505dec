#pragma once
// The edits of the Element menu's Reverse, Scale, Pitch, Tilt and Skew tools
// on the open element's nodes (each node's position and both control points;
// Reverse also the rolls), and their OKs: edit, rebuild flags, changed mark.
// A Run function returns true when it applied its edit (the dialog unloads)
// and false when its check refused the input (nothing changed). No edit
// leaves a coordinate that is not a finite number: each works out the new
// nodes apart and puts them in only when every coordinate is finite.

#include "tools/tool_form.h"
#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

// ---- Edits ----------------------------------------------------------------

// Rebuilds the element backwards: the former last node becomes node 0 at the
// origin with its outgoing control point on the negative Z axis; every node's
// in and out control points swap, every roll is negated, the flags travel with
// their nodes. Needs at least two nodes (false, nothing changed, below that);
// false too, nothing changed, when a coordinate would not be finite.
bool ReverseElement();
// The rigid move of Reverse: the former last node to the origin, then turned
// about Y and X so that the direction toward its incoming control point
// points along -Z. Applied to a point p as rotation (p - last position).
// Where that direction is upright (its level part below a thousandth of its
// length, which is mostly rounding), the heading is that of the level way from
// the last node back to `first`, and the pitch takes the part of the direction
// along that heading, so the direction still ends on -Z.
Matrix4 ReverseRotation(const TrackNode& last, const Vector3& first);
// Scale, Pitch and Tilt: false, nothing changed, when a coordinate would not
// be finite.
bool ScaleElement(const Vector3& s);
bool TransformElement(const Matrix4& m);
// The shear of Skew: each point's x += y / h * sideways, z += y / h * forward,
// h = the nodes' height range. False, nothing changed, when a shear is asked
// of a flat element (ElementIsFlat) or a coordinate would not be finite.
bool SkewElement(double sideways, double forward);
// The highest minus the lowest Y of the node positions.
double ElementHeightRange();
// The longest side of the box around the node positions.
double ElementExtent();
// Flat for Skew: a height range of 0, or one within rounding of 0 (below a
// millionth of the element's extent, as a flat element turned by a full
// pitch leaves).
bool ElementIsFlat();

// ---- Reverse --------------------------------------------------------------

inline constexpr const char* kReverseInfoText = "This will rebuild the element backwards, putting the last node first.";
// OK is enabled only for an element of two nodes or more.
bool ReverseOkEnabled();
bool RunElementReverse();

// ---- Scale ----------------------------------------------------------------

inline constexpr NumericBoxSpec kElementScaleBox{1.0, 1000.0, false, false, "100"};
struct ElementScaleOptions {
    double Percent[3] = {100.0, 100.0, 100.0};
};
bool RunElementScale(const ElementScaleOptions& options);

// ---- Pitch and Tilt -------------------------------------------------------

inline constexpr NumericBoxSpec kElementTurnBox{-360.0, 360.0, true, false, "0"};
// Pitch turns about X (MatrixRotateX), Tilt about Z (MatrixRotateZ).
bool RunElementPitch(double degrees);
bool RunElementTilt(double degrees);

// ---- Skew -----------------------------------------------------------------

inline constexpr NumericBoxSpec kElementSkewBox{-50.0, 50.0, true, true, "0"};
struct ElementSkewOptions {
    double RightLeft = 0.0;  // txtSkew(0), along X
    double FrontBack = 0.0;  // txtSkew(1), along Z
};
inline constexpr const char* kSkewFlatTitle = "Notice!";
inline constexpr const char* kSkewFlatText =
    "All nodes of this element lie at one height, so there is no height to skew it by.\r\n"
    "The skew has been aborted!";
// Skew OK; a shear of a flat element shows kSkewFlatText and changes nothing.
// Every Run function that refuses a result that is not finite shows
// NotFiniteNotice and changes nothing.
bool RunElementSkew(const ElementSkewOptions& options);
