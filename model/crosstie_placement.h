#pragma once
// Crosstie placement: copies of the primary or secondary tie model at equal
// spacing along a segment, appended to the segment's tie faces.

#include <cstdint>

// Where the alternation of primary and secondary ties stands between two
// segments: the tie model current and the ties left before it switches.
struct TiePattern {
    int16_t State = 0;
    int32_t Countdown = 0;
};

// Places the ties of one segment. The pattern state gTieState / gTieCountdown
// carries over from the segment before. The spacing is clamped into the
// modeler dialog's range.
void ModelCrossties(int32_t segment);
// The same, starting from `pattern` and leaving in it the pattern after the
// segment; the globals are not touched, so segments whose starting patterns
// are known may be placed at the same time.
void ModelCrosstiesFrom(int32_t segment, TiePattern& pattern);
// The pattern after the ties of the segment, from the one before it, as
// ModelCrossties leaves it, without building anything (cheap: frames are only
// looked up where a switch depends on the bank).
TiePattern TiePatternAfter(int32_t segment, TiePattern pattern);
