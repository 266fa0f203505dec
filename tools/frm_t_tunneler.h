#pragma once
// frmTTunneler: Track > Tunneler. Sets or clears the tunnels of the segments
// with one of three action buttons (instead of OK); the boxes keep tunnels off
// the segments of their types.

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/segment_attributes.h"

class wxCheckBox;

class frmTTunneler : public frmToolDialog {
public:
    explicit frmTTunneler(wxWindow* owner);
    wxCheckBox* NeverTunnelBox(int index) const { return chkNeverTunnel.at(static_cast<size_t>(index)); }
    wxButton* ActionButton(int index) const { return btnTunneler.at(static_cast<size_t>(index)); }
    TunnelerOptions Options() const;

    void btnTunneler_Click(int index);

protected:
    bool ApplyTool() override { return false; }  // there is no OK

private:
    std::array<wxCheckBox*, 4> chkNeverTunnel{};
    std::array<wxButton*, 3> btnTunneler{};
};

void ShowTTunnelerDialog(wxWindow* owner);
