#include "tools/frm_t_colorizer.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/color_controls_wx.h"
#include "controls/color_dialog.h"
#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"

namespace {

const char* const kPartNames[3] = {"Spine:", "Rail:", "Crosstie:"};
const char* const kModeCaptions[5] = {"Primary Color", "Alternate Color", "Gradient", "Color Wheel", "Toggle:"};
const char* const kModePanels[3] = {" Spine", " Rails", " Crossties"};
const char* const kPaintWhat[6] = {"All Segment Types", "Normal", "Station", "Lift", "Transport", "Brake"};
const wxSize kStripSize(110, 14);

}  // namespace

frmTColorizer::frmTColorizer(wxWindow* owner) : frmToolDialog(owner, "frmTColorizer") {
    // Colour settings: the swatches, the buttons and the previews, one column per part.
    wxBoxSizer* settings = AddPanel(" Color Settings");
    wxWindow* panel = LastPanel();
    auto* grid = new wxFlexGridSizer(4, kToolMargin / 2, kToolMargin);
    auto swatchCell = [&](wxStaticText*& info, ucColorSwatch*& swatch, int p) {
        auto* cell = new wxBoxSizer(wxHORIZONTAL);
        info = new wxStaticText(panel, wxID_ANY, kPartNames[p], wxDefaultPosition, wxSize(52, -1));
        swatch = new ucColorSwatch(panel, kColorizerWhite, wxSize(56, 18));
        cell->Add(info, 0, wxALIGN_CENTER_VERTICAL);
        cell->Add(swatch, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(cell, 0, wxALIGN_CENTER_VERTICAL);
    };
    grid->Add(new wxStaticText(panel, wxID_ANY, "Primary Color:"), 0, wxALIGN_CENTER_VERTICAL);
    for (int p = 0; p < 3; ++p) swatchCell(lblPriColorInfo[p], lblPriColor[p], p);
    chkUseAltColor = new wxCheckBox(panel, wxID_ANY, "Use Alternate Color");
    grid->Add(chkUseAltColor, 0, wxALIGN_CENTER_VERTICAL);
    for (int p = 0; p < 3; ++p) swatchCell(lblAltColorInfo[p], lblAltColor[p], p);
    grid->AddSpacer(0);
    const char* buttons[3] = {"Copy Alternate", "Swap", "Copy Primary"};
    for (int i = 0; i < 3; ++i) {
        btnColor[i] = new wxButton(panel, wxID_ANY, buttons[i]);
        btnColor[i]->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { btnColor_Click(i); });
        grid->Add(btnColor[i], 0, wxEXPAND);
    }
    grid->Add(new wxStaticText(panel, wxID_ANY, "Gradient:"), 0, wxALIGN_CENTER_VERTICAL);
    for (int p = 0; p < 3; ++p) {
        pbGradient[p] = new ucColorStrip(panel, kStripSize);
        pbGradient[p]->Draw = [this, p](ColorPicture& strip) { DrawGradientStrip(form_, p, strip); };
        grid->Add(pbGradient[p], 0, wxEXPAND);
    }
    grid->Add(new wxStaticText(panel, wxID_ANY, "Color Wheel:"), 0, wxALIGN_CENTER_VERTICAL);
    for (int p = 0; p < 3; ++p) {
        pbColorWheel[p] = new ucColorStrip(panel, kStripSize);
        pbColorWheel[p]->Draw = [this, p](ColorPicture& strip) { DrawColorWheelStrip(form_, p, strip); };
        grid->Add(pbColorWheel[p], 0, wxEXPAND);
    }
    settings->Add(grid, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    // Application and the three parts' modes side by side.
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    Column()->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kToolMargin / 2);
    wxBoxSizer* apply = AddPanel(" Application", row);
    optApply[0] = new wxRadioButton(LastPanel(), wxID_ANY, "Entire Track", wxDefaultPosition, wxDefaultSize,
                                    wxRB_GROUP);
    optApply[1] = new wxRadioButton(LastPanel(), wxID_ANY, "Selected Segments");
    for (int i = 0; i < 2; ++i) {
        apply->Add(optApply[i], 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin / 2);
        optApply[i]->Bind(wxEVT_RADIOBUTTON, [this, i](wxCommandEvent&) {
            form_.ChooseScope(i == 1);
            ShowState();
        });
    }
    for (int i = 0; i < 6; ++i) {
        chkPaintWhat[i] = new wxCheckBox(LastPanel(), wxID_ANY, kPaintWhat[i]);
        apply->Add(chkPaintWhat[i], 0, wxLEFT | wxRIGHT, i == 0 ? kToolMargin / 2 : 3 * kToolMargin);
        chkPaintWhat[i]->Bind(wxEVT_CHECKBOX, [this, i](wxCommandEvent&) {
            const bool checked = chkPaintWhat[i]->GetValue();
            if (i == 0)
                form_.ClickAllTypes(checked);
            else
                form_.ClickType(i - 1, checked);
            ShowState();
        });
    }
    chkOnlyTunnels = new wxCheckBox(LastPanel(), wxID_ANY, "Only Tunneled Segments");
    apply->Add(chkOnlyTunnels, 0, wxALL, kToolMargin / 2);
    chkOnlyTunnels->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { form_.SetOnlyTunnels(chkOnlyTunnels->GetValue()); });

    for (int p = 0; p < 3; ++p) {
        wxBoxSizer* modes = AddPanel(kModePanels[p], row);
        for (int m = 0; m < 5; ++m) {
            optPaintHow[p][m] = new wxRadioButton(LastPanel(), wxID_ANY, kModeCaptions[m], wxDefaultPosition,
                                                  wxDefaultSize, m == 0 ? wxRB_GROUP : 0);
            modes->Add(optPaintHow[p][m], 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin / 2);
            optPaintHow[p][m]->Bind(wxEVT_RADIOBUTTON, [this, p, m](wxCommandEvent&) {
                form_.ChooseMode(p, m);
                ShowState();
            });
        }
        auto* runs = new wxFlexGridSizer(2, kToolMargin / 2, kToolMargin / 2);
        const char* labels[2] = {"Primary:", "Alternate:"};
        for (int i = 0; i < 2; ++i) {
            lblPaintHow[p][i] = new wxStaticText(LastPanel(), wxID_ANY, labels[i]);
            runs->Add(lblPaintHow[p][i], 0, wxALIGN_CENTER_VERTICAL);
            runs->Add(AddNumericBox(kColorizerRunBox, 40));
        }
        modes->Add(runs, 0, wxLEFT | wxRIGHT | wxBOTTOM, 3 * kToolMargin);
    }
    AddButtons();

    chkUseAltColor->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        form_.SetUseAlternate(chkUseAltColor->GetValue());
        ShowState();
    });
    for (int p = 0; p < 3; ++p) {
        lblPriColor[p]->Clicked = [this, p] { lblPriColor_Click(p); };
        lblAltColor[p]->Clicked = [this, p] { lblAltColor_Click(p); };
    }

    form_.Load();
    ShowState();
    FinishLayout();
    UpdateColorPreviews();
}

