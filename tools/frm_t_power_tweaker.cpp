#include "tools/frm_t_power_tweaker.h"

#include <map>
#include <string>

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/color_controls_wx.h"
#include "controls/color_dialog.h"
#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"
#include "core/input_checks.h"
#include "core/number_formats.h"

frmTPowerTweaker::frmTPowerTweaker(wxWindow* owner) : frmToolDialog(owner, "frmTPowerTweaker") {
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    topRow_ = top;
    Column()->Add(top, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kToolMargin / 2);
    wxBoxSizer* selection = AddPanel(" Selection", top);
    auto* summary = new wxFlexGridSizer(2, kToolMargin / 2, kToolMargin);
    const char* captions[2] = {"Segments Selected:", "Segment Type:"};
    for (int i = 0; i < 2; ++i) {
        summary->Add(new wxStaticText(LastPanel(), wxID_ANY, captions[i]));
        lblSelection[i] = new wxStaticText(LastPanel(), wxID_ANY, "", wxDefaultPosition, wxSize(80, -1));
        summary->Add(lblSelection[i]);
    }
    selection->Add(summary, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    wxBoxSizer* generic = AddPanel(" Generic Segment Settings", top, 1);
    auto* genericRow = new wxBoxSizer(wxHORIZONTAL);
    auto* checks = new wxBoxSizer(wxVERTICAL);
    chkColor = new wxCheckBox(LastPanel(), wxID_ANY, "Custom Color");
    chkTunnel = new wxCheckBox(LastPanel(), wxID_ANY, "Tunnel");
    checks->Add(chkColor, 0, wxBOTTOM, kToolMargin / 2);
    checks->Add(chkTunnel);
    genericRow->Add(checks, 0, wxRIGHT, kToolMargin * 2);
    auto* swatches = new wxFlexGridSizer(2, kToolMargin / 2, kToolMargin / 2);
    const char* parts[3] = {"Spine:", "Rails:", "Ties:"};
    for (int k = 0; k < 3; ++k) {
        swatches->Add(new wxStaticText(LastPanel(), wxID_ANY, parts[k]), 0, wxALIGN_CENTER_VERTICAL);
        lblColor[k] = new ucColorSwatch(LastPanel(), 0, wxSize(60, 16));
        lblColor[k]->Clicked = [this, k] { lblColor_Click(k); };
        swatches->Add(lblColor[k]);
    }
    genericRow->Add(swatches);
    generic->Add(genericRow, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    chkColor->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { form_.SetCustomColor(chkColor->GetValue()); });
    chkTunnel->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { form_.SetTunnel(chkTunnel->GetValue()); });

    for (int type = 0; type <= 6; ++type) {
        wxBoxSizer* page = AddPanel(TweakPageTitle(type));
        ucCon[type] = LastPanel();
        if (type >= 1 && type <= 4) BuildPage(type, page);
        if (type == 6) {
            lblNoSegments = new wxStaticText(LastPanel(), wxID_ANY, kNoSegmentsText);
            page->Add(lblNoSegments, 0, wxALL, kToolMargin * 2);
        }
    }
    AddButtons();

    form_.Load();
    ShowTypePanel(form_.Selection.SelectionType);
    lblSelection[0]->SetLabel(wxString::FromUTF8(FormatInteger(form_.Selection.SelectedCount)));
    lblSelection[1]->SetLabel(GetSelectionTypeName(form_.Selection.SelectionType));
    ShowGeneric();
    ShowPage();
    SetOkayEnabled(form_.OkEnabled());
    FinishLayout();
}

