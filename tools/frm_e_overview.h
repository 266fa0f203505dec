#pragma once
// frmEOverview: Element > Overview. The element's length, size and heights
// in a read-only fixed-pitch box, with OK and Help; it changes nothing.

#include <string>

#include "tools/frm_t_overview.h"

class frmEOverview : public frmOverviewDialog {
public:
    explicit frmEOverview(wxWindow* owner);
    void AddLine(const std::string& text) { report_.AddLine(text); }
    // The element's path is built first when it is missing or stale.
    void BuildReport();
};

void ShowEOverviewDialog(wxWindow* owner);
