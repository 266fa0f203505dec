#pragma once
// The parameters of the preview's one directional light (light 0): colours
// and direction, computed without touching OpenGL. SetGLLighting sends them.

extern float gLightAmbient[4];
extern float gLightDiffuse[4];
extern float gLightSpecular[4];
extern float gLightPosition[4];  // x, y, z, w = 0: the direction the rays come from

// Colours (0.25 grey ambient, 0.9 diffuse, white specular) and the direction
// RotY(heading) * RotX(elevation) * (0, 0, -1), angles in degrees.
void SetupGLLight(float heading, float elevation);

// A copy of the four light arrays, for callers that borrow the light (the about box).
struct LightState {
    float Ambient[4];
    float Diffuse[4];
    float Specular[4];
    float Position[4];
};
LightState SaveLightState();
void RestoreLightState(const LightState& state);
