#pragma once
// A preview context on a bare X window of the test display, small scenes put
// straight into the model arrays, and reading the presented frame back.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/model_meshes.h"
#include "trackdoc/math3d.h"

namespace rendertest {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 240;

struct Rgb {
    int R = 0, G = 0, B = 0;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);
Rgb RgbOf(int32_t color);  // a colour Long as bytes

// One captured frame, rows from the top.
struct Frame {
    std::vector<uint8_t> Bytes;  // as read: bottom row first
    int Presents = 0;
    Rgb At(int x, int yFromTop) const;
    // True when a pixel within `radius` of (x, y) has the colour (each channel within `tolerance`).
    bool HasNear(int x, int yFromTop, const Rgb& colour, int radius = 2, int tolerance = 0) const;
    int Count(const Rgb& colour, int tolerance = 0) const;
};

// Fixture: the preview context exists (gMainGLContext, gOpenGLEnabled), its
// state is set as at start-up (base state, light 180/60, colour material,
// 60 degrees, far plane 1500), the model and document are empty, and the
// camera is at the origin looking down -Z. Every presented frame is captured.
class RenderFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // RenderScene and the frame it presented.
    Frame Render();
    // Where a world point lands in the window after the last frame's camera (y from the top).
    static void Project(const Vector3& p, int& x, int& yFromTop);

    static int32_t context_;
    Frame last_;
};

// The helpers below write the model arrays outside the build pipeline and
// call InvalidateSceneLists, so that the next frame compiles afresh.

// Two triangles facing +Z: the square from (x0, y0) to (x1, y1) at depth z.
void AddQuadFacingZ(ModelMesh& mesh, float x0, float y0, float x1, float y1, float z);
// A square on the ground plane facing up, from (x0, z0) to (x1, z1) at height y.
void AddQuadFacingUp(ModelMesh& mesh, float x0, float z0, float x1, float z1, float y);
// Track segments: n entries, one rail, one spine and ties slots, bounding spheres set.
void MakeTrackModel(int segments);
// A segment whose rail is the square (x0, y0)-(x1, y1) at depth z; spine and ties empty.
void SetSegmentQuad(int segment, float x0, float y0, float x1, float y1, float z);
// Empties the document and the model, marks nothing built.
void ResetScene();

}  // namespace rendertest
