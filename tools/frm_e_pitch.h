#pragma once
// frmEPitch: Element > Pitch. Turns the element about the X axis through its
// first node by an angle in degrees.

#include "tools/frm_tool_dialog.h"

class frmEPitch : public frmToolDialog {
public:
    explicit frmEPitch(wxWindow* owner);
    double Degrees() const { return Form().Value(0); }

protected:
    bool ApplyTool() override;
};
