#pragma once
// frmVXEnvOrganizer ("Vortaxis: Environment Organizer"): counts the
// environments of the simulator's Environments folder and those that need
// organizing, and lists the texture values it cannot rewrite and the loose
// files it cannot move (or why it moves none); OK organizes them
// (EnvironmentOrganizer) with a progress bar, says what it had to keep as it
// was, and closes; Cancel closes without a change. Where the organizer does
// nothing in this run (EnvironmentOrganizer::Refusal), the list shows why,
// alone, and OK stays greyed.

#include <wx/dialog.h>

#include "simulator/environment_organizer.h"

class wxButton;
class wxPanel;
class wxStaticText;
class wxTextCtrl;

class frmVXEnvOrganizer : public wxDialog {
public:
    explicit frmVXEnvOrganizer(wxWindow* owner);

    wxStaticText* lblEnvCount[2] = {nullptr, nullptr};
    // The values that cannot be rewritten and the files that cannot be moved,
    // one a line; shown only when there are any.
    wxTextCtrl* txtProblems = nullptr;
    wxPanel* pbProgress = nullptr;
    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxButton* btnHelp = nullptr;

    const EnvironmentOrganizer& Organizer() const { return organizer_; }
    // The progress bar's filled share (0 to 100) and whether it is finished (green).
    int ProgressPercent() const { return percent_; }
    bool ProgressDone() const { return done_; }

    void btnOkay_Click();

private:
    void PaintProgress();

    EnvironmentOrganizer organizer_;
    int percent_ = 0;
    bool done_ = false;
};

void ShowVXEnvOrganizer(wxWindow* owner);
