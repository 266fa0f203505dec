#include "tools/support_wizard.h"

#include <cmath>

#include "core/number_formats.h"
#include "model/path_frames.h"
#include "platform/prompts.h"
#include "tools/record_removal.h"
#include "tools/scene_boundary.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/track_document.h"

namespace {

float UsableLength(float length) { return std::isfinite(length) && length > 0.0f ? length : 0.0f; }

void AppendSupport(int32_t segment, int32_t style, float position) {
    if (gRascGroups.size() <= static_cast<size_t>(segment)) gRascGroups.resize(static_cast<size_t>(segment) + 1);
    if (gRascGroupCount <= segment) gRascGroupCount = segment + 1;
    RascGroup& group = gRascGroups[segment];
    const int32_t n = std::max<int32_t>(group.ItemCount, 0);
    group.Items.resize(static_cast<size_t>(n) + 2);  // the new item and the spare record
    group.Items[n] = RascItem{style, position};
    group.Items[n + 1] = RascItem{};
    group.ItemCount = n + 1;
}

}  // namespace

SupportWizardOptions DefaultWizardOptions(int32_t trackStyle) {
    SupportWizardOptions options;
    const bool inverted = IsInvertedStyle(trackStyle);
    options.DefaultStyle = inverted ? PrefabSmallInverted : PrefabSimple;
    for (int32_t& style : options.ChangeStyle) style = inverted ? PrefabInverted : PrefabComplex;
    return options;
}

double FrameBankDegrees(const Matrix4& frame) { return std::fabs(RadToDeg(ArcTan2(frame(1, 0), frame(1, 1)))); }

int32_t WizardStyleAt(const SupportWizardOptions& o, bool invertedTrack, int32_t segmentType, double bank) {
    int32_t style = o.DefaultStyle;
    switch (segmentType) {
        case SegmentStation:
            return -1;
        case SegmentLift:
            style = o.Change[0] ? o.ChangeStyle[0] : o.DefaultStyle;
            break;
        case SegmentTransport:
            style = o.Change[1] ? o.ChangeStyle[1] : o.DefaultStyle;
            break;
        case SegmentBrake:
            style = o.Change[2] ? o.ChangeStyle[2] : o.DefaultStyle;
            break;
        default:
            break;
    }
    if (o.UseBank90 && bank > 67.0 && bank < 135.0) style = Prefab90degBank;
    if (o.UseBankInvert && bank > 134.0) style = invertedTrack ? PrefabSimple : PrefabInverted;
    return style;
}

WizardPath TrackWizardPath() {
    WizardPath path;
    EnsureTrackPathCurrent();
    const int32_t segments =
        std::min<int32_t>(std::max<int32_t>(gSegmentCount, 0), static_cast<int32_t>(gSegments.size()));
    for (int32_t s = 0; s < segments; ++s) {
        path.SegmentTypes.push_back(gSegments[s].SegmentType);
        const bool built = s < gSpineInfoSegmentCount && s < static_cast<int32_t>(gPathMatrixArray.size());
        path.Lengths.push_back(built ? gPathMatrixArray[s].Length : 0.0f);
    }
    path.BankDegrees = [](int32_t segment, float distance) {
        Matrix4 frame;
        return GetPathMatrixAt(segment, distance, frame) ? FrameBankDegrees(frame) : 0.0;
    };
    return path;
}

int32_t PlaceWizardSupports(const SupportWizardOptions& o, bool invertedTrack, const WizardPath& path,
                            WizardWalk* walk) {
    const int32_t segments = static_cast<int32_t>(std::min(path.SegmentTypes.size(), path.Lengths.size()));
    const double spacing = o.Distance;
    int64_t turns = 0;
    int32_t placed = 0;
    double d = 0.0;
    int32_t s = 0;
    if (spacing > 0.0 && std::isfinite(spacing)) {
        // The distance runs in double precision; a support whose stored
        // position (a single-precision fraction of its segment) equals the one
        // placed before it on that segment would stand on the same spot and is
        // left out.
        int32_t lastSegment = -1;
        float lastPosition = 0.0f;
        while (s < segments && turns < kMaxWizardTurns) {
            ++turns;
            const double length = UsableLength(path.Lengths[s]);
            const double bank = path.BankDegrees ? path.BankDegrees(s, static_cast<float>(d)) : 0.0;
            const int32_t style = WizardStyleAt(o, invertedTrack, path.SegmentTypes[s], bank);
            if (style >= 0) {
                // A segment of no length carries its one support at its start.
                const float position = length > 0.0 ? static_cast<float>(d / length) : 0.0f;
                if (s != lastSegment || position != lastPosition) {
                    AppendSupport(s, style, position);
                    ++placed;
                    lastSegment = s;
                    lastPosition = position;
                }
            }
            const double next = d + spacing;
            if (next == d) break;  // the step no longer moves the distance
            d = next;
            while (s < segments && d > UsableLength(path.Lengths[s])) {
                d -= UsableLength(path.Lengths[s]);
                ++s;
            }
        }
    }
    if (walk) {
        *walk = WizardWalk{placed, turns, s < segments, s, d, segments, spacing};
        if (!walk->Stopped) walk->StopSegment = 0, walk->StopDistance = 0.0;
    }
    return placed;
}

std::string WizardStoppedText(const WizardWalk& walk) {
    if (!walk.Stopped) return {};
    const std::string steps = walk.Turns == 1 ? "1 step" : FormatInteger64(walk.Turns) + " steps";
    return "The Support Wizard stopped after " + steps + " of " + FormatDecimal2(static_cast<float>(walk.Spacing)) +
           " m" + (walk.Turns >= kMaxWizardTurns ? ", the most it takes in one run," : "") + " " +
           FormatDecimal2(static_cast<float>(walk.StopDistance)) + " m into segment " +
           FormatInteger(walk.StopSegment + 1) + " of " + FormatInteger(walk.Segments) +
           ". The track from there to its end got no new supports.";
}

int32_t RemoveAllPrefabSupports() {
    const int32_t tubes = RemoveBeamsOfAnyPrefab();
    const int32_t groups =
        std::min<int32_t>(std::max<int32_t>(gRascGroupCount, 0), static_cast<int32_t>(gRascGroups.size()));
    for (int32_t s = 0; s < groups; ++s) {
        gRascGroups[s].ItemCount = 0;
        gRascGroups[s].Items.clear();
    }
    return tubes;
}

bool RunSupportWizard(const SupportWizardOptions& options) {
    RemodelFlags flags = FindToolDialog("frmTSupportWizard")->Flags;
    if (options.RemoveAll && RemoveAllPrefabSupports() > 0) flags.RebuildTubes = true;
    WizardWalk walk;
    PlaceWizardSupports(options, IsInvertedStyle(gTrackStyle), TrackWizardPath(), &walk);
    FinishToolEdit(flags);
    if (walk.Stopped) MsgBox(WizardStoppedText(walk), kWizardShortTitle, MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}
