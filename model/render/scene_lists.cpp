#include "model/render/scene_lists.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/build_pipeline.h"
#include "trackdoc/track_document.h"

namespace scene {

uint64_t gSceneListGeneration = 0;

// ---- Boxes and the view volume ------------------------------------------------

void Box::Add(const Vector3& p) {
    // A sum of the coordinates that is not finite: one of them is not.
    if (!std::isfinite(p.X + p.Y + p.Z)) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z)) {
            Unbounded = true;
            return;
        }
    }
    if (Empty) {
        Min[0] = Max[0] = p.X;
        Min[1] = Max[1] = p.Y;
        Min[2] = Max[2] = p.Z;
        Empty = false;
        return;
    }
    Min[0] = std::min(Min[0], p.X);
    Min[1] = std::min(Min[1], p.Y);
    Min[2] = std::min(Min[2], p.Z);
    Max[0] = std::max(Max[0], p.X);
    Max[1] = std::max(Max[1], p.Y);
    Max[2] = std::max(Max[2], p.Z);
}

void Box::Add(const Box& b) {
    Unbounded = Unbounded || b.Unbounded;
    if (b.Empty) return;
    for (int i = 0; i < 3; ++i) {
        if (Empty || b.Min[i] < Min[i]) Min[i] = b.Min[i];
        if (Empty || b.Max[i] > Max[i]) Max[i] = b.Max[i];
    }
    Empty = false;
}

float Box::Span() const {
    if (Empty) return 0.0f;
    return std::max({Max[0] - Min[0], Max[1] - Min[1], Max[2] - Min[2]});
}

ViewVolume ViewVolume::FromCurrentMatrices() {
    GLfloat p[16], m[16];  // column-major
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    double clip[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += double(p[k * 4 + r]) * double(m[c * 4 + k]);
            clip[r][c] = sum;
        }
    return ViewVolume(clip);
}

ViewVolume::ViewVolume(const double clip[4][4]) {
    // Left, right, bottom, top, near, far: w + x >= 0, w - x >= 0, ...
    for (int i = 0; i < 6; ++i) {
        const int axis = i / 2;
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        for (int c = 0; c < 4; ++c) planes_[i][c] = clip[3][c] + sign * clip[axis][c];
        const double len = std::sqrt(planes_[i][0] * planes_[i][0] + planes_[i][1] * planes_[i][1] +
                                     planes_[i][2] * planes_[i][2]);
        if (!(len > 0.0) || !std::isfinite(len)) {
            valid_ = false;
            continue;
        }
        for (double& v : planes_[i]) v /= len;
    }
}

bool ViewVolume::MayShow(const Box& box) const {
    if (!valid_ || box.Unbounded) return true;
    if (box.Empty) return false;
    for (const auto& pl : planes_) {
        // The corner of the box farthest inside the plane.
        double distance = pl[3], magnitude = std::fabs(pl[3]);
        for (int i = 0; i < 3; ++i) {
            const double term = pl[i] * double(pl[i] >= 0.0 ? box.Max[i] : box.Min[i]);
            distance += term;
            magnitude += std::fabs(term);
        }
        // OpenGL transforms in single precision: allow for far more than its rounding.
        if (distance < -(0.01 + 1e-4 * magnitude)) return false;
    }
    return true;
}

// ---- Fingerprints and shapes ------------------------------------------------------

bool IsGridBatch(Batch batch) { return (batch == Batch::Ground && gGroundSmooth) || batch == Batch::Water; }

