#pragma once
// frmTOverview: Track > Overview. A read-only report of the open track in a
// fixed-pitch box, with OK and Help; it changes nothing. frmEOverview is its
// element counterpart (frm_e_overview.h); both share the report window here.

#include <string>

#include "tools/frm_tool_dialog.h"
#include "tools/overview_reports.h"

class wxTextCtrl;

// What both overview dialogs share: the report box and the OK and Help buttons.
class frmOverviewDialog : public frmToolDialog {
public:
    frmOverviewDialog(wxWindow* owner, const char* dialog);
    wxTextCtrl* InfoBox() const { return txtInfo; }
    // The report as built, CR LF line ends and all.
    const std::string& ReportText() const { return report_.Text(); }

protected:
    bool ApplyTool() override { return true; }  // OK only closes
    // Empties the buffer, builds the report and shows it, in a box as tall as
    // the report up to a screenful of lines (kReportRows).
    void ShowReport(void (*build)(ReportBuffer&));
    void FitReportBox(int rows);
    static constexpr int kReportRows = 36;

    ReportBuffer report_;
    wxTextCtrl* txtInfo = nullptr;
};

class frmTOverview : public frmOverviewDialog {
public:
    explicit frmTOverview(wxWindow* owner);
    void AppendReportLine(const std::string& text) { report_.AppendReportLine(text); }
    // The path is made current first, so the figures describe the track as it is.
    void BuildOverviewReport();
};

// Shows Track > Overview modally, owned by the main window.
void ShowTOverviewDialog(wxWindow* owner);
