#pragma once
// frmModeler: the modeler dialog of Modeler > Create Model... Six pages (Rails,
// Spine, Crossties, Supports, Terrain, Extras) edit a working copy of the
// model settings (ModelerForm, export/modeler_form.h); the Track Style panel
// fills it from a preset or a settings set and saves it as one. OK copies the
// copy back and leaves the rebuild flags of the edits for the caller's
// rebuild; Cancel, Escape and the close box drop it and clear the flags;
// Force Remodel All copies it back and has the whole model built afresh.
//
// Filling the pages stores nothing: only the user's edits reach the copy.
// A box whose text lies outside its range is red and stores nothing; while
// any enabled box is red, OK, Force Remodel All and Save stay disabled, so
// the copy that they take is always what the boxes show. A box that is
// disabled holds the copy's value and is never red.

#include <array>

#include <wx/dialog.h>

#include "controls/uc_numeric_text_box.h"
#include "export/modeler_form.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxPanel;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;
class ucColorSwatch;
class ucContainer;
class ucNumericTextBox;
class ucTabContainer;
class ucTabHead;

// Shows frmModeler modally, owned by `owner` (the main window). Does nothing
// while the model is being built.
void ShowModelerDialog(wxWindow* owner);

class frmModeler : public wxDialog {
public:
    explicit frmModeler(wxWindow* owner);

    // The controls of one tube page (Rails or Spine).
    struct TubeControls {
        ucNumericTextBox* Num = nullptr;
        wxChoice* List = nullptr;
        std::array<ucNumericTextBox*, 3> Pos{};
        ucNumericTextBox* Size = nullptr;
        std::vector<wxRadioButton*> Shape;
        ucNumericTextBox* Detail = nullptr;
        std::vector<wxWindow*> RecordLabels;  // labels of the position, size and shape controls
    };
    TubeControls Tube(TubeList list) const;

    const ModelerForm& Form() const { return mForm; }

    // Controls, as the user sees them.
    ucTabHead* ucTabHead1 = nullptr;
    std::array<ucTabContainer*, 6> ucTab{};
    // Rails and Spine.
    ucNumericTextBox* txtNumRails = nullptr;
    wxChoice* cmbRails = nullptr;
    std::array<ucNumericTextBox*, 3> txtRailPos{};
    ucNumericTextBox* txtRailSize = nullptr;
    std::array<wxRadioButton*, 3> optRailShape{};
    ucNumericTextBox* txtRailDetail = nullptr;
    ucNumericTextBox* txtNumSpines = nullptr;
    wxChoice* cmbSpines = nullptr;
    std::array<ucNumericTextBox*, 3> txtSpinePos{};
    ucNumericTextBox* txtSpineSize = nullptr;
    std::array<wxRadioButton*, 2> optSpineShape{};
    ucNumericTextBox* txtSpineDetail = nullptr;
    // Crossties.
    std::array<wxCheckBox*, 2> chkUseTie{};
    std::array<wxTextCtrl*, 2> txtTieModel{};
    std::array<wxButton*, 2> btnTieBrowse{};
    ucNumericTextBox* txtTieSpacing = nullptr;
    std::array<wxCheckBox*, 3> chkTieOpt{};
    std::array<ucNumericTextBox*, 2> txtTieToggle{};
    ucNumericTextBox* txtTieBank = nullptr;
    // Supports, Terrain, Extras.
    std::array<ucNumericTextBox*, 10> txtTubeScaleX{};
    std::array<ucNumericTextBox*, 10> txtTubeScaleZ{};
    wxCheckBox* chkRoundFooters = nullptr;
    ucColorSwatch* lblSuppColor = nullptr;
    std::array<wxCheckBox*, 2> chkTera{};
    ucColorSwatch* lblTunnelColor = nullptr;
    wxCheckBox* chkTunnelSquare = nullptr;
    ucNumericTextBox* txtTunnelSoftness = nullptr;
    // Track Style panel and the dialog's buttons.
    std::array<wxButton*, 10> btnTrackStyle{};
    std::array<wxButton*, 2> btnStyle{};  // 0 "Open", 1 "Save"
    wxButton* btnForceRemodel = nullptr;
    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxButton* btnHelp = nullptr;

    // Event procedures; the controls' events call them.
    void ucTabHead_TabClick(int32_t Index);
    void btnTrackStyle_Click(int index);
    void btnStyle_Click(int index);
    void btnForceRemodel_Click();
    void btnOkay_Click();
    void btnCancel_Click();
    void btnHelp_Click();
    void btnTieBrowse_Click(int index);
    void lblSuppColor_Click();
    void lblTunnelColor_Click();

    // Fills every page from the working copy.
    void RefreshModelerPages();

    // True once page `index` has been drawn and its size taken from its
    // controls as the theme draws them.
    bool PageMeasured(int index) const { return mPageMeasured.at(static_cast<size_t>(index)); }

private:
    void BuildRailPages();
    void BuildCrosstiePage();
    void BuildSupportPage();
    void BuildTerrainExtrasPages();
    void BuildStylePanel(wxSizer* top);
    void BindEdits();

    void RefreshTubePage(TubeList list);
    void RefreshCrosstiePage();
    void RefreshSupportPage();
    void RefreshTerrainPage();
    void RefreshExtrasPage();
    void ShowSelectedRecord(TubeList list);
    void ApplyCrosstieEnabling();
    void ApplyTunnelEnabling();

    void NumChanged(TubeList list);
    void ChkUseTieClick();
    void ChkTieOptClick();
    // A box being disabled shows the copy's value again (it stores nothing).
    void EnableBox(ucNumericTextBox* box, bool enabled, const std::string& copyText);

    // Every page gets the size of the largest, and the dialog the room for it.
    void FitPages();

    void Unload(int returnCode);
    void OnClose(wxCloseEvent& event);

    ModelerForm mForm;
    std::array<bool, 6> mPageMeasured{};
    int mDrawnBoxHeight = 0;  // a text box's height as the theme draws it; 0 until a page was drawn
    bool mRefreshing = false;  // the pages are being filled: the controls' events store nothing
    std::vector<wxWindow*> mTieModelLabels[2];
    wxWindow* lblTieSpacing = nullptr;
    std::vector<wxWindow*> mTieToggleLabels, mTieBankLabels;
    uc::NumericBoxGroup mBoxes;  // every numeric box; OK, Force Remodel All and Save follow them
    wxWindow* lblTunnelSoftness = nullptr;
    std::vector<wxWindow*> mRailLabels, mSpineLabels;
};