namespace {

class FingerprintBuilder {
public:
    void Word(uint64_t w) {
        a_ = (a_ ^ w) * 0x9E3779B97F4A7C15ull;
        a_ = (a_ << 31) | (a_ >> 33);
        b_ = (b_ + w) * 0xC2B2AE3D27D4EB4Full;
        b_ ^= b_ >> 29;
    }
    void Floats(float x, float y) {
        uint32_t bx, by;
        std::memcpy(&bx, &x, sizeof bx);
        std::memcpy(&by, &y, sizeof by);
        Word(uint64_t(bx) | (uint64_t(by) << 32));
    }
    void Point(const Vector3& v) {
        Floats(v.X, v.Y);
        Floats(v.Z, 0.0f);
    }
    void operator()(const SentTriangle& t) {
        ++triangles_;
        uint64_t mask = 0;
        for (int k = 0; k < 3; ++k)
            if (t.Normals[k] != nullptr) mask |= uint64_t(1) << k;
        Word(mask);
        for (int k = 0; k < 3; ++k) {
            if (t.Normals[k] != nullptr) Point(*t.Normals[k]);
            Point(t.Corners[k]);
        }
    }
    void operator()(const Vector3& point) {
        ++triangles_;
        Point(point);
    }
    // Raw records, eight bytes at a time (the last word padded with zeros).
    void Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        Word(size);
        for (; size >= 8; p += 8, size -= 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            Word(w);
        }
        if (size > 0) {
            uint64_t w = 0;
            std::memcpy(&w, p, size);
            Word(w);
        }
    }
    Fingerprint Value() const {
        uint64_t a = a_ ^ (triangles_ * 0xFF51AFD7ED558CCDull), b = b_ + triangles_;
        a ^= a >> 33;
        a *= 0xC4CEB9FE1A85EC53ull;
        a ^= a >> 33;
        return Fingerprint{a, b};
    }

private:
    uint64_t a_ = 0x243F6A8885A308D3ull;
    uint64_t b_ = 0x13198A2E03707344ull;
    size_t triangles_ = 0;
};

// A batch's fingerprint starts with the batch and what it sends first.
FingerprintBuilder BatchFingerprintStart(Batch batch) {
    FingerprintBuilder fp;
    fp.Word(static_cast<uint64_t>(batch));
    if (batch == Batch::Water) fp.Point(gWaterNormal);
    return fp;
}

// A grid batch sends the points of its triangles (and for the ground their
// normals) by index: the two arrays it reads stand for everything it sends,
// and hashing them record by record costs a tenth of hashing every triangle's
// corners, each point being shared by six triangles.
static_assert(sizeof(GroundVertex) == 6 * sizeof(float) && sizeof(GroundTriangle) == 3 * sizeof(int32_t),
              "the ground's records have no padding bytes");

Fingerprint GridFingerprint(Batch batch) {
    FingerprintBuilder fp = BatchFingerprintStart(batch);
    const bool water = batch == Batch::Water;
    const size_t n = Bounded(water ? gWaterTriangleCount : gGroundTriangleCount, gGroundTriangles);
    const size_t vertices = water ? Bounded(gWaterVertexCount, gGroundVertices) : gGroundVertices.size();
    fp.Bytes(gGroundTriangles.data(), n * sizeof(GroundTriangle));
    fp.Bytes(gGroundVertices.data(), vertices * sizeof(GroundVertex));
    return fp.Value();
}

Fingerprint BatchFingerprint(Batch batch) {
    if (IsGridBatch(batch)) return GridFingerprint(batch);
    FingerprintBuilder fp = BatchFingerprintStart(batch);
    ForEachTriangle(batch, fp);
    return fp.Value();
}

// At least as many triangles as the batch sends, from the counts alone.
size_t BatchTriangleBound(Batch batch) {
    auto meshes = [](const std::vector<ModelMesh>& list, int64_t count) {
        size_t n = 0;
        for (size_t i = 0, m = Bounded(count, list); i < m; ++i) n += Bounded(list[i].FaceCount, list[i].Faces);
        return n;
    };
    switch (batch) {
        case Batch::Ground: return Bounded(gGroundTriangleCount, gGroundTriangles);
        case Batch::Water: return Bounded(gWaterTriangleCount, gGroundTriangles);
        case Batch::Footers: return meshes(gFooterModels, gFooterCount);
        case Batch::PrefabFooters: return meshes(gPrefabFooterModels, gPrefabModelCount);
        case Batch::Tubes: return meshes(gTubeModels, gTubeCount);
        case Batch::Catwalks: return meshes(gCatwalkModels, gCatwalkCount);
        case Batch::Prefabs: return meshes(gPrefabModels, gPrefabModelCount);
        case Batch::TunnelOuter: return meshes(gTunnelOuterModels, gTunnelModelCount);
        case Batch::TunnelInner: return meshes(gTunnelInnerModels, gTunnelModelCount);
    }
    return 0;
}

