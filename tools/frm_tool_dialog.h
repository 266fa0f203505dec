#pragma once
// frmToolDialog: what every tool dialog of the Track and Element menus shares.
// Its caption and help topic come from the tool table; it holds the OK,
// Cancel and Help buttons, the titled panels and the numeric boxes, and it
// keeps OK disabled while any box shows red.
//
// OK runs the tool (its checks, its edit, its rebuild flags and the changed
// mark, in that order) and unloads the dialog when the tool applied its edit;
// a refused check leaves the dialog open. Cancel and the close box unload it
// and change nothing.

#include <string>
#include <vector>

#include <wx/dialog.h>

#include "tools/tool_form.h"
#include "tools/tool_table.h"

class wxBoxSizer;
class wxButton;
class wxSizer;
class ucContainer;
class ucNumericTextBox;

class frmToolDialog : public wxDialog {
public:
    // The dialog of the tool table's row `dialog` (e.g. "frmTScale").
    frmToolDialog(wxWindow* owner, const char* dialog);

    const ToolDialogInfo& Tool() const { return *tool_; }
    const ToolForm& Form() const { return form_; }
    // The controls, for the program's tests; nullptr where the dialog has none.
    wxButton* OkayButton() const { return btnOkay; }
    wxButton* CancelButton() const { return btnCancel; }
    wxButton* HelpButton() const { return btnHelp; }
    ucNumericTextBox* NumericBox(int index) const { return boxes_.at(static_cast<size_t>(index)); }
    int NumericBoxCount() const { return static_cast<int>(boxes_.size()); }
    const std::vector<ucContainer*>& Panels() const { return panels_; }

    void btnOkay_Click();
    void btnCancel_Click();
    void btnHelp_Click();

protected:
    // The tool's OK before the dialog unloads: checks, edit, flags, changed
    // mark. True when the edit was applied.
    virtual bool ApplyTool() = 0;
    // A box's Change: that box checked, then OK enabled while none is red.
    virtual void BoxChanged(int index);
    // The close box: the same as Cancel unless the tool says otherwise.
    virtual void CloseBox();
    // Ends the dialog: EndModal while modal, otherwise hidden with the result
    // as its return code (the modeless Move tool destroys itself).
    virtual void Unload(int result);

    // Building the window: a titled panel added to the dialog's column (or to
    // `into`, a sizer of the dialog), whose contents go into the returned sizer.
    wxBoxSizer* AddPanel(const wxString& title, wxSizer* into = nullptr, int proportion = 0);
    ucContainer* LastPanel() const { return panels_.back(); }
    // A numeric box for the panel just added, holding its default text.
    ucNumericTextBox* AddNumericBox(const NumericBoxSpec& spec, int width = 60);
    // A row "label [box] unit" in the panel just added; the rows of a panel
    // stand in one grid, added to `sizer` with the first of them.
    ucNumericTextBox* AddNumericRow(wxSizer* sizer, const wxString& label, const NumericBoxSpec& spec,
                                    const wxString& unit);
    // The button row: OK, Cancel and Help (which of them the tool has).
    void AddButtons(bool okAndCancel = true, bool help = true);
    // Sizes the dialog to its contents and centres it on its owner.
    void FinishLayout();
    void SetOkayEnabled(bool enabled);

    wxBoxSizer* Column() const { return column_; }
    wxBoxSizer* ButtonRow() const { return buttonRow_; }

    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxButton* btnHelp = nullptr;

private:
    void OnClose(class wxCloseEvent& event);

    const ToolDialogInfo* tool_;
    ToolForm form_;
    std::vector<ucNumericTextBox*> boxes_;
    std::vector<ucContainer*> panels_;
    wxBoxSizer* column_ = nullptr;
    class wxFlexGridSizer* rowGrid_ = nullptr;
    wxBoxSizer* buttonRow_ = nullptr;
};

// The margin between the dialogs' controls, in pixels.
inline constexpr int kToolMargin = 8;
