// The fly camera: moves in view space, the box, the default pose.
#include <gtest/gtest.h>

#include "model/render/camera.h"

namespace {

void ExpectAt(const Vector3& p, float x, float y, float z) {
    EXPECT_NEAR(p.X, x, 1e-4f);
    EXPECT_NEAR(p.Y, y, 1e-4f);
    EXPECT_NEAR(p.Z, z, 1e-4f);
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { InitCamera(); }
};

TEST_F(CameraTest, InitPlacesTheDefaultPoseAndBox) {
    ExpectAt(gCameraPosition, 0, 10, 0);
    ExpectAt(gCameraAngles, 0, 0, 0);
    ExpectAt(gCameraMin, -512, -10, -512);
    ExpectAt(gCameraMax, 512, 200, 512);
    ExpectAt(gCameraDefaultPosition, 0, 10, 0);
}

TEST_F(CameraTest, ForwardFromTheDefaultPoseIsMinusZ) {
    MoveCamera(MakeVector(0, 0, -5));
    ExpectAt(gCameraPosition, 0, 10, -5);
}

TEST_F(CameraTest, HeadingNinetyTurnsForwardToMinusX) {
    gCameraAngles = MakeVector(0, 90, 0);
    MoveCamera(MakeVector(0, 0, -1));
    ExpectAt(gCameraPosition, -1, 10, 0);
}

TEST_F(CameraTest, PitchNinetyTurnsForwardStraightUp) {
    gCameraAngles = MakeVector(90, 0, 0);
    MoveCamera(MakeVector(0, 0, -1));
    ExpectAt(gCameraPosition, 0, 11, 0);
}

TEST_F(CameraTest, RollTurnsASidewaysMoveFirst) {
    // v is turned about Z, then X, then Y: a roll of 90 makes "right" into "up".
    gCameraAngles = MakeVector(0, 0, 90);
    MoveCamera(MakeVector(1, 0, 0));
    ExpectAt(gCameraPosition, 0, 11, 0);
    // Heading 90 then a right move goes to -Z.
    InitCamera();
    gCameraAngles = MakeVector(0, 90, 0);
    MoveCamera(MakeVector(1, 0, 0));
    ExpectAt(gCameraPosition, 0, 10, -1);
}

TEST_F(CameraTest, MovesStopAtTheBox) {
    MoveCamera(MakeVector(0, 240, 0));
    EXPECT_FLOAT_EQ(gCameraPosition.Y, 200.0f);
    MoveCamera(MakeVector(-600, 0, 0));
    EXPECT_FLOAT_EQ(gCameraPosition.X, -512.0f);
    MoveCamera(MakeVector(0, -500, 700));
    ExpectAt(gCameraPosition, -512, -10, 512);
}

TEST_F(CameraTest, MinimumAboveMaximumWins) {
    SetCamera(MakeVector(0, 0, 0), MakeVector(0, 0, 0), MakeVector(5, 5, 5), MakeVector(1, 1, 1));
    ClampCameraPosition();
    ExpectAt(gCameraPosition, 5, 5, 5);
}

TEST_F(CameraTest, ResetIgnoresTheBoxUntilTheNextMove) {
    SetCamera(MakeVector(1000, 0, 0), MakeVector(10, 20, 30), MakeVector(-10, -10, -10), MakeVector(10, 10, 10));
    ExpectAt(gCameraPosition, 1000, 0, 0);
    ExpectAt(gCameraAngles, 10, 20, 30);
    gCameraPosition = MakeVector(3, 3, 3);
    gCameraAngles = MakeVector(0, 0, 0);
    ResetCamera();
    ExpectAt(gCameraPosition, 1000, 0, 0);
    ExpectAt(gCameraAngles, 10, 20, 30);
    MoveCamera(MakeVector(0, 0, 0));
    ExpectAt(gCameraPosition, 10, 0, 0);
}

TEST_F(CameraTest, ViewMatrixUndoesTheCameraPose) {
    gCameraPosition = MakeVector(3, 4, 5);
    gCameraAngles = MakeVector(-20, 35, 0);  // the view turns in the order RotX, RotY, RotZ: without roll it undoes the pose
    const Matrix4 view = CameraViewMatrix(gCameraPosition, gCameraAngles);
    // The eye maps to the origin; a point straight ahead maps to (0, 0, -d).
    ExpectAt(MatrixTransformPoint(view, gCameraPosition), 0, 0, 0);
    const Vector3 ahead =
        VectorAdd(gCameraPosition, MatrixTransformPoint(CameraRotation(gCameraAngles), MakeVector(0, 0, -7)));
    ExpectAt(MatrixTransformPoint(view, ahead), 0, 0, -7);
}

}  // namespace
