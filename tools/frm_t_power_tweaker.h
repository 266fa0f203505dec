#pragma once
// frmTPowerTweaker: Track > Power Tweaker. Edits the generic settings (custom
// colours, tunnel) and the settings of the segment type of every selected
// segment at once, filled from the selected segment with the lowest index.
// The rules live in PowerTweakerForm; this window holds the pages and
// controls and passes the user's clicks and typing to it. A box whose text
// the form refuses is red, and OK stays disabled while any box is.

#include <array>
#include <vector>

#include "tools/frm_tool_dialog.h"
#include "tools/power_tweaker.h"

class wxCheckBox;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;
class ucColorSwatch;
class ucContainer;

class frmTPowerTweaker : public frmToolDialog {
public:
    explicit frmTPowerTweaker(wxWindow* owner);

    const PowerTweakerForm& Model() const { return form_; }
    // The controls, for the window tests.
    ucContainer* Page(int type) const { return ucCon[static_cast<size_t>(type)]; }
    wxStaticText* SelectionLabel(int i) const { return lblSelection[static_cast<size_t>(i)]; }
    wxStaticText* NoSegmentsText() const { return lblNoSegments; }
    wxCheckBox* CustomColorBox() const { return chkColor; }
    wxCheckBox* TunnelBox() const { return chkTunnel; }
    ucColorSwatch* Swatch(int k) const { return lblColor[static_cast<size_t>(k)]; }
    // Control `index` of page `type` (TweakPageControls order): its check box,
    // its text box, or option `option` of its group.
    wxCheckBox* PageCheck(int type, int index) const;
    wxTextCtrl* PageBox(int type, int index) const;
    wxRadioButton* PageOption(int type, int index, int option) const;

    void lblColor_Click(int k);

protected:
    bool ApplyTool() override;

private:
    struct PageControl {
        wxCheckBox* Check = nullptr;
        wxTextCtrl* Box = nullptr;
        std::array<wxRadioButton*, 3> Options{};  // the third, hidden, stands for no choice
    };
    void BuildPage(int type, wxSizer* sizer);
    void ShowTypePanel(int type);
    void ShowGeneric();
    void ShowPage();
    void ShowBoxCheck(int index, wxTextCtrl* box);

    PowerTweakerForm form_;
    std::array<ucContainer*, 7> ucCon{};
    std::array<std::vector<PageControl>, 5> pages_;
    std::array<wxStaticText*, 2> lblSelection{};
    wxStaticText* lblNoSegments = nullptr;
    wxCheckBox* chkColor = nullptr;
    wxCheckBox* chkTunnel = nullptr;
    std::array<ucColorSwatch*, 3> lblColor{};
    wxSizer* topRow_ = nullptr;
};

// Track > Power Tweaker from the main window, modal.
void ShowTPowerTweakerDialog(wxWindow* owner);
