#pragma once
// Track > Support Flanger: collars of the next larger tube size on the round
// support tubes, near both ends and, on long tubes, at even steps between
// them. Every flange is a new tube between two new free nodes; the tubes that
// were there stay as they are.

#include <cstdint>

#include "tools/tool_form.h"

inline constexpr NumericBoxSpec kFlangeMinTubeBox{1.0, 50.0, false, true, "3"};
inline constexpr NumericBoxSpec kFlangeSizeBox{0.1, 5.0, false, true, "0.15"};
inline constexpr NumericBoxSpec kFlangeDistBox{0.1, 5.0, false, true, "0.75"};
inline constexpr NumericBoxSpec kFlangeMinSplitBox{2.0, 50.0, false, true, "12"};
inline constexpr NumericBoxSpec kFlangeSplitBox{2.0, 50.0, false, true, "10"};

struct SupportFlangerOptions {
    bool UseFooters = true;  // tubes with a footer end
    bool UseRasc = true;     // tubes with a prefabricated-support end
    double MinTubeLength = 3.0;
    double FlangeSize = 0.15;
    double FlangeDist = 0.75;
    bool MakeMiddle = true;
    double MinSplitLength = 12.0;
    double SplitLength = 10.0;
};

// The flange type of a tube type (one size larger); -1 for types that get none.
int32_t FlangeTypeOf(int32_t tubeType);

// Adds the flanges to every tube that exists now, in index order; tubes whose
// ends name missing records are skipped. Returns the number of flanges made.
int32_t FlangeSupportTubes(const SupportFlangerOptions& options);

// The tool's OK: the flanges, RebuildTubes, the changed mark.
bool RunSupportFlanger(const SupportFlangerOptions& options);