// The shape of what a batch reads, cheap to take at every frame: sizes,
// counts and buffers. A change makes the lists look at the content again.
class ShapeHash {
public:
    void Add(uint64_t v) { h_ = (h_ ^ v) * 0x100000001b3ull; }
    void Add(const void* p) { Add(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p))); }
    void Add(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Add(static_cast<uint64_t>(bits));
    }
    template <class T, class A>
    void AddArray(const std::vector<T, A>& v) {
        Add(static_cast<uint64_t>(v.size()));
        Add(static_cast<const void*>(v.data()));
    }
    void AddMesh(const ModelMesh& m) {
        AddArray(m.Faces);
        Add(static_cast<uint64_t>(static_cast<uint32_t>(m.FaceCount)));
        Add(static_cast<uint64_t>(m.Smooth));
    }
    void AddMeshes(const std::vector<ModelMesh>& meshes, int64_t count) {
        AddArray(meshes);
        Add(static_cast<uint64_t>(count));
        const size_t n = Bounded(count, meshes);
        for (size_t i = 0; i < n; ++i) AddMesh(meshes[i]);
    }
    uint64_t Value() const { return h_; }

private:
    uint64_t h_ = 0xcbf29ce484222325ull;
};

uint64_t BatchShape(Batch batch) {
    ShapeHash h;
    h.Add(static_cast<uint64_t>(batch));
    switch (batch) {
        case Batch::Ground:
            h.Add(static_cast<uint64_t>(gGroundTriangleCount));
            h.AddArray(gGroundTriangles);
            h.AddArray(gGroundVertices);
            h.Add(static_cast<uint64_t>(gGroundSmooth));
            break;
        case Batch::Water:
            h.Add(static_cast<uint64_t>(gWaterTriangleCount));
            h.Add(static_cast<uint64_t>(gWaterVertexCount));
            h.AddArray(gGroundTriangles);
            h.AddArray(gGroundVertices);
            h.Add(gWaterNormal.X);
            h.Add(gWaterNormal.Y);
            h.Add(gWaterNormal.Z);
            break;
        case Batch::Footers: h.AddMeshes(gFooterModels, gFooterCount); break;
        case Batch::PrefabFooters: h.AddMeshes(gPrefabFooterModels, gPrefabModelCount); break;
        case Batch::Tubes: h.AddMeshes(gTubeModels, gTubeCount); break;
        case Batch::Catwalks: h.AddMeshes(gCatwalkModels, gCatwalkCount); break;
        case Batch::Prefabs: h.AddMeshes(gPrefabModels, gPrefabModelCount); break;
        case Batch::TunnelOuter: h.AddMeshes(gTunnelOuterModels, gTunnelModelCount); break;
        case Batch::TunnelInner: h.AddMeshes(gTunnelInnerModels, gTunnelModelCount); break;
    }
    return h.Value();
}

uint64_t TrackShape() {
    ShapeHash h;
    h.Add(static_cast<uint64_t>(gSpineInfoSegmentCount));
    h.AddArray(gTrackModel);
    h.Add(static_cast<uint64_t>(gModelSettings.gRailCount));
    h.Add(static_cast<uint64_t>(gModelSettings.gSpineCount));
    const size_t n = TrackSegmentCount();
    for (size_t i = 0; i < n; ++i) {
        const TrackModelEntry& e = gTrackModel[i];
        h.AddMeshes(e.Rails, gModelSettings.gRailCount);
        h.AddMeshes(e.Spines, gModelSettings.gSpineCount);
        h.AddArray(e.TieFaces);
        h.Add(static_cast<uint64_t>(e.TieFaceCount));
    }
    return h.Value();
}

uint64_t PathShape() {
    ShapeHash h;
    h.Add(static_cast<uint64_t>(gSpineInfoSegmentCount));
    h.AddArray(gPathMatrixArray);
    const size_t n = PathSegmentCount();
    for (size_t i = 0; i < n; ++i) {
        h.AddArray(gPathMatrixArray[i].Frames);
        h.Add(static_cast<uint64_t>(gPathMatrixArray[i].FrameCount));
    }
    return h.Value();
}

// Compiles a batch's triangles into pieces, one display list each, in their order.
class ChunkCompiler {
public:
    ChunkCompiler(Batch batch, size_t triangles, std::vector<Chunk>& chunks)
        : batch_(batch), chunks_(chunks) {
        minFaces_ = std::max(kChunkMinFaces, (triangles + kChunksPerBatch - 1) / kChunksPerBatch);
        maxFaces_ = std::max(kChunkMaxFaces, 4 * minFaces_);
    }

