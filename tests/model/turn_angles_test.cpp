// The turns toward a step without arc tangent, cosine and sine: the same bits
// as the library's way, over steps of every size and direction, the special
// values included.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "model/turn_angles.h"

namespace {

// The same bits; a step that is not a number gives turns that are not numbers
// either, whatever their payload.
bool SameTurn(const TurnCosSin& a, const TurnCosSin& b) {
    const auto same = [](float x, float y) { return (std::isnan(x) && std::isnan(y)) || std::memcmp(&x, &y, sizeof x) == 0; };
    return same(a.C, b.C) && same(a.S, b.S);
}

void ExpectLibraryBits(const Vector3& l) {
    TurnCosSin heading, pitch;
    TurnsTowardStep(l, heading, pitch);
    const TurnCosSin h = LibraryCosSinOfArcTan2(-double(l.X), -double(l.Z));
    const TurnCosSin p = LibraryCosSinOfArcTan2(l.Y, std::sqrt(double(l.Z) * l.Z + double(l.X) * l.X));
    ASSERT_TRUE(SameTurn(heading, h)) << l.X << " " << l.Y << " " << l.Z;
    ASSERT_TRUE(SameTurn(pitch, p)) << l.X << " " << l.Y << " " << l.Z;
}

}  // namespace

TEST(TurnAnglesTest, TurnsTowardAStepAreTheLibrarysBits) {
    std::mt19937_64 rng(20261207);
    std::uniform_real_distribution<double> u(-1.0, 1.0), exponent(-40.0, 12.0);
    for (int i = 0; i < 1000000; ++i) {
        Vector3 l;
        switch (i % 4) {
            case 0:  // the steps of a path: some millimetres ahead, a small turn
                l = {float(u(rng) * 1e-4), float(u(rng) * 1e-4), float(-0.008 + u(rng) * 1e-4)};
                break;
            case 1:  // any direction
                l = {float(u(rng)), float(u(rng)), float(u(rng))};
                break;
            case 2:  // any size
                l = {float(u(rng) * std::pow(10.0, exponent(rng))), float(u(rng) * std::pow(10.0, exponent(rng))),
                     float(u(rng) * std::pow(10.0, exponent(rng)))};
                break;
            default: {  // any bits: infinities, not-a-numbers, subnormals
                uint32_t bits[3] = {uint32_t(rng()), uint32_t(rng()), uint32_t(rng())};
                std::memcpy(&l, bits, sizeof l);
                break;
            }
        }
        ExpectLibraryBits(l);
    }
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float tiny = std::numeric_limits<float>::denorm_min();
    for (float a : {0.0f, -0.0f, 1.0f, -1.0f, tiny, -tiny, 3e38f, inf, -inf, nan})
        for (float b : {0.0f, -0.0f, 1.0f, -1.0f, tiny, 3e38f, -inf, nan})
            for (float c : {0.0f, -0.0f, 1.0f, -1.0f, -tiny, -3e38f, inf, nan}) ExpectLibraryBits({a, b, c});
}
