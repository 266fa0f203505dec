#pragma once
// Mouse and keyboard control of the preview: a fly camera steered by
// mouse-look (toggled by the right button), moved forward and back by the left
// and middle buttons or W and S, sideways by D and A, and a left click that
// selects track segments. The frame timer moves the camera by speed times the
// time since the last frame, redraws, shows the frame rate, and stops itself
// when nothing moves any more.
//
// Display-free: the window passes its events in and supplies the clock, the
// camera, the drawing, picking, the timer switch, the status text and the
// cursor through PreviewInputHost.

#include <array>
#include <cstdint>
#include <string>

#include "trackdoc/math3d.h"

class PreviewInputHost {
public:
    virtual ~PreviewInputHost() = default;
    // Seconds on a steady clock (any origin).
    virtual double FrameClock() = 0;
    // The camera's turning angles in degrees (X pitch, Y heading), changed in place.
    virtual Vector3& CameraAngles() = 0;
    // Moves the camera by a displacement in view space (negative Z is forward).
    virtual void MoveCamera(const Vector3& displacement) = 0;
    virtual void RenderScene() = 0;
    // The segment under a point of the preview (its own coordinates), or -1.
    virtual int32_t PickSegment(int32_t x, int32_t y) = 0;
    virtual void SetTimerEnabled(bool enabled) = 0;
    // The frame-rate field of the status bar.
    virtual void ShowFrameRate(const std::string& text) = 0;
    // Puts the mouse cursor back in the middle of the preview.
    virtual void CentreCursor() = 0;
    // The tool bars lose their hover frames.
    virtual void HideToolBarHover() = 0;
};

// Mouse buttons as the handlers receive them.
enum PreviewButton : int16_t { NoButton = 0, LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// Key codes of the handlers: letters are their capitals' codes.
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyA = 65;
inline constexpr int kKeyD = 68;
inline constexpr int kKeyS = 83;
inline constexpr int kKeyW = 87;
inline constexpr int kLastKeyCode = 256;

// The modifier keys held with a key press (the handlers' Shift argument).
inline constexpr int kShiftMask = 1;
inline constexpr int kControlMask = 2;
inline constexpr int kAltMask = 4;  // Alt, or the system's window-manager key

// Mouse-look states.
inline constexpr int16_t kMouseLookOff = 0;
inline constexpr int16_t kMouseLookOn = 1;
inline constexpr int16_t kMouseLookRecentred = 2;  // on; the cursor was just put back in the middle

inline constexpr float kMouseLookDegreesPerUnit = 0.2f;
inline constexpr double kNormalSpeed = 10.0;  // metres per second
inline constexpr double kFastSpeed = 30.0;    // Shift held
inline constexpr double kSlowSpeed = 2.0;     // Ctrl held (Shift wins)
inline constexpr double kLongestFrameStep = 0.5;
inline constexpr double kSubstituteFrameStep = 0.015;

// The frame step used for a measured time step: a step of 0 or less (a clock
// that did not advance or went back), one above half a second (a stall or the
// first frame) and one too small to give a frame rate count as 0.015 s.
double FrameStep(double elapsed);
// "FPS: " and the whole part of 1 / step, the step first brought to 6 decimals.
std::string FrameRateText(double step);

class PreviewInput {
public:
    explicit PreviewInput(PreviewInputHost& host) : host_(host) {}

    // The documents the preview shows: segments are picked on tracks only.
    void SetDocumentType(int16_t documentType) { documentType_ = documentType; }

    void Paint();
    void MouseDown(int16_t button, float x, float y);
    void MouseMove(float x, float y);
    void MouseUp();
    // A key pressed while Alt is held (shift holds kAltMask) opens a menu or
    // goes to another window: its release never comes here, so it is not
    // counted as held and starts nothing.
    void KeyDown(int keyCode, int shift = 0);
    void KeyUp(int keyCode);
    // One frame of the timer. The first frame after the timer starts (or
    // starts again after it stopped itself) has no frame before it to measure
    // from and counts as a short frame, so the camera never jumps.
    void TimerTick();
    // A menu or dialog opened, or the preview lost the focus: every held key
    // and button is let go and mouse-look ends, so nothing keeps moving while
    // the keys go elsewhere. The timer stops at its next frame.
    void ReleaseAll();
    // Whether any key or mouse button is held.
    bool AnythingHeld() const;

    bool KeyIsDown(int keyCode) const;
    int16_t MouseButton() const { return mMouseButton; }
    int16_t MouseLook() const { return mMouseLook; }
    bool CameraMoved() const { return mCameraMoved; }
    float LastMouseX() const { return mLastMouseX; }
    float LastMouseY() const { return mLastMouseY; }

private:
    double Speed() const;
    void StartTimer();
    void StopTimer();

    PreviewInputHost& host_;
    int16_t documentType_ = 0;
    std::array<bool, kLastKeyCode + 1> mKeyDown{};
    int16_t mMouseButton = NoButton;
    float mLastMouseX = 0.0f;
    float mLastMouseY = 0.0f;
    int16_t mMouseLook = kMouseLookOff;
    bool mCameraMoved = false;
    double mLastFrameTime = 0.0;
    bool mTimerRunning = false;
    bool mFirstFrame = true;  // the next frame follows no running frame: it counts as a short one
};
