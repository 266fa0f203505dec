#pragma once
// Track > Object Placer: copies of one scenery object scattered at random
// over a chosen area of the scene, optionally kept away from the track, set on
// the terrain, kept off high ground and out of the water, and each with a random
// scale and a random turn per axis. Random numbers come from the program's one
// generator (NextRandom, which tests replace).

#include <cstdint>
#include <string>

#include "tools/tool_form.h"
#include "trackdoc/math3d.h"

inline constexpr NumericBoxSpec kPlacerRepeatBox{1.0, 1000.0, false, false, "100"};
inline constexpr NumericBoxSpec kPlacerAreaMinBox{-220.0, 220.0, true, false, "-220"};
inline constexpr NumericBoxSpec kPlacerAreaMaxBox{-220.0, 220.0, true, false, "220"};
inline constexpr NumericBoxSpec kPlacerAboveBox{0.0, 150.0, false, true, "100.0"};
inline constexpr NumericBoxSpec kPlacerBelowBox{0.0, 150.0, false, true, "1.0"};
inline constexpr NumericBoxSpec kPlacerSpaceTrackBox{0.5, 100.0, false, true, "5"};
inline constexpr NumericBoxSpec kPlacerScaleMinBox{0.1, 100.0, false, true, "1"};
inline constexpr NumericBoxSpec kPlacerScaleMaxBox{0.1, 100.0, false, true, "2"};
inline constexpr NumericBoxSpec kPlacerRotateMinBox{0.0, 360.0, false, true, "0"};
inline constexpr NumericBoxSpec kPlacerRotateMaxBox{0.0, 360.0, false, true, "0"};
inline constexpr NumericBoxSpec kPlacerRotateMaxYBox{0.0, 360.0, false, true, "360"};

inline constexpr const char* kPlacerShortTitle = "Warning!";

struct ObjectPlacerOptions {
    int32_t Count = 100;
    std::string FileName;                         // the stored name below the Objects folder
    double Area[4] = {-220.0, -220.0, 220.0, 220.0};  // x from, z from, x to, z to
    bool OnGroundOnly = true;
    bool NoPlaceAbove = true;
    double Above = 100.0;
    bool NoPlaceBelow = true;
    double Below = 1.0;
    bool KeepAway = true;
    double SpaceTrack = 5.0;
    bool Scale = true;
    double ScaleMin[3] = {1.0, 1.0, 1.0};
    double ScaleMax[3] = {2.0, 2.0, 2.0};
    bool Rotate = true;
    double RotateMin[3] = {0.0, 0.0, 0.0};        // degrees
    double RotateMax[3] = {0.0, 360.0, 0.0};
};

// The object-file box: a full path of an existing file below the simulator's
// Objects folder, whose name a track file can store (ObjectNameStorable).
bool ObjectFileValid(const std::string& text);

// The number of copies the repeat box asks for: its value rounded, halves to even.
int32_t PlacerCopies(double value);

// Appends one scenery object record (the spare record kept) and returns its index.
int32_t AddObjectRecord();

// The transform of one copy: scale along the object's own axes, then the turns
// about X, Y and Z, then the move to the position (p' = Rx Ry Rz S p + position).
// The simulator applies the stored matrix to column vectors (translation in
// the fourth column), so the scale must come last in the product: S Rx Ry Rz
// would stretch the turned object along the world's axes and shear it
// whenever the three scales differ.
Matrix4 PlacedObjectTransform(const Vector3& scale, const Vector3& radians, const Vector3& position);

// Appends the copies. Each copy's position is drawn at most kPlacementTries
// times; when none passes (area, heights, keep-away), no further copies are
// tried. On terrain, ground above "Do Not Place Above" is left out, and where
// the terrain has water, ground below "Do Not Place Below" (heights from the
// water surface at 0 m); without terrain the band does not apply. Returns the
// number placed; -1, nothing placed, when a copy's transform would hold a
// number that is not finite.
int32_t PlaceSceneryObjects(const ObjectPlacerOptions& options);

// The text that says how many of the copies found a place, when not all did.
std::string PlacedShortText(int32_t placed, int32_t requested);

// The tool's OK: the placement; when not every copy found a place, the
// message saying how many did. A file name the track cannot store is refused
// with its message and nothing is placed, and so are copies whose transform
// would not be finite (NotFiniteNotice). The document is marked changed when any copy
// was placed, and the dialog then closes (true); with none it stays open.
bool RunObjectPlacer(const ObjectPlacerOptions& options);
