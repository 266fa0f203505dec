#pragma once
// frmEReverse: Element > Reverse. Rebuilds the element backwards, its last
// node first. It has no input; OK needs an element of two nodes or more.

#include "tools/frm_tool_dialog.h"

class wxStaticText;

class frmEReverse : public frmToolDialog {
public:
    explicit frmEReverse(wxWindow* owner);
    wxStaticText* InfoLabel() const { return lblInfo; }

protected:
    bool ApplyTool() override;

private:
    wxStaticText* lblInfo = nullptr;
};
