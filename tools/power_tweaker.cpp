#include "tools/power_tweaker.h"

#include <cfloat>
#include <cmath>

#include "core/input_checks.h"
#include "core/number_formats.h"
#include "model/rebuild_flags.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/segment_selection.h"

namespace {

#define GW_TWEAK_CHECK(panel, name, caption, field)                                               \
    TweakControl {                                                                                \
        panel, TweakKind::Check, name, caption, nullptr, TweakUnit::None,                         \
            [](const TrackSegment& s) -> int { return s.field ? 1 : 0; },                         \
            [](TrackSegment& s, int v) { s.field = v != 0; }, nullptr, nullptr                    \
    }
#define GW_TWEAK_BYTE(kind, panel, name, caption, caption2, field)                                \
    TweakControl {                                                                                \
        panel, kind, name, caption, caption2, TweakUnit::None,                                    \
            [](const TrackSegment& s) -> int { return s.field; },                                 \
            [](TrackSegment& s, int v) { s.field = static_cast<uint8_t>(v); }, nullptr, nullptr   \
    }
#define GW_TWEAK_BOX(panel, name, caption, unit, field)                                           \
    TweakControl {                                                                                \
        panel, TweakKind::Box, name, caption, nullptr, unit, nullptr, nullptr,                    \
            [](const TrackSegment& s) -> float { return s.field; },                               \
            [](TrackSegment& s, float v) { s.field = v; }                                         \
    }

using K = TweakKind;
using U = TweakUnit;

const std::vector<TweakControl> kStationPage = {
    GW_TWEAK_BYTE(K::Option, "Building", "optSEntrance", "Left Entrance", "Right Entrance", Station.Entrance),
    GW_TWEAK_BYTE(K::Check, "Building", "chkSNoRoof", "No Roof", nullptr, Station.NoRoof),
    GW_TWEAK_CHECK("Building", "chkSHidden", "Hidden", Station.Hidden),
    GW_TWEAK_CHECK("Wait Time", "chkSSyncronized", "Syncronized", Station.Synchronized),
    GW_TWEAK_BOX("Wait Time", "txtSWaitTime(0)", "Average:", U::Seconds, Station.WaitTime[0]),
    GW_TWEAK_BOX("Wait Time", "txtSWaitTime(1)", "Minimum:", U::Seconds, Station.WaitTime[1]),
    GW_TWEAK_BOX("Wait Time", "txtSWaitTime(2)", "Maximum:", U::Seconds, Station.WaitTime[2]),
    GW_TWEAK_BOX("Wait Time", "txtSWaitTime(3)", "Deviation:", U::Seconds, Station.WaitTime[3]),
    GW_TWEAK_BOX("Main Brake", "txtMainBrake", "Deceleration:", U::G, Station.MainBrakeDecel),
    GW_TWEAK_CHECK("Wheels", "chkSWheels", "Enabled", Station.Wheels),
    GW_TWEAK_BOX("Wheels", "txtSWheels(0)", "Speed:", U::Kmh, Station.WheelSpeed),
    GW_TWEAK_BOX("Wheels", "txtSWheels(1)", "Acceleration:", U::G, Station.WheelAccel),
    GW_TWEAK_BOX("Wheels", "txtSWheels(2)", "Deceleration:", U::G, Station.WheelDecel),
    GW_TWEAK_CHECK("Pre-Brake", "chkSPrebrake", "Enabled", Station.PreBrake),
    GW_TWEAK_BOX("Pre-Brake", "txtSPreBrake(0)", "Speed Limit:", U::Kmh, Station.PreBrakeSpeedLimit),
    GW_TWEAK_BOX("Pre-Brake", "txtSPreBrake(1)", "Hysteresis:", U::Kmh, Station.PreBrakeHysteresis),
    GW_TWEAK_BOX("Pre-Brake", "txtSPreBrake(2)", "Deceleration:", U::G, Station.PreBrakeDecel),
};

const std::vector<TweakControl> kLiftPage = {
    GW_TWEAK_BYTE(K::Option, "Style", "optLStyle", "Chain", "Transport Wheels", Lift.LiftStyle),
    GW_TWEAK_CHECK("Style", "chkLRailing(0)", "Left Railing", Lift.LeftRailing),
    GW_TWEAK_CHECK("Style", "chkLRailing(1)", "Right Railing", Lift.RightRailing),
    GW_TWEAK_BOX("Motor", "txtLMotor(0)", "Speed:", U::Kmh, Lift.MotorSpeed),
    GW_TWEAK_BOX("Motor", "txtLMotor(1)", "Acceleration:", U::G, Lift.MotorAccel),
    GW_TWEAK_BOX("Motor", "txtLMotor(2)", "Deceleration:", U::G, Lift.MotorDecel),
};

const std::vector<TweakControl> kTransportPage = {
    GW_TWEAK_BYTE(K::Option, "Style", "optTStyle", "Transport Wheels", "L.I.M.", Transport.TransportStyle),
    GW_TWEAK_CHECK("Style", "chkTRailing(0)", "Left Railing", Transport.LeftRailing),
    GW_TWEAK_CHECK("Style", "chkTRailing(1)", "Right Railing", Transport.RightRailing),
    GW_TWEAK_BOX("Motor", "txtTMotor(0)", "Speed:", U::Kmh, Transport.MotorSpeed),
    GW_TWEAK_BOX("Motor", "txtTMotor(1)", "Acceleration:", U::G, Transport.MotorAccel),
    GW_TWEAK_BOX("Motor", "txtTMotor(2)", "Deceleration:", U::G, Transport.MotorDecel),
};

const std::vector<TweakControl> kBrakePage = {
    GW_TWEAK_CHECK("Style", "chkBBlockSegment", "Block Segment", Brake.BlockSegment),
    GW_TWEAK_CHECK("Style", "chkBCompleteStop", "Complete Stop", Brake.CompleteStop),
    GW_TWEAK_CHECK("Style", "chkBRailing(0)", "Left Rail", Brake.LeftRailing),
    GW_TWEAK_CHECK("Style", "chkBRailing(1)", "Right Rail", Brake.RightRailing),
    GW_TWEAK_BOX("Brake", "txtBBrake(0)", "Speed Limit:", U::Kmh, Brake.BrakeSpeedLimit),
    GW_TWEAK_BOX("Brake", "txtBBrake(1)", "Hysteresis:", U::Kmh, Brake.BrakeHysteresis),
    GW_TWEAK_BOX("Brake", "txtBBrake(2)", "Deceleration:", U::G, Brake.BrakeDecel),
    GW_TWEAK_BOX("Brake", "txtBTriggerPos", "Trigger Pos:", U::Number, Brake.TriggerPosition),
    GW_TWEAK_CHECK("Wheels", "chkBWheels", "Enabled", Brake.Wheels),
    GW_TWEAK_BOX("Wheels", "txtBWheels(0)", "Speed:", U::Kmh, Brake.WheelSpeed),
    GW_TWEAK_BOX("Wheels", "txtBWheels(1)", "Acceleration:", U::G, Brake.WheelAccel),
    GW_TWEAK_BOX("Wheels", "txtBWheels(2)", "Deceleration:", U::G, Brake.WheelDecel),
};

#undef GW_TWEAK_CHECK
#undef GW_TWEAK_BYTE
#undef GW_TWEAK_BOX

}  // namespace

