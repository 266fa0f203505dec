#pragma once
// frmTObjectPlacer: Track > Object Placer. Copies of one scenery object at
// random places of the scene, each with a random scale and turn.

#include <string>

#include "tools/frm_tool_dialog.h"
#include "tools/object_placer.h"

class wxButton;
class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

class frmTObjectPlacer : public frmToolDialog {
public:
    // The numeric boxes in the order of the form.
    enum Box { kRepeat = 0, kArea = 1, kAbove = 5, kBelow = 6, kSpaceTrack = 7, kScale = 8, kRotate = 14 };

    explicit frmTObjectPlacer(wxWindow* owner);
    ObjectPlacerOptions Options() const;

    wxTextCtrl* ObjectFileBox() const { return txtObjFile; }
    wxButton* BrowseButton() const { return btnBrowse; }
    wxCheckBox* OnGroundBox() const { return chkOnGroundOnly; }
    wxCheckBox* NoPlaceAboveBox() const { return chkNoPlaceAbove; }
    wxCheckBox* NoPlaceBelowBox() const { return chkNoPlaceBelow; }
    wxCheckBox* KeepAwayBox() const { return chkKeepAway; }
    wxCheckBox* ScaleBox() const { return chkScale; }
    wxCheckBox* RotateBox() const { return chkRotate; }
    const std::string& BrowseFolder() const { return browseFolder_; }

    void CheckPlacerInputs();
    void txtObjFile_Change();
    void btnBrowse_Click();
    void CheckBoxes_Click();

protected:
    bool ApplyTool() override { return RunObjectPlacer(Options()); }
    void BoxChanged(int index) override;

private:
    wxTextCtrl* txtObjFile = nullptr;
    wxButton* btnBrowse = nullptr;
    wxCheckBox* chkOnGroundOnly = nullptr;
    wxCheckBox* chkNoPlaceAbove = nullptr;
    wxCheckBox* chkNoPlaceBelow = nullptr;
    wxCheckBox* chkKeepAway = nullptr;
    wxCheckBox* chkScale = nullptr;
    wxCheckBox* chkRotate = nullptr;
    wxStaticText* lblScale[2] = {};
    wxStaticText* lblRotate[2] = {};
    bool fileValid_ = false;
    std::string browseFolder_;
};

void ShowTObjectPlacerDialog(wxWindow* owner);
