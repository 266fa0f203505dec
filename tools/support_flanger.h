#pragma once
// Track > Support Flanger: collars of the next larger tube size on the round
// support tubes, near both ends and, on long tubes, at even steps between
// them. Every flange is a new tube between two new free nodes; the tubes that
// were there stay as they are.

#include <cstdint>
#include <string>

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

inline constexpr const char* kFlangerShortTitle = "Warning!";

// What one run made and what it left out.
struct FlangeOutcome {
    int32_t Made = 0;            // flanges made (each a new tube)
    int32_t TubesFlanged = 0;    // tubes that got their flanges
    int32_t TubesLeftOut = 0;    // tubes that take flanges but got none
    int64_t FlangesLeftOut = 0;  // the flanges those would have had
    int32_t FirstLeftOut = -1;   // the first of them
    int32_t MostTubes = 0;       // the support tubes the model can build
    int64_t Room = 0;            // of which the flanges could take
    bool NotFinite = false;      // a flange would have had an end that is not finite: none made
};

// Adds the flanges to every tube that exists now, in index order; tubes whose
// ends name missing records are skipped. Each flange is a tube the model must
// build, so the flanges of the whole track stay within what the model budget
// builds beside the tubes there are: the tubes take their flanges whole, in
// their order, and from the first whose flanges do not fit on, the tubes get
// none. A flange lies on its tube: a tube too short for the end flanges gets
// no flanges, and a middle flange is made only between the end flanges.
// When any flange to be made would have an end that is not a finite number,
// none is made. Returns the number of flanges made.
int32_t FlangeSupportTubes(const SupportFlangerOptions& options, FlangeOutcome* outcome = nullptr);

// What a run left out; empty when every tube got its flanges.
std::string FlangesLeftOutText(const FlangeOutcome& outcome);

// The tool's OK: the flanges, RebuildTubes, the changed mark; and, when the
// model's bound left tubes without their flanges, the message saying so.
// Flanges that would not be finite: NotFiniteNotice, nothing changed, false.
bool RunSupportFlanger(const SupportFlangerOptions& options);