    void operator()(const SentTriangle& t) {
        if (failed_) return;
        if (open_) {
            if (faces_ >= maxFaces_) {
                Close();
            } else if (faces_ >= minFaces_) {
                Box joined = bounds_;
                for (const Vector3& c : t.Corners) joined.Add(c);
                if (joined.Span() > kChunkSpan) Close();
            }
        }
        if (!open_ && !Open()) return;
        SendTriangle(t);
        for (const Vector3& c : t.Corners) bounds_.Add(c);
        ++faces_;
        ++compiled_;
    }

    // Closes the last piece; false when lists ran out (none are left then).
    bool Finish() {
        if (open_) Close();
        if (failed_) {
            for (const Chunk& c : chunks_) glDeleteLists(c.List, 1);
            chunks_.clear();
        }
        return !failed_;
    }
    int64_t Compiled() const { return compiled_; }

private:
    bool Open() {
        const GLuint list = glGenLists(1);
        if (list == 0) {
            failed_ = true;
            return false;
        }
        glNewList(list, GL_COMPILE);
        BeginBatch(batch_);
        list_ = list;
        bounds_ = Box{};
        faces_ = 0;
        open_ = true;
        return true;
    }
    void Close() {
        glEnd();
        glEndList();
        chunks_.push_back(Chunk{list_, bounds_});
        open_ = false;
    }

    Batch batch_;
    std::vector<Chunk>& chunks_;
    size_t minFaces_ = kChunkMinFaces;
    size_t maxFaces_ = kChunkMaxFaces;
    GLuint list_ = 0;
    Box bounds_;
    size_t faces_ = 0;
    bool open_ = false;
    bool failed_ = false;
    int64_t compiled_ = 0;
};

// Marks the start of each piece in a segment's fingerprint.
constexpr uint64_t kPieceMark = 0x5E6D000000000000ull;

Fingerprint SegmentFingerprint(size_t segment) {
    FingerprintBuilder fp;
    const TrackModelEntry& e = gTrackModel[segment];
    for (int piece = 0; piece < kSegmentPieces; ++piece) {
        fp.Word(kPieceMark + static_cast<uint64_t>(piece));
        ForEachSegmentTriangle(e, static_cast<SegmentPiece>(piece), fp);
    }
    return fp.Value();
}

Fingerprint PathFingerprint(size_t segment) {
    FingerprintBuilder fp;
    ForEachPathPoint(segment, fp);
    return fp.Value();
}

}  // namespace

// ---- The lists of a context ----------------------------------------------------------

void SceneLists::StartSlice(double seconds) {
    compiledInSlice_ = false;
    // Beyond a day counts as without end (and keeps the sum inside the clock's range).
    if (seconds > 0.0 && seconds < 86400.0)
        sliceEnd_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    else
        sliceEnd_ = Clock::time_point::max();
}

const std::vector<Chunk>* SceneLists::BatchChunks(Batch batch) {
    BatchLists& lists = batches_[static_cast<size_t>(batch)];
    const Stamp now{ModelBuildSerial(), gSceneListGeneration, BatchShape(batch)};
    if (!lists.Ready || lists.Made != now) {
        const bool afresh = !lists.Ready || lists.Made.Generation != now.Generation;
        if (afresh || BatchFingerprint(batch) != lists.Content) lists.Stale = true;
        lists.Made = now;
        lists.Ready = true;
    }
    if (lists.Stale && (IsGridBatch(batch) || !SliceOver())) {
        CompileBatch(batch, lists);
        lists.Stale = false;
        if (!IsGridBatch(batch)) compiledInSlice_ = true;
    }
    return lists.Stale || lists.Failed ? nullptr : &lists.Chunks;
}

bool SceneLists::BatchPending(Batch batch) const {
    const BatchLists& lists = batches_[static_cast<size_t>(batch)];
    return lists.Ready && lists.Stale;
}

