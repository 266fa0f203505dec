#pragma once
// The program's own help viewer, for a desktop without a program that opens
// HTML pages: a dialog with an HTML window that shows a page of the help
// folder and follows its links between pages. Links to the web go to the
// desktop's browser, when it has one.

#include <string>

#include <wx/dialog.h>

class wxHtmlWindow;
class wxHtmlLinkEvent;

class frmHelpViewer : public wxDialog {
public:
    // Shows the page (a local HTML file); the caption names the page's title.
    frmHelpViewer(wxWindow* owner, const std::string& page);

    wxHtmlWindow* Html() const { return htmlPage; }
    // The page's own title, or its file name when it has none.
    wxString PageTitle() const;

private:
    void OnLink(wxHtmlLinkEvent& event);
    void UpdateCaption();

    wxHtmlWindow* htmlPage = nullptr;
};

// Shows the page modally above the active window; false when the page could
// not be read.
bool ShowHelpViewer(const std::string& page);
