#include "model/render/scene_render.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "app/input_checks.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/radius_comb.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/light_setup.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

ViewSwitches gViewSwitches;

namespace {

MeshSubmission gSubmission = MeshSubmission::Lists;
bool gFrustumCulling = true;
uint64_t gListGeneration = 0;  // advanced by InvalidateSceneLists

constexpr int32_t RGB(int32_t r, int32_t g, int32_t b) { return r + 256 * g + 65536 * b; }
constexpr int32_t kFooterColor = RGB(192, 192, 192);

// How many entries of an array a drawer may read: the count it is told,
// never more than the array holds (a part not rebuilt yet, or one being rebuilt).
template <class T>
size_t Bounded(int64_t count, const std::vector<T>& items) {
    if (count <= 0) return 0;
    return std::min(static_cast<size_t>(count), items.size());
}

void SetColor(int32_t rgb) {
    float c[3];
    ColorToUnitRGB(c, rgb);
    glColor3f(c[0], c[1], c[2]);
}

void Vertex(const Vector3& v) { glVertex3f(v.X, v.Y, v.Z); }
void Normal(const Vector3& n) { glNormal3f(n.X, n.Y, n.Z); }

// ---- The face rule ---------------------------------------------------------

enum class Smoothing { ByMesh, ByFace, Flat };

void SendFace(const ModelFace& f, bool smooth) {
    if (smooth) {
        Normal(f.VertexNormal1);
        Vertex(f.V1);
        Normal(f.VertexNormal2);
        Vertex(f.V2);
        Normal(f.VertexNormal3);
        Vertex(f.V3);
    } else {
        Normal(f.FaceNormal);
        Vertex(f.V1);
        Vertex(f.V2);
        Vertex(f.V3);
    }
}

void SendMesh(const ModelMesh& mesh, Smoothing rule) {
    const size_t n = Bounded(mesh.FaceCount, mesh.Faces);
    for (size_t i = 0; i < n; ++i) {
        const ModelFace& f = mesh.Faces[i];
        const bool smooth = rule == Smoothing::ByMesh ? mesh.Smooth : rule == Smoothing::ByFace ? f.Smoothing == -1 : false;
        SendFace(f, smooth);
    }
}

void SendMeshes(const std::vector<ModelMesh>& meshes, int64_t count, Smoothing rule) {
    const size_t n = Bounded(count, meshes);
    for (size_t i = 0; i < n; ++i) SendMesh(meshes[i], rule);
}

// ---- Batches: one glBegin/glEnd each, the same for drawing and compiling ----

void MeshBatch(const std::vector<ModelMesh>& meshes, int64_t count, Smoothing rule) {
    glBegin(GL_TRIANGLES);
    SendMeshes(meshes, count, rule);
    glEnd();
}

void GroundBatch() {
    glBegin(GL_TRIANGLES);
    const size_t n = Bounded(gGroundTriangleCount, gGroundTriangles);
    const size_t vertices = gGroundVertices.size();
    for (size_t t = 0; t < n; ++t) {
        const GroundTriangle& tri = gGroundTriangles[t];
        const int32_t corners[3] = {tri.A, tri.B, tri.C};
        if (std::any_of(corners, corners + 3, [&](int32_t c) { return c < 0 || static_cast<size_t>(c) >= vertices; }))
            continue;
        if (gGroundSmooth) {
            for (int32_t c : corners) {
                Normal(gGroundVertices[static_cast<size_t>(c)].Normal);
                Vertex(gGroundVertices[static_cast<size_t>(c)].Position);
            }
        } else {
            Normal(tri.FaceNormal);
            for (int32_t c : corners) Vertex(gGroundVertices[static_cast<size_t>(c)].Position);
        }
    }
    glEnd();
}

// The water is flat at height 0 over the ground's grid, with one normal.
void WaterBatch() {
    glBegin(GL_TRIANGLES);
    Normal(gWaterNormal);
    const size_t n = Bounded(gGroundTriangleCount, gWaterTriangles);
    const size_t vertices = gWaterVertices.size();
    for (size_t t = 0; t < n; ++t) {
        const GroundTriangle& tri = gWaterTriangles[t];
        const int32_t corners[3] = {tri.A, tri.B, tri.C};
        if (std::any_of(corners, corners + 3, [&](int32_t c) { return c < 0 || static_cast<size_t>(c) >= vertices; }))
            continue;
        for (int32_t c : corners) {
            const Vector3& v = gWaterVertices[static_cast<size_t>(c)];
            glVertex3f(v.X, 0.0f, v.Z);
        }
    }
    glEnd();
}

void SendRails(const TrackModelEntry& e) {
    const size_t n = Bounded(gModelSettings.gRailCount, e.Rails);
    for (size_t r = 0; r < n; ++r) SendMesh(e.Rails[r], Smoothing::ByMesh);
}
void SendSpines(const TrackModelEntry& e) {
    const size_t n = Bounded(gModelSettings.gSpineCount, e.Spines);
    for (size_t s = 0; s < n; ++s) SendMesh(e.Spines[s], Smoothing::ByMesh);
}
void SendTies(const TrackModelEntry& e) {
    const size_t n = Bounded(e.TieFaceCount, e.TieFaces);
    for (size_t i = 0; i < n; ++i) SendFace(e.TieFaces[i], false);
}

size_t TrackSegmentCount() { return Bounded(gSpineInfoSegmentCount, gTrackModel); }
size_t PathSegmentCount() { return Bounded(gSpineInfoSegmentCount, gPathMatrixArray); }

void PathPointsBatch(size_t segment) {
    const PathSegmentFrames& path = gPathMatrixArray[segment];
    glBegin(GL_POINTS);
    const size_t n = Bounded(path.FrameCount, path.Frames);
    for (size_t k = 0; k < n; ++k) Vertex(MatrixGetTranslation(path.Frames[k].Frame));
    glEnd();
}

// ---- Display lists -----------------------------------------------------------

enum Part : int {
    PartGround,
    PartFooters,  // footers, prefab footers
    PartWater,
    PartTubes,
    PartCatwalks,
    PartPrefabs,
    PartTunnels,  // outer, inner
    PartTrack,    // rails, spines, ties per segment
    PartPath,     // points per segment
    PartCount
};

// What a part's lists were compiled from, cheap to take at every frame: the
// model's build serial, the program's invalidations, and the shape of the
// arrays (sizes, counts, buffers). Any difference recompiles the part.
struct Stamp {
    uint64_t Serial = 0;
    uint64_t Generation = 0;
    uint64_t Shape = 0;
    bool operator==(const Stamp&) const = default;
};

class ShapeHash {
public:
    void Add(uint64_t v) { h_ = (h_ ^ v) * 0x100000001b3ull; }
    void Add(const void* p) { Add(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p))); }
    void Add(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Add(static_cast<uint64_t>(bits));
    }
    template <class T>
    void AddArray(const std::vector<T>& v) {
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

uint64_t ShapeOf(Part part) {
    ShapeHash h;
    h.Add(static_cast<uint64_t>(part));
    switch (part) {
        case PartGround:
            h.Add(static_cast<uint64_t>(gGroundTriangleCount));
            h.AddArray(gGroundTriangles);
            h.AddArray(gGroundVertices);
            h.Add(static_cast<uint64_t>(gGroundSmooth));
            break;
        case PartFooters:
            h.AddMeshes(gFooterModels, gFooterCount);
            h.AddMeshes(gPrefabFooterModels, gPrefabModelCount);
            break;
        case PartWater:
            h.Add(static_cast<uint64_t>(gGroundTriangleCount));
            h.AddArray(gWaterTriangles);
            h.AddArray(gWaterVertices);
            h.Add(gWaterNormal.X);
            h.Add(gWaterNormal.Y);
            h.Add(gWaterNormal.Z);
            break;
        case PartTubes: h.AddMeshes(gTubeModels, gTubeCount); break;
        case PartCatwalks: h.AddMeshes(gCatwalkModels, gCatwalkCount); break;
        case PartPrefabs: h.AddMeshes(gPrefabModels, gPrefabModelCount); break;
        case PartTunnels:
            h.AddMeshes(gTunnelOuterModels, gTunnelModelCount);
            h.AddMeshes(gTunnelInnerModels, gTunnelModelCount);
            break;
        case PartTrack: {
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
            break;
        }
        case PartPath: {
            h.Add(static_cast<uint64_t>(gSpineInfoSegmentCount));
            h.AddArray(gPathMatrixArray);
            const size_t n = PathSegmentCount();
            for (size_t i = 0; i < n; ++i) {
                h.AddArray(gPathMatrixArray[i].Frames);
                h.Add(static_cast<uint64_t>(gPathMatrixArray[i].FrameCount));
            }
            break;
        }
        case PartCount: break;
    }
    return h.Value();
}

// The display lists of one context.
class SceneLists : public GLContextData {
public:
    struct Lists {
        GLuint Base = 0;
        GLsizei Count = 0;
        Stamp Made;
        bool Ready = false;
    };

    // The part's lists, compiled afresh when the model changed since; nullptr
    // when no lists could be had (the part is then sent face by face).
    const Lists* Get(Part part) {
        Lists& l = lists_[part];
        const Stamp now{ModelBuildSerial(), gListGeneration, ShapeOf(part)};
        if (l.Ready && l.Made == now) return &l;
        if (l.Base != 0) glDeleteLists(l.Base, l.Count);
        l = Lists{};
        const GLsizei count = ListCount(part);
        if (count > 0) {
            l.Base = glGenLists(count);
            if (l.Base == 0) return nullptr;
            l.Count = count;
            Compile(part, l.Base);
        }
        l.Made = now;
        l.Ready = true;
        return &l;
    }

private:
    static GLsizei ListCount(Part part) {
        switch (part) {
            case PartFooters:
            case PartTunnels: return 2;
            case PartTrack: return static_cast<GLsizei>(3 * TrackSegmentCount());
            case PartPath: return static_cast<GLsizei>(PathSegmentCount());
            default: return 1;
        }
    }

    template <class F>
    static void CompileOne(GLuint list, F&& emit) {
        glNewList(list, GL_COMPILE);
        emit();
        glEndList();
    }

    static void Compile(Part part, GLuint base) {
        switch (part) {
            case PartGround: CompileOne(base, GroundBatch); break;
            case PartFooters:
                CompileOne(base, [] { MeshBatch(gFooterModels, gFooterCount, Smoothing::ByMesh); });
                CompileOne(base + 1, [] { MeshBatch(gPrefabFooterModels, gPrefabModelCount, Smoothing::ByMesh); });
                break;
            case PartWater: CompileOne(base, WaterBatch); break;
            case PartTubes: CompileOne(base, [] { MeshBatch(gTubeModels, gTubeCount, Smoothing::ByMesh); }); break;
            case PartCatwalks:
                CompileOne(base, [] { MeshBatch(gCatwalkModels, gCatwalkCount, Smoothing::Flat); });
                break;
            case PartPrefabs:
                CompileOne(base, [] { MeshBatch(gPrefabModels, gPrefabModelCount, Smoothing::ByFace); });
                break;
            case PartTunnels:
                CompileOne(base, [] { MeshBatch(gTunnelOuterModels, gTunnelModelCount, Smoothing::ByMesh); });
                CompileOne(base + 1, [] { MeshBatch(gTunnelInnerModels, gTunnelModelCount, Smoothing::ByMesh); });
                break;
            case PartTrack: {
                const size_t n = TrackSegmentCount();
                for (size_t i = 0; i < n; ++i) {
                    const TrackModelEntry& e = gTrackModel[i];
                    const GLuint at = base + static_cast<GLuint>(3 * i);
                    CompileOne(at, [&] { glBegin(GL_TRIANGLES); SendRails(e); glEnd(); });
                    CompileOne(at + 1, [&] { glBegin(GL_TRIANGLES); SendSpines(e); glEnd(); });
                    CompileOne(at + 2, [&] { glBegin(GL_TRIANGLES); SendTies(e); glEnd(); });
                }
                break;
            }
            case PartPath: {
                const size_t n = PathSegmentCount();
                for (size_t i = 0; i < n; ++i) CompileOne(base + static_cast<GLuint>(i), [i] { PathPointsBatch(i); });
                break;
            }
            case PartCount: break;
        }
    }

    std::array<Lists, PartCount> lists_{};
};

// The six planes of the view volume (projection times camera), each scaled to
// a unit normal pointing inwards, for skipping segments that cannot be seen.
class ViewVolume {
public:
    explicit ViewVolume(const Matrix4& view) {
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);  // column-major
        double clip[4][4];
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k) sum += double(p[k * 4 + r]) * double(view(k, c));
                clip[r][c] = sum;
            }
        for (int i = 0; i < 6; ++i) {
            const int axis = i / 2;
            const double sign = i % 2 == 0 ? 1.0 : -1.0;
            double len = 0.0;
            for (int c = 0; c < 4; ++c) planes_[i][c] = clip[3][c] + sign * clip[axis][c];
            for (int c = 0; c < 3; ++c) len += planes_[i][c] * planes_[i][c];
            len = std::sqrt(len);
            valid_ = valid_ && len > 0.0;
            if (len > 0.0)
                for (double& v : planes_[i]) v /= len;
        }
    }

    // True only when the sphere lies wholly outside one of the planes, with a
    // margin for the rounding of the transforms.
    bool Excludes(const Vector3& centre, float radius) const {
        if (!valid_) return false;
        const double r = double(radius) * (1.0 + 1e-4) + 1e-3;
        for (const auto& pl : planes_)
            if (pl[0] * centre.X + pl[1] * centre.Y + pl[2] * centre.Z + pl[3] < -r) return true;
        return false;
    }

