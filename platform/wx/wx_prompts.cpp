#include "platform/wx/wx_prompts.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "platform/desktop_programs.h"
#include "platform/file_dialog_rules.h"
#include "platform/file_system.h"
#include "platform/wx/help_viewer.h"

namespace {

wxWindow* OwnerWindow(void* owner) {
    if (owner) return static_cast<wxWindow*>(owner);
    if (wxWindow* active = wxGetActiveWindow()) return wxGetTopLevelParent(active);
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

// What the opener is given: an address "www...." without its scheme is a web page.
std::string OpenerTarget(const std::string& target) {
    return target.rfind("www.", 0) == 0 ? "http://" + target : target;
}

// Longest run of characters the message box is given without a place to wrap.
constexpr int kLongestRun = 40;
// The lines a message may take before it goes into a scrolling box: the
// desktop's box wraps at about 60 characters and would grow taller than a
// 768-pixel screen with many more.
constexpr size_t kWrapColumns = 60;
constexpr size_t kMostLines = 24;

bool TooLongForOneScreen(const wxString& text) {
    size_t lines = 0, column = 0;
    for (wxUniChar c : text) {
        if (c == '\n') {
            lines += column / kWrapColumns + 1;
            column = 0;
        } else {
            ++column;
        }
    }
    lines += column / kWrapColumns + 1;
    return lines > kMostLines;
}

// The box for a long message: its icon, the text in a read-only box that
// wraps and scrolls, and the buttons.
class LongMessageDialog final : public wxDialog {
public:
    LongMessageDialog(wxWindow* owner, const wxString& text, const wxString& title, MsgButtons buttons, MsgIcon icon)
        : wxDialog(owner, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
        auto* top = new wxBoxSizer(wxVERTICAL);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        const wxArtID art = icon == MsgIcon::Information ? wxART_INFORMATION
                            : icon == MsgIcon::Exclamation ? wxART_WARNING
                            : icon == MsgIcon::Critical    ? wxART_ERROR
                            : icon == MsgIcon::Question    ? wxART_QUESTION
                                                           : wxArtID();
        if (!art.empty()) {
            row->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)), 0,
                     wxRIGHT, 10);
        }
        auto* box = new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxSize(560, 320),
                                   wxTE_MULTILINE | wxTE_READONLY | wxTE_BESTWRAP, wxDefaultValidator, "messageText");
        row->Add(box, 1, wxEXPAND);
        top->Add(row, 1, wxEXPAND | wxALL, 10);

        std::vector<wxWindowID> ids;
        switch (buttons) {
            case MsgButtons::OK: ids = {wxID_OK}; break;
            case MsgButtons::OKCancel: ids = {wxID_OK, wxID_CANCEL}; break;
            case MsgButtons::YesNo: ids = {wxID_YES, wxID_NO}; break;
            case MsgButtons::YesNoCancel: ids = {wxID_YES, wxID_NO, wxID_CANCEL}; break;
            case MsgButtons::YesNoNoDefault: ids = {wxID_YES, wxID_NO}; break;
        }
        auto* buttonRow = new wxBoxSizer(wxHORIZONTAL);
        buttonRow->AddStretchSpacer();
        for (wxWindowID id : ids) {
            auto* button = new wxButton(this, id);
            buttonRow->Add(button, 0, wxLEFT, 6);
            button->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { EndModal(id); });
        }
        top->Add(buttonRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
        SetSizerAndFit(top);
        // Escape answers as closing the desktop's box does.
        SetEscapeId(ids.back());
        wxWindow* byDefault = FindWindow(buttons == MsgButtons::YesNoNoDefault ? wxID_NO : ids.front());
        byDefault->SetFocus();
        if (auto* button = dynamic_cast<wxButton*>(byDefault)) button->SetDefault();
        CentreOnParent();
    }
};

}  // namespace

