#include "tools/tool_dialogs.h"

#include "tools/frm_e_pitch.h"
#include "tools/frm_e_reverse.h"
#include "tools/frm_e_scale.h"
#include "tools/frm_e_skew.h"
#include "tools/frm_e_tilt.h"
#include "tools/frm_t_mirror.h"
#include "tools/frm_t_move.h"
#include "tools/frm_t_rotate.h"
#include "tools/frm_t_scale.h"

namespace {

template <typename Dialog>
void ShowModalTool(wxWindow* owner) {
    Dialog dialog(owner);
    dialog.ShowModal();
}

}  // namespace

void ShowTMoveDialog(wxWindow* owner) {
    if (frmTMove* open = OpenMoveTool()) {
        open->Raise();
        return;
    }
    auto* dialog = new frmTMove(owner);
    dialog->Show();
}

void ShowTScaleDialog(wxWindow* owner) { ShowModalTool<frmTScale>(owner); }
void ShowTRotateDialog(wxWindow* owner) { ShowModalTool<frmTRotate>(owner); }
void ShowTMirrorDialog(wxWindow* owner) { ShowModalTool<frmTMirror>(owner); }
void ShowEReverseDialog(wxWindow* owner) { ShowModalTool<frmEReverse>(owner); }
void ShowEScaleDialog(wxWindow* owner) { ShowModalTool<frmEScale>(owner); }
void ShowEPitchDialog(wxWindow* owner) { ShowModalTool<frmEPitch>(owner); }
void ShowETiltDialog(wxWindow* owner) { ShowModalTool<frmETilt>(owner); }
void ShowESkewDialog(wxWindow* owner) { ShowModalTool<frmESkew>(owner); }

frmTMove* OpenMoveTool() { return frmTMove::Instance(); }

void FinishMoveTool() {
    if (frmTMove* open = OpenMoveTool()) open->btnDone_Click();
}
