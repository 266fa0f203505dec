#pragma once
// frmETilt: Element > Tilt. Turns the element about the Z axis through its
// first node by an angle in degrees.

#include "tools/frm_tool_dialog.h"

class frmETilt : public frmToolDialog {
public:
    explicit frmETilt(wxWindow* owner);
    double Degrees() const { return Form().Value(0); }

protected:
    bool ApplyTool() override;
};
