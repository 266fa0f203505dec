#pragma once
// Driving a window's controls in the window tests as the user's clicks do,
// and reaching a modal dialog once the code under test has shown it.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>

// The event a click on the control sends, its value left as it stands: a
// button's click, a check box's (with its value), a radio button's, or a
// list's choice (with its selection).
inline void Press(wxWindow& control) {
    wxEventType type = wxEVT_BUTTON;
    if (dynamic_cast<wxCheckBox*>(&control)) type = wxEVT_CHECKBOX;
    if (dynamic_cast<wxRadioButton*>(&control)) type = wxEVT_RADIOBUTTON;
    if (dynamic_cast<wxChoice*>(&control)) type = wxEVT_CHOICE;
    wxCommandEvent e(type, control.GetId());
    e.SetEventObject(&control);
    if (auto* box = dynamic_cast<wxCheckBox*>(&control)) e.SetInt(box->GetValue() ? 1 : 0);
    if (auto* list = dynamic_cast<wxChoice*>(&control)) e.SetInt(list->GetSelection());
    control.GetEventHandler()->ProcessEvent(e);
}

// Runs `act` on the modal dialog of type D once it is up; with `tries`, asks
// again that many times while it is not up yet.
template <typename D, typename F>
void WhenModal(F act, int tries = 0) {
    wxTheApp->CallAfter([act, tries] {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<D*>(w);
            if (dialog && dialog->IsModal()) {
                act(*dialog);
                return;
            }
        }
        if (tries > 0)
            WhenModal<D>(act, tries - 1);
        else
            ADD_FAILURE() << "the dialog is not up";
    });
}
