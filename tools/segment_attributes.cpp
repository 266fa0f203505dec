#include "tools/segment_attributes.h"

#include <algorithm>
#include <vector>

#include "core/document_changed.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace {

template <typename T>
int32_t Used(int32_t count, const std::vector<T>& records) {
    return std::clamp<int32_t>(count, 0, static_cast<int32_t>(records.size()));
}

}  // namespace

// ---- Tunneler ---------------------------------------------------------------

bool TunnelExcluded(int32_t segmentType, const TunnelerOptions& options) {
    return segmentType >= SegmentStation && segmentType <= SegmentBrake && options.NeverTunnel[segmentType - 1];
}

void ApplyTunnelAction(TunnelAction action, const TunnelerOptions& options) {
    for (int32_t s = 0, m = Used(gSegmentCount, gSegments); s < m; ++s) {
        TrackSegment& segment = gSegments[s];
        const bool excluded = TunnelExcluded(segment.SegmentType, options);
        switch (action) {
            case TunnelAction::Toggle:
                segment.Tunnel = !segment.Tunnel && !excluded;
                break;
            case TunnelAction::TunnelAll:
                segment.Tunnel = !excluded;
                break;
            case TunnelAction::Remove:
                segment.Tunnel = false;
                break;
        }
    }
}

bool RunTunneler(TunnelAction action, const TunnelerOptions& options) {
    ApplyTunnelAction(action, options);
    FinishToolEdit(FindToolDialog("frmTTunneler")->Flags);
    return true;
}

// ---- Spine Changer ----------------------------------------------------------

std::array<std::string, 3> SpineStyleCaptions(int32_t trackStyle) {
    switch (trackStyle) {
        case StyleSteelLooping:
            return {"Round", "Box", ""};
        case StyleCorkscrew:
        case StyleInverted2Seat:
            return {"Single", "Double", ""};
        case StyleHyper2Seat:
            return {"3 Tube", "4 Tube", "2 Tube"};
        default:
            return {"", "", ""};
    }
}

bool HasSpineStyles(int32_t trackStyle) { return !SpineStyleCaptions(trackStyle)[0].empty(); }

int32_t SelectedSegmentCount() {
    int32_t count = 0;
    for (int32_t s = 0; s < gSegmentCount; ++s)
        if (IsSegmentSelected(s)) ++count;
    return count;
}

bool SegmentApplies(SegmentApplication application, bool selected) {
    switch (application) {
        case SegmentApplication::EntireTrack:
            return true;
        case SegmentApplication::ExceptSelected:
            return !selected;
        case SegmentApplication::OnlySelected:
            return selected;
    }
    return false;
}

bool RunSpineChanger(int styleOption, SegmentApplication application) {
    const auto code = static_cast<uint8_t>(4 * std::clamp(styleOption, 0, 2));
    for (int32_t s = 0, m = Used(gSegmentCount, gSegments); s < m; ++s)
        if (SegmentApplies(application, IsSegmentSelected(s))) gSegments[s].SpineStyle = code;
    SetDocumentChanged();
    return true;
}

// ---- Tube Exchanger ---------------------------------------------------------

int32_t TubeListCode(int position) {
    return kTubeTypeListOrder[static_cast<size_t>(std::clamp(position, 0, kTubeListSize - 1))];
}

std::string TubeListEntry(int position) { return TubeTypeName(TubeListCode(position)); }

bool TubeExchangeOkEnabled(int fromPosition, int toPosition) { return fromPosition != toPosition; }

int32_t ExchangeTubes(int32_t fromCode, int32_t toCode) {
    int32_t changed = 0;
    for (int32_t t = 0, count = Used(gTubeCount, gTubes); t < count; ++t) {
        if (gTubes[t].TubeType != fromCode) continue;
        gTubes[t].TubeType = toCode;
        ++changed;
    }
    return changed;
}

bool RunTubeExchanger(int fromPosition, int toPosition) {
    if (!TubeExchangeOkEnabled(fromPosition, toPosition)) return false;
    ExchangeTubes(TubeListCode(fromPosition), TubeListCode(toPosition));
    FinishToolEdit(FindToolDialog("frmTTubeExchanger")->Flags);
    return true;
}
