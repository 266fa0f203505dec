#include "model/render/scene_render.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/app_state.h"
#include "core/input_checks.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/path_frames.h"
#include "model/radius_comb.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/light_setup.h"
#include "model/render/scene_lists.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

ViewSwitches gViewSwitches;

using scene::Batch;
using scene::Bounded;

namespace {

MeshSubmission gSubmission = MeshSubmission::Lists;
bool gFrustumCulling = true;
double gListCompileSlice = 0.0;  // without end
SceneDrawStats gLastStats;

constexpr int32_t RGB(int32_t r, int32_t g, int32_t b) { return r + 256 * g + 65536 * b; }
constexpr int32_t kFooterColor = RGB(192, 192, 192);

void SetColor(int32_t rgb) {
    float c[3];
    ColorToUnitRGB(c, rgb);
    glColor3f(c[0], c[1], c[2]);
}

// A batch sent face by face, in one glBegin/glEnd pair.
void ImmediateBatch(Batch batch) {
    scene::BeginBatch(batch);
    scene::ForEachTriangle(batch, scene::SendTriangle);
    glEnd();
}

void ImmediatePathPoints(size_t segment) {
    glBegin(GL_POINTS);
    scene::ForEachPathPoint(segment, scene::Vertex);
    glEnd();
}

// ---- One frame -----------------------------------------------------------------

class SceneDrawer {
public:
    explicit SceneDrawer(scene::SceneLists* lists) : lists_(lists) {}

    void Draw() {
        glLoadIdentity();
        glRotatef(360.0f - gCameraAngles.X, 1.0f, 0.0f, 0.0f);
        glRotatef(360.0f - gCameraAngles.Y, 0.0f, 1.0f, 0.0f);
        glRotatef(360.0f - gCameraAngles.Z, 0.0f, 0.0f, 1.0f);
        glTranslatef(-gCameraPosition.X, -gCameraPosition.Y, -gCameraPosition.Z);
        glLightfv(GL_LIGHT0, GL_POSITION, gLightPosition);
        LoadName(NotPickableName);
        // Pieces of the compiled meshes wholly outside the view are left out:
        // they could not reach a pixel, nor a selection hit.
        cull_ = lists_ != nullptr && gFrustumCulling;
        if (cull_) volume_ = scene::ViewVolume::FromCurrentMatrices();

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
    const SceneDrawStats& Stats() const { return stats_; }

private:
    void LoadName(uint32_t name) {
        glLoadName(name);
        ++nameChanges_;
    }

    bool MayShow(const scene::Box& box) {
        const bool show = !cull_ || volume_.MayShow(box);
        ++(show ? stats_.PiecesDrawn : stats_.PiecesLeftOut);
        return show;
    }

    // A batch from its compiled pieces, or face by face.
    void DrawBatch(Batch batch) {
        const std::vector<scene::Chunk>* chunks = lists_ != nullptr ? lists_->BatchChunks(batch) : nullptr;
        if (chunks == nullptr) {
            ImmediateBatch(batch);
            return;
        }
        for (const scene::Chunk& chunk : *chunks) {
            if (!MayShow(chunk.Bounds)) continue;
            if (chunk.List != 0)
                glCallList(chunk.List);
            else
                lists_->DrawGridRun(batch, chunk);
        }
        lists_->EndGridRuns();
    }

    void DrawGround() {
        glColor3f(0.0f, 0.5f, 0.0f);
        DrawBatch(Batch::Ground);
    }

    void DrawFooters() {
        SetColor(kFooterColor);
        DrawBatch(Batch::Footers);
        DrawBatch(Batch::PrefabFooters);
    }

    void DrawWater() {
        if (!gHasWaterModel) return;
        glColor4f(0.0f, 0.1f, 0.5f, 0.5f);
        glEnable(GL_BLEND);
        DrawBatch(Batch::Water);
        glDisable(GL_BLEND);
    }

    void DrawTubes() {
        SetColor(gSupportDrawColor);
        DrawBatch(Batch::Tubes);
    }

    void DrawCatwalks() {
        SetColor(gTrackSupportColor);
        DrawBatch(Batch::Catwalks);
    }

    void DrawPrefabs() {
        SetColor(gSupportDrawColor);
        DrawBatch(Batch::Prefabs);
    }

    void DrawTunnels() {
        float c[3];
        ColorToUnitRGB(c, gTunnelDrawColor);
        glColor3f(c[0], c[1], c[2]);
        DrawBatch(Batch::TunnelOuter);
        glColor3f(0.25f * c[0], 0.25f * c[1], 0.25f * c[2]);
        DrawBatch(Batch::TunnelInner);
    }

    void DrawTrack() {
        const Matrix4 view = CameraViewMatrix(gCameraPosition, gCameraAngles);
        const bool track = gDocumentType == DocumentTrack;
        const std::vector<scene::SegmentLists>* lists = lists_ != nullptr ? &lists_->TrackSegments() : nullptr;
        const size_t n = scene::TrackSegmentCount();
        for (size_t i = 0; i < n; ++i) {
            LoadName(static_cast<uint32_t>(i));
            const TrackModelEntry& e = gTrackModel[i];
            // Skip a segment whose bounding sphere lies wholly behind the eye.
            if (MatrixTransformPoint(view, e.Centre).Z >= e.Radius) continue;
            const scene::SegmentLists* compiled = lists != nullptr && i < lists->size() && (*lists)[i].Current
                                                      ? &(*lists)[i]
                                                      : nullptr;
            // Nor one wholly outside the view: it would draw no pixel.
            if (compiled != nullptr && !MayShow(compiled->Bounds)) continue;
            const bool selected = track && IsSegmentSelected(static_cast<int>(i));
            const int32_t colours[scene::kSegmentPieces] = {selected ? kSelectedRailColor : e.RailColor,
                                                            selected ? kSelectedSpineColor : e.SpineColor,
                                                            selected ? kSelectedTieColor : e.TieColor};
            if (compiled != nullptr) {
                for (int piece = 0; piece < scene::kSegmentPieces; ++piece) {
                    SetColor(colours[piece]);
                    glCallList(compiled->Base + static_cast<GLuint>(piece));
                }
            } else {
                glBegin(GL_TRIANGLES);
                for (int piece = 0; piece < scene::kSegmentPieces; ++piece) {
                    SetColor(colours[piece]);
                    scene::ForEachSegmentTriangle(e, static_cast<scene::SegmentPiece>(piece), scene::SendTriangle);
                }
                glEnd();
            }
        }
        LoadName(NotPickableName);
    }

    void DrawPathPoints() {
        glDisable(GL_LIGHTING);
        const std::vector<scene::SegmentLists>* lists = lists_ != nullptr ? &lists_->PathSegments() : nullptr;
        const size_t n = scene::PathSegmentCount();
        for (size_t i = 0; i < n; ++i) {
            LoadName(static_cast<uint32_t>(i));
            const int32_t type = i < gSpineInfoSegments.size() ? gSpineInfoSegments[i].SegmentType : -1;
            SetColor(PathPointColor(type));
            if (lists != nullptr && i < lists->size() && (*lists)[i].Current)
                glCallList((*lists)[i].Base);
            else
                ImmediatePathPoints(i);
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
                scene::Vertex(tooth.Base);
                scene::Vertex(tooth.Tip);
                scene::Vertex(tooth.Tip);
                scene::Vertex(previous);
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
                scene::Vertex(previous);
                scene::Vertex(line.Points[k]);
                previous = line.Points[k];
            }
        }
        glEnd();
        glEnable(GL_LIGHTING);
    }

