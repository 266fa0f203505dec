#pragma once
// Read-only figures over the open document and its built path: lengths,
// counts, heights, extents and inversions for the overview reports, the
// display names of track and prefabricated-support styles, and the random
// placement of a point clear of the track for the Object Placer. Nothing here
// changes the document.
//
// - Lengths and heights are metres, summed in single precision.
// - Loops over a record list stop at its count (and never run past the
//   records actually held).
// - The point of a support tube end: kind 1 the stored footer position,
//   kind 2 the free node, any other kind the prefabricated-support anchor of
//   (segment, index). An end naming a record that does not exist (an index
//   past its list's count, a negative index, a missing segment or item) has no
//   point: its tube still counts in the totals, but adds no length.
// - The path figures read the frames of the last path build (gPathMatrixArray).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

// ---- Lengths ----------------------------------------------------------------

// The track's curve measured as one polyline through 101 samples per segment
// (t = 0, 0.01, ... summed in single precision), the closing segment of a
// closed circuit included.
float GetTrackLength();
// The same walk over the element's nodes; an element has no closing segment.
float GetElementLength();

// ---- Counts -----------------------------------------------------------------

// Runs of consecutive segments with the tunnel flag / of lift segments. Runs do
// not wrap round a closed circuit.
int32_t CountTunnelRuns();
int32_t CountLiftHills();
int32_t CountSegmentsOfType(int32_t type);

// Sum of ItemCount over all groups; prefabricated supports of one style.
int32_t CountPrefabSupports();
int32_t CountPrefabSupportsOfType(int32_t style);
// Trees of one TreeType (1, 2 or 3).
int32_t CountItemsOfKind(int32_t kind);

// ---- Support beams ------------------------------------------------------------

// The point of a tube end; false for an end without one (see above).
bool GetTubeEndPoint(int32_t kind, int32_t index, int32_t segment, Vector3& point);
// Length between the two end points; 0 when either end has no point.
float GetTubeLength(const SupportTube& tube);

// Total length of the tubes with TubeType below 7 / of 7 and above.
float GetSteelBeamLength();
float GetWoodBeamLength();
// "<count cut to 8 characters> - <length in m and ft>" for one tube type.
std::string GetBeamTypeSummary(int32_t type);
// The same for the catwalks, each as long as free node Corner1 to Corner3.
std::string GetCatwalkSummary();

// ---- Terrain --------------------------------------------------------------------

// Highest / lowest grid value; -999 / 999 without rows. gHasTerrain is not read.
float GetTerrainMaxHeight();
float GetTerrainMinHeight();

// ---- Path ---------------------------------------------------------------------

// Lowest and highest Y of every frame of the built path; 1000 and -999 without one.
void GetTrackHeightRange(float& lowest, float& highest);
// Bounding-box size of the built path per axis; -1999 on every axis without one.
void GetTrackExtents(Vector3& size);
// Inversions: a frame banked strictly beyond 175 degrees starts one; upright
// stretches are sampled every 51st frame, inverted ones frame by frame.
int32_t CountInversions();

// ---- Names ----------------------------------------------------------------------

std::string CoasterStyleName(int32_t style);  // TrackStyleCodes; "Unknown" for others
std::string SupportTypeName(int32_t style);   // PrefabStyleCodes; "Unknown" for 1 and others
std::string EnvironmentNameOrDefault();       // gEnvironmentName, or "Default" when empty

// ---- Placement ------------------------------------------------------------------

// The program's one uniform generator in [0, 1); never seeded by the tools.
double NextRandom();
// Replaces the generator (tests); an empty function restores the program's own.
void SetRandomSource(std::function<double()> source);

// How many random points PickRandomObjectPosition tries before it gives up.
inline constexpr int kPlacementTries = 10000;

// A random ground point (y = 0) of the scene square, x and z from -220 to 220,
// farther than `distance` from every sampled path point. False, position
// untouched, when none of kPlacementTries points is clear of the track.
bool PickRandomObjectPosition(float distance, Vector3& position);
// True when a path point of every fifth frame, put on y = 0, lies closer than
// `distance` to the point (which the caller gives on the ground). This walks
// every sampled point; a caller that tests many points builds the grid below
// once and asks it instead.
bool IsNearTrack(float distance, const Vector3& point);

// The path points that IsNearTrack looks at, held in square cells of about
// `distance` metres (a spatial hash), so that a test reads only the points in
// the cells around it. Samples in a row on one spot (a segment of no length)
// are held once, and points that are not finite (which are near nothing) not
// at all. Built from the path as it is built now; it does not follow later
// changes of the path.
class TrackSampleGrid {
public:
    explicit TrackSampleGrid(float distance);
    // The answer IsNearTrack(distance, point) gives for the path the grid was
    // built from, for any distance and point.
    bool IsNear(float distance, const Vector3& point) const;
    // The points held.
    size_t PointCount() const { return points_.size(); }

private:
    int64_t CellOf(double coordinate) const;
    size_t BucketOf(int64_t x, int64_t z) const;
    bool AnyNear(float distance, const Vector3& point, size_t first, size_t last) const;

    double cell_ = 1.0;
    size_t mask_ = 0;
    std::vector<Vector3> points_;   // grouped by bucket
    std::vector<uint32_t> starts_;  // bucket b: points_[starts_[b]] .. points_[starts_[b + 1] - 1]
};
bool IsNearTrack(const TrackSampleGrid& grid, float distance, const Vector3& point);