private:
    double planes_[6][4] = {};
    bool valid_ = true;
};

// ---- One frame -----------------------------------------------------------------

class SceneDrawer {
public:
    explicit SceneDrawer(SceneLists* lists) : lists_(lists) {}

    void Draw() {
        glLoadIdentity();
        glRotatef(360.0f - gCameraAngles.X, 1.0f, 0.0f, 0.0f);
        glRotatef(360.0f - gCameraAngles.Y, 0.0f, 1.0f, 0.0f);
        glRotatef(360.0f - gCameraAngles.Z, 0.0f, 0.0f, 1.0f);
        glTranslatef(-gCameraPosition.X, -gCameraPosition.Y, -gCameraPosition.Z);
        glLightfv(GL_LIGHT0, GL_POSITION, gLightPosition);
        LoadName(NotPickableName);

        if (gPathValid && !gTrackModelValid) {
            DrawPathPoints();
            return;
        }
        if (!gTrackModelValid) return;
        const bool track = gDocumentType == DocumentTrack;
        const ViewSwitches& view = gViewSwitches;
        if (view.Ground) DrawGround();
        if (track) {
            if (view.Footers) DrawFooters();
            if (view.Water) DrawWater();
            if (view.Tubes) {
                DrawTubes();
                DrawCatwalks();
            }
            if (view.Prefabs) DrawPrefabs();
        }
        if (view.Track) DrawTrack();
        if (view.Tunnels) DrawTunnels();
        if (track) {
            if (view.CombRadius) DrawCombRadius();
            if (view.PathHeartline) DrawHeartline();
        }
    }

