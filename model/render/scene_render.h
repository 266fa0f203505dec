#pragma once
// Drawing the preview: the built model layer by layer, or the bare path as
// coloured points while only the path frames exist, into the preview's
// context (gMainGLContext), seen through the camera, lit by light 0.
//
// The model's meshes are compiled into display lists, one set per context, in
// pieces of nearby triangles, and compiled again only where what they would
// send has changed (see scene_lists.h). A frame calls the pieces that may
// reach the view. Drawing from the lists gives the same pixels, and the same
// picks, as sending every face again.

#include <cstdint>

#include "model/render/pick_hits.h"

// The layer switches, kept equal to the check marks of the View menu by the
// main window. Defaults are the menu's marks at start-up.
struct ViewSwitches {
    bool Ground = true;
    bool Footers = true;
    bool Water = true;
    bool Tubes = true;  // support tubes and catwalks
    bool Prefabs = true;
    bool Track = true;  // rails, spines and crossties
    bool Tunnels = true;
    bool CombRadius = false;
    bool PathHeartline = false;
};
extern ViewSwitches gViewSwitches;

// Draws and presents one frame in the preview's context, made current first.
// Nothing without a context; a cleared frame while neither the path nor the
// model is built.
void RenderScene();

// How the meshes are sent. Lists is the program's way; Immediate sends every
// face at every frame and leaves out only the segments behind the eye (kept
// for comparison: it is the drawing the lists must match pixel for pixel).
enum class MeshSubmission { Lists, Immediate };
void SetMeshSubmission(MeshSubmission mode);
MeshSubmission CurrentMeshSubmission();

// How long one frame, or one call of CompilePendingSceneLists, may compile
// display lists; what is left is sent face by face, with the same pixels,
// until later slices have compiled it. 0 (the default): everything at once.
void SetListCompileSlice(double seconds);
// Compiles, for one slice, what the preview's frames left to compile of the
// layers on show. True while something is left (the caller comes back when
// the program is idle); false as well while a build runs or nothing was drawn.
bool CompilePendingSceneLists();

// Whether the compiled pieces and track segments that lie wholly outside the
// view are left out (on by default; the pixels are the same either way, as
// each piece's bounding box holds all it draws).
void SetFrustumCulling(bool enabled);

// Forgets the display lists of every context, for code that changes the model
// arrays outside the build pipeline; the next frame compiles them afresh.
void InvalidateSceneLists();
// Triangles compiled into the preview context's lists so far.
int64_t CompiledSceneTriangles();

// What the last frame (or selection pass) did with the compiled pieces and
// track segments: called, or left out as wholly outside the view.
struct SceneDrawStats {
    int64_t PiecesDrawn = 0;
    int64_t PiecesLeftOut = 0;
};
SceneDrawStats LastSceneDrawStats();

// Path point colours (RGB, red in the low byte) by segment type; a type
// outside 0 to 4 is drawn light grey.
int32_t PathPointColor(int32_t segmentType);
// Highlight colours of a selected track segment.
inline constexpr int32_t kSelectedRailColor = 255 + 256 * 128 + 65536 * 196;
inline constexpr int32_t kSelectedSpineColor = 255 + 256 * 0 + 65536 * 128;
inline constexpr int32_t kSelectedTieColor = 128 + 256 * 0 + 65536 * 64;

// The selection pass of PickSegment: the same frame, drawn into the current
// context's selection buffer without clearing and without presenting. Returns
// the number of name changes it made (for sizing the next buffer).
int64_t DrawSceneForSelection();
// An upper bound of the name changes of the next frame.
int64_t SceneNameChangeBound();
