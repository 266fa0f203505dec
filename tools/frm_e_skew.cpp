#include "tools/frm_e_skew.h"

#include <wx/sizer.h>

frmESkew::frmESkew(wxWindow* owner) : frmToolDialog(owner, "frmESkew") {
    wxBoxSizer* settings = AddPanel(" Skew Settings");
    AddNumericRow(settings, "Right / Left Skew:", kElementSkewBox, "meters");
    AddNumericRow(settings, "Front / Back Skew:", kElementSkewBox, "meters");
    AddButtons();
    FinishLayout();
}

ElementSkewOptions frmESkew::Options() const {
    ElementSkewOptions options;
    options.RightLeft = Form().Value(0);
    options.FrontBack = Form().Value(1);
    return options;
}
