#pragma once
// The cosines and sines of the turns that carry a path frame on to its next
// sample, rounded to float exactly as float(std::cos(ArcTan2(y, x))) and
// float(std::sin(ArcTan2(y, x))) round them, without the arc tangent, cosine
// and sine: for x > 0 they are x / sqrt(x^2 + y^2) and y / sqrt(x^2 + y^2).
// Both ways carry rounding errors far below the error bound used here; where
// a value lies so close to the midpoint between two floats that the two ways
// could round it apart, the library functions decide, so the results are the
// same bits in every case.

#include <cmath>

#include "trackdoc/math3d.h"

struct TurnCosSin {
    float C = 1.0f;
    float S = 0.0f;
};

// The library's way: the reference, and the way out of the doubtful cases.
TurnCosSin LibraryCosSinOfArcTan2(double y, double x);

namespace turn_angles_detail {

// True when every value within `tolerance` of v rounds to the same float:
// rounding never decreases, so it is enough that both ends round alike (their
// own rounding to double is far inside the tolerance's margin).
inline bool RoundsClear(double v, double tolerance) {
    const float low = static_cast<float>(v - tolerance), high = static_cast<float>(v + tolerance);
    return low == high && std::signbit(low) == std::signbit(high);
}

// cos and sin of ArcTan2(y, x) from inverse = 1 / sqrt(x^2 + y^2), correct to
// a few ulps.
inline TurnCosSin CosSinFromInverse(double y, double x, double inverse) {
    if (y == 0.0 && !(x < 0.0)) return TurnCosSin{1.0f, 0.0f};  // ArcTan2 gives 0 itself
    if (x > 0.0 && inverse > 0.0 && inverse < INFINITY) {
        const double c = x * inverse, s = y * inverse;
        // The library's arc tangent is off by an ulp of the angle at most,
        // moving its cosine by up to |s| |angle| 2^-52 and its sine by
        // |c| |angle| 2^-52 (|angle| <= pi/2 |s| <= 2 |s|), and each of its
        // results by an ulp more; the quotients here are within a few ulps.
        // 2^-45 leaves a wide margin.
        constexpr double kMargin = 0x1p-45;
        const double as = std::fabs(s);
        if (RoundsClear(c, kMargin * (c + 2.0 * as * as)) && RoundsClear(s, kMargin * (as + 2.0 * c * as)))
            return TurnCosSin{static_cast<float>(c), static_cast<float>(s)};
    }
    return LibraryCosSinOfArcTan2(y, x);
}

}  // namespace turn_angles_detail

// The two turns toward the step l in a frame's own axes: the heading
// ArcTan2(-l.X, -l.Z), then the pitch ArcTan2(l.Y, sqrt(l.Z^2 + l.X^2)).
inline void TurnsTowardStep(const Vector3& l, TurnCosSin& heading, TurnCosSin& pitch) {
    const double level = double(l.Z) * l.Z + double(l.X) * l.X;
    const double across = std::sqrt(level);
    // Both square roots at once: the pitch's hypotenuse from the sum of all
    // three squares rather than from `across`.
    const double inverseAll = 1.0 / std::sqrt(level + double(l.Y) * l.Y);
    heading = turn_angles_detail::CosSinFromInverse(-double(l.X), -double(l.Z), 1.0 / across);
    pitch = turn_angles_detail::CosSinFromInverse(l.Y, across, inverseAll);
}
