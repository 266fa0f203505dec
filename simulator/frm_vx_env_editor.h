#pragma once
// frmVXEnvEditor ("Vortaxis: Environment Editor"): one environment file at a
// time on ten tab pages, with a tool bar for New, Open, Save, Save As and
// Exit. The pages are built from the row tables of environment_editor_pages.h
// and show gEnvironment; the flow (prompts, dialogs, saving) is the
// EnvironmentEditor's. Closing (Exit, Escape or the close box) asks about
// unsaved changes and stays open when they were not saved and not given up.
// The keyboard reaches every part: Tab goes round the tool bar (whose arrow
// keys choose a button, Enter or Space press it), the tab strip and the
// controls of the page shown; Ctrl+Tab and Ctrl+PageDown change pages.
// Where the editor refuses saves in this run (EnvironmentEditor::Refusal),
// the window says why once, as it opens.

#include <array>
#include <map>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "simulator/environment_editor.h"
#include "simulator/environment_editor_pages.h"

class ucTabContainer;
class ucTabHead;
class ucToolBar;
class wxStaticText;
class wxTextCtrl;

class frmVXEnvEditor : public wxDialog {
public:
    explicit frmVXEnvEditor(wxWindow* owner);

    EnvironmentEditor& Editor() { return editor_; }
    ucToolBar* ucEnvBar = nullptr;
    ucTabHead* ucHead = nullptr;
    std::array<ucTabContainer*, 10> ucTab{};
    wxTextCtrl* txtEnvName = nullptr;

    // A control by its name and index as the pages name it: "chkFog",
    // "txtRegionSkybox(0)", "btnTree_Choose(2)", "lblSunPosition(1)"; nullptr
    // when there is none.
    wxWindow* Control(const std::string& name) const;
    // The tab page shown.
    int ShownTab() const { return shownTab_; }

    void ucHead_TabClick(int Index);
    void ucEnvBar_ButtonClick(int Index);
    // Unload of the window: false when it stays open.
    bool Form_Unload();
    // The values shown again in every control (after New, Open, sun placement).
    void RefreshControls();

private:
    struct BoundRow {
        const EnvRow* Row = nullptr;
        wxWindow* Control = nullptr;
        wxStaticText* ValueLabel = nullptr;
    };

    void BuildPage(ucTabContainer* page, const EnvPage& layout);
    void AddRow(wxWindow* parent, wxSizer* sizer, const EnvRow& row);
    void ShowRow(const BoundRow& bound);
    void PickLabelColor(const BoundRow& bound);
    void RowButton(const EnvRow& row, int button);
    void Register(const std::string& name, wxWindow* control);

    EnvironmentEditor editor_;
    std::map<std::string, wxWindow*> controls_;
    std::vector<BoundRow> rows_;
    int shownTab_ = 0;
};

// Shows the editor modally over its owner.
void ShowVXEnvEditor(wxWindow* owner);
