#pragma once
// frmTSpineChanger: Track > Spine Changer. Sets the spine style of the whole
// track, of the selected segments or of the others. Its options are named by
// the track style; a style without spine styles shows a text and keeps OK
// disabled. It has no Help button and asks for no rebuild.

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/segment_attributes.h"

class wxRadioButton;
class wxStaticText;

class frmTSpineChanger : public frmToolDialog {
public:
    explicit frmTSpineChanger(wxWindow* owner);
    wxRadioButton* StyleOption(int index) const { return optSpineStyle.at(static_cast<size_t>(index)); }
    wxRadioButton* ApplicationOption(int index) const { return optApplication.at(static_cast<size_t>(index)); }
    wxStaticText* NoStylesLabel() const { return lblNoStyles; }
    int ChosenStyle() const;
    SegmentApplication ChosenApplication() const;

protected:
    bool ApplyTool() override { return RunSpineChanger(ChosenStyle(), ChosenApplication()); }

private:
    std::array<wxRadioButton*, 3> optSpineStyle{};
    std::array<wxRadioButton*, 3> optApplication{};
    wxStaticText* lblNoStyles = nullptr;
};

void ShowTSpineChangerDialog(wxWindow* owner);
