#include "tools/frm_t_object_renamer.h"

#include <filesystem>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/uc_container.h"
#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tools/object_renamer.h"
#include "trackdoc/track_document.h"

frmTObjectRenamer::frmTObjectRenamer(wxWindow* owner) : frmToolDialog(owner, "frmTObjectRenamer") {
    wxBoxSizer* panel = AddPanel(" Rename Objects");
    auto* grid = new wxFlexGridSizer(3, kToolMargin / 2, kToolMargin);
    grid->AddGrowableCol(1);
    panel->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    lblInfo[0] = new wxStaticText(LastPanel(), wxID_ANY, "Object:");
    cmbObjList = new wxChoice(LastPanel(), wxID_ANY, wxDefaultPosition, wxSize(320, -1));
    lblInfo[1] = new wxStaticText(LastPanel(), wxID_ANY, "Rename to:");
    txtNewFile = new wxTextCtrl(LastPanel(), wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(320, -1));
    btnBrowse = new wxButton(LastPanel(), wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    grid->Add(lblInfo[0], 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(cmbObjList, 1, wxEXPAND);
    grid->AddSpacer(0);
    grid->Add(lblInfo[1], 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(txtNewFile, 1, wxEXPAND);
    grid->Add(btnBrowse, 0, wxEXPAND);  // as tall as the box beside it
    chkRenameAll = new wxCheckBox(LastPanel(), wxID_ANY, "Rename All Objects of Same Name");
    panel->Add(chkRenameAll, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    AddButtons(false, true);
    btnRename = new wxButton(this, wxID_ANY, "Rename");
    btnDone = new wxButton(this, wxID_ANY, "Done");
    ButtonRow()->Insert(1, btnRename, 0, wxRIGHT, kToolMargin / 2);
    ButtonRow()->Insert(2, btnDone, 0, wxRIGHT, kToolMargin / 2);

    cmbObjList->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { cmbObjList_Click(); });
    txtNewFile->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { txtNewFile_Change(); });
    btnBrowse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnBrowse_Click(); });
    btnRename->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnRename_Click(); });
    btnDone->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnDone_Click(); });
    SetEscapeId(btnDone->GetId());  // Escape acts as Done
    btnRename->Enable(false);
    FillObjectList();
    FinishLayout();
}

void frmTObjectRenamer::FillObjectList() {
    const int32_t count = std::min<int32_t>(gObjectCount, static_cast<int32_t>(gObjects.size()));
    const bool any = count >= 1;
    for (wxWindow* w : std::initializer_list<wxWindow*>{cmbObjList, lblInfo[0], lblInfo[1], txtNewFile, btnBrowse,
                                                        btnRename, chkRenameAll})
        w->Enable(any);
    int selected = cmbObjList->GetSelection();
    cmbObjList->Clear();
    if (!any) return;
    wxArrayString entries;
    for (int32_t i = 0; i < count; ++i) entries.Add(wxString::FromUTF8(ObjectListEntry(i)));
    cmbObjList->Append(entries);
    if (selected < 0) selected = 0;
    if (static_cast<int>(cmbObjList->GetCount()) > selected) {
        cmbObjList->SetSelection(selected);
        cmbObjList_Click();
    }
}

void frmTObjectRenamer::cmbObjList_Click() {
    const int selected = cmbObjList->GetSelection();
    if (selected < 0 || selected >= gObjectCount || selected >= static_cast<int>(gObjects.size())) return;
    // SetValue raises the text's change, which checks it.
    txtNewFile->SetValue(wxString::FromUTF8(gObjects[static_cast<size_t>(selected)].FileName));
}

void frmTObjectRenamer::txtNewFile_Change() {
    const RenameFileCheck check = CheckRenameFile(txtNewFile->GetValue().utf8_string());
    if (check.Replacement) {
        txtNewFile->SetValue(wxString::FromUTF8(*check.Replacement));  // checked again in its stored form
        return;
    }
    txtNewFile->SetForegroundColour(check.Valid ? wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT)
                                                : wxColour(255, 0, 0));
    txtNewFile->Refresh();
    btnRename->Enable(check.Valid && cmbObjList->GetSelection() >= 0);
}

void frmTObjectRenamer::btnBrowse_Click() {
    std::string fileName, fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (!ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, "3DS Files (*.3ds)|*.3ds", filterIndex,
                            gOpenDir, "Select 3DS Object File...", "3ds", this, flags))
        return;
    gOpenDir = fsys::WithTrailingSeparator(std::filesystem::path(fileName).parent_path().string());
    txtNewFile->SetValue(wxString::FromUTF8(cp::TextFromDiskPath(fileName)));  // single-byte names too
}

void frmTObjectRenamer::btnRename_Click() {
    if (!btnRename->IsEnabled()) return;
    RenameSceneryObjects(cmbObjList->GetSelection(), txtNewFile->GetValue().utf8_string(), chkRenameAll->GetValue());
    FillObjectList();
}

void frmTObjectRenamer::btnDone_Click() { Unload(wxID_OK); }

void ShowTObjectRenamerDialog(wxWindow* owner) {
    frmTObjectRenamer dialog(owner);
    dialog.ShowModal();
}