TweakSelection SummarizeSelection() {
    TweakSelection s;
    s.SelectionType = -1;
    for (int i = 0; i < gSegmentCount; ++i) {
        if (!IsSegmentSelected(i)) continue;
        if (s.FirstSelected < 0) s.FirstSelected = i;
        ++s.SelectedCount;
        const int32_t type = gSegments[static_cast<size_t>(i)].SegmentType;
        const int32_t known = type >= 0 && type <= 4 ? type : kTweakMultiple;
        if (s.SelectionType < 0)
            s.SelectionType = known;
        else if (known != s.SelectionType)
            s.SelectionType = kTweakMultiple;
    }
    if (s.SelectionType < 0) s.SelectionType = kTweakNone;
    return s;
}

const char* GetSelectionTypeName(int32_t type) {
    static const char* const names[] = {"Normal", "Station", "Lift", "Transport", "Brake", "Multiple", "None"};
    return type >= 0 && type <= 6 ? names[type] : "";
}

const char* TweakPageTitle(int32_t type) {
    static const char* const titles[] = {" Segment Type: Normal",    " Segment Type: Station",
                                         " Segment Type: Lift",      " Segment Type: Transport",
                                         " Segment Type: Brake",     " Segment Type: Multiple Types",
                                         " No Segments Selected"};
    return type >= 0 && type <= 6 ? titles[type] : "";
}

