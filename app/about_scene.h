#pragma once
// The about box's animation, apart from any window or rendering context: the
// field of columns that jump up where drops fall and sink back, the camera
// that circles it, the scrolling credits and where each of their lines
// stands, and the preview's camera and light that the box borrows while it
// is open.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/render/light_setup.h"
#include "platform/fonts/glyph_outlines.h"
#include "trackdoc/math3d.h"

namespace about {

inline constexpr int kWaveGridSize = 30;
inline constexpr float kCreditsStart = -7.0f;  // CreditsScroll after loading and after each pass
inline constexpr float kCreditsEnd = 50.0f;    // a pass ends once the scroll is above this
inline constexpr float kCreditsSpeed = 0.02f;  // scene units per tick
inline constexpr float kHeadingStep = 0.2f;    // degrees per tick
inline constexpr float kSinkPerTick = 0.1f;
inline constexpr float kDropHeight = 10.0f;
inline constexpr float kOrbitDistance = 25.0f;

// Uniform random numbers from 0 up to but not including 1.
using RandomSource = std::function<double()>;
// A generator seeded from the system's entropy.
RandomSource SystemRandom();

// Heights, both indices 0 to kWaveGridSize; row and column kWaveGridSize stay 0.
using WaveHeights = std::array<std::array<float, kWaveGridSize + 1>, kWaveGridSize + 1>;

class AboutAnimation {
public:
    explicit AboutAnimation(RandomSource random = SystemRandom());

    // Every height with both indices 0 to 29 random from 0 up to 10, the
    // others 0; the credits at their start.
    void Reset();
    // One timer tick: the camera turns 0.2 degrees on its orbit of radius 25
    // round the origin (gCameraAngles and gCameraPosition), the columns sink
    // by 0.1 (not below 0), three drops raise random columns to 10, and the
    // credits scroll on by 0.02, starting again after 50.
    void Step();

    WaveHeights WaveGrid{};
    int16_t WaveGridSize = kWaveGridSize;
    float CreditsScroll = kCreditsStart;

private:
    int RandomIndex();
    RandomSource mRandom;
};

// The camera position on the orbit for the camera's angles:
// RotY(heading) * RotX(pitch) * (0, 0, 25).
Vector3 OrbitPosition(const Vector3& angles);

// The pose the box shows the field from.
inline const Vector3 kAboutCameraAngles{-30.0f, 0.0f, 0.0f};
inline const Vector3 kAboutCameraPosition{0.0f, 10.0f, 30.0f};
// The light the box sets up (heading, elevation in degrees).
inline constexpr float kAboutLightHeading = 180.0f;
inline constexpr float kAboutLightElevation = -60.0f;

// The preview's camera and light, copied while the about box borrows them.
class BorrowedViewState {
public:
    // Copies the four light arrays (before the box sets up its own light).
    void SaveLights();
    // Copies gCameraPosition and gCameraAngles and puts the camera into the box's pose.
    void SaveCameraAndPose();
    // Puts back what was saved, exactly; what was not saved is left alone.
    // Once only: a second call does nothing.
    void Restore();

    bool LightsSaved() const { return mLightsSaved; }
    bool CameraSaved() const { return mCameraSaved; }

private:
    LightState mSavedLights{};
    Vector3 mSavedPosition{};
    Vector3 mSavedAngles{};
    bool mLightsSaved = false;
    bool mCameraSaved = false;
};

// One line of the credits: its text, where it stands and its colour.
struct CreditLine {
    std::string Text;
    float Y = 0;
    float Z = 0;
    float Red = 1;
    float Green = 1;
    float Blue = 1;
};

// The lines of a text split at CR LF; a CR LF at the very end adds no
// empty line, an empty text has none.
std::vector<std::string> SplitLines(std::string_view text);

// Appends the lines of a text, one below the other from y down, in white,
// or with the first line in the given colour; returns the y below the last
// line (y minus the number of lines).
float AddTextLines(std::vector<CreditLine>& out, std::string_view text, float y, float z);
float AddCreditBlock(std::vector<CreditLine>& out, std::string_view text, float y, float z, float red, float green,
                     float blue);

// The texts of the credits.
struct CreditsText {
    std::string Maker;                        // the yellow line at the top
    std::string Program;                      // program name, legal line, version (CR LF between)
    std::array<std::string, 6> Blocks;        // heading, then the names (CR LF between)
    std::string Simulator;                    // simulator name, its legal line, its author
};
const CreditsText& Credits();
// Lines a block is preceded by: 3 before the first, 1 before each other; the
// simulator's lines stand 4 below the last block.
inline constexpr float kGapBeforeFirstBlock = 3;
inline constexpr float kGapBetweenBlocks = 1;
inline constexpr float kGapBeforeSimulator = 4;

// Every line of the credits for a scroll offset, top to bottom.
std::vector<CreditLine> LayoutCredits(float scroll, const CreditsText& credits = Credits());

// The width of a line: the sum of the cell advances across of its
// characters (one byte per character code) in 256 glyph metrics.
float TextAdvance(std::string_view line, const fonts::GlyphMetricsFloat* metrics);

}  // namespace about
