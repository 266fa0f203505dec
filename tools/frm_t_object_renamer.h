#pragma once
// frmTObjectRenamer: Track > Object Renamer. Each Rename points the chosen
// scenery object (or every object of its file) at another file at once; Done
// closes the dialog.

#include "tools/frm_tool_dialog.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

class frmTObjectRenamer : public frmToolDialog {
public:
    explicit frmTObjectRenamer(wxWindow* owner);

    wxChoice* ObjectList() const { return cmbObjList; }
    wxTextCtrl* NewFileBox() const { return txtNewFile; }
    wxCheckBox* RenameAllBox() const { return chkRenameAll; }
    wxButton* BrowseButton() const { return btnBrowse; }
    wxButton* RenameButton() const { return btnRename; }
    wxButton* DoneButton() const { return btnDone; }

    void FillObjectList();
    void cmbObjList_Click();
    void txtNewFile_Change();
    void btnBrowse_Click();
    void btnRename_Click();
    void btnDone_Click();

protected:
    bool ApplyTool() override { return false; }  // no OK: Rename applies, Done closes

private:
    wxChoice* cmbObjList = nullptr;
    wxStaticText* lblInfo[2] = {};
    wxTextCtrl* txtNewFile = nullptr;
    wxButton* btnBrowse = nullptr;
    wxCheckBox* chkRenameAll = nullptr;
    wxButton* btnRename = nullptr;
    wxButton* btnDone = nullptr;
};

void ShowTObjectRenamerDialog(wxWindow* owner);