const char* TweakUnitLabel(TweakUnit unit) {
    switch (unit) {
        case TweakUnit::Kmh: return "kmph";
        case TweakUnit::G: return "g";
        case TweakUnit::Seconds: return "secs";
        default: return "";
    }
}

const std::vector<TweakControl>& TweakPageControls(int32_t type) {
    static const std::vector<TweakControl> none;
    switch (type) {
        case SegmentStation: return kStationPage;
        case SegmentLift: return kLiftPage;
        case SegmentTransport: return kTransportPage;
        case SegmentBrake: return kBrakePage;
        default: return none;
    }
}

std::string TweakBoxText(TweakUnit unit, float value) {
    switch (unit) {
        case TweakUnit::Kmh: return NumberText(MpsToKmh(value));
        case TweakUnit::G: return NumberText(AccelToG(value));
        case TweakUnit::Seconds: return NumberText(std::round(static_cast<double>(value)));  // no separators
        default: return NumberText(value);
    }
}

bool TweakBoxValue(TweakUnit unit, const std::string& text, float& value) {
    double v = 0;
    if (!ParseWholeNumber(text, v)) return false;
    if (unit == TweakUnit::Seconds && v < 0) return false;
    if (unit == TweakUnit::Kmh) v = KmhToMps(v);
    if (unit == TweakUnit::G) v = GToAccel(v);
    if (!(std::fabs(v) <= FLT_MAX)) return false;
    value = static_cast<float>(v);
    return true;
}

bool TweakBoxValid(const TweakControl& control, const TweakControlState& state) {
    if (control.Kind != TweakKind::Box || state.Text == state.LoadedText) return true;
    float value = 0;
    return TweakBoxValue(control.Unit, state.Text, value);
}

TweakPage LoadTweakPage(int32_t type, const TrackSegment& segment) {
    TweakPage page;
    page.Type = type;
    for (const TweakControl& c : TweakPageControls(type)) {
        TweakControlState state;
        if (c.Kind == TweakKind::Box) {
            state.StoredValue = c.GetValue(segment);
            state.Text = state.LoadedText = TweakBoxText(c.Unit, state.StoredValue);
        } else {
            state.StoredState = c.GetState(segment);
            state.State = state.StoredState == 0 || state.StoredState == 1 ? state.StoredState : -1;
        }
        page.Controls.push_back(state);
    }
    return page;
}

void SaveTweakPage(const TweakPage& page, TrackSegment& segment) {
    const std::vector<TweakControl>& controls = TweakPageControls(page.Type);
    for (size_t i = 0; i < controls.size() && i < page.Controls.size(); ++i) {
        const TweakControl& c = controls[i];
        const TweakControlState& state = page.Controls[i];
        if (c.Kind == TweakKind::Box) {
            float value = state.StoredValue;
            if (state.Text != state.LoadedText && !TweakBoxValue(c.Unit, state.Text, value)) continue;  // refused
            c.SetValue(segment, value);
        } else {
            c.SetState(segment, state.State == 0 || state.State == 1 ? state.State : state.StoredState);
        }
    }
}

