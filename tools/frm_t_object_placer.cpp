#include "tools/frm_t_object_placer.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"
#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tools/object_files.h"

namespace {

wxStaticText* Label(wxWindow* parent, const char* text) { return new wxStaticText(parent, wxID_ANY, text); }

// The heading row of a "Minimum:" / "Maximum:" grid: the axis over each column of boxes.
void AddAxisHeadings(wxWindow* parent, wxFlexGridSizer* grid) {
    grid->AddSpacer(0);
    for (const char* axis : {"X", "Y", "Z"}) grid->Add(Label(parent, axis), 0, wxALIGN_CENTER_HORIZONTAL);
}

}  // namespace

frmTObjectPlacer::frmTObjectPlacer(wxWindow* owner)
    : frmToolDialog(owner, "frmTObjectPlacer"), browseFolder_(gOpenDir) {
    wxBoxSizer* file = AddPanel(" Object File");
    AddNumericRow(file, "Number of Times to Place:", kPlacerRepeatBox, "");
    auto* fileRow = new wxBoxSizer(wxHORIZONTAL);
    txtObjFile = new wxTextCtrl(LastPanel(), wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(320, -1));
    btnBrowse = new wxButton(LastPanel(), wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    fileRow->Add(txtObjFile, 1, wxRIGHT, kToolMargin / 2);
    fileRow->Add(btnBrowse, 0, wxEXPAND);  // as tall as the box beside it
    file->Add(fileRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    wxBoxSizer* place = AddPanel(" Object Placement");
    auto* area = new wxBoxSizer(wxHORIZONTAL);
    area->Add(Label(LastPanel(), "Placement Area:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kToolMargin);
    for (int i = 0; i < 4; ++i) {
        if (i == 2) area->Add(Label(LastPanel(), "To:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kToolMargin);
        area->Add(AddNumericBox(i < 2 ? kPlacerAreaMinBox : kPlacerAreaMaxBox, 50), 0, wxRIGHT, kToolMargin / 2);
    }
    area->Add(Label(LastPanel(), "meters."), 0, wxALIGN_CENTER_VERTICAL);
    place->Add(area, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    chkOnGroundOnly = new wxCheckBox(LastPanel(), wxID_ANY, "Place On Ground Only");
    place->Add(chkOnGroundOnly, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    auto* limits = new wxFlexGridSizer(3, kToolMargin / 2, kToolMargin);
    place->Add(limits, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    chkNoPlaceAbove = new wxCheckBox(LastPanel(), wxID_ANY, "Do Not Place Above:");
    chkNoPlaceBelow = new wxCheckBox(LastPanel(), wxID_ANY, "Do Not Place Below:");
    chkKeepAway = new wxCheckBox(LastPanel(), wxID_ANY, "Keep Placement Away from Track by:");
    const NumericBoxSpec* specs[3] = {&kPlacerAboveBox, &kPlacerBelowBox, &kPlacerSpaceTrackBox};
    wxCheckBox* checks[3] = {chkNoPlaceAbove, chkNoPlaceBelow, chkKeepAway};
    for (int i = 0; i < 3; ++i) {
        limits->Add(checks[i], 0, wxALIGN_CENTER_VERTICAL);
        limits->Add(AddNumericBox(*specs[i]), 0);
        limits->Add(Label(LastPanel(), "meters."), 0, wxALIGN_CENTER_VERTICAL);
    }

    wxBoxSizer* turn = AddPanel(" Object Scaling and Rotation");
    chkScale = new wxCheckBox(LastPanel(), wxID_ANY, "Randomly Scale Object:");
    turn->Add(chkScale, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    auto* scales = new wxFlexGridSizer(4, kToolMargin / 2, kToolMargin);
    turn->Add(scales, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddAxisHeadings(LastPanel(), scales);
    for (int row = 0; row < 2; ++row) {
        lblScale[row] = Label(LastPanel(), row == 0 ? "Minimum:" : "Maximum:");
        scales->Add(lblScale[row], 0, wxALIGN_CENTER_VERTICAL);
        for (int axis = 0; axis < 3; ++axis)
            scales->Add(AddNumericBox(row == 0 ? kPlacerScaleMinBox : kPlacerScaleMaxBox, 50), 0);
    }
    chkRotate = new wxCheckBox(LastPanel(), wxID_ANY, "Randomly Rotate Object:");
    turn->Add(chkRotate, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    auto* rotations = new wxFlexGridSizer(4, kToolMargin / 2, kToolMargin);
    turn->Add(rotations, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddAxisHeadings(LastPanel(), rotations);
    for (int row = 0; row < 2; ++row) {
        lblRotate[row] = Label(LastPanel(), row == 0 ? "Minimum:" : "Maximum:");
        rotations->Add(lblRotate[row], 0, wxALIGN_CENTER_VERTICAL);
        for (int axis = 0; axis < 3; ++axis) {
            const NumericBoxSpec& spec =
                row == 0 ? kPlacerRotateMinBox : (axis == 1 ? kPlacerRotateMaxYBox : kPlacerRotateMaxBox);
            rotations->Add(AddNumericBox(spec, 50), 0);
        }
    }
    AddButtons();

    txtObjFile->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { txtObjFile_Change(); });
    btnBrowse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnBrowse_Click(); });
    for (wxCheckBox* box : {chkOnGroundOnly, chkNoPlaceAbove, chkNoPlaceBelow, chkKeepAway, chkScale, chkRotate}) {
        box->SetValue(true);
        box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { CheckBoxes_Click(); });
    }
    CheckBoxes_Click();
    CheckPlacerInputs();  // the empty file name keeps OK disabled
    FinishLayout();
}

void frmTObjectPlacer::CheckPlacerInputs() { SetOkayEnabled(fileValid_ && Form().OkEnabled()); }

void frmTObjectPlacer::BoxChanged(int index) {
    frmToolDialog::BoxChanged(index);
    CheckPlacerInputs();
}

void frmTObjectPlacer::txtObjFile_Change() {
    fileValid_ = ObjectFileValid(txtObjFile->GetValue().utf8_string());
    txtObjFile->SetForegroundColour(fileValid_ ? wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT)
                                               : wxColour(255, 0, 0));
    txtObjFile->Refresh();
    CheckPlacerInputs();
}

void frmTObjectPlacer::btnBrowse_Click() {
    std::string fileName, fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (!ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, "3DS Objects (*.3ds)|*.3ds", filterIndex,
                            browseFolder_, "Select 3DS Object...", "3ds", this, flags))
        return;
    browseFolder_ = fsys::WithTrailingSeparator(std::filesystem::path(fileName).parent_path().string());
    txtObjFile->SetValue(wxString::FromUTF8(cp::TextFromDiskPath(fileName)));  // single-byte names too
}

void frmTObjectPlacer::CheckBoxes_Click() {
    NumericBox(kAbove)->Enable(chkNoPlaceAbove->GetValue());
    NumericBox(kBelow)->Enable(chkNoPlaceBelow->GetValue());
    NumericBox(kSpaceTrack)->Enable(chkKeepAway->GetValue());
    for (int i = 0; i < 6; ++i) {
        NumericBox(kScale + i)->Enable(chkScale->GetValue());
        NumericBox(kRotate + i)->Enable(chkRotate->GetValue());
    }
    for (int row = 0; row < 2; ++row) {
        lblScale[row]->Enable(chkScale->GetValue());
        lblRotate[row]->Enable(chkRotate->GetValue());
    }
}

ObjectPlacerOptions frmTObjectPlacer::Options() const {
    ObjectPlacerOptions o;
    o.Count = PlacerCopies(Form().Value(kRepeat));
    o.FileName = StoredObjectName(txtObjFile->GetValue().utf8_string()).value_or(std::string());
    for (int i = 0; i < 4; ++i) o.Area[i] = Form().Value(kArea + i);
    o.OnGroundOnly = chkOnGroundOnly->GetValue();
    o.NoPlaceAbove = chkNoPlaceAbove->GetValue();
    o.Above = Form().Value(kAbove);
    o.NoPlaceBelow = chkNoPlaceBelow->GetValue();
    o.Below = Form().Value(kBelow);
    o.KeepAway = chkKeepAway->GetValue();
    o.SpaceTrack = static_cast<float>(Form().Value(kSpaceTrack));
    o.Scale = chkScale->GetValue();
    o.Rotate = chkRotate->GetValue();
    for (int axis = 0; axis < 3; ++axis) {
        o.ScaleMin[axis] = Form().Value(kScale + axis);
        o.ScaleMax[axis] = Form().Value(kScale + 3 + axis);
        o.RotateMin[axis] = Form().Value(kRotate + axis);
        o.RotateMax[axis] = Form().Value(kRotate + 3 + axis);
    }
    return o;
}

void ShowTObjectPlacerDialog(wxWindow* owner) {
    frmTObjectPlacer dialog(owner);
    dialog.ShowModal();
}