void frmTColorizer::ShowState() {
    const ColorizerForm& f = form_;
    for (int p = 0; p < 3; ++p) {
        lblPriColor[p]->SetColor(f.Primary[p]);
        lblAltColor[p]->SetColor(f.Alternate[p]);
        lblAltColorInfo[p]->Enable(f.AlternateControlsEnabled);
        btnColor[p]->Enable(f.AlternateControlsEnabled);
        const ColorizerPartState& part = f.Parts[p];
        for (int m = 0; m < 5; ++m) {
            optPaintHow[p][m]->Enable(part.OptionEnabled[m]);
            if (m == part.Mode) optPaintHow[p][m]->SetValue(true);
        }
        for (int i = 0; i < 2; ++i) {
            lblPaintHow[p][i]->Enable(part.RunBoxesEnabled);
            NumericBox(ColorizerForm::RunBox(p, i))->Enable(part.RunBoxesEnabled);
        }
    }
    chkUseAltColor->SetValue(f.UseAlternate);
    optApply[f.SelectedOnly ? 1 : 0]->SetValue(true);
    optApply[1]->Enable(f.SelectedEnabled);
    chkPaintWhat[0]->SetValue(f.AllTypes);
    for (int t = 0; t < 5; ++t) {
        chkPaintWhat[t + 1]->SetValue(f.Types[t]);
        chkPaintWhat[t + 1]->Enable(f.TypesEnabled);
    }
    chkOnlyTunnels->SetValue(f.OnlyTunnels);
    CheckColorizerInputs();
    UpdateColorPreviews();
}

void frmTColorizer::CheckColorizerInputs() { SetOkayEnabled(form_.OkEnabled()); }

void frmTColorizer::UpdateColorPreviews() {
    for (int p = 0; p < 3; ++p) {
        pbGradient[p]->Redraw();
        pbColorWheel[p]->Redraw();
    }
}

void frmTColorizer::lblPriColor_Click(int p) {
    int32_t color = form_.Primary[p];
    if (!ShowColorDialog(color, true, true, false, this)) return;
    form_.PickPrimary(p, color);
    ShowState();
}

void frmTColorizer::lblAltColor_Click(int p) {
    int32_t color = form_.Alternate[p];
    if (!ShowColorDialog(color, true, true, false, this)) return;
    form_.PickAlternate(p, color);
    ShowState();
}

void frmTColorizer::btnColor_Click(int i) {
    if (i == 0) form_.CopyAlternate();
    if (i == 1) form_.Swap();
    if (i == 2) form_.CopyPrimary();
    ShowState();
}

void frmTColorizer::BoxChanged(int index) {
    frmToolDialog::BoxChanged(index);
    form_.SetRunLength(index / 2, index % 2, NumericBox(index)->Text());
    CheckColorizerInputs();
}

bool frmTColorizer::ApplyTool() {
    if (!form_.OkEnabled()) return false;
    RunColorizer(form_.Options());
    return true;
}

void ShowTColorizerDialog(wxWindow* owner) {
    frmTColorizer dialog(owner);
    dialog.ShowModal();
}
