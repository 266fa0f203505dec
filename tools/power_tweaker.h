#pragma once
// Track > Power Tweaker apart from its window: the summary of the selection,
// the controls of each type page as a table (panel, kind, caption, unit and
// the segment field behind it), the loading of a page and of the generic
// panel from the first selected segment, and OK writing them into every
// selected segment.
//
// Sound rules kept beside the dialog's own:
// - a box whose text is still the text it was filled with writes the first
//   selected segment's exact stored value back, so a speed of 10.1 m/s is not
//   rounded through its km/h text; an edited box writes its number converted;
// - an edited box is refused (red, OK disabled) unless its whole text is a
//   number ("abc", an empty box and "12.5 xyz" are not), the number converted
//   fits in a single-precision float ("1e40" does not), and a wait time is
//   not negative: the simulator cannot use such ride data, and nothing typed
//   is written as anything but what it shows;
// - wait times are shown as whole seconds without thousands separators, so
//   they read back as they are shown;
// - a stored option byte outside 0 and 1 selects no option and "No Roof"
//   outside 0 and 1 shows neither state; left so, OK keeps the stored value;
// - a stored segment type outside 0 to 4 makes the selection "Multiple".

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/track_document.h"

inline constexpr int32_t kTweakMultiple = 5;
inline constexpr int32_t kTweakNone = 6;

struct TweakSelection {
    int32_t SelectionType = kTweakNone;  // 0 to 4, 5 different types, 6 none selected
    int32_t SelectedCount = 0;
    int32_t FirstSelected = -1;
};

// The opening's walk over gSegmentSelected.
TweakSelection SummarizeSelection();
// "Normal", "Station", "Lift", "Transport", "Brake", "Multiple" or "None" for 0 to 6; "" otherwise.
const char* GetSelectionTypeName(int32_t type);
// The title of page 0 to 6, e.g. " Segment Type: Station", " No Segments Selected".
const char* TweakPageTitle(int32_t type);
inline constexpr const char* kNoSegmentsText =
    "The Power Tweaker tool requires at least 1 segment to be selected.";

enum class TweakKind { Option, Check, Box };
enum class TweakUnit { None, Kmh, G, Seconds, Number };

// One control of a type page. Options and checks read and write a state
// (option: the chosen index, check: 1 checked and 0 not); boxes a value.
struct TweakControl {
    const char* Panel;
    TweakKind Kind;
    const char* Name;      // the control's name, e.g. "txtSWaitTime(0)"
    const char* Caption;   // check box or box caption; the first option's caption
    const char* Caption2;  // the second option's caption
    TweakUnit Unit;
    int (*GetState)(const TrackSegment&);
    void (*SetState)(TrackSegment&, int);
    float (*GetValue)(const TrackSegment&);
    void (*SetValue)(TrackSegment&, float);
};

// The unit label beside a box: "kmph", "g", "secs" or "".
const char* TweakUnitLabel(TweakUnit unit);
// The controls of page 1 to 4 in their panels' order; empty for any other page.
const std::vector<TweakControl>& TweakPageControls(int32_t type);

// A control as the dialog shows it.
struct TweakControlState {
    int State = 0;           // option: 0, 1 or -1 for none; check: 1, 0 or -1 for neither
    std::string Text;        // box text
    std::string LoadedText;  // the text it was filled with
    int StoredState = 0;     // the first selected segment's value
    float StoredValue = 0.0f;
};

struct TweakPage {
    int32_t Type = 0;
    std::vector<TweakControlState> Controls;  // one per TweakPageControls(Type)
};

// Box texts of stored values, and the values of typed texts.
std::string TweakBoxText(TweakUnit unit, float value);
// The number of a typed text converted to the stored unit; false, the value
// untouched, when the text is refused: not a number as a whole, a result that
// does not fit in a single-precision float, or a negative number of seconds.
bool TweakBoxValue(TweakUnit unit, const std::string& text, float& value);
// Whether the box holds what OK may write: its filled text, or a text
// TweakBoxValue takes.
bool TweakBoxValid(const TweakControl& control, const TweakControlState& state);

TweakPage LoadTweakPage(int32_t type, const TrackSegment& segment);
void SaveTweakPage(const TweakPage& page, TrackSegment& segment);

// The generic panel.
struct TweakGeneric {
    bool CustomColor = false;
    bool Tunnel = false;
    std::array<int32_t, 3> Colors{};  // spine, rails, ties
};
// Filled from the segment: its colours when it has custom colours, else the track's.
TweakGeneric LoadTweakGeneric(const TrackSegment& segment);

// The rebuild flags of a change of "Custom Color" or "Tunnel" or of a colour
// pick: path, track, colouring and tunnels.
void FlagGenericRemodel();

// The whole dialog's state and OK.
class PowerTweakerForm {
public:
    // The opening: summary, page and generic panel. Filling the generic panel
    // checks its boxes from the first selected segment, which flags the remodel
    // when one of them turns checked.
    void Load();
    // The user's clicks on the generic panel: each change of state flags the remodel.
    void SetCustomColor(bool checked);
    void SetTunnel(bool checked);
    // A colour confirmed for swatch 0 to 2: the swatch takes it and "Custom Color" is checked.
    void PickColor(int swatch, int32_t color);
    void SetBoxText(int control, const std::string& text);
    void SetControlState(int control, int state);

    // Whether box `control` of the page holds what OK may write (true for
    // any other control).
    bool BoxValid(int control) const;
    // A selection of one type whose boxes are all valid.
    bool OkEnabled() const;
    // OK: the generic settings and the page into every selected segment in
    // ascending order, Recolor, the changed mark. Nothing while OK is disabled.
    void Apply() const;

    TweakSelection Selection;
    TweakGeneric Generic;
    TweakPage Page;
};
