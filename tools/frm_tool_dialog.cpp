#include "tools/frm_tool_dialog.h"

#include <stdexcept>

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "controls/uc_numeric_text_box.h"
#include "core/help_launcher.h"

namespace {

const ToolDialogInfo& ToolRow(const char* dialog) {
    const ToolDialogInfo* tool = FindToolDialog(dialog);
    if (!tool) throw std::invalid_argument(std::string("no tool dialog named ") + dialog);
    return *tool;
}

}  // namespace

frmToolDialog::frmToolDialog(wxWindow* owner, const char* dialog)
    : wxDialog(owner, wxID_ANY, wxString::FromUTF8(ToolRow(dialog).Caption)), tool_(&ToolRow(dialog)) {
    SetFont(uc::DialogFont());
    column_ = new wxBoxSizer(wxVERTICAL);
    SetSizer(column_);
    Bind(wxEVT_CLOSE_WINDOW, &frmToolDialog::OnClose, this);
}

wxBoxSizer* frmToolDialog::AddPanel(const wxString& title, wxSizer* into, int proportion) {
    auto* panel = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, title);
    panels_.push_back(panel);
    rowGrid_ = nullptr;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    // The contents stand below the panel's title bar.
    sizer->AddSpacer(uc::TwipsToPixels(210, uc::TwipsPerPixelY(panel)) + 6);
    panel->SetSizer(sizer);
    if (into)
        into->Add(panel, proportion, wxEXPAND | wxALL, kToolMargin / 2);
    else
        column_->Add(panel, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kToolMargin);
    return sizer;
}

ucNumericTextBox* frmToolDialog::AddNumericBox(const NumericBoxSpec& spec, int width) {
    const int index = form_.AddBox(spec);
    const uc::NumericBoxRule rule{spec.Min, spec.Max, spec.AllowMinus, spec.AllowDecimal};
    auto* box = new ucNumericTextBox(panels_.back(), wxID_ANY, rule, wxString::FromUTF8(spec.Default),
                                     wxDefaultPosition, wxSize(width, -1));
    boxes_.push_back(box);
    box->Changed = [this, index] { BoxChanged(index); };
    return box;
}

ucNumericTextBox* frmToolDialog::AddNumericRow(wxSizer* sizer, const wxString& label, const NumericBoxSpec& spec,
                                               const wxString& unit) {
    // The rows of one panel share a grid, so that their boxes line up.
    if (!rowGrid_) {
        rowGrid_ = new wxFlexGridSizer(3, kToolMargin / 2, kToolMargin);
        sizer->Add(rowGrid_, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    }
    ucContainer* panel = panels_.back();
    rowGrid_->Add(new wxStaticText(panel, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    ucNumericTextBox* box = AddNumericBox(spec);
    rowGrid_->Add(box, 0, wxALIGN_CENTER_VERTICAL);
    rowGrid_->Add(new wxStaticText(panel, wxID_ANY, unit), 0, wxALIGN_CENTER_VERTICAL);
    return box;
}

void frmToolDialog::AddButtons(bool okAndCancel, bool help) {
    buttonRow_ = new wxBoxSizer(wxHORIZONTAL);
    buttonRow_->AddStretchSpacer();
    if (okAndCancel) {
        btnOkay = new wxButton(this, wxID_OK, "OK");
        btnCancel = new wxButton(this, wxID_CANCEL, "Cancel");
        buttonRow_->Add(btnOkay, 0, wxRIGHT, kToolMargin / 2);
        buttonRow_->Add(btnCancel, 0, wxRIGHT, kToolMargin / 2);
        btnOkay->SetDefault();
        btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
        btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnCancel_Click(); });
    }
    if (help && tool_->HelpTopic[0] != '\0') {
        btnHelp = new wxButton(this, wxID_HELP, "Help");
        buttonRow_->Add(btnHelp, 0);
        btnHelp->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnHelp_Click(); });
    }
    column_->Add(buttonRow_, 0, wxEXPAND | wxALL, kToolMargin);
}

void frmToolDialog::FinishLayout() {
    column_->SetSizeHints(this);
    CentreOnParent();
}

void frmToolDialog::SetOkayEnabled(bool enabled) {
    if (btnOkay) btnOkay->Enable(enabled);
}

void frmToolDialog::BoxChanged(int index) {
    form_.SetText(index, boxes_[static_cast<size_t>(index)]->Text());
    SetOkayEnabled(form_.OkEnabled());
}

void frmToolDialog::btnOkay_Click() {
    // A disabled OK cannot be pressed; a key or a test that gets here anyway
    // must not apply input that is out of range.
    if (btnOkay && !btnOkay->IsEnabled()) return;
    if (ApplyTool()) Unload(wxID_OK);
}

void frmToolDialog::btnCancel_Click() { Unload(wxID_CANCEL); }

void frmToolDialog::btnHelp_Click() { ShowHelpTopic(tool_->HelpTopic); }

void frmToolDialog::CloseBox() { btnCancel_Click(); }

void frmToolDialog::OnClose(wxCloseEvent& event) {
    if (!event.CanVeto()) {
        // The owner goes away: nothing can be asked or kept any more.
        event.Skip();
        return;
    }
    CloseBox();
}

void frmToolDialog::Unload(int result) {
    if (IsModal()) {
        EndModal(result);
    } else {
        SetReturnCode(result);
        Hide();
    }
}
