#pragma once
// The preview's compiled meshes: every batch of the scene (scene_batches.h)
// compiled into display lists of one OpenGL context, in pieces of nearby
// triangles with their bounding boxes, so that a frame can leave out the
// pieces that lie wholly outside the view. A piece holds a run of the batch's
// triangles in their order and sends them exactly as immediate mode does.
// The smooth ground and the water, the largest batches, are cut into runs the
// same way but drawn from the model's own arrays (vertex arrays, the ground's
// triangles as the index list) instead of lists that would copy them.
//
// The lists are compiled again only when what they would send has changed:
// after a build (the model's build serial moved) or when an array changed its
// shape, a fingerprint of each batch's triangle stream is compared with the
// one the lists were compiled from; InvalidateSceneLists compiles everything
// afresh. A track or path segment is compiled on its own, so an edit that
// changes a few segments recompiles only those.
//
// Internal to the preview's drawing (scene_render.cpp).

#include <GL/gl.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "model/render/gl_context.h"
#include "model/render/scene_batches.h"

namespace scene {

// An axis-aligned box around points; a point that is not finite makes it
// unbounded (never left out).
struct Box {
    float Min[3] = {0.0f, 0.0f, 0.0f};
    float Max[3] = {0.0f, 0.0f, 0.0f};
    bool Empty = true;
    bool Unbounded = false;

    void Add(const Vector3& p);
    void Add(const Box& b);
    // The longest side.
    float Span() const;
};

// The view volume of the current projection and model-view matrices: the six
// planes within which OpenGL keeps what it draws.
class ViewVolume {
public:
    // No planes: everything may show.
    ViewVolume() : valid_(false) {}
    // From OpenGL's current matrices (projection times model-view).
    static ViewVolume FromCurrentMatrices();
    // From a clip matrix given row by row (clip = matrix x world point).
    explicit ViewVolume(const double clip[4][4]);

    // False only when the box lies wholly outside one of the planes, by a
    // margin that covers the rounding of OpenGL's own transforms: then nothing
    // in it can reach a pixel (or a selection hit). An empty box shows nothing.
    bool MayShow(const Box& box) const;

private:
    double planes_[6][4] = {};
    bool valid_ = true;
};

// A 128-bit fingerprint of what a batch or segment sends.
struct Fingerprint {
    uint64_t A = 0;
    uint64_t B = 0;
    bool operator==(const Fingerprint&) const = default;
};

// One piece of a batch: a display list, or for the grid batches (the smooth
// ground and the water) a run of the ground's triangles First .. First +
// Count - 1, drawn straight from the model's arrays (DrawGridRun): a display
// list of the ground would hold a second copy of its largest arrays. Direct:
// every corner of the run is in the vertex list, so the run goes out in one
// draw of the triangles' own corner indices; otherwise face by face.
struct Chunk {
    GLuint List = 0;
    Box Bounds;
    uint32_t First = 0;
    uint32_t Count = 0;
    bool Direct = false;
};

// True for the batches drawn from the model's arrays instead of display lists.
bool IsGridBatch(Batch batch);

// The lists of one track or path segment: kSegmentPieces lists from Base on
// (rails, spines, crossties), or one list of path points. A segment whose
// lists do not hold what it sends now (Current false: not compiled yet, or
// Base 0: it could not be compiled) is sent face by face.
struct SegmentLists {
    GLuint Base = 0;
    bool Current = false;
    Box Bounds;
    Fingerprint Content;
};

// Pieces of a batch: at least kChunkMinFaces triangles (more for large
// batches, so that a batch has at most about kChunksPerBatch pieces), closed
// once the next triangle would stretch the piece beyond kChunkSpan metres, and
// never more than kChunkMaxFaces (or four times the minimum).
inline constexpr size_t kChunkMinFaces = 512;
inline constexpr size_t kChunksPerBatch = 1024;
inline constexpr size_t kChunkMaxFaces = 4096;
inline constexpr float kChunkSpan = 32.0f;

// The compiled meshes of one context.
//
// Compiling takes longer than sending the same faces once, so a frame may
// compile only for a while (a slice) and send the rest face by face, with the
// same pixels; what is left is compiled in later slices (CompilePending) or
// frames. Without a slice everything is compiled at once.
class SceneLists : public GLContextData {
public:
    using Clock = std::chrono::steady_clock;

    // Compiling may go on for `seconds` from now (without end when the value
    // is not a positive finite number of seconds).
    void StartSlice(double seconds);

    // The pieces of a batch, compiled afresh when its triangles changed;
    // nullptr when the batch has to be sent face by face (no lists to be had,
    // or its compiling waits for a later slice). The grid batches are never
    // left for later: they are cut into runs, not compiled.
    const std::vector<Chunk>* BatchChunks(Batch batch);
    // The lists of every track segment, and of every path segment, brought up
    // to date as far as the slice allows.
    const std::vector<SegmentLists>& TrackSegments();
    const std::vector<SegmentLists>& PathSegments();
    // Compiles, for the slice, what frames asked for and left for later: of
    // the model's batches and track segments, of the path segments, or of
    // neither. True while something is left.
    bool CompilePending(bool model, bool path);

    // How many triangles were compiled into this context's lists (or runs) so
    // far (tests check with it that what did not change is not compiled again).
    int64_t CompiledTriangles() const { return compiledTriangles_; }

    // Draws a run of a grid batch; the batch's colour is set already.
    void DrawGridRun(Batch batch, const Chunk& run);
    // Leaves the vertex arrays a run of grid batch turned on (after the last run of a batch).
    void EndGridRuns();

private:
    struct Stamp {
        uint64_t Serial = 0;
        uint64_t Generation = 0;
        uint64_t Shape = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct BatchLists {
        std::vector<Chunk> Chunks;
        Fingerprint Content;
        Stamp Made;
        bool Ready = false;
        bool Failed = false;
        bool Stale = false;  // Chunks do not hold what the batch sends now
    };
    struct SegmentSet {
        std::vector<SegmentLists> Segments;
        Stamp Made;
        bool Ready = false;
        size_t Next = 0;  // segments before it are compiled (or could not be)
    };
    enum class SegmentKind { Track, Path };

    void CompileBatch(Batch batch, BatchLists& lists);
    void CompileGridRuns(Batch batch, BatchLists& lists);
    void UpdateSegments(SegmentKind kind, SegmentSet& set);
    // Every slice compiles at least one batch or segment, so that slices
    // shorter than any compile still come to an end.
    bool SliceOver() const { return compiledInSlice_ && Clock::now() >= sliceEnd_; }
    bool BatchPending(Batch batch) const;
    static bool SegmentsPending(const SegmentSet& set) { return set.Next < set.Segments.size(); }
    void CompileSegment(SegmentKind kind, size_t segment, SegmentLists& lists);

    std::array<BatchLists, kBatchCount> batches_{};
    SegmentSet track_;
    SegmentSet path_;
    int64_t compiledTriangles_ = 0;
    std::vector<Vector3> waterCorners_;  // the water's corners laid flat, for its runs
    int arraysOn_ = -1;                  // the batch whose vertex arrays are on, or -1
    Clock::time_point sliceEnd_ = Clock::time_point::max();
    bool compiledInSlice_ = false;
};

// Advanced by InvalidateSceneLists: every context's lists are compiled afresh.
extern uint64_t gSceneListGeneration;

}  // namespace scene