    int64_t NameChanges() const { return nameChanges_; }

private:
    void LoadName(uint32_t name) {
        glLoadName(name);
        ++nameChanges_;
    }

    const SceneLists::Lists* ListsOf(Part part) { return lists_ != nullptr ? lists_->Get(part) : nullptr; }

    template <class F>
    void OneBatch(Part part, F&& immediate) {
        if (const SceneLists::Lists* l = ListsOf(part))
            glCallList(l->Base);
        else
            immediate();
    }

    void DrawGround() {
        glColor3f(0.0f, 0.5f, 0.0f);
        OneBatch(PartGround, GroundBatch);
    }

    void DrawFooters() {
        SetColor(kFooterColor);
        if (const SceneLists::Lists* l = ListsOf(PartFooters)) {
            glCallList(l->Base);
            glCallList(l->Base + 1);
        } else {
            MeshBatch(gFooterModels, gFooterCount, Smoothing::ByMesh);
            MeshBatch(gPrefabFooterModels, gPrefabModelCount, Smoothing::ByMesh);
        }
    }

    void DrawWater() {
        if (!gHasWaterModel) return;
        glColor4f(0.0f, 0.1f, 0.5f, 0.5f);
        glEnable(GL_BLEND);
        OneBatch(PartWater, WaterBatch);
        glDisable(GL_BLEND);
    }

