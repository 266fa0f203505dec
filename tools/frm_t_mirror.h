#pragma once
// frmTMirror: Track > Mirror. Flips the track east-west and/or north-south;
// OK is enabled while at least one of the two axes is ticked.

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/track_transforms.h"

class wxCheckBox;

class frmTMirror : public frmToolDialog {
public:
    explicit frmTMirror(wxWindow* owner);
    wxCheckBox* MirrorBox(int index) const { return chkMirror.at(static_cast<size_t>(index)); }
    wxCheckBox* MirrorSupportsBox() const { return chkMirrorSupps; }
    TrackMirrorOptions Options() const;

    void chkMirror_Click();

protected:
    bool ApplyTool() override { return RunTrackMirror(Options()); }

private:
    std::array<wxCheckBox*, 2> chkMirror{};
    wxCheckBox* chkMirrorSupps = nullptr;
};
