#pragma once
// frmTRotate: Track > Rotate. Turns the track about the vertical axis through
// the origin, clock-wise or counter clock-wise seen from above.

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/track_transforms.h"

class wxCheckBox;
class wxRadioButton;

class frmTRotate : public frmToolDialog {
public:
    explicit frmTRotate(wxWindow* owner);
    wxRadioButton* DirectionOption(int index) const { return optDirection.at(static_cast<size_t>(index)); }
    wxCheckBox* RotateSupportsBox() const { return chkRotateSupps; }
    TrackRotateOptions Options() const;

protected:
    bool ApplyTool() override { return RunTrackRotate(Options()); }

private:
    std::array<wxRadioButton*, 2> optDirection{};
    wxCheckBox* chkRotateSupps = nullptr;
};
