#include "simulator/sun_placement.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "simulator/dib_section.h"
#include "simulator/environment_file.h"
#include "simulator/picture_loading.h"

namespace {

constexpr int32_t kCell = 256;

// Paints the loaded picture stretched over the cell at (left, top).
void PaintCell(cDIBSection& canvas, int32_t left, int32_t top) {
    gLoadedPicture.StretchPicture(canvas, left, top, kCell, kCell);
}

}  // namespace

void BuildSkyboxPanorama(const std::array<std::string, 6>& faces, cDIBSection& canvas,
                         const std::function<void(const std::string&)>& progress) {
    auto say = [&](const std::string& line) {
        if (progress) progress(line);
    };
    auto load = [&](int slot) {
        const std::string& path = faces[static_cast<size_t>(slot)];
        return path.size() > 2 && LoadPictureFile(TexturePathOnDisk(path));
    };
    canvas.Create(kPanoramaWidth, kPanoramaHeight);
    say(" Loading Images...");
    say("");
    // The side faces: North (slot 0), South (1), East (2), West (3), at x 256, 768, 512, 0.
    const char* names[4] = {"North", "South", "East", "West"};
    const int32_t columns[4] = {256, 768, 512, 0};
    for (int slot = 0; slot < 4; ++slot) {
        say(std::string("     Loading ") + names[slot]);
        if (load(slot)) PaintCell(canvas, columns[slot], kCell);
    }
    const char* turns[3] = {"         Rotating 90deg", "         Rotating 180deg", "         Rotating 270deg"};
    if (faces[4].size() > 2) {
        say("     Loading Up:");
        if (load(4)) {
            PaintCell(canvas, 0, 0);
            for (int turn = 0; turn < 3; ++turn) {
                say(turns[turn]);
                RotatePicture90();
                PaintCell(canvas, kCell * (turn + 1), 0);
            }
        }
    }
    if (faces[5].size() > 2) {
        say("     Loading Down:");
        if (load(5)) {
            PaintCell(canvas, 0, 2 * kCell);
            const int32_t downColumns[3] = {768, 512, 256};
            for (int turn = 0; turn < 3; ++turn) {
                say(turns[turn]);
                RotatePicture90();
                PaintCell(canvas, downColumns[turn], 2 * kCell);
            }
        }
    }
    say(" Done.");
}

SunPlacement::SunPlacement(int32_t altitudeSlider, int32_t headingSlider)
    : mAltitude((altitudeSlider - 14400) * 0.0125),
      mHeading((headingSlider - 14400) * 0.0125),
      sliders_{altitudeSlider, headingSlider} {}

double SunPlacement::PixelsPerDegree() const { return ViewWidth() / 8.0 / 45.0; }

double SunPlacement::Reference() const { return std::nearbyint(ViewWidth() / 8.0 + ViewWidth() / 4.0); }

SunPoint SunPlacement::MarkerPosition() const {
    double h = mHeading;
    if (h < -135.0) h += 360.0;
    const double r = Reference(), p = PixelsPerDegree();
    return {(r - 5.0) + h * p, (r - 5.0) - mAltitude * p};
}

SunPoint SunPlacement::AnglesAt(double x, double y) const {
    const double r = Reference(), p = PixelsPerDegree();
    double h = (x - r) / p;
    double v = (r - y) / p;
    if (h > 180.0) h -= 360.0;
    v = std::clamp(v, -90.0, 90.0);
    return {v, h};
}

void SunPlacement::SetSunFromPoint(double x, double y) {
    const SunPoint angles = AnglesAt(x, y);
    mAltitude = angles.X;
    mHeading = angles.Y;
    changed_ = true;
}

void SunPlacement::StartPan(double x, double y) {
    mDragX = static_cast<float>(x);
    mDragY = static_cast<float>(y);
}

void SunPlacement::Pan(double x, double y) {
    float left = ViewLeft + static_cast<float>(x) - mDragX;
    float top = ViewTop + static_cast<float>(y) - mDragY;
    if (left > 0.0f) left = 0.0f;
    if (top > 0.0f) top = 0.0f;
    if (ViewWidth() + left < kSunViewportWidth) left = static_cast<float>(kSunViewportWidth - ViewWidth());
    if (ViewHeight() + top < kSunViewportHeight) top = static_cast<float>(kSunViewportHeight - ViewHeight());
    ViewLeft = left;
    ViewTop = top;
}

SunPoint SunPlacement::SunAtZoomOne() const {
    const SunPoint marker = MarkerPosition();
    return {(marker.X + 5.0) / mZoom, (marker.Y + 5.0) / mZoom};
}

void SunPlacement::CentreOnSun(SunPoint sun) {
    ViewLeft = static_cast<float>(256.0 - sun.X * mZoom);
    ViewTop = static_cast<float>(192.0 - sun.Y * mZoom);
}

bool SunPlacement::Key(char key) {
    const SunPoint sun = SunAtZoomOne();
    switch (key) {
        case '+':
        case '=':
            if (mZoom >= 3.0f) return false;
            mZoom += mZoom > 0.5f ? 1.0f : 0.5f;
            CentreOnSun(sun);
            return true;
        case '-':
            if (mZoom <= 0.5f) return false;
            mZoom -= mZoom <= 1.0f ? 0.5f : 1.0f;
            if (mZoom == 0.5f) {
                ViewLeft = ViewTop = 0.0f;
            } else {
                CentreOnSun(sun);
            }
            return true;
        case '*':
            if (mZoom == 0.5f) {
                ViewLeft = ViewTop = 0.0f;
            } else {
                CentreOnSun(sun);
            }
            return true;
        case '/':
            if (mZoom <= 0.5f) return false;
            mZoom = 0.5f;
            ViewLeft = ViewTop = 0.0f;
            return true;
        default:
            return false;
    }
}

std::array<int32_t, 2> SunPlacement::Sliders() const {
    if (!changed_) return sliders_;
    // Rounded down as the window always did; the small allowance keeps a value
    // that lies on a step from falling one step short through rounding errors.
    auto slider = [](double angle) {
        const double v = std::floor(angle * 80.0 + 14400.0 + 1e-6);
        return static_cast<int32_t>(std::clamp(v, 0.0, 28800.0));
    };
    return {slider(mAltitude), slider(mHeading)};
}

std::string SunPlacement::AngleText(double angle) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, angle, std::chars_format::fixed, 4);
    std::string text(buffer, r.ptr);
    while (text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
    if (text == "-0.0") text = "0.0";
    return text;
}