TweakGeneric LoadTweakGeneric(const TrackSegment& segment) {
    TweakGeneric g;
    g.Tunnel = segment.Tunnel;
    g.CustomColor = segment.CustomColors;
    g.Colors = segment.CustomColors ? std::array<int32_t, 3>{segment.SpineColor, segment.RailColor, segment.TieColor}
                                    : std::array<int32_t, 3>{gSpineColor, gRailColor, gTieColor};
    return g;
}

void FlagGenericRemodel() {
    gRemodelFlags.RebuildPath = true;
    gRemodelFlags.RebuildTrack = true;
    gRemodelFlags.Recolor = true;
    gRemodelFlags.RebuildTunnels = true;
}

void PowerTweakerForm::Load() {
    Selection = SummarizeSelection();
    Generic = TweakGeneric{};
    Page = TweakPage{};
    if (Selection.SelectionType < 0 || Selection.SelectionType > 4) return;
    const TrackSegment& first = gSegments[static_cast<size_t>(Selection.FirstSelected)];
    Page = LoadTweakPage(Selection.SelectionType, first);
    const TweakGeneric filled = LoadTweakGeneric(first);
    Generic.Colors = filled.Colors;
    SetTunnel(filled.Tunnel);
    SetCustomColor(filled.CustomColor);
}

void PowerTweakerForm::SetCustomColor(bool checked) {
    if (Generic.CustomColor == checked) return;
    Generic.CustomColor = checked;
    FlagGenericRemodel();
}

void PowerTweakerForm::SetTunnel(bool checked) {
    if (Generic.Tunnel == checked) return;
    Generic.Tunnel = checked;
    FlagGenericRemodel();
}

void PowerTweakerForm::PickColor(int swatch, int32_t color) {
    if (swatch < 0 || swatch > 2) return;
    Generic.Colors[static_cast<size_t>(swatch)] = color;
    Generic.CustomColor = true;
    FlagGenericRemodel();
}

void PowerTweakerForm::SetBoxText(int control, const std::string& text) {
    if (control >= 0 && control < static_cast<int>(Page.Controls.size()))
        Page.Controls[static_cast<size_t>(control)].Text = text;
}

void PowerTweakerForm::SetControlState(int control, int state) {
    if (control >= 0 && control < static_cast<int>(Page.Controls.size()))
        Page.Controls[static_cast<size_t>(control)].State = state;
}

bool PowerTweakerForm::BoxValid(int control) const {
    const std::vector<TweakControl>& controls = TweakPageControls(Page.Type);
    if (control < 0 || control >= static_cast<int>(controls.size()) ||
        control >= static_cast<int>(Page.Controls.size()))
        return true;
    return TweakBoxValid(controls[static_cast<size_t>(control)], Page.Controls[static_cast<size_t>(control)]);
}

bool PowerTweakerForm::OkEnabled() const {
    if (Selection.SelectionType < 0 || Selection.SelectionType > 4) return false;
    for (int i = 0; i < static_cast<int>(Page.Controls.size()); ++i)
        if (!BoxValid(i)) return false;
    return true;
}

void PowerTweakerForm::Apply() const {
    if (!OkEnabled()) return;
    for (int i = 0; i < gSegmentCount; ++i) {
        if (!IsSegmentSelected(i)) continue;
        TrackSegment& s = gSegments[static_cast<size_t>(i)];
        s.Tunnel = Generic.Tunnel;
        s.CustomColors = Generic.CustomColor;
        if (Generic.CustomColor) {
            s.SpineColor = Generic.Colors[0];
            s.RailColor = Generic.Colors[1];
            s.TieColor = Generic.Colors[2];
        }
        if (Selection.SelectionType >= 1 && Selection.SelectionType <= 4) SaveTweakPage(Page, s);
    }
    RemodelFlags flags;
    flags.Recolor = true;
    FinishToolEdit(flags);
}
