#include "platform/wx/wx_prompts.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "platform/file_dialog_rules.h"
#include "platform/file_system.h"
#include "platform/wx/help_viewer.h"

namespace {

wxWindow* OwnerWindow(void* owner) {
    if (owner) return static_cast<wxWindow*>(owner);
    if (wxWindow* active = wxGetActiveWindow()) return wxGetTopLevelParent(active);
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

bool LooksLikeAddress(const std::string& target) {
    return target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0 ||
           target.rfind("www.", 0) == 0;
}

}  // namespace

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

MsgResult WxPrompts::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                MsgIcon icon) {
    long style = 0;
    switch (buttons) {
        case MsgButtons::OK: style = wxOK; break;
        case MsgButtons::OKCancel: style = wxOK | wxCANCEL; break;
        case MsgButtons::YesNo: style = wxYES_NO; break;
        case MsgButtons::YesNoCancel: style = wxYES_NO | wxCANCEL; break;
    }
    switch (icon) {
        case MsgIcon::None: style |= wxICON_NONE; break;
        case MsgIcon::Information: style |= wxICON_INFORMATION; break;
        case MsgIcon::Exclamation: style |= wxICON_EXCLAMATION; break;
        case MsgIcon::Critical: style |= wxICON_ERROR; break;
        case MsgIcon::Question: style |= wxICON_QUESTION; break;
    }
    wxMessageDialog dialog(OwnerWindow(nullptr), ToWxText(text), ToWxText(title), style);
    switch (dialog.ShowModal()) {
        case wxID_OK: return MsgResult::OK;
        case wxID_YES: return MsgResult::Yes;
        case wxID_NO: return MsgResult::No;
        default:
            // Closing a Yes/No box without a Cancel button answers No.
            return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
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
    FileDialogRequest current = request;
    for (;;) {
        std::unique_ptr<wxFileDialog> dialog = CreateFileDialog(current);
        if (dialog->ShowModal() != wxID_OK) {
            request.FileName.clear();
            return false;
        }
        const std::string path =
            fsys::WithDefaultExtension(FromWxPath(dialog->GetPath()), request.DefaultExt, request.Save);
        const int filterIndex = dialog->GetFilterIndex() + 1;
        dialog.reset();
        if (request.Save && request.OverwritePrompt && fsys::FileExists(path)) {
            const std::string question = fsys::FileNameOf(path) + " already exists.\r\nDo you want to replace it?";
            wxMessageDialog confirm(OwnerWindow(request.Owner), ToWxText(question), ToWxText(request.Title),
                                    wxYES_NO | wxNO_DEFAULT | wxICON_EXCLAMATION);
            if (confirm.ShowModal() != wxID_YES) {
                // Back to the dialog with the name the user chose.
                current.FileName = path;
                current.FilterIndex = filterIndex;
                continue;
            }
        }
        request.FileName = path;
        request.FilterIndex = filterIndex;
        return true;
    }
}

bool WxPrompts::ShowHelpPage(const std::string& page) { return ShowHelpViewer(page); }

bool WxPrompts::ShellOpen(const std::string& target) {
    if (target.empty()) return false;
    if (LooksLikeAddress(target)) return wxLaunchDefaultBrowser(ToWxText(target));
    return wxLaunchDefaultApplication(ToWxPath(target));
}