bool SceneLists::CompilePending(bool model, bool path) {
    bool pending = false;
    if (model) {
        for (size_t b = 0; b < kBatchCount; ++b) {
            const Batch batch = static_cast<Batch>(b);
            if (!BatchPending(batch)) continue;
            BatchChunks(batch);
            pending = pending || BatchPending(batch);
        }
        if (SegmentsPending(track_)) {
            UpdateSegments(SegmentKind::Track, track_);
            pending = pending || SegmentsPending(track_);
        }
    }
    if (path && SegmentsPending(path_)) {
        UpdateSegments(SegmentKind::Path, path_);
        pending = pending || SegmentsPending(path_);
    }
    return pending;
}

void SceneLists::CompileBatch(Batch batch, BatchLists& lists) {
    for (const Chunk& c : lists.Chunks)
        if (c.List != 0) glDeleteLists(c.List, 1);
    lists.Chunks.clear();
    if (IsGridBatch(batch)) {
        CompileGridRuns(batch, lists);
        return;
    }
    ChunkCompiler compiler(batch, BatchTriangleBound(batch), lists.Chunks);
    FingerprintBuilder fp = BatchFingerprintStart(batch);
    auto compile = [&](const SentTriangle& t) {
        fp(t);
        compiler(t);
    };
    ForEachTriangle(batch, compile);
    lists.Failed = !compiler.Finish();
    lists.Content = fp.Value();
    compiledTriangles_ += compiler.Compiled();
}

// The runs of a grid batch, cut by the rule of the compiled pieces: at least
// kChunkMinFaces triangles (more for a large batch), closed once the next
// triangle would stretch the run beyond kChunkSpan metres, never more than
// the most faces of a piece.
void SceneLists::CompileGridRuns(Batch batch, BatchLists& lists) {
    lists.Content = GridFingerprint(batch);
    lists.Failed = false;
    const bool water = batch == Batch::Water;
    const size_t n = Bounded(water ? gWaterTriangleCount : gGroundTriangleCount, gGroundTriangles);
    const size_t vertices = water ? Bounded(gWaterVertexCount, gGroundVertices) : gGroundVertices.size();
    if (water) {
        std::vector<Vector3> flat(vertices);
        for (size_t v = 0; v < vertices; ++v)
            flat[v] = MakeVector(gGroundVertices[v].Position.X, 0.0f, gGroundVertices[v].Position.Z);
        waterCorners_.swap(flat);
    }
    const size_t minFaces = std::max(kChunkMinFaces, (n + kChunksPerBatch - 1) / kChunksPerBatch);
    const size_t maxFaces = std::max(kChunkMaxFaces, 4 * minFaces);
    const auto corner = [&](int32_t index) {
        return water ? waterCorners_[static_cast<size_t>(index)] : gGroundVertices[static_cast<size_t>(index)].Position;
    };
    Chunk run;
    bool open = false;
    for (size_t i = 0; i < n; ++i) {
        const GroundTriangle& tri = gGroundTriangles[i];
        const bool sent = CornersInList(tri, vertices);
        if (open && run.Count >= maxFaces) {
            lists.Chunks.push_back(run);
            open = false;
        } else if (open && sent && run.Count >= minFaces) {
            Box joined = run.Bounds;
            for (int32_t c : {tri.A, tri.B, tri.C}) joined.Add(corner(c));
            if (joined.Span() > kChunkSpan) {
                lists.Chunks.push_back(run);
                open = false;
            }
        }
        if (!open) {
            run = Chunk{};
            run.First = static_cast<uint32_t>(i);
            run.Direct = true;
            open = true;
        }
        ++run.Count;
        if (!sent) {
            run.Direct = false;
            continue;
        }
        for (int32_t c : {tri.A, tri.B, tri.C}) run.Bounds.Add(corner(c));
        ++compiledTriangles_;
    }
    if (open) lists.Chunks.push_back(run);
}

