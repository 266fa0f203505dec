#pragma once
// Placing the sun by a click on a panorama of the six sky-box faces: what the
// Place Sun window shows and does, without the window.
//
// The panorama is 1024 x 768 pixels of 256-pixel cells: the Up face and its
// quarter turns in the top row, West, North, East and South in the middle row,
// the Down face and its turns in the bottom row. The view shows it at a zoom
// of 0.5, 1, 2 or 3 inside a 512 x 384 viewport. Headings run from -135 at the
// left edge to 225 at the right, altitudes from +90 at the top to -90.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class cDIBSection;

inline constexpr int32_t kPanoramaWidth = 1024;
inline constexpr int32_t kPanoramaHeight = 768;
inline constexpr int32_t kSunViewportWidth = 512;
inline constexpr int32_t kSunViewportHeight = 384;

// Builds the panorama of the faces (front, back, left, right, up, down, as the
// environment's sky-box boxes hold them) into the canvas, reporting each
// progress line as it goes (" Loading Images...", "     Loading North", ...).
// A face whose path has 2 characters or fewer, or that does not load, leaves
// its cells black. The loaded picture holds the turned Down face afterwards.
void BuildSkyboxPanorama(const std::array<std::string, 6>& faces, cDIBSection& canvas,
                         const std::function<void(const std::string&)>& progress);

struct SunPoint {
    double X = 0.0;
    double Y = 0.0;
};

class SunPlacement {
public:
    // From the two sliders (80 steps per degree, 14400 for 0 degrees).
    SunPlacement(int32_t altitudeSlider, int32_t headingSlider);

    float mZoom = 0.5f;
    float mDragX = 0.0f;
    float mDragY = 0.0f;
    double mAltitude = 0.0;  // degrees, +90 straight up
    double mHeading = 0.0;   // degrees, positive to the right of the front face

    // Where the view picture stands in the viewport, and its size.
    float ViewLeft = 0.0f;
    float ViewTop = 0.0f;
    double ViewWidth() const { return kPanoramaWidth * double(mZoom); }
    double ViewHeight() const { return kPanoramaHeight * double(mZoom); }

    double PixelsPerDegree() const;  // view width / 360
    double Reference() const;        // view width x 3/8, to the nearest pixel: North's centre and the horizon
    // The marker's top-left corner in the view, 5 pixels left of and above the sun.
    SunPoint MarkerPosition() const;
    // The angles (altitude, heading) under a point of the view: headings beyond
    // 180 wrap round, altitudes are held to -90..90.
    SunPoint AnglesAt(double x, double y) const;  // X altitude, Y heading
    // A left click: the sun moves to the point.
    void SetSunFromPoint(double x, double y);

    // The right button goes down at a point of the view, and the pointer moves
    // on with it held: the view follows, kept over the viewport.
    void StartPan(double x, double y);
    void Pan(double x, double y);

    // "+" or "=", "-", "*" and "/": zoom in, out, re-centre on the sun, default
    // zoom. True when the view changed and is to be drawn again.
    bool Key(char key);

    // The sliders for OK: a value the user did not change by a click keeps its
    // slider; a changed one is angle x 80 + 14400, rounded down.
    std::array<int32_t, 2> Sliders() const;
    bool Changed() const { return changed_; }

    // "##0.0###": the angle with one to four decimals, and "." as the editor
    // shows its angles, whatever the locale.
    static std::string AngleText(double angle);

private:
    void CentreOnSun(SunPoint sun);
    SunPoint SunAtZoomOne() const;

    std::array<int32_t, 2> sliders_;
    bool changed_ = false;
};
