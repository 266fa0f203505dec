#include "tools/colorizer.h"

#include <algorithm>
#include <cmath>

#include "model/rebuild_flags.h"
#include "tools/tool_ending.h"
#include "trackdoc/color_functions.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace {

// Whole number nearest to x, halves to the even neighbour; 0 for what no
// 32-bit integer holds.
int32_t RoundHalfEven(double x) {
    const double r = std::nearbyint(x);
    if (!(r > -2147483648.0 && r < 2147483647.0)) return 0;
    return static_cast<int32_t>(r);
}

bool InScope(const ColorizerOptions& options, int segment) {
    return !options.SelectedOnly || IsSegmentSelected(segment);
}

// One part's working state during one OK.
struct PartWalk {
    std::array<int32_t, 3> Current{};  // gradient: red, green, blue
    std::array<int32_t, 3> Step{};
    ColorHSL Base;                     // colour wheel
    int32_t RunPrimary = 1, RunAlternate = 1, Countdown = 1;
    bool OnPrimary = true;             // toggle
};

int32_t PaintPart(const ColorizerOptions& o, int p, PartWalk& w, int n, int k) {
    switch (o.Mode[static_cast<size_t>(p)]) {
        case PaintAlternate: return o.Alternate[static_cast<size_t>(p)];
        case PaintGradient: {
            const int32_t color = PackRGB({w.Current[0], w.Current[1], w.Current[2]});
            for (size_t c = 0; c < 3; ++c) w.Current[c] = std::clamp(w.Current[c] + w.Step[c], 0, 255);
            return color;
        }
        case PaintColorWheel: {
            int32_t hue = RoundHalfEven(std::fabs(240.0 / n * k) + w.Base.Hue);
            if (hue > 240) hue -= 240;
            return PackRGB(HSLToRGB({hue, w.Base.Saturation, w.Base.Luminance}));
        }
        case PaintToggle: {
            const int32_t color = w.OnPrimary ? o.Primary[static_cast<size_t>(p)] : o.Alternate[static_cast<size_t>(p)];
            if (--w.Countdown == 0) {
                w.OnPrimary = !w.OnPrimary;
                w.Countdown = w.OnPrimary ? w.RunPrimary : w.RunAlternate;
            }
            return color;
        }
        default: return o.Primary[static_cast<size_t>(p)];
    }
}

}  // namespace

int ColorizerScopeSize(bool selectedOnly) {
    if (!selectedOnly) return gSegmentCount;
    int n = 0;
    for (int i = 0; i < gSegmentCount; ++i)
        if (IsSegmentSelected(i)) ++n;
    return n;
}

bool ColorizerPaints(const ColorizerOptions& options, int segment) {
    const TrackSegment& s = gSegments[static_cast<size_t>(segment)];
    const bool typed = s.SegmentType >= 0 && s.SegmentType <= 4 && options.Types[static_cast<size_t>(s.SegmentType)];
    if (!options.AllTypes && !typed) return false;
    return !options.OnlyTunnels || s.Tunnel;
}

int ColorizeTrack(const ColorizerOptions& options) {
    const int n = ColorizerScopeSize(options.SelectedOnly);
    if (n <= 0) return 0;  // nothing in scope: no step to divide out
    std::array<PartWalk, kColorizerParts> walks;
    for (int p = 0; p < kColorizerParts; ++p) {
        PartWalk& w = walks[static_cast<size_t>(p)];
        w.RunPrimary = RoundHalfEven(options.RunLengths[static_cast<size_t>(p)][0]);
        w.RunAlternate = RoundHalfEven(options.RunLengths[static_cast<size_t>(p)][1]);
        w.Countdown = w.RunPrimary;
        const ColorRGB primary = SplitRGB(options.Primary[static_cast<size_t>(p)]);
        const ColorRGB alternate = SplitRGB(options.Alternate[static_cast<size_t>(p)]);
        const std::array<int32_t, 3> pc{primary.Red, primary.Green, primary.Blue};
        const std::array<int32_t, 3> ac{alternate.Red, alternate.Green, alternate.Blue};
        for (size_t c = 0; c < 3; ++c) {
            w.Current[c] = pc[c];
            w.Step[c] = RoundHalfEven(static_cast<double>(ac[c] - pc[c]) / n);
        }
        w.Base = RGBToHSL(primary);
    }
    int painted = 0;
    int k = 0;
    for (int i = 0; i < gSegmentCount; ++i) {
        if (!InScope(options, i)) continue;
        if (ColorizerPaints(options, i)) {
            TrackSegment& s = gSegments[static_cast<size_t>(i)];
            s.CustomColors = true;
            s.SpineColor = PaintPart(options, 0, walks[0], n, k);
            s.RailColor = PaintPart(options, 1, walks[1], n, k);
            s.TieColor = PaintPart(options, 2, walks[2], n, k);
            ++painted;
        }
        ++k;
    }
    return painted;
}

void RunColorizer(const ColorizerOptions& options) {
    ColorizeTrack(options);
    RemodelFlags flags;
    flags.Recolor = true;
    FinishToolEdit(flags);
}