    void DrawTubes() {
        SetColor(gSupportDrawColor);
        OneBatch(PartTubes, [] { MeshBatch(gTubeModels, gTubeCount, Smoothing::ByMesh); });
    }

    void DrawCatwalks() {
        SetColor(gTrackSupportColor);
        OneBatch(PartCatwalks, [] { MeshBatch(gCatwalkModels, gCatwalkCount, Smoothing::Flat); });
    }

    void DrawPrefabs() {
        SetColor(gSupportDrawColor);
        OneBatch(PartPrefabs, [] { MeshBatch(gPrefabModels, gPrefabModelCount, Smoothing::ByFace); });
    }

    void DrawTunnels() {
        float c[3];
        ColorToUnitRGB(c, gTunnelDrawColor);
        const SceneLists::Lists* l = ListsOf(PartTunnels);
        glColor3f(c[0], c[1], c[2]);
        if (l != nullptr)
            glCallList(l->Base);
        else
            MeshBatch(gTunnelOuterModels, gTunnelModelCount, Smoothing::ByMesh);
        glColor3f(0.25f * c[0], 0.25f * c[1], 0.25f * c[2]);
        if (l != nullptr)
            glCallList(l->Base + 1);
        else
            MeshBatch(gTunnelInnerModels, gTunnelModelCount, Smoothing::ByMesh);
    }

