#pragma once
// ucNumericTextBox: the numeric text box of every dialog. It filters the
// characters typed into it (digits and backspace; "-" and "." only where its
// rule allows them), leaves navigation, editing and clipboard keys alone,
// and re-checks its text on every change: window-text colour while the text
// is one number as a whole lying in its range, red while it is not (an empty
// box, "-", "2.5.5" and "90-45" are red).
//
// NumericBoxGroup gathers a dialog's boxes and keeps its OK button disabled
// while any of them is red.
//
// A disabled box is drawn in the theme's disabled colours, unless it is red.
//
// A box may be told that its value is in use only while it is enabled
// (SetCheckedWhileEnabledOnly): disabled, it is then never red and never keeps
// a button disabled.

#include <functional>
#include <string>
#include <vector>

#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "core/numeric_input.h"

class ucNumericTextBox : public wxTextCtrl {
public:
    ucNumericTextBox(wxWindow* parent, wxWindowID id, const uc::NumericBoxRule& rule,
                     const wxString& value = wxString(), const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize, long style = 0);

    const uc::NumericBoxRule& Rule() const { return mRule; }
    // A new range (the text is checked again at once).
    void SetRule(const uc::NumericBoxRule& rule);

    // Whether the whole text is one number in the range (CheckNumericText);
    // checked afresh.
    // A box checked only while enabled counts as in range while disabled.
    bool InRange() const;
    void SetCheckedWhileEnabledOnly(bool only);
    // A change of the enabled state re-checks the colour and tells the group.
    bool Enable(bool enable = true) override;
    // The number the whole text holds ("." decimals); 0 when the text is not
    // one number. A box in range holds exactly what it shows.
    double Number() const;
    std::string Text() const { return GetValue().utf8_string(); }

    // Runs after every change of the text, once the colour is set.
    std::function<void()> Changed;

    // Applies the range check's colour to the text now.
    void Recheck();

private:
    void OnChar(wxKeyEvent& event);
    void OnText(wxCommandEvent& event);

    uc::NumericBoxRule mRule;
    bool mCheckedWhileEnabledOnly = false;
    bool mOwnColour = false;  // the text colour is set (not the theme's)
};

// Sent by a box (a command event, with the box as its object) when its
// enabled state changed, for the group that holds it.
wxDECLARE_EVENT(EVT_NUMERIC_BOX_STATE, wxCommandEvent);

namespace uc {

// The window-text colour of the system and red, as ucNumericTextBox draws them.
wxColour NumericTextColour(uint32_t textColor);

// The numeric boxes of one dialog and the button that must stay disabled
// while any of them is out of range. Hold it as a member of the dialog.
class NumericBoxGroup {
public:
    NumericBoxGroup() = default;
    NumericBoxGroup(const NumericBoxGroup&) = delete;
    NumericBoxGroup& operator=(const NumericBoxGroup&) = delete;
    ~NumericBoxGroup();

    // Adds a box; its changes re-evaluate the group from now on.
    void Add(ucNumericTextBox* box);
    // A button (OK, and any other that takes the boxes' values) that is
    // enabled only while every box is in range; evaluated at once. Every
    // button given is controlled.
    void ControlButton(wxWindow* button);

    bool AllInRange() const;
    // Enables or disables the controlled button from the boxes' texts now.
    void Update();


private:
    void OnText(wxCommandEvent& event);

    std::vector<wxWeakRef<ucNumericTextBox>> mBoxes;  // a destroyed box drops out
    std::vector<wxWeakRef<wxWindow>> mButtons;
};

}  // namespace uc
