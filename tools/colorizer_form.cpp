#include "tools/colorizer_form.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/input_checks.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

ColorizerForm::ColorizerForm() {
    for (int i = 0; i < 2 * kColorizerParts; ++i) runLengths_.AddBox(kColorizerRunBox);
}

void ColorizerForm::Load() {
    int count = 0, first = -1, last = -1;
    for (int i = 0; i < gSegmentCount; ++i) {
        if (!IsSegmentSelected(i)) continue;
        if (first < 0) first = i;
        last = i;
        ++count;
    }
    const std::array<int32_t, 3> track{gSpineColor, gRailColor, gTieColor};
    if (count == 0) {
        Primary = track;
        SelectedOnly = false;
        SelectedEnabled = false;
        return;
    }
    auto colorsOf = [&track](int segment) {
        const TrackSegment& s = gSegments[static_cast<size_t>(segment)];
        return s.CustomColors ? std::array<int32_t, 3>{s.SpineColor, s.RailColor, s.TieColor} : track;
    };
    Primary = colorsOf(first);
    Alternate = colorsOf(last);
    SetUseAlternate(true);
    SelectedOnly = true;
}

void ColorizerForm::SetUseAlternate(bool checked) {
    UseAlternate = checked;
    AlternateControlsEnabled = checked;
    for (ColorizerPartState& part : Parts)
        for (int option : {PaintAlternate, PaintGradient, PaintToggle}) part.OptionEnabled[static_cast<size_t>(option)] = checked;
    if (!checked) {
        for (int p = 0; p < kColorizerParts; ++p) {
            ColorizerPartState& part = Parts[static_cast<size_t>(p)];
            part.RunBoxesEnabled = false;
            if (part.Mode != PaintPrimary && part.Mode != PaintColorWheel) ChooseMode(p, PaintPrimary);
        }
    }
}

void ColorizerForm::ClickAllTypes(bool checked) {
    AllTypes = checked;
    TypesEnabled = !checked;
}

void ColorizerForm::ClickType(int type, bool checked) {
    if (type >= 0 && type < 5) Types[static_cast<size_t>(type)] = checked;
}

void ColorizerForm::ChooseScope(bool selectedSegments) {
    if (selectedSegments && !SelectedEnabled) return;
    SelectedOnly = selectedSegments;
}

void ColorizerForm::ChooseMode(int part, int mode) {
    if (part < 0 || part >= kColorizerParts || mode < 0 || mode > PaintToggle) return;
    ColorizerPartState& state = Parts[static_cast<size_t>(part)];
    state.Mode = mode;
    state.RunBoxesEnabled = mode == PaintToggle;
}

void ColorizerForm::SetRunLength(int part, int box, std::string_view text) {
    if (part < 0 || part >= kColorizerParts || box < 0 || box > 1) return;
    runLengths_.SetText(RunBox(part, box), text);
}

void ColorizerForm::PickPrimary(int part, int32_t color) {
    if (part >= 0 && part < kColorizerParts) Primary[static_cast<size_t>(part)] = color;
}

void ColorizerForm::PickAlternate(int part, int32_t color) {
    if (part < 0 || part >= kColorizerParts) return;
    Alternate[static_cast<size_t>(part)] = color;
    SetUseAlternate(true);
}

void ColorizerForm::CopyAlternate() { Primary = Alternate; }
void ColorizerForm::Swap() { std::swap(Primary, Alternate); }
void ColorizerForm::CopyPrimary() { Alternate = Primary; }

bool ColorizerForm::OkEnabled() const {
    const bool anyType = AllTypes || std::any_of(Types.begin(), Types.end(), [](bool t) { return t; });
    if (!anyType) return false;
    for (int p = 0; p < kColorizerParts; ++p)
        if (Parts[static_cast<size_t>(p)].Mode == PaintToggle &&
            (runLengths_.IsRed(RunBox(p, 0)) || runLengths_.IsRed(RunBox(p, 1))))
            return false;
    return true;
}

ColorizerOptions ColorizerForm::Options() const {
    ColorizerOptions o;
    o.SelectedOnly = SelectedOnly;
    o.AllTypes = AllTypes;
    o.Types = Types;
    o.OnlyTunnels = OnlyTunnels;
    o.UseAlternate = UseAlternate;
    o.Primary = Primary;
    o.Alternate = Alternate;
    for (int p = 0; p < kColorizerParts; ++p) {
        o.Mode[static_cast<size_t>(p)] = Parts[static_cast<size_t>(p)].Mode;
        o.RunLengths[static_cast<size_t>(p)] = {runLengths_.Value(RunBox(p, 0)), runLengths_.Value(RunBox(p, 1))};
    }
    return o;
}

void DrawGradientPreview(int32_t a, int32_t b, ColorPicture& strip) {
    const int w = strip.Width - 1;
    if (w < 0) return;
    float from[3], to[3], step[3], current[3];
    ColorToByteRGB(from, a);
    ColorToByteRGB(to, b);
    for (int c = 0; c < 3; ++c) {
        // A strip of one column has no step to take: it shows colour a alone.
        step[c] = w > 0 ? (to[c] - from[c]) / static_cast<float>(w) : 0.0f;
        current[c] = from[c];
    }
    for (int x = 0; x <= w; ++x) {
        int channel[3];
        for (int c = 0; c < 3; ++c) channel[c] = std::clamp(static_cast<int>(std::floor(current[c])), 0, 255);
        strip.DrawColumn(x, PackRGB({channel[0], channel[1], channel[2]}));
        for (int c = 0; c < 3; ++c) current[c] += step[c];
    }
}

void DrawGradientStrip(const ColorizerForm& form, int part, ColorPicture& strip) {
    const int32_t primary = form.Primary[static_cast<size_t>(part)];
    if (form.UseAlternate)
        DrawGradientPreview(primary, form.Alternate[static_cast<size_t>(part)], strip);
    else
        strip.Fill(primary);
}

void DrawColorWheelStrip(const ColorizerForm& form, int part, ColorPicture& strip) {
    DrawColorRamp(RGBToHSL(SplitRGB(form.Primary[static_cast<size_t>(part)])), strip);
}