    scene::SceneLists* lists_;
    bool cull_ = false;
    scene::ViewVolume volume_;
    int64_t nameChanges_ = 0;
    SceneDrawStats stats_;
};

// The compiled meshes of the context, or nullptr when faces are to be sent one
// by one: by choice, or while a build runs (the arrays are then half made and
// must not be compiled).
scene::SceneLists* ListsFor(GLDrawTarget& target) {
    if (gSubmission != MeshSubmission::Lists || IsModelBuilding()) return nullptr;
    auto* lists = dynamic_cast<scene::SceneLists*>(target.RendererData.get());
    if (lists == nullptr) {
        auto made = std::make_unique<scene::SceneLists>();
        lists = made.get();
        target.RendererData = std::move(made);
    }
    lists->StartSlice(gListCompileSlice);
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
void SetListCompileSlice(double seconds) { gListCompileSlice = seconds; }

bool CompilePendingSceneLists() {
    if (!gOpenGLEnabled || gSubmission != MeshSubmission::Lists || IsModelBuilding()) return false;
    GLDrawTarget* target = FindGLContext(gMainGLContext);
    if (target == nullptr) return false;
    auto* lists = dynamic_cast<scene::SceneLists*>(target->RendererData.get());
    // Only what a frame has asked for: a context that never drew has nothing waiting.
    if (lists == nullptr || !target->MakeCurrent()) return false;
    lists->StartSlice(gListCompileSlice);
    return lists->CompilePending(gTrackModelValid, gPathValid && !gTrackModelValid);
}
void SetFrustumCulling(bool enabled) { gFrustumCulling = enabled; }
MeshSubmission CurrentMeshSubmission() { return gSubmission; }
void InvalidateSceneLists() { ++scene::gSceneListGeneration; }

SceneDrawStats LastSceneDrawStats() { return gLastStats; }

int64_t CompiledSceneTriangles() {
    GLDrawTarget* target = FindGLContext(gMainGLContext);
    const auto* lists = target != nullptr ? dynamic_cast<const scene::SceneLists*>(target->RendererData.get()) : nullptr;
    return lists != nullptr ? lists->CompiledTriangles() : 0;
}

void RenderScene() {
    if (!gOpenGLEnabled) return;
    GLDrawTarget* target = FindGLContext(gMainGLContext);
    if (target == nullptr || !target->MakeCurrent()) return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gLastStats = SceneDrawStats{};
    // With nothing built the frame stays cleared: the window system keeps no
    // earlier image that could stand instead.
    if (gPathValid || gTrackModelValid) {
        SceneDrawer drawer(ListsFor(*target));
        drawer.Draw();
        gLastStats = drawer.Stats();
    }
    target->Present();
}

int64_t DrawSceneForSelection() {
    GLDrawTarget* target = FindGLContext(gMainGLContext);
    if (target == nullptr) return 0;
    SceneDrawer drawer(ListsFor(*target));
    drawer.Draw();
    gLastStats = drawer.Stats();
    return drawer.NameChanges();
}

int64_t SceneNameChangeBound() {
    const int64_t segments = std::max<int64_t>(gSpineInfoSegmentCount, 0);
    return 2 * segments + 4;
}
