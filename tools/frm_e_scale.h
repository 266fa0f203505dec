#pragma once
// frmEScale: Element > Scale. Stretches the element per axis about its first
// node (the origin) by three percentages.

#include "tools/element_transforms.h"
#include "tools/frm_tool_dialog.h"

class frmEScale : public frmToolDialog {
public:
    explicit frmEScale(wxWindow* owner);
    ElementScaleOptions Options() const;

protected:
    bool ApplyTool() override { return RunElementScale(Options()); }
};
