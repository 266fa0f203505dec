#include "tools/frm_t_overview.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/font.h>
#include <wx/fontenum.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "platform/wx/wx_prompts.h"
#include "tools/scene_boundary.h"

namespace {

// Courier New 8.25 pt where it is installed, else the system's fixed-pitch face.
wxFont ReportFont() {
    wxFontInfo info(8.25);
    info.Family(wxFONTFAMILY_TELETYPE);
    if (wxFontEnumerator::IsValidFacename("Courier New")) info.FaceName("Courier New");
    return wxFont(info);
}

}  // namespace

frmOverviewDialog::frmOverviewDialog(wxWindow* owner, const char* dialog) : frmToolDialog(owner, dialog) {
    txtInfo = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                             wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxVSCROLL);
    txtInfo->SetFont(ReportFont());
    FitReportBox(kReportRows);
    Column()->Add(txtInfo, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kToolMargin);

    AddButtons(false, true);
    btnOkay = new wxButton(this, wxID_OK, "OK");
    ButtonRow()->Insert(1, btnOkay, 0, wxRIGHT, kToolMargin / 2);
    btnOkay->SetDefault();
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
}

void frmOverviewDialog::ShowReport(void (*build)(ReportBuffer&)) {
    txtInfo->ChangeValue(wxString());
    report_.Clear();
    build(report_);
    txtInfo->ChangeValue(ToWxText(report_.Text()));
    txtInfo->SetInsertionPoint(0);
    // A short report gets a box of its own length; a long one scrolls.
    int lines = 0;
    for (size_t at = report_.Text().find("\r\n"); at != std::string::npos; at = report_.Text().find("\r\n", at + 2))
        ++lines;
    FitReportBox(std::min(lines + 1, kReportRows));
}

void frmOverviewDialog::FitReportBox(int rows) {
    // The 79 columns of a header and the given number of lines, with the box's frame.
    const wxSize cell = txtInfo->GetTextExtent("M");
    txtInfo->SetMinSize(wxSize(cell.x * 82 + 24, cell.y * rows + 16));
}

frmTOverview::frmTOverview(wxWindow* owner) : frmOverviewDialog(owner, "frmTOverview") {
    BuildOverviewReport();
    FinishLayout();
}

void frmTOverview::BuildOverviewReport() {
    EnsureTrackPathCurrent();
    ShowReport(::BuildOverviewReport);
}

void ShowTOverviewDialog(wxWindow* owner) {
    frmTOverview dialog(owner);
    dialog.ShowModal();
}