    void DrawTrack() {
        const Matrix4 view = CameraViewMatrix(gCameraPosition, gCameraAngles);
        const ViewVolume volume(view);
        const bool frustum = gFrustumCulling;
        const bool track = gDocumentType == DocumentTrack;
        const SceneLists::Lists* l = ListsOf(PartTrack);
        const size_t n = TrackSegmentCount();
        for (size_t i = 0; i < n; ++i) {
            LoadName(static_cast<uint32_t>(i));
            const TrackModelEntry& e = gTrackModel[i];
            // Skip a segment whose bounding sphere lies wholly behind the eye.
            if (MatrixTransformPoint(view, e.Centre).Z >= e.Radius) continue;
            // Nor one wholly outside the view: it would draw no pixel.
            if (frustum && volume.Excludes(e.Centre, e.Radius)) continue;
            const bool selected = track && IsSegmentSelected(static_cast<int>(i));
            const int32_t rail = selected ? kSelectedRailColor : e.RailColor;
            const int32_t spine = selected ? kSelectedSpineColor : e.SpineColor;
            const int32_t tie = selected ? kSelectedTieColor : e.TieColor;
            if (l != nullptr) {
                const GLuint at = l->Base + static_cast<GLuint>(3 * i);
                SetColor(rail);
                glCallList(at);
                SetColor(spine);
                glCallList(at + 1);
                SetColor(tie);
                glCallList(at + 2);
            } else {
                glBegin(GL_TRIANGLES);
                SetColor(rail);
                SendRails(e);
                SetColor(spine);
                SendSpines(e);
                SetColor(tie);
                SendTies(e);
                glEnd();
            }
        }
        LoadName(NotPickableName);
    }

    void DrawPathPoints() {
        glDisable(GL_LIGHTING);
        const SceneLists::Lists* l = ListsOf(PartPath);
        const size_t n = PathSegmentCount();
        for (size_t i = 0; i < n; ++i) {
            LoadName(static_cast<uint32_t>(i));
            const int32_t type = i < gSpineInfoSegments.size() ? gSpineInfoSegments[i].SegmentType : -1;
            SetColor(PathPointColor(type));
            if (l != nullptr)
                glCallList(l->Base + static_cast<GLuint>(i));
            else
                PathPointsBatch(i);
            LoadName(NotPickableName);
        }
        glColor3f(0.0f, 0.3f, 0.0f);
        glBegin(GL_QUADS);
        glVertex3f(-220.0f, 0.0f, 220.0f);
        glVertex3f(220.0f, 0.0f, 220.0f);
        glVertex3f(220.0f, 0.0f, -220.0f);
        glVertex3f(-220.0f, 0.0f, -220.0f);
        glEnd();
        glEnable(GL_LIGHTING);
    }