wxString WithBreakOpportunities(const wxString& text) {
    wxString out;
    out.reserve(text.length());
    int run = 0;
    for (wxUniChar c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '/' || c == '\\' || c == wxUniChar(0x200B)) {
            run = 0;
        } else if (++run > kLongestRun) {
            out += wxUniChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}

std::unique_ptr<wxDialog> CreateMessageDialog(const std::string& text, const std::string& title, MsgButtons buttons,
                                              MsgIcon icon) {
    const wxString message = ToWxText(text);
    if (TooLongForOneScreen(message)) {
        return std::make_unique<LongMessageDialog>(OwnerWindow(nullptr), message, ToWxText(title), buttons, icon);
    }
    long style = 0;
    switch (buttons) {
        case MsgButtons::OK: style = wxOK; break;
        case MsgButtons::OKCancel: style = wxOK | wxCANCEL; break;
        case MsgButtons::YesNo: style = wxYES_NO; break;
        case MsgButtons::YesNoCancel: style = wxYES_NO | wxCANCEL; break;
        case MsgButtons::YesNoNoDefault: style = wxYES_NO | wxNO_DEFAULT; break;
    }
    switch (icon) {
        case MsgIcon::None: style |= wxICON_NONE; break;
        case MsgIcon::Information: style |= wxICON_INFORMATION; break;
        case MsgIcon::Exclamation: style |= wxICON_EXCLAMATION; break;
        case MsgIcon::Critical: style |= wxICON_ERROR; break;
        case MsgIcon::Question: style |= wxICON_QUESTION; break;
    }
    return std::make_unique<wxMessageDialog>(OwnerWindow(nullptr), WithBreakOpportunities(message), ToWxText(title),
                                             style);
}

wxString ToWxText(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines.push_back(text[i]);
    }
    wxString converted = wxString::FromUTF8(lines.data(), lines.size());
    // Not UTF-8: the single-byte text of the simulator's files.
    if (converted.empty() && !lines.empty()) converted = wxString(lines.data(), wxConvISO8859_1, lines.size());
    return converted;
}

wxString ToWxPath(const std::string& path) { return wxString(path.c_str(), *wxConvFileName); }

std::string FromWxPath(const wxString& path) {
    const wxCharBuffer bytes = path.fn_str();
    return bytes.data() ? std::string(bytes.data()) : std::string();
}

WxPrompts::WxPrompts(std::function<bool()> useDesktopOpener, Starter start)
    : useDesktopOpener_(useDesktopOpener ? std::move(useDesktopOpener) : [] { return UseDesktopOpener(); }),
      start_(start ? std::move(start) : Starter(StartDetached)) {}

MsgResult WxPrompts::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                MsgIcon icon) {
    std::unique_ptr<wxDialog> dialog = CreateMessageDialog(text, title, buttons, icon);
    switch (dialog->ShowModal()) {
        case wxID_OK: return MsgResult::OK;
        case wxID_YES: return MsgResult::Yes;
        case wxID_NO: return MsgResult::No;
        default:
            // Closing a Yes/No box without a Cancel button answers No.
            return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoNoDefault ? MsgResult::No
                                                                                          : MsgResult::Cancel;
    }
}

std::unique_ptr<wxFileDialog> CreateFileDialog(const FileDialogRequest& request) {
    long style = request.Save ? wxFD_SAVE : wxFD_OPEN;
    if (!request.Save && request.FileMustExist) style |= wxFD_FILE_MUST_EXIST;
    // A name given with its folder starts the dialog there, as on the platform the program came from.
    std::string dir = request.InitialDir;
    std::string name = request.FileName;
    if (const size_t slash = name.rfind('/'); slash != std::string::npos) {
        dir = name.substr(0, slash + 1);
        name = name.substr(slash + 1);
    }
    auto dialog = std::make_unique<wxFileDialog>(OwnerWindow(request.Owner), ToWxText(request.Title), ToWxPath(dir),
                                                 ToWxPath(name), ToWxText(fsys::CaseInsensitiveFilter(request.Filter)),
                                                 style);
    const int entries = static_cast<int>(std::count(request.Filter.begin(), request.Filter.end(), '|') + 1) / 2;
    if (request.FilterIndex >= 1 && request.FilterIndex <= entries) dialog->SetFilterIndex(request.FilterIndex - 1);
    return dialog;
}

bool WxPrompts::FileDialog(FileDialogRequest& request) {
    std::unique_ptr<wxFileDialog> dialog = CreateFileDialog(request);
    if (dialog->ShowModal() != wxID_OK) {
        request.FileName.clear();
        return false;
    }
    // The question about replacing a file is the caller's (core/file_dialogs),
    // asked about the path the save will write.
    request.FileName = fsys::WithDefaultExtension(FromWxPath(dialog->GetPath()), request.DefaultExt, request.Save);
    request.FilterIndex = dialog->GetFilterIndex() + 1;
    return true;
}

bool WxPrompts::ShowHelpPage(const std::string& page) { return ShowHelpViewer(page); }

bool WxPrompts::ShellOpen(const std::string& target) {
    // The opener is started here rather than through the toolkit, which would
    // show a box of its own for a failure the caller reports anyway. A target
    // that looks like an option is no file or address of the program's.
    if (target.empty() || target[0] == '-' || !useDesktopOpener_()) return false;
    return start_({"xdg-open", OpenerTarget(target)});
}
