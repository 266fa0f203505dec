#include "model/model_coloring.h"

#include <algorithm>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "trackdoc/color_functions.h"
#include "trackdoc/track_document.h"

bool gColorTrackChecked = true;
bool gColorSegmentChecked = false;

int32_t HalveColor(int32_t color) {
    const ColorRGB c = SplitRGB(color);
    const auto half = [](int32_t v) { return static_cast<int32_t>(RoundHalfEven(v * 0.5)); };
    return RGBColor(half(c.Red), half(c.Green), half(c.Blue));
}

SegmentKindColors ColorsOfSegmentKind(int32_t segmentType) {
    switch (segmentType) {
        case SegmentNormal: return {RGBColor(0, 128, 255), RGBColor(0, 64, 128), RGBColor(255, 255, 255)};
        case SegmentStation: return {RGBColor(255, 128, 0), RGBColor(128, 64, 0), RGBColor(255, 255, 255)};
        case SegmentLift: return {RGBColor(0, 255, 0), RGBColor(0, 128, 0), RGBColor(255, 255, 255)};
        case SegmentTransport: return {RGBColor(255, 255, 0), RGBColor(128, 128, 0), RGBColor(255, 255, 255)};
        case SegmentBrake: return {RGBColor(255, 0, 0), RGBColor(128, 0, 0), RGBColor(255, 255, 255)};
        default: return {RGBColor(192, 192, 192), RGBColor(96, 96, 96), RGBColor(255, 255, 255)};
    }
}

namespace {

void SetEntryColors(TrackModelEntry& entry, const SegmentKindColors& c, bool tunnel) {
    entry.RailColor = tunnel ? HalveColor(c.Rail) : c.Rail;
    entry.SpineColor = tunnel ? HalveColor(c.Spine) : c.Spine;
    entry.TieColor = tunnel ? HalveColor(c.Tie) : c.Tie;
}

// Entries that exist in the model and in the spine copy.
int32_t ColourableEntries() {
    return std::max<int32_t>(0, std::min<int32_t>({gSpineInfoSegmentCount, static_cast<int32_t>(gTrackModel.size()),
                                                   static_cast<int32_t>(gSpineInfoSegments.size())}));
}

}  // namespace

void ColorTrackModel(int mode) {
    const int32_t entries = ColourableEntries();
    if (gDocumentType == DocumentElement) {
        // An element has only normal segments and no tunnels; its first
        // segment is marked in magenta in the document-colour mode.
        for (int32_t i = 0; i < entries; ++i) {
            SegmentKindColors c = ColorsOfSegmentKind(SegmentNormal);
            if (mode != ColorBySegmentKind && i == 0)
                c = {RGBColor(255, 0, 255), RGBColor(128, 0, 128), RGBColor(255, 255, 255)};
            SetEntryColors(gTrackModel[i], c, false);
        }
        if (mode == ColorBySegmentKind) {
            gSupportDrawColor = RGBColor(255, 255, 255);
            gTunnelDrawColor = RGBColor(128, 128, 128);
        } else {
            gSupportDrawColor = gTunnelDrawColor = RGBColor(255, 255, 255);
        }
        return;
    }

    const int32_t segments = std::min<int32_t>({entries, gSegmentCount, static_cast<int32_t>(gSegments.size())});
    for (int32_t i = 0; i < segments; ++i) {
        const TrackSegment& segment = gSegments[i];
        SegmentKindColors c;
        if (mode == ColorBySegmentKind)
            c = ColorsOfSegmentKind(segment.SegmentType);
        else if (segment.CustomColors)
            c = {segment.RailColor, segment.SpineColor, segment.TieColor};
        else
            c = {gRailColor, gSpineColor, gTieColor};
        SetEntryColors(gTrackModel[i], c, gSpineInfoSegments[i].Tunnel);
    }
    if (mode == ColorBySegmentKind) {
        gSupportDrawColor = RGBColor(255, 255, 255);
        gTunnelDrawColor = RGBColor(128, 128, 128);
    } else {
        gSupportDrawColor = BuildSettings().SupportColor;
        gTunnelDrawColor = BuildSettings().TunnelColor;
    }
}
