#include "app/frm_settings.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "controls/uc_numeric_text_box.h"
#include "controls/uc_tab_head.h"
#include "core/help_launcher.h"
#include "core/settings_file.h"
#include "model/radius_comb.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

namespace {

constexpr int kMargin = 8;

// The captions of the model-on-load options, by the value of gModelOnLoad.
constexpr const char* kModelOnLoadCaptions[6] = {
    "Do Nothing",
    "Create a Low Detailed Model (Flat Ground Only)",
    "Create a Medium Detailed Model (Low Detail Terrain)",
    "Create a Normal Detailed Model",
    "Create a Highly Detailed Model",
    "Show the Create Model Window",
};

// A titled panel whose contents stand below its title bar, inside its frame.
wxBoxSizer* PanelSizer(ucContainer* panel) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const int title = uc::TwipsToPixels(210, uc::TwipsPerPixelY(panel));
    sizer->AddSpacer(title + 6);
    panel->SetSizer(sizer);
    return sizer;
}

}  // namespace

bool ShowSettingsDialog(wxWindow* owner) {
    frmSettings dialog(owner);
    return dialog.ShowModal() == wxID_OK;
}

frmSettings::frmSettings(wxWindow* owner) : wxDialog(owner, wxID_ANY, "Gantrywright Settings...") {
    SetFont(uc::DialogFont());
    auto* top = new wxBoxSizer(wxVERTICAL);

    ucTabHead1 = new ucTabHead(this, wxID_ANY);
    top->Add(ucTabHead1, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);

    // Page "General".
    ucTab[0] = new ucTabContainer(this, wxID_ANY);
    auto* general = new wxBoxSizer(wxVERTICAL);
    auto* loading = new ucContainer(ucTab[0], wxID_ANY, wxDefaultPosition, wxDefaultSize, "Model");
    wxBoxSizer* loadingSizer = PanelSizer(loading);
    loadingSizer->Add(new wxStaticText(loading, wxID_ANY, "When a Track or Element is Loaded/Changed..."), 0,
                      wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    for (int value = 5; value >= 0; --value) {
        optModelOnLoad[static_cast<size_t>(value)] =
            new wxRadioButton(loading, wxID_ANY, kModelOnLoadCaptions[value], wxDefaultPosition, wxDefaultSize,
                              value == 5 ? wxRB_GROUP : 0);
        loadingSizer->Add(optModelOnLoad[static_cast<size_t>(value)], 0, wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    }
    loadingSizer->AddSpacer(kMargin / 2);
    general->Add(loading, 0, wxEXPAND | wxALL, kMargin);

    auto* recent = new ucContainer(ucTab[0], wxID_ANY, wxDefaultPosition, wxDefaultSize, "Recent Files");
    wxBoxSizer* recentSizer = PanelSizer(recent);
    chkUseRecentFileList = new wxCheckBox(recent, wxID_ANY, "Maintain the Recent File List");
    chkSyncRecentFileList = new wxCheckBox(recent, wxID_ANY, "Syncronize with Vortaxis Editor Recent File List");
    recentSizer->Add(chkUseRecentFileList, 0, wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    recentSizer->Add(chkSyncRecentFileList, 0, wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    recentSizer->AddSpacer(kMargin / 2);
    general->Add(recent, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    ucTab[0]->SetSizer(general);

    // Page "Combs".
    ucTab[1] = new ucTabContainer(this, wxID_ANY);
    auto* combs = new wxBoxSizer(wxVERTICAL);
    auto* comb = new ucContainer(ucTab[1], wxID_ANY, wxDefaultPosition, wxDefaultSize, "Curve Radius Comb");
    wxBoxSizer* combSizer = PanelSizer(comb);
    auto* grid = new wxFlexGridSizer(3, kMargin / 2, kMargin);
    grid->AddGrowableCol(2);
    txtRadiusScale = new ucNumericTextBox(comb, wxID_ANY, kRadiusScaleRule, wxString(), wxDefaultPosition,
                                          wxSize(70, -1));
    txtRadiusLimit = new ucNumericTextBox(comb, wxID_ANY, kRadiusLimitRule, wxString(), wxDefaultPosition,
                                          wxSize(70, -1));
    // One line of the dialog's font tall (the theme's own entries would stand three lines of it tall).
    for (ucNumericTextBox* box : {txtRadiusScale, txtRadiusLimit})
        box->SetMinSize(wxSize(70, box->GetCharHeight() + 10));
    grid->Add(new wxStaticText(comb, wxID_ANY, "Scale:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(txtRadiusScale, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxStaticText(comb, wxID_ANY, "Tooth length per metre of curve radius (0.01 to 20)"), 0,
              wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxStaticText(comb, wxID_ANY, "Limit:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(txtRadiusLimit, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxStaticText(comb, wxID_ANY, "Largest radius shown, in metres (1 to 100)"), 0,
              wxALIGN_CENTER_VERTICAL);
    combSizer->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    combSizer->AddSpacer(kMargin / 2);
    combs->Add(comb, 0, wxEXPAND | wxALL, kMargin);
    ucTab[1]->SetSizer(combs);

    // Both pages stand at the same place with the same size: the larger of the two.
    const wxSize page0 = ucTab[0]->GetBestSize(), page1 = ucTab[1]->GetBestSize();
    const wxSize pageSize(std::max(page0.x, page1.x), std::max(page0.y, page1.y));
    for (ucTabContainer* page : ucTab) {
        page->SetMinSize(pageSize);
        top->Add(page, 1, wxEXPAND | wxLEFT | wxRIGHT, kMargin);
    }

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    btnOkay = new wxButton(this, wxID_OK, "OK");
    btnCancel = new wxButton(this, wxID_CANCEL, "Cancel");
    btnHelp = new wxButton(this, wxID_HELP, "Help");
    buttons->AddStretchSpacer();
    buttons->Add(btnOkay, 0, wxRIGHT, kMargin / 2);
    buttons->Add(btnCancel, 0, wxRIGHT, kMargin / 2);
    buttons->Add(btnHelp, 0);
    top->Add(buttons, 0, wxEXPAND | wxALL, kMargin);
    btnOkay->SetDefault();

    ucTabHead1->TabClick = [this](int32_t index) { ucTabHead_TabClick(index); };
    chkUseRecentFileList->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { chkUseRecentFileList_Click(); });
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnCancel_Click(); });
    btnHelp->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnHelp_Click(); });

    SetSizer(top);
    Form_Load();
    mBoxes.Add(txtRadiusScale);
    mBoxes.Add(txtRadiusLimit);
    mBoxes.ControlButton(btnOkay);
    top->SetSizeHints(this);
    CentreOnParent();
}

void frmSettings::Form_Load() {
    ucTabHead1->AddTab("General");
    ucTabHead1->AddTab("Combs");
    ucTabHead_TabClick(0);
    LoadFromSettings();
}

void frmSettings::ucTabHead_TabClick(int32_t Index) {
    ucTab[0]->Hide();
    ucTab[1]->Hide();
    if (Index >= 0 && Index < static_cast<int32_t>(ucTab.size())) ucTab[static_cast<size_t>(Index)]->Show();
    Layout();
}

void frmSettings::LoadFromSettings() {
    const SettingsFormValues form = SettingsFormFromState();
    chkSyncRecentFileList->SetValue(form.SyncRecentList);
    chkUseRecentFileList->SetValue(form.UseRecentList);
    chkUseRecentFileList_Click();
    optModelOnLoad[static_cast<size_t>(form.ModelOnLoad)]->SetValue(true);
    txtRadiusLimit->SetValue(wxString::FromUTF8(form.RadiusLimitText));
    txtRadiusScale->SetValue(wxString::FromUTF8(form.RadiusScaleText));
}

void frmSettings::chkUseRecentFileList_Click() {
    chkSyncRecentFileList->Enable(SyncRecentListEnabled(chkUseRecentFileList->GetValue()));
}

SettingsFormValues frmSettings::FormValues() const {
    SettingsFormValues form;
    form.UseRecentList = chkUseRecentFileList->GetValue();
    form.SyncRecentList = chkSyncRecentFileList->GetValue();
    form.ModelOnLoad = 0;
    for (int value = 0; value < 6; ++value)
        if (optModelOnLoad[static_cast<size_t>(value)]->GetValue()) form.ModelOnLoad = static_cast<int16_t>(value);
    form.RadiusScaleText = txtRadiusScale->Text();
    form.RadiusLimitText = txtRadiusLimit->Text();
    return form;
}

void frmSettings::ApplySettings() { ApplySettingsForm(FormValues()); }

void frmSettings::btnOkay_Click() {
    // A disabled OK cannot be pressed; a key or a test that gets here anyway
    // must not store a value other than the one shown.
    if (!btnOkay->IsEnabled() || !SettingsFormValid(FormValues())) return;
    ApplySettings();
    errno = 0;
    if (!SaveSettings()) {
        const std::string reason = fsys::WriteFailureReason(errno);
        MsgBox("Could Not Save the Settings!\n\nThe settings file " + SettingsFilePath() + " could not be written. " +
                   (reason.empty() ? "" : reason + " ") + "The new settings apply until Gantrywright is closed.",
               "Error!", MsgButtons::OK, MsgIcon::Critical);
    }
    RebuildRadiusComb();  // the comb of a loaded track, with the new scale and limit
    Finish(wxID_OK);
}

void frmSettings::btnCancel_Click() { Finish(wxID_CANCEL); }

void frmSettings::btnHelp_Click() { ShowHelpTopic("m_settings"); }

void frmSettings::Finish(int result) {
    if (IsModal()) {
        EndModal(result);
    } else {
        SetReturnCode(result);
        Hide();
    }
}
