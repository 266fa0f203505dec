#pragma once
// The program's own help viewer, for a desktop without a program that opens
// HTML pages: a dialog with an HTML window that shows a page of the help
// folder and follows its links between pages. The pages are read by the
// viewer itself and handed to the window as HTML, so they are rendered
// whether or not the system knows the ".htm" type. Web and mail links go to
// the desktop's opener, when it has one; links of any other scheme are
// refused with a message (platform/help_links.h).

#include <string>
#include <vector>

#include <wx/dialog.h>

class wxHtmlWindow;
class wxHtmlLinkEvent;

class frmHelpViewer : public wxDialog {
public:
    // Shows the page (a local HTML file); the caption names the page's title.
    frmHelpViewer(wxWindow* owner, const std::string& page);

    wxHtmlWindow* Html() const { return htmlPage; }
    // The file of the page shown; empty when none could be read.
    const std::string& PagePath() const { return current; }
    // The page's own title, or its file name when it has none.
    wxString PageTitle() const { return title; }

    // Shows the page at path, scrolled to the anchor when one is given; false
    // (the page shown before staying) when the file cannot be read.
    bool ShowPage(const std::string& path, const wxString& anchor = wxString());
    // Follows a link of the page shown, as a click on it does; a page that
    // cannot be shown is said in a "Warning!" box (HelpPageFailureText).
    void FollowLink(const wxString& href);
    // Back to the page shown before the last link; false when there is none.
    bool GoBack();

private:
    void OnLink(wxHtmlLinkEvent& event);
    bool Load(const std::string& path, const wxString& anchor);

    wxHtmlWindow* htmlPage = nullptr;
    std::string current;
    wxString title;
    int loadError = 0;  // why the last page that could not be shown could not be read
    std::vector<std::string> history;  // the pages left by links, the last one most recent
};

// The viewer's caption for a page title: "Gantrywright Help", followed by
// " - " and the title unless the title starts with that name itself.
wxString HelpViewerCaption(const wxString& pageTitle);

// Shows the page modally above the active window; false when the page could
// not be read.
bool ShowHelpViewer(const std::string& page);
