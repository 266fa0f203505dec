#include "tools/frm_t_spine_changer.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "trackdoc/track_document.h"

frmTSpineChanger::frmTSpineChanger(wxWindow* owner) : frmToolDialog(owner, "frmTSpineChanger") {
    wxBoxSizer* styles = AddPanel(" Spine Style");
    for (size_t i = 0; i < optSpineStyle.size(); ++i) {
        optSpineStyle[i] = new wxRadioButton(LastPanel(), wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                             i == 0 ? wxRB_GROUP : 0);
        styles->Add(optSpineStyle[i], 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    }
    lblNoStyles = new wxStaticText(LastPanel(), wxID_ANY, kNoSpineStylesText);
    styles->Add(lblNoStyles, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    wxBoxSizer* application = AddPanel(" Application");
    for (size_t i = 0; i < optApplication.size(); ++i) {
        optApplication[i] = new wxRadioButton(LastPanel(), wxID_ANY, kSpineApplicationCaptions[i], wxDefaultPosition,
                                              wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        application->Add(optApplication[i], 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    }
    AddButtons(true, false);
    optSpineStyle[0]->SetValue(true);
    // Form_Load: the application by the selection, then the captions by the track style.
    const bool anySelected = SelectedSegmentCount() > 0;
    optApplication[1]->Enable(anySelected);
    optApplication[2]->Enable(anySelected);
    optApplication[anySelected ? 2 : 0]->SetValue(true);
    const std::array<std::string, 3> captions = SpineStyleCaptions(gTrackStyle);
    for (size_t i = 0; i < optSpineStyle.size(); ++i) {
        optSpineStyle[i]->SetLabel(wxString::FromUTF8(captions[i]));
        optSpineStyle[i]->Show(!captions[i].empty());
    }
    lblNoStyles->Show(!HasSpineStyles(gTrackStyle));
    SetOkayEnabled(HasSpineStyles(gTrackStyle));
    FinishLayout();
}

int frmTSpineChanger::ChosenStyle() const {
    for (size_t i = 0; i < optSpineStyle.size(); ++i)
        if (optSpineStyle[i]->GetValue()) return static_cast<int>(i);
    return 0;
}

SegmentApplication frmTSpineChanger::ChosenApplication() const {
    for (size_t i = 0; i < optApplication.size(); ++i)
        if (optApplication[i]->GetValue()) return static_cast<SegmentApplication>(i);
    return SegmentApplication::EntireTrack;
}

void ShowTSpineChangerDialog(wxWindow* owner) {
    frmTSpineChanger dialog(owner);
    dialog.ShowModal();
}
