#include "simulator/frm_vx_env_organizer.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/dialog_buttons.h"
#include "controls/dialog_end.h"
#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "core/help_launcher.h"
#include "core/number_formats.h"
#include "platform/prompts.h"

namespace {

constexpr int kMargin = 8;

}  // namespace

void ShowVXEnvOrganizer(wxWindow* owner) {
    frmVXEnvOrganizer dialog(owner);
    dialog.ShowModal();
}

frmVXEnvOrganizer::frmVXEnvOrganizer(wxWindow* owner) : wxDialog(owner, wxID_ANY, "Vortaxis: Environment Organizer") {
    SetFont(uc::DialogFont());
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* panel = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Environments");
    auto* inner = new wxBoxSizer(wxVERTICAL);
    inner->AddSpacer(uc::TwipsToPixels(210, uc::TwipsPerPixelY(panel)) + 6);
    auto* grid = new wxFlexGridSizer(2, kMargin / 2, kMargin);
    const char* captions[2] = {"Total Environments:", "Un-Organized Environments:"};
    for (int i = 0; i < 2; ++i) {
        grid->Add(new wxStaticText(panel, wxID_ANY, captions[i]), 0, wxALIGN_CENTER_VERTICAL);
        lblEnvCount[i] = new wxStaticText(panel, wxID_ANY, "0", wxDefaultPosition, wxSize(80, -1));
        grid->Add(lblEnvCount[i], 0, wxALIGN_CENTER_VERTICAL);
    }
    inner->Add(grid, 0, wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    auto* problemsCaption = new wxStaticText(panel, wxID_ANY, "Texture values and files kept as they are:");
    inner->Add(problemsCaption, 0, wxLEFT | wxRIGHT, kMargin);
    txtProblems = new wxTextCtrl(panel, wxID_ANY, wxString(), wxDefaultPosition,
                                 wxSize(520, 7 * panel->GetCharHeight() + 8),
                                 wxTE_MULTILINE | wxTE_READONLY | wxTE_WORDWRAP);
    inner->Add(txtProblems, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    panel->SetSizer(inner);
    top->Add(panel, 0, wxEXPAND | wxALL, kMargin);

    pbProgress = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(300, 16), wxBORDER_SUNKEN);
    pbProgress->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(pbProgress);
        const wxSize size = pbProgress->GetClientSize();
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(done_ ? wxColour(0, 255, 0) : wxColour(255, 0, 0)));
        const int width = done_ ? size.x : size.x * percent_ / 100;
        if (width > 0) dc.DrawRectangle(0, 0, width, size.y);
    });
    top->Add(pbProgress, 0, wxEXPAND | wxLEFT | wxRIGHT, kMargin);

    top->Add(MakeEndButtonRow(this, kMargin / 2, &btnOkay, &btnCancel, &btnHelp), 0, wxEXPAND | wxALL, kMargin);

    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FinishDialog(*this, wxID_CANCEL); });
    btnHelp->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { ShowHelpTopic("vx_environmentorganizer"); });

    organizer_.ScanEnvironments();
    lblEnvCount[0]->SetLabel(FormatInteger(static_cast<int32_t>(organizer_.Environments().size())));
    lblEnvCount[1]->SetLabel(FormatInteger(organizer_.UnorganizedCount()));
    // A run that may write nothing here (another user's tree) shows why, alone, and cannot start.
    const bool refused = !organizer_.Refusal().empty();
    btnOkay->Enable(organizer_.UnorganizedCount() > 0 && !refused);
    if (refused) problemsCaption->SetLabel("Nothing is organized in this run:");
    wxString problems;
    for (const std::string& line : organizer_.ProblemLines()) problems += wxString::FromUTF8(line) + "\n";
    txtProblems->ChangeValue(problems.BeforeLast('\n'));
    problemsCaption->Show(!problems.empty());
    txtProblems->Show(!problems.empty());

    SetSizerAndFit(top);
    CentreOnParent();
}

void frmVXEnvOrganizer::PaintProgress() {
    pbProgress->Refresh();
    pbProgress->Update();
}

void frmVXEnvOrganizer::btnOkay_Click() {
    btnOkay->Disable();
    btnCancel->Disable();
    percent_ = 0;
    done_ = false;
    PaintProgress();
    organizer_.OrganizeEnvironments([this](int percent) {
        percent_ = percent;
        PaintProgress();
    });
    done_ = true;
    percent_ = 100;
    PaintProgress();
    const std::string problems = organizer_.ProblemMessage();
    if (!problems.empty()) MsgBox(problems, "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
    FinishDialog(*this, wxID_OK);
}
