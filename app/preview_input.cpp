#include "app/preview_input.h"

#include <cmath>

#include "trackdoc/segment_selection.h"

namespace {

double ToSixDecimals(double value) { return std::nearbyint(value * 1e6) / 1e6; }

}  // namespace

double FrameStep(double elapsed) {
    if (!(elapsed > 0.0) || elapsed > kLongestFrameStep || ToSixDecimals(elapsed) <= 0.0) return kSubstituteFrameStep;
    return elapsed;
}

std::string FrameRateText(double step) {
    const double rounded = ToSixDecimals(step);
    const double rate = rounded > 0.0 ? std::trunc(1.0 / rounded) : 0.0;
    return "FPS: " + std::to_string(static_cast<long long>(rate));
}

bool PreviewInput::KeyIsDown(int keyCode) const {
    return keyCode >= 0 && keyCode <= kLastKeyCode && mKeyDown[static_cast<size_t>(keyCode)];
}

double PreviewInput::Speed() const {
    if (KeyIsDown(kKeyShift)) return kFastSpeed;
    if (KeyIsDown(kKeyControl)) return kSlowSpeed;
    return kNormalSpeed;
}

void PreviewInput::StartTimer() {
    if (!mTimerRunning) mFirstFrame = true;
    mTimerRunning = true;
    host_.SetTimerEnabled(true);
}

void PreviewInput::StopTimer() {
    mTimerRunning = false;
    host_.SetTimerEnabled(false);
}

void PreviewInput::Paint() { host_.RenderScene(); }

void PreviewInput::MouseDown(int16_t button, float x, float y) {
    mMouseButton = button;
    mLastMouseX = x;
    mLastMouseY = y;
    if (button == RightButton) {
        mMouseButton = NoButton;
        mMouseLook = mMouseLook <= kMouseLookOff ? kMouseLookOn : kMouseLookOff;
        return;
    }
    if (mMouseLook >= kMouseLookOn) {
        StartTimer();  // the held button now flies the camera
        return;
    }
    if (documentType_ != 1 || button != LeftButton) return;
    const int32_t i = host_.PickSegment(static_cast<int32_t>(std::nearbyint(x)), static_cast<int32_t>(std::nearbyint(y)));
    if (i >= 0) {
        // A tool may have added segments without resizing the selection.
        if (static_cast<size_t>(i) >= gSegmentSelected.size()) gSegmentSelected.resize(static_cast<size_t>(i) + 1, false);
        gSegmentSelected[static_cast<size_t>(i)] = !gSegmentSelected[static_cast<size_t>(i)];
        mMouseButton = NoButton;
    } else {
        ClearSegmentSelection();
    }
    host_.RenderScene();
}

void PreviewInput::MouseMove(float x, float y) {
    host_.HideToolBarHover();
    if (mMouseLook == kMouseLookOn) {
        Vector3& angles = host_.CameraAngles();
        bool turned = false;
        if (x != mLastMouseX) {
            angles.Y = static_cast<float>(angles.Y + (static_cast<double>(mLastMouseX) - x) * kMouseLookDegreesPerUnit);
            turned = true;
        }
        if (y != mLastMouseY) {
            angles.X = static_cast<float>(angles.X + (static_cast<double>(mLastMouseY) - y) * kMouseLookDegreesPerUnit);
            turned = true;
        }
        if (turned) {
            mCameraMoved = true;
            mMouseLook = kMouseLookRecentred;
            host_.CentreCursor();
            StartTimer();
        }
    } else if (mMouseLook == kMouseLookRecentred) {
        // The move caused by putting the cursor back: it only re-bases.
        mLastMouseX = x;
        mLastMouseY = y;
        mMouseLook = kMouseLookOn;
    }
}

void PreviewInput::MouseUp() { mMouseButton = NoButton; }

void PreviewInput::KeyDown(int keyCode, int shift) {
    if (keyCode < 0 || keyCode > kLastKeyCode || (shift & kAltMask) != 0) return;
    mKeyDown[static_cast<size_t>(keyCode)] = true;
    StartTimer();
}

void PreviewInput::KeyUp(int keyCode) {
    if (keyCode < 0 || keyCode > kLastKeyCode) return;
    mKeyDown[static_cast<size_t>(keyCode)] = false;
}

void PreviewInput::TimerTick() {
    const double now = host_.FrameClock();
    const double dt = mFirstFrame ? kSubstituteFrameStep : FrameStep(now - mLastFrameTime);
    mFirstFrame = false;
    mLastFrameTime = now;
    host_.ShowFrameRate(FrameRateText(dt));

    const float step = static_cast<float>(dt * Speed());
    // A held button flies the camera; W and S then stay out of this frame so
    // that the camera does not move forward twice. A turn by mouse-look does
    // not keep them out.
    bool buttonMoved = false;
    if (mMouseButton == LeftButton) {
        host_.MoveCamera(MakeVector(0.0f, 0.0f, -step));
        buttonMoved = true;
    } else if (mMouseButton == MiddleButton) {
        host_.MoveCamera(MakeVector(0.0f, 0.0f, step));
        buttonMoved = true;
    }
    if (buttonMoved) mCameraMoved = true;
    if (!buttonMoved) {
        if (KeyIsDown(kKeyW)) {
            host_.MoveCamera(MakeVector(0.0f, 0.0f, -step));
            mCameraMoved = true;
        }
        if (KeyIsDown(kKeyS)) {
            host_.MoveCamera(MakeVector(0.0f, 0.0f, step));
            mCameraMoved = true;
        }
    }
    if (KeyIsDown(kKeyD)) {
        host_.MoveCamera(MakeVector(step, 0.0f, 0.0f));
        mCameraMoved = true;
    }
    if (KeyIsDown(kKeyA)) {
        host_.MoveCamera(MakeVector(-step, 0.0f, 0.0f));
        mCameraMoved = true;
    }
    if (!mCameraMoved) StopTimer();
    host_.RenderScene();
    if (mMouseButton < 1) {
        host_.ShowFrameRate("FPS: Idle");
        mCameraMoved = false;
    }
}

bool PreviewInput::AnythingHeld() const {
    for (bool down : mKeyDown)
        if (down) return true;
    return mMouseButton != NoButton;
}

void PreviewInput::ReleaseAll() {
    mKeyDown.fill(false);
    mMouseButton = NoButton;
    mMouseLook = kMouseLookOff;
}
