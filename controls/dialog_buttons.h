#pragma once
// The row of a dialog's closing buttons, pushed to the right: OK, Cancel and
// Help, each made only where its pointer is given, `gap` pixels between them.
// The caller binds their clicks and adds the row to its own sizer.

#include <vector>

#include <wx/button.h>
#include <wx/sizer.h>

inline wxBoxSizer* MakeEndButtonRow(wxWindow* dialog, int gap, wxButton** okay, wxButton** cancel,
                                    wxButton** help) {
    std::vector<wxButton*> made;
    if (okay) made.push_back(*okay = new wxButton(dialog, wxID_OK, "OK"));
    if (cancel) made.push_back(*cancel = new wxButton(dialog, wxID_CANCEL, "Cancel"));
    if (help) made.push_back(*help = new wxButton(dialog, wxID_HELP, "Help"));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddStretchSpacer();
    for (size_t i = 0; i < made.size(); ++i) {
        const bool last = i + 1 == made.size();
        row->Add(made[i], 0, last ? 0 : wxRIGHT, last ? 0 : gap);
    }
    return row;
}