    void DrawCombRadius() {
        const size_t segments = Bounded(gSegmentCount, gRadiusComb);
        Vector3 previous{};
        if (segments > 0 && Bounded(gRadiusComb[0].Count, gRadiusComb[0].Teeth) > 0)
            previous = gRadiusComb[0].Teeth[0].Tip;
        glDisable(GL_LIGHTING);
        glBegin(GL_LINES);
        for (size_t i = 0; i < segments; ++i) {
            const RadiusCombSegment& comb = gRadiusComb[i];
            const size_t teeth = Bounded(comb.Count, comb.Teeth);
            for (size_t k = 0; k < teeth; ++k) {
                const CombTooth& tooth = comb.Teeth[k];
                glColor3f(tooth.Ratio, 0.0f, 1.0f - tooth.Ratio);
                Vertex(tooth.Base);
                Vertex(tooth.Tip);
                Vertex(tooth.Tip);
                Vertex(previous);
                previous = tooth.Tip;
            }
        }
        glEnd();
        glEnable(GL_LIGHTING);
    }

    void DrawHeartline() {
        const size_t segments = Bounded(gSegmentCount, gHeartline);
        Vector3 previous{};
        if (segments > 0 && Bounded(gHeartline[0].Count, gHeartline[0].Points) > 0) previous = gHeartline[0].Points[0];
        glDisable(GL_LIGHTING);
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_LINES);
        for (size_t i = 0; i < segments; ++i) {
            const SegmentUpPoints& line = gHeartline[i];
            const size_t points = Bounded(line.Count, line.Points);
            for (size_t k = 0; k < points; ++k) {
                Vertex(previous);
                Vertex(line.Points[k]);
                previous = line.Points[k];
            }
        }
        glEnd();
        glEnable(GL_LIGHTING);
    }

    SceneLists* lists_;
    int64_t nameChanges_ = 0;
};

// The lists of the context, or nullptr when faces are to be sent one by one:
// by choice, or while a build runs (the arrays are then half made and the
// lists must not be compiled from them).
SceneLists* ListsFor(GLDrawTarget& target) {
    if (gSubmission != MeshSubmission::Lists || IsModelBuilding()) return nullptr;
    auto* lists = dynamic_cast<SceneLists*>(target.RendererData.get());
    if (lists == nullptr) {
        auto made = std::make_unique<SceneLists>();
        lists = made.get();
        target.RendererData = std::move(made);
    }
    return lists;
}

}  // namespace

int32_t PathPointColor(int32_t segmentType) {
    switch (segmentType) {
        case SegmentNormal: return RGB(0, 128, 255);
        case SegmentStation: return RGB(255, 128, 64);
        case SegmentLift: return RGB(0, 255, 0);
        case SegmentTransport: return RGB(255, 255, 0);
        case SegmentBrake: return RGB(255, 0, 0);
        default: return RGB(192, 192, 192);
    }
}

void SetMeshSubmission(MeshSubmission mode) { gSubmission = mode; }
void SetSegmentFrustumCulling(bool enabled) { gFrustumCulling = enabled; }
MeshSubmission CurrentMeshSubmission() { return gSubmission; }
void InvalidateSceneLists() { ++gListGeneration; }

void RenderScene() {
    if (!gOpenGLEnabled) return;
    GLDrawTarget* target = FindGLContext(gMainGLContext);
    if (target == nullptr || !target->MakeCurrent()) return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // With nothing built the frame stays cleared: the window system keeps no
    // earlier image that could stand instead.
    if (gPathValid || gTrackModelValid) {
        SceneDrawer drawer(ListsFor(*target));
        drawer.Draw();
    }
    target->Present();
}

int64_t DrawSceneForSelection() {
    GLDrawTarget* target = FindGLContext(gMainGLContext);
    if (target == nullptr) return 0;
    SceneDrawer drawer(ListsFor(*target));
    drawer.Draw();
    return drawer.NameChanges();
}

int64_t SceneNameChangeBound() {
    const int64_t segments = std::max<int64_t>(gSpineInfoSegmentCount, 0);
    return 2 * segments + 4;
}
