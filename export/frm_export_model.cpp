#include "export/frm_export_model.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/evtloop.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "controls/uc_container.h"
#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "core/help_launcher.h"
#include "model/build_pipeline.h"
#include "platform/prompts.h"
#include "platform/wx/wx_prompts.h"

namespace {

constexpr int kMargin = 6;

}  // namespace

frmExportModel::frmExportModel(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, kExportDialogTitle, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    auto* top = new wxBoxSizer(wxVERTICAL);

    ctrWhat = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, kExportWhatTitle);
    auto* boxes = new wxGridSizer(2, 3, kMargin, 3 * kMargin);
    ctrWhat->SetContentsSizer(wxVERTICAL, kMargin + 2)->Add(boxes, 1, wxEXPAND);
    for (int i = 0; i < kExportBoxCount; ++i) {
        chkExport[i] = new wxCheckBox(ctrWhat, wxID_ANY, kExportBoxCaptions[i]);
        chkExport[i]->SetValue(true);
        chkExport[i]->Bind(wxEVT_CHECKBOX, [this, i](wxCommandEvent&) { chkExport_Click(i); });
        boxes->Add(chkExport[i]);
    }
    top->Add(ctrWhat, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);

    ctrFile = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, kExportFileTitle);
    wxBoxSizer* fileRow = ctrFile->SetContentsSizer(wxHORIZONTAL, kMargin + 2);
    txtFile = new wxTextCtrl(ctrFile, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(300, -1));
    btnBrowse = new wxButton(ctrFile, wxID_ANY, "...", wxDefaultPosition, wxSize(32, -1), wxBU_EXACTFIT);
    fileRow->Add(txtFile, 1, wxALIGN_CENTER_VERTICAL);
    fileRow->Add(btnBrowse, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, kMargin);
    top->Add(ctrFile, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    btnOkay = new wxButton(this, wxID_ANY, "OK");
    btnCancel = new wxButton(this, wxID_ANY, "Cancel");
    btnHelp = new wxButton(this, wxID_ANY, "Help");
    buttons->AddStretchSpacer();
    buttons->Add(btnOkay, 0, wxRIGHT, kMargin);
    buttons->Add(btnCancel, 0, wxRIGHT, kMargin);
    buttons->Add(btnHelp, 0);
    top->Add(buttons, 0, wxEXPAND | wxALL, kMargin);

    txtFile->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { txtFile_Change(); });
    btnBrowse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnBrowse_Click(); });
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnCancel_Click(); });
    btnHelp->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnHelp_Click(); });
    Bind(wxEVT_CLOSE_WINDOW, &frmExportModel::OnClose, this);
    SetEscapeId(btnCancel->GetId());
    btnOkay->SetDefault();

    SetSizerAndFit(top);
    CentreOnParent();
    Form_Load();
}

void frmExportModel::Form_Load() {
    mBoxEnabled = InitialExportBoxEnabled(gDocumentType);
    for (int i = 0; i < kExportBoxCount; ++i) chkExport[i]->Enable(mBoxEnabled[i]);
    btnOkay->Enable(false);
    txtFile->SetFocus();
}

ExportTicks frmExportModel::Ticks() const {
    ExportTicks ticks{};
    for (int i = 0; i < kExportBoxCount; ++i) ticks[i] = chkExport[i]->GetValue();
    return ticks;
}

void frmExportModel::chkExport_Click(int) {
    mBoxEnabled[ExportWaterBox] = ExportWaterEnabled(Ticks(), gDocumentType);
    chkExport[ExportWaterBox]->Enable(mBoxEnabled[ExportWaterBox]);
    UpdateOkButton();
}

void frmExportModel::txtFile_Change() { UpdateOkButton(); }

void frmExportModel::UpdateOkButton() { btnOkay->Enable(ExportOkEnabled(Ticks(), FromWxPath(txtFile->GetValue()))); }

void frmExportModel::btnBrowse_Click() {
    std::string fileName = FromWxPath(txtFile->GetValue());
    std::string fileTitle;
    int32_t filterIndex = 1;
    int32_t flags = 0;
    // As the program's other save dialogs, it asks before replacing a file.
    if (ShowSaveFileDialog(fileName, fileTitle, true, kExportFilter, filterIndex, gSaveDir, kExportDialogTitle,
                           kExportDefaultExt, static_cast<wxWindow*>(this), flags)) {
        mAskedPath = fileName;
        txtFile->SetValue(ToWxPath(fileName));  // runs txtFile_Change
    }
}

void frmExportModel::SetControlsEnabled(bool enabled) {
    txtFile->Enable(enabled);
    btnBrowse->Enable(enabled);
    btnHelp->Enable(enabled);
    btnCancel->Enable(enabled);
    for (int i = 0; i < kExportBoxCount; ++i) chkExport[i]->Enable(enabled && mBoxEnabled[i]);
    if (enabled)
        UpdateOkButton();
    else
        btnOkay->Enable(false);
}

void frmExportModel::btnOkay_Click() {
    const std::string typed = FromWxPath(txtFile->GetValue());
    if (mExporting || !ExportOkEnabled(Ticks(), typed)) return;
    // A typed name is asked about as the "..." route's choice was; the open
    // document's own file is never replaced by a model.
    const std::string target = ExportTargetPath(typed, gSaveDir);
    if (!ConfirmExportTarget(target, !mAskedPath.empty() && target == mAskedPath)) {
        txtFile->SetFocus();
        return;
    }
    mExporting = true;
    SetControlsEnabled(false);
    // Draw the disabled state before the export holds the thread; user input waits.
    Update();
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
    std::string failure;
    bool written;
    {
        wxBusyCursor busy;
        written = RunModelExport(gDocumentType, Ticks(), target, &failure);
    }
    mExporting = false;
    if (written) {
        mExported = true;
        Unload(wxID_OK);
        return;
    }
    MsgBox(failure, kExportErrorTitle, MsgButtons::OK, MsgIcon::Exclamation);
    SetControlsEnabled(true);
    txtFile->SetFocus();
}

void frmExportModel::btnCancel_Click() { Unload(wxID_CANCEL); }

void frmExportModel::btnHelp_Click() { ShowHelpTopic(kExportHelpTopic); }

void frmExportModel::OnClose(wxCloseEvent& event) {
    if (mExporting && event.CanVeto()) {
        event.Veto();
        return;
    }
    Unload(wxID_CANCEL);
}

void frmExportModel::Unload(int returnCode) {
    if (IsModal()) {
        EndModal(returnCode);
    } else {
        SetReturnCode(returnCode);
        Hide();
    }
}

void ShowExportModelDialog(wxWindow* owner) {
    if (IsModelBuilding()) return;
    frmExportModel dialog(owner);
    dialog.ShowModal();
}
