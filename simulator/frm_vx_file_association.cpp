#include "simulator/frm_vx_file_association.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "controls/dialog_buttons.h"
#include "controls/dialog_end.h"
#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "core/help_launcher.h"
#include "platform/desktop_programs.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "simulator/association_icons_wx.h"
#include "simulator/desktop_association.h"

namespace {

constexpr int kIconSize = kAssociationIconSize;
constexpr const char* kDoubleClickCaptions[3] = {"Ride in Simulator", "Edit in Editor", "Terraform in Terraformer"};
constexpr const char* kRightClickCaptions[kVerbCount] = {"Ride!", "Edit", "Terraform", "Gantrywright"};
constexpr const char* kIconCaptions[kIconOptionCount] = {"From Simulator", "From Editor", "Blue Track",
                                                         "Red Track", "Green Track", "Gray Track",
                                                         "Vortaxis Logo", "Specify My Own Icon:"};

ucContainer* Panel(wxWindow* parent, const char* title, wxBoxSizer*& inner) {
    auto* panel = new ucContainer(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, title);
    inner = new wxBoxSizer(wxVERTICAL);
    inner->AddSpacer(uc::TwipsToPixels(210, uc::TwipsPerPixelY(panel)) + 6);
    panel->SetSizer(inner);
    return panel;
}

// The option's picture, or a fully transparent one where the option has none
// (the simulator's programs missing, no icon file chosen yet).
wxBitmap Picture(const wxImage& image) {
    if (image.IsOk()) return wxBitmap(image);
    wxImage empty(kIconSize, kIconSize);
    empty.InitAlpha();
    std::fill(empty.GetAlpha(), empty.GetAlpha() + kIconSize * kIconSize, 0);
    return wxBitmap(empty);
}

}  // namespace

void ShowVXFileAssociationDialog(wxWindow* owner) {
    frmVXFileAssociation dialog(owner);
    dialog.ShowModal();
}

AssociationPaths frmVXFileAssociation::Paths(std::string* programProblem) {
    std::string problem;
    std::string program = ProgramPathOfLink("/proc/self/exe", problem);
    if (programProblem) *programProblem = problem;
    return {gSimPath, gAppPath, std::move(program)};
}

frmVXFileAssociation::frmVXFileAssociation(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, "Vortaxis: File Association") {
    SetFont(uc::DialogFont());
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);

    wxBoxSizer* inner = nullptr;
    ucContainer* doubleClick = Panel(this, "Double-Click Action", inner);
    for (int i = 0; i < 3; ++i) {
        optDoubleClick[i] = new wxRadioButton(doubleClick, wxID_ANY, kDoubleClickCaptions[i], wxDefaultPosition,
                                              wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        inner->Add(optDoubleClick[i], 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
        optDoubleClick[i]->Bind(wxEVT_RADIOBUTTON, [this, i](wxCommandEvent&) { optDoubleClick_Click(i); });
    }
    left->Add(doubleClick, 0, wxEXPAND | wxBOTTOM, 8);

    ucContainer* rightClick = Panel(this, "Right-Click Menu", inner);
    for (int i = 0; i < kVerbCount; ++i) {
        chkRightClick[i] = new wxCheckBox(rightClick, wxID_ANY, kRightClickCaptions[i]);
        inner->Add(chkRightClick[i], 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
    }
    left->Add(rightClick, 0, wxEXPAND);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 8);

    ucContainer* icon = Panel(this, "Icon", inner);
    const AssociationPaths paths = Paths();
    auto* grid = new wxFlexGridSizer(2, 4, 8);
    for (int i = 0; i < kIconOptionCount; ++i) {
        optIcon[i] = new wxRadioButton(icon, wxID_ANY, kIconCaptions[i], wxDefaultPosition, wxDefaultSize,
                                       i == 0 ? wxRB_GROUP : 0);
        grid->Add(optIcon[i], 0, wxALIGN_CENTER_VERTICAL);
        optIcon[i]->Bind(wxEVT_RADIOBUTTON, [this, i](wxCommandEvent&) { optIcon_Click(i); });
        if (i < kIconOptionCount - 1) imgIcons[i] = Picture(icons_.Image(i, {}, paths));
    }
    inner->Add(grid, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
    auto* pathRow = new wxBoxSizer(wxHORIZONTAL);
    txtIcon = new wxTextCtrl(icon, wxID_ANY, wxString(), wxDefaultPosition, wxSize(260, -1));
    btnBrowse = new wxButton(icon, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    pathRow->Add(txtIcon, 1, wxRIGHT, 4);
    pathRow->Add(btnBrowse, 0, wxEXPAND);  // as tall as the box beside it
    inner->Add(pathRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    imgTheIcon = new wxStaticBitmap(icon, wxID_ANY, Picture(wxImage()));
    inner->Add(imgTheIcon, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, 8);
    columns->Add(icon, 1, wxEXPAND);
    top->Add(columns, 1, wxEXPAND | wxALL, 8);

    top->Add(MakeEndButtonRow(this, 4, &btnOkay, &btnCancel, &btnHelp), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);

    txtIcon->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { PreviewOwnIcon(); });
    btnBrowse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnBrowse_Click(); });
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FinishDialog(*this, wxID_CANCEL); });
    btnHelp->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { ShowHelpTopic("vx_fileassociation"); });

    ShowForm(LoadFileAssociation());
    SetSizerAndFit(top);
    CentreOnParent();
}

