#pragma once
// Vortaxis > File Association: what double-clicking and right-clicking a
// track file does, and its icon (simulator/file_association.h holds the rules).

#include <array>
#include <string>

#include <wx/bitmap.h>
#include <wx/dialog.h>

#include "simulator/association_icons_wx.h"
#include "simulator/file_association.h"

class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxStaticBitmap;
class wxTextCtrl;

class frmVXFileAssociation : public wxDialog {
public:
    explicit frmVXFileAssociation(wxWindow* owner);

    std::array<wxRadioButton*, 3> optDoubleClick{};
    std::array<wxCheckBox*, kVerbCount> chkRightClick{};
    std::array<wxRadioButton*, kIconOptionCount> optIcon{};
    wxStaticBitmap* imgTheIcon = nullptr;
    std::array<wxBitmap, kIconOptionCount - 1> imgIcons;
    wxTextCtrl* txtIcon = nullptr;
    wxButton* btnBrowse = nullptr;
    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxButton* btnHelp = nullptr;

    void optDoubleClick_Click(int index);
    void optIcon_Click(int index);
    void btnBrowse_Click();
    void btnOkay_Click();

    // The form's state as the controls hold it.
    FileAssociationForm Form() const;
    // Where the association points: the simulator, this program's folder and
    // executable (programProblem, when given, says where no program is at its
    // path any more).
    static AssociationPaths Paths(std::string* programProblem = nullptr);

private:
    void ShowForm(const FileAssociationForm& form);
    void PreviewOwnIcon();

    // The pictures shown, which OK hands to the desktop as they are.
    AssociationIcons icons_;
};

void ShowVXFileAssociationDialog(wxWindow* owner);
