#pragma once
// frmTSupportFlanger: Track > Support Flanger. Flanges on the round support
// tubes near their ends and, on long tubes, between them.

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/support_flanger.h"

class wxCheckBox;
class wxStaticText;

class frmTSupportFlanger : public frmToolDialog {
public:
    explicit frmTSupportFlanger(wxWindow* owner);
    SupportFlangerOptions Options() const;

    wxCheckBox* UseFootersBox() const { return chkUseFooters; }
    wxCheckBox* UseRascBox() const { return chkUseRasc; }
    wxCheckBox* MakeMiddleBox() const { return chkMakeMiddle; }
    wxStaticText* MiddleLabel(int i) const { return lblMiddle[static_cast<size_t>(i)]; }

    void chkMakeMiddle_Click();

protected:
    bool ApplyTool() override { return RunSupportFlanger(Options()); }

private:
    wxCheckBox* chkUseFooters = nullptr;
    wxCheckBox* chkUseRasc = nullptr;
    wxCheckBox* chkMakeMiddle = nullptr;
    std::array<wxStaticText*, 4> lblMiddle{};
};

void ShowTSupportFlangerDialog(wxWindow* owner);
