#include "platform/wx/help_viewer.h"

#include <cctype>

#include <wx/app.h>
#include <wx/filesys.h>
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "platform/file_system.h"
#include "platform/wx/wx_prompts.h"

namespace {

constexpr const char* kCaption = "Gantrywright Help";

bool IsWebAddress(const wxString& href) {
    return href.Contains("://") && !href.StartsWith("file:");
}

}  // namespace

frmHelpViewer::frmHelpViewer(wxWindow* owner, const std::string& page)
    : wxDialog(owner, wxID_ANY, kCaption, wxDefaultPosition, wxSize(760, 620),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    htmlPage = new wxHtmlWindow(this, wxID_ANY, wxDefaultPosition, wxSize(740, 540));
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

    back->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (htmlPage->HistoryCanBack()) htmlPage->HistoryBack();
        UpdateCaption();
    });
    close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (IsModal())
            EndModal(wxID_CLOSE);
        else
            Hide();
    });
    htmlPage->Bind(wxEVT_HTML_LINK_CLICKED, &frmHelpViewer::OnLink, this);
    htmlPage->LoadFile(wxFileName(ToWxPath(page)));
    UpdateCaption();
    CentreOnParent();
}

wxString frmHelpViewer::PageTitle() const {
    const wxString opened = htmlPage->GetOpenedPage();
    // The page's <title>, read from the file itself (the HTML window gives the file's name).
    std::string text;
    const wxFileName file = wxFileSystem::URLToFileName(opened);
    if (fsys::ReadWholeFile(FromWxPath(file.GetFullPath()), text)) {
        std::string lower = text;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const size_t open = lower.find("<title>");
        const size_t close = open == std::string::npos ? open : lower.find("</title>", open);
        if (close != std::string::npos) return wxString::FromUTF8(text.substr(open + 7, close - open - 7));
    }
    return file.GetFullName();
}

void frmHelpViewer::UpdateCaption() {
    const wxString title = PageTitle();
    SetTitle(title.empty() ? wxString(kCaption) : wxString(kCaption) + " - " + title);
}

void frmHelpViewer::OnLink(wxHtmlLinkEvent& event) {
    const wxString href = event.GetLinkInfo().GetHref();
    if (IsWebAddress(href) || href.StartsWith("mailto:")) {
        wxLaunchDefaultBrowser(href);
        return;
    }
    htmlPage->LoadPage(href);  // a page beside the open one, or a place on it
    UpdateCaption();
}

bool ShowHelpViewer(const std::string& page) {
    wxWindow* active = wxGetActiveWindow();
    wxWindow* owner = active ? wxGetTopLevelParent(active) : (wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    frmHelpViewer viewer(owner, page);
    if (viewer.Html()->GetOpenedPage().empty()) return false;
    viewer.ShowModal();
    return true;
}
