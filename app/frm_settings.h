#pragma once
// frmSettings: the Settings dialog. Two tab pages: "General" (the model built
// after a load, the recent-file list and its syncing with the simulator
// editor) and "Combs" (the curve-radius comb's scale and limit). OK stores
// the values, writes the settings file and recomputes the comb; it is
// disabled while a comb box is red (not one number within its range), so
// that what OK stores is what the boxes show.

#include <array>

#include <wx/dialog.h>

#include "controls/uc_numeric_text_box.h"
#include "core/settings_form.h"

class wxButton;
class wxCheckBox;
class wxRadioButton;
class ucContainer;
class ucNumericTextBox;
class ucTabContainer;
class ucTabHead;

// Shows the settings dialog modally over owner (the main window). True when
// the user pressed OK: the settings are then stored, written to the settings
// file (a failure to write it is reported in a message box; the new settings
// still apply until the program ends) and the comb of a loaded track is
// recomputed. False when cancelled: nothing changed.
bool ShowSettingsDialog(wxWindow* owner);

class frmSettings : public wxDialog {
public:
    explicit frmSettings(wxWindow* owner);

    // The controls, for the program's tests.
    ucTabHead* TabStrip() const { return ucTabHead1; }
    ucTabContainer* TabPage(int index) const { return ucTab[static_cast<size_t>(index)]; }
    wxRadioButton* ModelOnLoadOption(int index) const { return optModelOnLoad[static_cast<size_t>(index)]; }
    wxCheckBox* UseRecentFileListBox() const { return chkUseRecentFileList; }
    wxCheckBox* SyncRecentFileListBox() const { return chkSyncRecentFileList; }
    ucNumericTextBox* RadiusScaleBox() const { return txtRadiusScale; }
    ucNumericTextBox* RadiusLimitBox() const { return txtRadiusLimit; }
    wxButton* OkayButton() const { return btnOkay; }
    wxButton* CancelButton() const { return btnCancel; }
    wxButton* HelpButton() const { return btnHelp; }

    // The controls' values as they stand.
    SettingsFormValues FormValues() const;

private:
    void Form_Load();
    void ucTabHead_TabClick(int32_t Index);
    void chkUseRecentFileList_Click();
    void btnOkay_Click();
    void btnCancel_Click();
    void btnHelp_Click();
    void LoadFromSettings();
    void ApplySettings();
    void Finish(int result);

    ucTabHead* ucTabHead1 = nullptr;
    std::array<ucTabContainer*, 2> ucTab{};
    std::array<wxRadioButton*, 6> optModelOnLoad{};
    wxCheckBox* chkUseRecentFileList = nullptr;
    wxCheckBox* chkSyncRecentFileList = nullptr;
    ucNumericTextBox* txtRadiusScale = nullptr;
    ucNumericTextBox* txtRadiusLimit = nullptr;
    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxButton* btnHelp = nullptr;
    uc::NumericBoxGroup mBoxes;  // the comb boxes: OK is disabled while either is red
};
