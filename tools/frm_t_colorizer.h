#pragma once
// frmTColorizer: Track > Colorizer. Repaints the spine, rail and crosstie
// colours of the entire track or of the selected segments, each part in its
// own mode, with a gradient and a colour-wheel preview per part. The rules
// live in ColorizerForm; this window holds the controls and shows its state.

#include <array>

#include "tools/colorizer_form.h"
#include "tools/frm_tool_dialog.h"

class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxStaticText;
class ucColorStrip;
class ucColorSwatch;

class frmTColorizer : public frmToolDialog {
public:
    explicit frmTColorizer(wxWindow* owner);

    const ColorizerForm& Model() const { return form_; }
    // The controls, for the window tests.
    ucColorSwatch* PrimarySwatch(int p) const { return lblPriColor[static_cast<size_t>(p)]; }
    ucColorSwatch* AlternateSwatch(int p) const { return lblAltColor[static_cast<size_t>(p)]; }
    wxStaticText* AlternateInfo(int p) const { return lblAltColorInfo[static_cast<size_t>(p)]; }
    wxCheckBox* UseAltColorBox() const { return chkUseAltColor; }
    wxButton* ColorButton(int i) const { return btnColor[static_cast<size_t>(i)]; }
    ucColorStrip* GradientStrip(int p) const { return pbGradient[static_cast<size_t>(p)]; }
    ucColorStrip* ColorWheelStrip(int p) const { return pbColorWheel[static_cast<size_t>(p)]; }
    wxRadioButton* ApplyOption(int i) const { return optApply[static_cast<size_t>(i)]; }
    wxCheckBox* PaintWhatBox(int i) const { return chkPaintWhat[static_cast<size_t>(i)]; }
    wxCheckBox* OnlyTunnelsBox() const { return chkOnlyTunnels; }
    wxRadioButton* ModeOption(int p, int mode) const { return optPaintHow[static_cast<size_t>(p)][static_cast<size_t>(mode)]; }
    wxStaticText* RunLabel(int p, int i) const { return lblPaintHow[static_cast<size_t>(p)][static_cast<size_t>(i)]; }

    // What the swatches and buttons do.
    void lblPriColor_Click(int p);
    void lblAltColor_Click(int p);
    void btnColor_Click(int i);
    // Redraws the six previews.
    void UpdateColorPreviews();
    // Enables OK exactly when a segment type is checked and no group in
    // Toggle mode has a red run length.
    void CheckColorizerInputs();

protected:
    bool ApplyTool() override;
    void BoxChanged(int index) override;

private:
    // Shows the form's state in the controls (values and enabling) and OK's check.
    void ShowState();

    ColorizerForm form_;
    std::array<wxStaticText*, 3> lblPriColorInfo{}, lblAltColorInfo{};
    std::array<ucColorSwatch*, 3> lblPriColor{}, lblAltColor{};
    wxCheckBox* chkUseAltColor = nullptr;
    std::array<wxButton*, 3> btnColor{};
    std::array<ucColorStrip*, 3> pbGradient{}, pbColorWheel{};
    std::array<wxRadioButton*, 2> optApply{};
    std::array<wxCheckBox*, 6> chkPaintWhat{};
    wxCheckBox* chkOnlyTunnels = nullptr;
    std::array<std::array<wxRadioButton*, 5>, 3> optPaintHow{};
    std::array<std::array<wxStaticText*, 2>, 3> lblPaintHow{};
};

// Track > Colorizer from the main window, modal.
void ShowTColorizerDialog(wxWindow* owner);
