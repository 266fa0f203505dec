#include "model/crosstie_placement.h"

#include <algorithm>
#include <cmath>

#include "model/build_snapshot.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"

namespace {

int32_t TieTriangleCount(const TieModel& tie) {
    return std::max<int32_t>(0, std::min<int32_t>(tie.TriangleCount, static_cast<int32_t>(tie.Triangles.size())));
}

}  // namespace

namespace {

bool SegmentTakesTies(int32_t segment) {
    return segment >= 0 && segment < gSpineInfoSegmentCount && segment < static_cast<int32_t>(gTrackModel.size()) &&
           segment < static_cast<int32_t>(gPathMatrixArray.size());
}

// The ties of one segment with the pattern carried in `pattern`. With `build`
// their faces are appended; without, only the pattern is advanced, and a frame
// is looked up only where the switch of the pattern depends on it (the bank at
// a tie where the countdown runs out).
void PlaceTies(int32_t segment, TiePattern& pattern, bool build) {
    if (!SegmentTakesTies(segment)) return;
    const ModelerSettings& m = BuildSettings();
    const TieModel& primary = m.gTieModels[0];
    const TieModel& secondary = m.gTieModels[1];
    if (!primary.Use && !secondary.Use) return;
    // Without a secondary tie, or without toggling, nothing changes the pattern.
    if (!build && (!secondary.Use || !m.ToggleTies)) return;

    TrackModelEntry& entry = gTrackModel[segment];
    const float length = gPathMatrixArray[segment].Length;
    const float spacing = UsableTieSpacing();
    const int32_t n = BoundedSampleCount(length, spacing);
    const float step = static_cast<float>(double(length) / n);
    if (build) {
        const int32_t most = std::max(TieTriangleCount(primary), TieTriangleCount(secondary));
        entry.TieFaces.reserve(static_cast<size_t>(entry.TieFaceCount) + static_cast<size_t>(n) * most);
    }

    int useAlt = pattern.State;
    bool firstTie = true;
    Matrix4 frame;
    // n ties, one in the middle of each of n equal stretches (counted, so that
    // no drift of the sum can add one).
    int32_t placed = 0;
    for (float d = static_cast<float>(step / 2.0); d <= length && placed < n; ++placed) {
        const bool switching = secondary.Use && m.ToggleTies && pattern.Countdown - 1 <= 0;
        if (build || (switching && m.AltOnBank)) GetPathMatrixAt(segment, d, frame);
        if (secondary.Use) {
            if (m.AltOnStart) useAlt = firstTie ? 1 : 0;
            if (m.AltOnBank) {
                const double bank = std::fabs(RadToDeg(ArcTan2(frame(1, 0), frame(1, 1))));
                useAlt = bank >= m.AltBank ? 1 : 0;
            }
            if (m.ToggleTies) {
                --pattern.Countdown;
                if (pattern.Countdown <= 0) {
                    if (useAlt == 0) {
                        pattern.Countdown = m.ToggleCount2;
                        useAlt = 1;
                        pattern.State = 1;
                    } else {
                        pattern.Countdown = m.ToggleCount1;
                        useAlt = 0;
                        pattern.State = 0;
                    }
                }
            }
        } else {
            useAlt = 0;
        }

        if (build) {
            const TieModel& tie = m.gTieModels[useAlt];
            const int32_t count = std::min<int32_t>(tie.TriangleCount, static_cast<int32_t>(tie.Triangles.size()));
            for (int32_t t = 0; t < count; ++t) {
                const TieTriangle& tri = tie.Triangles[t];
                AppendFace(entry.TieFaces, entry.TieFaceCount,
                           MakeFace(MatrixTransformPoint(frame, tri.V1), MatrixTransformPoint(frame, tri.V2),
                                    MatrixTransformPoint(frame, tri.V3)));
            }
        }
        firstTie = false;
        const float next = static_cast<float>(double(d) + step);
        if (!(next > d)) break;  // a zero-length segment gets its one tie
        d = next;
    }
}

}  // namespace

void ModelCrossties(int32_t segment) {
    TiePattern pattern{gTieState, gTieCountdown};
    PlaceTies(segment, pattern, true);
    gTieState = pattern.State;
    gTieCountdown = pattern.Countdown;
}

void ModelCrosstiesFrom(int32_t segment, TiePattern& pattern) { PlaceTies(segment, pattern, true); }

TiePattern TiePatternAfter(int32_t segment, TiePattern pattern) {
    PlaceTies(segment, pattern, false);
    return pattern;
}
