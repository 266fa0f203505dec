#include "controls/uc_numeric_text_box.h"

#include <wx/settings.h>

#include "core/input_checks.h"

wxDEFINE_EVENT(EVT_NUMERIC_BOX_STATE, wxCommandEvent);

ucNumericTextBox::ucNumericTextBox(wxWindow* parent, wxWindowID id, const uc::NumericBoxRule& rule,
                                   const wxString& value, const wxPoint& pos, const wxSize& size, long style)
    : wxTextCtrl(parent, id, value, pos, size, style), mRule(rule) {
    Bind(wxEVT_CHAR, &ucNumericTextBox::OnChar, this);
    Bind(wxEVT_TEXT, &ucNumericTextBox::OnText, this);
    Recheck();
}

void ucNumericTextBox::SetRule(const uc::NumericBoxRule& rule) {
    mRule = rule;
    Recheck();
}

bool ucNumericTextBox::InRange() const {
    if (mCheckedWhileEnabledOnly && !IsThisEnabled()) return true;
    return uc::CheckNumericText(Text(), mRule).InRange;
}

void ucNumericTextBox::SetCheckedWhileEnabledOnly(bool only) {
    mCheckedWhileEnabledOnly = only;
    Recheck();
}

bool ucNumericTextBox::Enable(bool enable) {
    const bool changed = wxTextCtrl::Enable(enable);
    if (changed) {
        Recheck();
        wxCommandEvent state(EVT_NUMERIC_BOX_STATE, GetId());
        state.SetEventObject(this);
        ProcessWindowEvent(state);
    }
    return changed;
}

double ucNumericTextBox::Number() const {
    double value = 0;
    ParseWholeNumber(Text(), value);
    return value;
}

void ucNumericTextBox::Recheck() {
    const bool inRange = InRange();
    // A disabled box in range is drawn as the theme draws disabled text: a
    // colour of its own would stand for every state and show it editable.
    if (inRange && !IsThisEnabled()) {
        if (mOwnColour) {
            mOwnColour = false;
            SetForegroundColour(wxNullColour);
            Refresh();
        }
        return;
    }
    const wxColour colour =
        uc::NumericTextColour(inRange ? kWindowTextColor : uc::CheckNumericText(Text(), mRule).TextColor);
    if (!mOwnColour || GetForegroundColour() != colour) {
        mOwnColour = true;
        SetForegroundColour(colour);
        Refresh();
    }
}

void ucNumericTextBox::OnChar(wxKeyEvent& event) {
    uc::KeyStroke key;
    const wxChar typed = event.GetUnicodeKey();
    key.Character = typed == WXK_NONE ? 0u : static_cast<uint32_t>(typed);
    key.Control = event.ControlDown() || event.RawControlDown();
    key.Alt = event.AltDown();
    key.Meta = event.MetaDown();
    if (uc::NumericKeyPasses(key, mRule)) event.Skip();
    // A swallowed key is not skipped: the box never sees it.
}

void ucNumericTextBox::OnText(wxCommandEvent& event) {
    Recheck();
    if (Changed) Changed();
    event.Skip();
}

namespace uc {

wxColour NumericTextColour(uint32_t textColor) {
    const wxColour system = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    const Rgb rgb = TextColourRgb(textColor, Rgb{system.Red(), system.Green(), system.Blue()});
    return wxColour(rgb.Red, rgb.Green, rgb.Blue);
}

NumericBoxGroup::~NumericBoxGroup() {
    // The boxes may outlive the group (it is usually a member of their dialog).
    for (const wxWeakRef<ucNumericTextBox>& box : mBoxes)
        if (box) {
            box->Unbind(wxEVT_TEXT, &NumericBoxGroup::OnText, this);
            box->Unbind(EVT_NUMERIC_BOX_STATE, &NumericBoxGroup::OnText, this);
        }
}

void NumericBoxGroup::Add(ucNumericTextBox* box) {
    mBoxes.emplace_back(box);
    box->Bind(wxEVT_TEXT, &NumericBoxGroup::OnText, this);
    box->Bind(EVT_NUMERIC_BOX_STATE, &NumericBoxGroup::OnText, this);
    Update();
}

void NumericBoxGroup::OnText(wxCommandEvent& event) {
    Update();
    event.Skip();
}

void NumericBoxGroup::ControlButton(wxWindow* button) {
    mButtons.emplace_back(button);
    Update();
}

bool NumericBoxGroup::AllInRange() const {
    for (const wxWeakRef<ucNumericTextBox>& box : mBoxes)
        if (box && !box->InRange()) return false;
    return true;
}

void NumericBoxGroup::Update() {
    const bool enabled = AllInRange();
    for (const wxWeakRef<wxWindow>& button : mButtons)
        if (button) button->Enable(enabled);
}

}  // namespace uc
