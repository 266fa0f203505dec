#pragma once
// frmExportModel: asks which parts of the built model to export and the name
// of the output file, then runs the export driver of the document's kind. It
// changes neither the document nor the model settings and builds nothing.
//
// When the file cannot be written the dialog says why in an "Error!" box and
// stays open with its choices, so the user can pick another name. A name
// typed into "Output Filename" is written in the folder the "..." button
// starts in unless it holds its own; an existing file is replaced only after
// the question the "..." route asks, and the open document's own file never.
//
// The main window's Modeler > Save Model As... (mnuSaveModelAs, enabled only
// while gTrackModelValid) calls ShowExportModelDialog(this) and does nothing
// afterwards.

#include <array>
#include <string>

#include <wx/dialog.h>

#include "export/export_choices.h"

class wxButton;
class wxCheckBox;
class wxTextCtrl;
class ucContainer;

class frmExportModel : public wxDialog {
public:
    explicit frmExportModel(wxWindow* owner);

    // Controls, as the user sees them.
    ucContainer* ctrWhat = nullptr;
    ucContainer* ctrFile = nullptr;
    std::array<wxCheckBox*, kExportBoxCount> chkExport{};
    wxTextCtrl* txtFile = nullptr;
    wxButton* btnBrowse = nullptr;
    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxButton* btnHelp = nullptr;

    // Event procedures; the controls' events call them.
    void chkExport_Click(int index);
    void txtFile_Change();
    void btnBrowse_Click();
    void btnOkay_Click();
    void btnCancel_Click();
    void btnHelp_Click();
    void UpdateOkButton();

    ExportTicks Ticks() const;
    // True once OK has written the file.
    bool Exported() const { return mExported; }

private:
    void Form_Load();
    void SetControlsEnabled(bool enabled);
    void Unload(int returnCode);
    void OnClose(wxCloseEvent& event);

    std::array<bool, kExportBoxCount> mBoxEnabled{};  // the boxes' own states while the dialog is usable
    std::string mAskedPath;  // the file the "..." dialog gave last, after its replace question
    bool mExporting = false;
    bool mExported = false;
};

// Shows frmExportModel modally, owned by `owner` (the main window). Does
// nothing while the model is being built.
void ShowExportModelDialog(wxWindow* owner);
