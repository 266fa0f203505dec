#pragma once
// The fixed-function pipeline's base state, the viewport with its perspective
// projection, and switching the one light. Each call acts on the current context.

#include <cstdint>

// Clear colour black and depth 1, smooth shading, depth test, nicest
// perspective correction, alpha test and blend functions configured (not
// enabled), 2D textures and back-face culling enabled.
void InitGLState();
// Sends the light arrays of light_setup.h and enables lighting with light 0,
// or disables both.
void SetGLLighting(bool enabled);
// Viewport (0, 0, width, height) and a perspective of fieldOfView degrees from
// 0.1 to farPlane; a height of 0 (or less) counts as 1. Leaves the model-view matrix
// current and reset.
void ResizeGLViewport(int32_t width, int32_t height, double farPlane, double fieldOfView);

// The preview's projection: 60 degrees, far plane 1500; the about box's: 60, 100.
inline constexpr double kPreviewFieldOfView = 60.0;
inline constexpr double kPreviewFarPlane = 1500.0;
