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
#include <functional>
#include <vector>

#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

inline constexpr int32_t kFramesPerSegment = 1000;

// A frame's matrix as stored: its rows 0 to 2 (rotation and translation). The
// row below is always 0 0 0 1 in a frame (the rotations are built from
// elementary turns, which leave it so), so it is not stored; reading the frame
// as a Matrix4 gives it back, the same bits as a full matrix would hold.
class AffineFrame {
public:
    AffineFrame() = default;
    AffineFrame(const Matrix4& m) {  // NOLINT: frames are written as matrices
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) rows_[r][c] = m(r, c);
    }
    operator Matrix4() const {  // NOLINT: and read as matrices
        Matrix4 m;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) m(r, c) = rows_[r][c];
        m(3, 3) = 1.0f;
        return m;
    }
    float operator()(int r, int c) const { return r < 3 ? rows_[r][c] : (c == 3 ? 1.0f : 0.0f); }
    // Rows 0 to 2 only.
    float& Cell(int r, int c) { return rows_[r][c]; }
    void SetTranslation(const Vector3& v) {
        rows_[0][3] = v.X;
        rows_[1][3] = v.Y;
        rows_[2][3] = v.Z;
    }
    Vector3 Translation() const { return Vector3{rows_[0][3], rows_[1][3], rows_[2][3]}; }

private:
    float rows_[3][4] = {};
};

inline Vector3 MatrixGetTranslation(const AffineFrame& f) { return f.Translation(); }

struct PathFrame {
    AffineFrame Frame;      // orientation with roll; translation = the curve point
    float Distance = 0.0f;  // arc length from the segment start
    // The same orientation without translation (derived, not stored: the
    // frames are the largest array of a model).
    Matrix4 Rotation() const { return MatrixSetTranslation(Frame, Vector3{}); }
};
static_assert(sizeof(PathFrame) == 13 * sizeof(float), "a frame is 12 floats of matrix and its distance");

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
// The same, running segmentFinal(s) for every segment s that gets frames, on any
// thread and at the same time as the rest of the build, as soon as the frames
// of s and of the segment after it (segment 0 after the last of a closed
// circuit) are final; every call has returned when this returns.
void BuildPathMatrixArray(const std::function<void(int32_t)>& segmentFinal);
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
