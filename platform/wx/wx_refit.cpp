#include "platform/wx/wx_refit.h"

#include <algorithm>
#include <memory>

#include <wx/sizer.h>
#include <wx/toplevel.h>

void InvalidateBestSizes(wxWindow* window) {
    window->InvalidateBestSize();
    for (wxWindow* child : window->GetChildren()) InvalidateBestSizes(child);
}

void GrowToFit(wxTopLevelWindow* window) {
    wxSizer* sizer = window->GetSizer();
    if (!sizer) return;
    InvalidateBestSizes(window);
    const wxSize least = sizer->ComputeFittingClientSize(window);
    window->SetMinClientSize(least);
    const wxSize now = window->GetClientSize();
    if (now.x < least.x || now.y < least.y)
        window->SetClientSize(wxSize(std::max(now.x, least.x), std::max(now.y, least.y)));
    window->Layout();
}

void FitWhenDrawn(wxTopLevelWindow* window, wxWindow* drawn) {
    wxSizer* sizer = window->GetSizer();
    if (!sizer) return;
    const wxSize measured = sizer->ComputeFittingClientSize(window);
    window->SetMinClientSize(measured);
    window->SetClientSize(wxSize(measured.x * 6 / 5, measured.y * 3 / 2));
    auto done = std::make_shared<bool>(false);
    drawn->Bind(wxEVT_PAINT, [window, done](wxPaintEvent& event) {
        event.Skip();
        if (*done) return;
        *done = true;
        window->CallAfter([window] {
            wxSizer* sizer = window->GetSizer();
            InvalidateBestSizes(window);
            const wxSize fit = sizer->ComputeFittingClientSize(window);
            window->SetMinClientSize(fit);
            window->SetClientSize(fit);
            window->Layout();
        });
    });
}
