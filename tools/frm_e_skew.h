#pragma once
// frmESkew: Element > Skew. Shears the element sideways and forwards in
// proportion to height: the highest node moves by the full distance.

#include "tools/element_transforms.h"
#include "tools/frm_tool_dialog.h"

class frmESkew : public frmToolDialog {
public:
    explicit frmESkew(wxWindow* owner);
    ElementSkewOptions Options() const;

protected:
    bool ApplyTool() override { return RunElementSkew(Options()); }
};