void frmTPowerTweaker::BuildPage(int type, wxSizer* sizer) {
    const std::vector<TweakControl>& controls = TweakPageControls(type);
    std::vector<PageControl>& page = pages_[static_cast<size_t>(type)];
    page.resize(controls.size());
    wxWindow* parent = LastPanel();
    auto* panels = new wxFlexGridSizer(3, kToolMargin, kToolMargin);
    sizer->Add(panels, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    std::map<std::string, std::pair<wxStaticBoxSizer*, wxFlexGridSizer*>> boxes;
    for (size_t i = 0; i < controls.size(); ++i) {
        const TweakControl& c = controls[i];
        auto found = boxes.find(c.Panel);
        if (found == boxes.end()) {
            auto* box = new wxStaticBoxSizer(wxVERTICAL, parent, c.Panel);
            auto* grid = new wxFlexGridSizer(3, kToolMargin / 2, kToolMargin / 2);
            box->Add(grid, 0, wxALL, kToolMargin / 2);
            panels->Add(box, 0, wxEXPAND);
            found = boxes.emplace(c.Panel, std::make_pair(box, grid)).first;
        }
        wxWindow* owner = found->second.first->GetStaticBox();
        wxFlexGridSizer* grid = found->second.second;
        PageControl& control = page[i];
        const int index = static_cast<int>(i);
        switch (c.Kind) {
            case TweakKind::Option: {
                const char* optionCaptions[2] = {c.Caption, c.Caption2};
                for (int o = 0; o < 3; ++o) {
                    control.Options[o] = new wxRadioButton(owner, wxID_ANY, o < 2 ? optionCaptions[o] : "",
                                                           wxDefaultPosition, wxDefaultSize, o == 0 ? wxRB_GROUP : 0);
                    if (o == 2) {
                        control.Options[o]->Hide();
                        continue;
                    }
                    grid->Add(control.Options[o]);
                    grid->AddSpacer(0);
                    grid->AddSpacer(0);
                    control.Options[o]->Bind(wxEVT_RADIOBUTTON,
                                             [this, index, o](wxCommandEvent&) { form_.SetControlState(index, o); });
                }
                break;
            }
            case TweakKind::Check:
                control.Check = new wxCheckBox(owner, wxID_ANY, c.Caption, wxDefaultPosition, wxDefaultSize,
                                               wxCHK_3STATE);
                grid->Add(control.Check);
                grid->AddSpacer(0);
                grid->AddSpacer(0);
                control.Check->Bind(wxEVT_CHECKBOX, [this, index, box = control.Check](wxCommandEvent&) {
                    form_.SetControlState(index, box->Get3StateValue() == wxCHK_CHECKED ? 1 : 0);
                });
                break;
            case TweakKind::Box:
                grid->Add(new wxStaticText(owner, wxID_ANY, c.Caption), 0, wxALIGN_CENTER_VERTICAL);
                control.Box = new wxTextCtrl(owner, wxID_ANY, "", wxDefaultPosition, wxSize(60, -1));
                grid->Add(control.Box, 0, wxALIGN_CENTER_VERTICAL);
                grid->Add(new wxStaticText(owner, wxID_ANY, TweakUnitLabel(c.Unit)), 0, wxALIGN_CENTER_VERTICAL);
                control.Box->Bind(wxEVT_TEXT, [this, index, box = control.Box](wxCommandEvent&) {
                    form_.SetBoxText(index, box->GetValue().utf8_string());
                    ShowBoxCheck(index, box);
                });
                break;
        }
    }
}

// A refused text is shown red and keeps OK disabled until it is corrected.
void frmTPowerTweaker::ShowBoxCheck(int index, wxTextCtrl* box) {
    const wxColour colour = uc::NumericTextColour(form_.BoxValid(index) ? kWindowTextColor : kInvalidTextColor);
    if (box->GetForegroundColour() != colour) {
        box->SetForegroundColour(colour);
        box->Refresh();
    }
    SetOkayEnabled(form_.OkEnabled());
}

void frmTPowerTweaker::ShowTypePanel(int type) {
    for (int i = 0; i <= 6; ++i) ucCon[i]->Hide();
    if (type >= 0 && type <= 6) ucCon[type]->Show();
    // The "No Segments Selected" page covers the whole dialog, the top panels included.
    Column()->Show(topRow_, type != kTweakNone, true);
}

void frmTPowerTweaker::ShowGeneric() {
    chkColor->SetValue(form_.Generic.CustomColor);
    chkTunnel->SetValue(form_.Generic.Tunnel);
    for (int k = 0; k < 3; ++k) lblColor[k]->SetColor(form_.Generic.Colors[k]);
}

void frmTPowerTweaker::ShowPage() {
    const TweakPage& page = form_.Page;
    if (page.Type < 1 || page.Type > 4) return;
    const std::vector<PageControl>& controls = pages_[static_cast<size_t>(page.Type)];
    for (size_t i = 0; i < controls.size() && i < page.Controls.size(); ++i) {
        const TweakControlState& state = page.Controls[i];
        const PageControl& c = controls[i];
        if (c.Box) c.Box->ChangeValue(wxString::FromUTF8(state.Text));
        if (c.Check)
            c.Check->Set3StateValue(state.State == 1 ? wxCHK_CHECKED
                                                      : state.State == 0 ? wxCHK_UNCHECKED : wxCHK_UNDETERMINED);
        if (c.Options[0]) c.Options[state.State == 0 || state.State == 1 ? state.State : 2]->SetValue(true);
    }
}

wxCheckBox* frmTPowerTweaker::PageCheck(int type, int index) const {
    return pages_.at(static_cast<size_t>(type)).at(static_cast<size_t>(index)).Check;
}

wxTextCtrl* frmTPowerTweaker::PageBox(int type, int index) const {
    return pages_.at(static_cast<size_t>(type)).at(static_cast<size_t>(index)).Box;
}

wxRadioButton* frmTPowerTweaker::PageOption(int type, int index, int option) const {
    return pages_.at(static_cast<size_t>(type)).at(static_cast<size_t>(index)).Options.at(static_cast<size_t>(option));
}

void frmTPowerTweaker::lblColor_Click(int k) {
    int32_t color = form_.Generic.Colors[k];
    if (!ShowColorDialog(color, true, true, false, this)) return;
    form_.PickColor(k, color);
    ShowGeneric();
}

bool frmTPowerTweaker::ApplyTool() {
    if (!form_.OkEnabled()) return false;
    form_.Apply();
    return true;
}

void ShowTPowerTweakerDialog(wxWindow* owner) {
    frmTPowerTweaker dialog(owner);
    dialog.ShowModal();
}