void frmVXFileAssociation::ShowForm(const FileAssociationForm& form) {
    for (int i = 0; i < 3; ++i) optDoubleClick[i]->SetValue(i == form.DoubleClick);
    for (int i = 0; i < kVerbCount; ++i) {
        chkRightClick[i]->SetValue(form.RightClick[i]);
        chkRightClick[i]->Enable(form.RightClickEnabled[i]);
    }
    txtIcon->ChangeValue(wxString::FromUTF8(form.IconPath));
    optIcon[form.Icon]->SetValue(true);
    // Setting an option from code fires no event: run its rule here.
    optIcon_Click(form.Icon);
}

FileAssociationForm frmVXFileAssociation::Form() const {
    FileAssociationForm form;
    for (int i = 0; i < 3; ++i) {
        if (optDoubleClick[i]->GetValue()) form.DoubleClick = i;
    }
    for (int i = 0; i < kVerbCount; ++i) {
        form.RightClick[i] = chkRightClick[i]->GetValue();
        form.RightClickEnabled[i] = chkRightClick[i]->IsEnabled();
    }
    for (int i = 0; i < kIconOptionCount; ++i) {
        if (optIcon[i]->GetValue()) form.Icon = i;
    }
    form.IconPath = txtIcon->GetValue().utf8_string();
    return form;
}

void frmVXFileAssociation::optDoubleClick_Click(int index) {
    FileAssociationForm form = Form();
    SelectDoubleClick(form, index);
    for (int i = 0; i < kVerbCount; ++i) {
        chkRightClick[i]->SetValue(form.RightClick[i]);
        chkRightClick[i]->Enable(form.RightClickEnabled[i]);
    }
}

void frmVXFileAssociation::optIcon_Click(int index) {
    const bool own = index == kOwnIconOption;
    txtIcon->Enable(own);
    btnBrowse->Enable(own);
    if (own) {
        PreviewOwnIcon();
    } else {
        imgTheIcon->SetBitmap(imgIcons[index]);
    }
}

void frmVXFileAssociation::PreviewOwnIcon() {
    if (!optIcon[kOwnIconOption]->GetValue()) return;
    imgTheIcon->SetBitmap(Picture(icons_.Image(kOwnIconOption, txtIcon->GetValue().utf8_string(), Paths())));
}

void frmVXFileAssociation::btnBrowse_Click() {
    std::string fileName, fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, "Icon Files (*.ico)|*.ico", filterIndex,
                           gSimPath, "Select Icon...", "ico", this, flags)) {
        txtIcon->SetValue(wxString::FromUTF8(fileName));  // previews through its change
    }
}

void frmVXFileAssociation::btnOkay_Click() {
    const FileAssociationForm form = Form();
    std::string programProblem;
    const AssociationPaths paths = Paths(&programProblem);
    errno = 0;
    const bool registryOk = SaveFileAssociation(form, paths);
    const std::string registryReason = registryOk ? std::string() : RegWriteFailureReason(errno);

    DesktopAssociation desktop;
    desktop.DoubleClick = form.DoubleClick;
    desktop.RightClick = form.RightClick;
    for (int i = 0; i < kVerbCount; ++i) desktop.Programs[i] = VerbProgram(i, paths);
    desktop.ProgramProblems[3] = programProblem;
    desktop.Wine = FindProgramOnPath("wine");
    desktop.IconPng = icons_.Png(form.Icon, form.IconPath, paths);
    const DesktopFolders folders = UserDesktopFolders();
    std::vector<std::string> failures;
    if (DesktopFoldersKnown(folders)) {
        ApplyDesktopAssociation(desktop, folders, failures);
        RefreshDesktopDatabases(folders, failures);
    } else if (form.RightClick[3] && !programProblem.empty()) {
        failures.push_back(programProblem);  // said with the desktop entry it keeps from being written otherwise
    }

    if (!registryOk || !failures.empty()) {
        std::string text = "The File Association Could Not Be Saved Completely!\n";
        if (!registryOk)
            text += "\nThe registry store could not be written." + (registryReason.empty() ? "" : " " + registryReason);
        for (const std::string& failure : failures) text += "\n" + failure;
        MsgBox(text, "Error!", MsgButtons::OK, MsgIcon::Critical);
    }
    // What this desktop cannot do is said, not left out in silence.
    const std::string notice = DesktopAssociationNotice(desktop, folders);
    if (!notice.empty()) MsgBox(notice, "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
    FinishDialog(*this, wxID_OK);
}
