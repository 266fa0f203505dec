#include "model/render/light_setup.h"

#include <algorithm>

#include "trackdoc/math3d.h"

float gLightAmbient[4] = {0.0f, 0.0f, 0.0f, 0.0f};
float gLightDiffuse[4] = {0.0f, 0.0f, 0.0f, 0.0f};
float gLightSpecular[4] = {0.0f, 0.0f, 0.0f, 0.0f};
float gLightPosition[4] = {0.0f, 0.0f, 0.0f, 0.0f};

namespace {
void Set4(float* out, float a, float b, float c, float d) {
    out[0] = a;
    out[1] = b;
    out[2] = c;
    out[3] = d;
}
}  // namespace

void SetupGLLight(float heading, float elevation) {
    Set4(gLightAmbient, 0.25f, 0.25f, 0.25f, 1.0f);
    Set4(gLightDiffuse, 0.9f, 0.9f, 0.9f, 1.0f);
    Set4(gLightSpecular, 1.0f, 1.0f, 1.0f, 1.0f);
    Matrix4 m = MatrixIdentity();
    m = MatrixMultiply(m, MatrixRotateY(DegToRad(heading)));
    m = MatrixMultiply(m, MatrixRotateX(DegToRad(elevation)));
    const Vector3 d = MatrixTransformPoint(m, MakeVector(0.0f, 0.0f, -1.0f));
    Set4(gLightPosition, d.X, d.Y, d.Z, 0.0f);
}

LightState SaveLightState() {
    LightState s{};
    std::copy_n(gLightAmbient, 4, s.Ambient);
    std::copy_n(gLightDiffuse, 4, s.Diffuse);
    std::copy_n(gLightSpecular, 4, s.Specular);
    std::copy_n(gLightPosition, 4, s.Position);
    return s;
}

void RestoreLightState(const LightState& s) {
    std::copy_n(s.Ambient, 4, gLightAmbient);
    std::copy_n(s.Diffuse, 4, gLightDiffuse);
    std::copy_n(s.Specular, 4, gLightSpecular);
    std::copy_n(s.Position, 4, gLightPosition);
}
