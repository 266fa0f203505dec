#pragma once
// frmTMove: Track > Move, the one modeless tool. It stays open beside the main
// window; every click of a direction button moves the track at once. Done
// (and the close box, and every command of the main window that must not run
// beside it) finishes it: the pending model rebuild, then the dialog unloads.

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/track_move.h"

class wxCheckBox;

class frmTMove : public frmToolDialog {
public:
    explicit frmTMove(wxWindow* owner);
    ~frmTMove() override;

    // The one open Move tool, nullptr when none is open (it is unloaded by
    // Done, by its close box and with its owner).
    static frmTMove* Instance();

    wxCheckBox* MoveSupportsBox() const { return chkMoveSupps; }
    wxCheckBox* UpdateModelBox() const { return chkUpdateModel; }
    wxButton* DirectionButton(int index) const { return btnDirection.at(static_cast<size_t>(index)); }
    wxButton* DoneButton() const { return btnDone; }
    const TrackMoveSession& Session() const { return session_; }

    void btnDirection_Click(int index);
    void btnDone_Click();

protected:
    bool ApplyTool() override { return false; }  // Move has no OK
    void BoxChanged(int index) override;
    void CloseBox() override { btnDone_Click(); }
    void Unload(int result) override;

private:
    TrackMoveOptions Options() const;

    wxCheckBox* chkMoveSupps = nullptr;
    wxCheckBox* chkUpdateModel = nullptr;
    std::array<wxButton*, kMoveDirectionCount> btnDirection{};
    wxButton* btnDone = nullptr;
    TrackMoveSession session_;
};
