#include "platform/wx/help_viewer.h"

#include <cerrno>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>

#include "platform/file_system.h"
#include "platform/help_links.h"
#include "platform/prompts.h"
#include "platform/wx/wx_prompts.h"

namespace {

constexpr const char* kCaption = "Gantrywright Help";

// The HTML window, with its scrolling to a named place open to the viewer.
class HelpHtmlWindow final : public wxHtmlWindow {
public:
    using wxHtmlWindow::wxHtmlWindow;
    void GoToAnchor(const wxString& anchor) { ScrollToAnchor(anchor); }
};

void GoToAnchor(wxHtmlWindow* window, const wxString& anchor) {
    if (!anchor.empty()) static_cast<HelpHtmlWindow*>(window)->GoToAnchor(anchor);
}

// The text between <title> and </title>, blanks at its ends left out.
wxString TitleOf(const wxString& html) {
    const wxString lower = html.Lower();
    const int open = lower.Find("<title>");
    if (open == wxNOT_FOUND) return wxString();
    const size_t start = static_cast<size_t>(open) + 7;
    const size_t close = lower.find("</title>", start);
    if (close == wxString::npos) return wxString();
    wxString title = html.Mid(start, close - start);
    title.Trim(true).Trim(false);
    return title;
}

}  // namespace

wxString HelpViewerCaption(const wxString& pageTitle) {
    if (pageTitle.empty()) return kCaption;
    if (pageTitle.StartsWith(kCaption)) return pageTitle;
    return wxString(kCaption) + " - " + pageTitle;
}

frmHelpViewer::frmHelpViewer(wxWindow* owner, const std::string& page)
    : wxDialog(owner, wxID_ANY, kCaption, wxDefaultPosition, wxSize(760, 620),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    htmlPage = new HelpHtmlWindow(this, wxID_ANY, wxDefaultPosition, wxSize(740, 540));
    top->Add(htmlPage, 1, wxEXPAND | wxALL, 6);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* back = new wxButton(this, wxID_BACKWARD, "Back");
    auto* close = new wxButton(this, wxID_CLOSE, "Close");
    buttons->Add(back, 0, wxRIGHT, 6);
    buttons->AddStretchSpacer();
    buttons->Add(close, 0);
    top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizer(top);
    SetEscapeId(wxID_CLOSE);

    back->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { GoBack(); });
    close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (IsModal())
            EndModal(wxID_CLOSE);
        else
            Hide();
    });
    htmlPage->Bind(wxEVT_HTML_LINK_CLICKED, &frmHelpViewer::OnLink, this);
    ShowPage(page);
    CentreOnParent();
}

bool frmHelpViewer::Load(const std::string& path, const wxString& anchor) {
    std::string bytes;
    if (!fsys::ReadWholeFile(path, bytes, fsys::kHelpPage)) {
        loadError = errno;
        return false;
    }
    const wxString html = ToWxText(bytes);
    // Pictures and other files the page names are found beside it.
    if (wxFileSystem* files = htmlPage->GetParser()->GetFS()) {
        files->ChangePathTo(ToWxPath(path), false);
    }
    htmlPage->SetPage(html);
    GoToAnchor(htmlPage, anchor);
    current = path;
    title = TitleOf(html);
    if (title.empty()) title = wxFileName(ToWxPath(path)).GetFullName();
    SetTitle(HelpViewerCaption(title));
    return true;
}

bool frmHelpViewer::ShowPage(const std::string& path, const wxString& anchor) {
    const std::string before = current;
    if (!Load(path, anchor)) return false;
    if (!before.empty() && before != path) history.push_back(before);
    return true;
}

bool frmHelpViewer::GoBack() {
    while (!history.empty()) {
        const std::string previous = history.back();
        history.pop_back();
        if (Load(previous, wxString())) return true;
    }
    return false;
}

void frmHelpViewer::FollowLink(const wxString& href) {
    // Web and mail addresses go to the desktop's opener; a link of any other scheme is refused.
    if (OpenOutsideHelpLink(href.utf8_string())) return;
    wxString target = href, anchor;
    if (const int hash = href.Find('#'); hash != wxNOT_FOUND) {
        target = href.Left(static_cast<size_t>(hash));
        anchor = href.Mid(static_cast<size_t>(hash) + 1);
    }
    // A page's query is no part of its file's name.
    if (const int query = target.Find('?'); query != wxNOT_FOUND) target = target.Left(static_cast<size_t>(query));
    if (target.empty()) {  // a place on the page shown
        GoToAnchor(htmlPage, anchor);
        return;
    }
    wxFileName file(target);
    if (file.IsRelative()) file.MakeAbsolute(wxFileName(ToWxPath(current)).GetPath());
    const std::string page = FromWxPath(file.GetFullPath());
    if (!ShowPage(page, anchor)) {
        MsgBox(HelpPageFailureText(page, loadError), "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
    }
}

void frmHelpViewer::OnLink(wxHtmlLinkEvent& event) { FollowLink(event.GetLinkInfo().GetHref()); }

bool ShowHelpViewer(const std::string& page) {
    wxWindow* active = wxGetActiveWindow();
    wxWindow* owner = active ? wxGetTopLevelParent(active) : (wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    frmHelpViewer viewer(owner, page);
    if (viewer.PagePath().empty()) return false;
    viewer.ShowModal();
    return true;
}
