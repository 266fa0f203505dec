#pragma once
// The user's clicks in the export windows' tests: a check box turned over and
// its click sent; a button pressed, which must be enabled for the user to press it.

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>

inline void Click(wxCheckBox* box) {
    box->SetValue(!box->GetValue());
    wxCommandEvent e(wxEVT_CHECKBOX, box->GetId());
    e.SetEventObject(box);
    e.SetInt(box->GetValue() ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(e);
}

inline void Press(wxButton* button) {
    ASSERT_TRUE(button->IsEnabled()) << button->GetLabel();
    wxCommandEvent e(wxEVT_BUTTON, button->GetId());
    e.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(e);
}
