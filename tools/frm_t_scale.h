#pragma once
// frmTScale: Track > Scale. Stretches the track per axis about the origin by
// three percentages; refused when the scaled path would leave the scene.

#include "tools/frm_tool_dialog.h"
#include "tools/track_transforms.h"

class wxCheckBox;

class frmTScale : public frmToolDialog {
public:
    explicit frmTScale(wxWindow* owner);
    wxCheckBox* ScaleSupportsBox() const { return chkScaleSupp; }
    TrackScaleOptions Options() const;

protected:
    bool ApplyTool() override { return RunTrackScale(Options()); }

private:
    wxCheckBox* chkScaleSupp = nullptr;
};
