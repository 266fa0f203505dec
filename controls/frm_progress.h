#pragma once
// frmProgress: a small modeless progress window for long operations, with a
// caption, one line of information and a bar that fills by whole percents
// of a limit. The user cannot close it; its operation ends it with ForceUnload.

#include <cstdint>

#include <wx/frame.h>

#include "controls/progress_model.h"

class wxStaticText;

class frmProgress : public wxFrame {
public:
    explicit frmProgress(wxWindow* parent = nullptr);

    void SetCaption(const wxString& Text);
    void SetInfo(const wxString& Text);
    void SetProgressLimit(int32_t Limit) { mModel.SetProgressLimit(Limit); }
    void SetBarColor(uint32_t Color) { mModel.SetBarColor(Color); }
    void UpdateProgress(int32_t Value);
    // Lets the window close and closes (destroys) it.
    void ForceUnload();

    const uc::ProgressModel& Model() const { return mModel; }
    wxString InfoText() const;
    // Paints the bar, as its paint handler does.
    void RenderBar(wxDC& dc, const wxSize& size) const;
    wxWindow* Bar() const { return mBar; }

private:
    void OnClose(wxCloseEvent& event);
    void LetMessagesRun();

    uc::ProgressModel mModel;
    wxStaticText* lblInfo = nullptr;
    wxWindow* mBar = nullptr;  // pbProgress
};