void SceneLists::DrawGridRun(Batch batch, const Chunk& run) {
    if (!run.Direct) {
        EndGridRuns();
        BeginBatch(batch);
        if (batch == Batch::Water)
            ForEachWaterTriangle(SendTriangle, run.First, size_t(run.First) + run.Count);
        else
            ForEachGroundTriangle(SendTriangle, run.First, size_t(run.First) + run.Count);
        glEnd();
        return;
    }
    if (arraysOn_ != static_cast<int>(batch)) {
        EndGridRuns();
        glEnableClientState(GL_VERTEX_ARRAY);
        if (batch == Batch::Water) {
            Normal(gWaterNormal);
            glVertexPointer(3, GL_FLOAT, sizeof(Vector3), waterCorners_.data());
        } else {
            glEnableClientState(GL_NORMAL_ARRAY);
            glVertexPointer(3, GL_FLOAT, sizeof(GroundVertex), &gGroundVertices[0].Position);
            glNormalPointer(GL_FLOAT, sizeof(GroundVertex), &gGroundVertices[0].Normal);
        }
        arraysOn_ = static_cast<int>(batch);
    }
    // A ground triangle is its three corner indices and nothing else: the
    // triangles themselves are the index list.
    static_assert(sizeof(GroundTriangle) == 3 * sizeof(GLuint) && alignof(GroundTriangle) >= alignof(GLuint));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * run.Count), GL_UNSIGNED_INT, &gGroundTriangles[run.First]);
}

void SceneLists::EndGridRuns() {
    if (arraysOn_ < 0) return;
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    arraysOn_ = -1;
}

const std::vector<SegmentLists>& SceneLists::TrackSegments() {
    UpdateSegments(SegmentKind::Track, track_);
    return track_.Segments;
}

const std::vector<SegmentLists>& SceneLists::PathSegments() {
    UpdateSegments(SegmentKind::Path, path_);
    return path_.Segments;
}

void SceneLists::UpdateSegments(SegmentKind kind, SegmentSet& set) {
    const bool track = kind == SegmentKind::Track;
    const GLsizei pieces = track ? kSegmentPieces : 1;
    const Stamp now{ModelBuildSerial(), gSceneListGeneration, track ? TrackShape() : PathShape()};
    if (!set.Ready || set.Made != now) {
        const bool afresh = !set.Ready || set.Made.Generation != now.Generation;
        const size_t n = track ? TrackSegmentCount() : PathSegmentCount();
        for (size_t i = n; i < set.Segments.size(); ++i)
            if (set.Segments[i].Base != 0) glDeleteLists(set.Segments[i].Base, pieces);
        set.Segments.resize(n);
        // A list whose content is what the segment sends now stays (also one
        // left from before a slice ran out, should the segment be back to it).
        for (size_t i = 0; i < n; ++i) {
            SegmentLists& s = set.Segments[i];
            s.Current = s.Base != 0 && !afresh && s.Content == (track ? SegmentFingerprint(i) : PathFingerprint(i));
        }
        set.Made = now;
        set.Ready = true;
        set.Next = 0;
    }
    const size_t n = set.Segments.size();
    for (; set.Next < n && !SliceOver(); ++set.Next) {
        SegmentLists& s = set.Segments[set.Next];
        if (s.Current) continue;
        if (s.Base == 0) s.Base = glGenLists(pieces);
        if (s.Base == 0) continue;  // no list to be had: sent face by face
        CompileSegment(kind, set.Next, s);
        s.Current = true;
        compiledInSlice_ = true;
    }
    while (set.Next < n && set.Segments[set.Next].Current) ++set.Next;
}

void SceneLists::CompileSegment(SegmentKind kind, size_t segment, SegmentLists& lists) {
    FingerprintBuilder fp;
    if (kind == SegmentKind::Path) {
        glNewList(lists.Base, GL_COMPILE);
        glBegin(GL_POINTS);
        auto send = [&fp](const Vector3& p) {
            fp(p);
            Vertex(p);
        };
        ForEachPathPoint(segment, send);
        glEnd();
        glEndList();
        lists.Content = fp.Value();
        return;
    }
    const TrackModelEntry& e = gTrackModel[segment];
    Box box;
    int64_t triangles = 0;
    auto send = [&](const SentTriangle& t) {
        fp(t);
        SendTriangle(t);
        for (const Vector3& c : t.Corners) box.Add(c);
        ++triangles;
    };
    for (int piece = 0; piece < kSegmentPieces; ++piece) {
        fp.Word(kPieceMark + static_cast<uint64_t>(piece));
        glNewList(lists.Base + static_cast<GLuint>(piece), GL_COMPILE);
        glBegin(GL_TRIANGLES);
        ForEachSegmentTriangle(e, static_cast<SegmentPiece>(piece), send);
        glEnd();
        glEndList();
    }
    lists.Bounds = box;
    lists.Content = fp.Value();
    compiledTriangles_ += triangles;
}

}  // namespace scene
