#pragma once
// The track's centre line as the model builder sees it: a private copy of the
// document's nodes and segments (the spine copy), sampled into 1000 banked
// frames per segment with their arc length, and the lookup of the frame at a
// distance along a segment.
//
// Frame axes, binding on everything placed in a frame: local -Z points along
// the direction of travel, +Y is the track's up axis, +X points to the right.
// A positive roll turns the up axis toward local -X.

#include <cstdint>
#include <vector>

#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

inline constexpr int32_t kFramesPerSegment = 1000;

struct PathFrame {
    Matrix4 Frame;      // orientation with roll; translation = the curve point
    float Distance = 0.0f;  // arc length from the segment start
    // The same orientation without translation (derived, not stored: the
    // frames are the largest array of a model).
    Matrix4 Rotation() const { return MatrixSetTranslation(Frame, Vector3{}); }
};

struct PathSegmentFrames {
    std::vector<PathFrame> Frames;  // 0 .. FrameCount - 1
    int32_t FrameCount = 0;
    float Length = 0.0f;            // = Distance of the last frame (t = 0.999)
};

// Spine copy.
extern int32_t gSpineInfoNodeCount;
extern std::vector<TrackNode> gSpineInfoNodes;
extern int32_t gSpineInfoSegmentCount;
extern std::vector<TrackSegment> gSpineInfoSegments;
extern bool gSpineInfoClosed;
// How far the spine copy lies above the document's own nodes (0 for a track,
// the lift of ExtractElementSpine for an element).
extern float gSpineInfoLift;

// One record per segment of the spine copy (a single empty record when there is none).
extern std::vector<PathSegmentFrames> gPathMatrixArray;

void ExtractTrackSpine();
// Copies the element, lifted so that its lowest node ends at y = 1 (or by 1 m
// when no node lies below 0).
void ExtractElementSpine();
void BuildPathMatrixArray();
void BuildSegmentFrames(int32_t segment);

// The frame at an arc length along a segment; past the segment's end the first
// frame of the next one (segment 0 after the last of a closed circuit). False,
// with frame untouched, for a bad segment, a negative distance or past the end
// of an open spine.
bool GetPathMatrixAt(int32_t segment, float distance, Matrix4& frame);

// The frame at prefabricated support `item` of the segment. False when the
// segment or item does not exist (frame then zero); a failed lookup also leaves
// the zero matrix.
bool GetPrefabSupportFrame(Matrix4& frame, int32_t segment, int32_t item);
// The point on the spine axis where tubes and prefabricated supports attach to
// that support. False, with point untouched, when the segment's group or the
// item does not exist.
bool GetPrefabSupportAnchor(Vector3& point, int32_t segment, int32_t item);

// Empties the spine copy and the frames.
void ClearPathFrames();
