#pragma once
// The Prompts of the running program: wxWidgets message boxes and file
// dialogs, and the desktop's default programs for the shell's open verb.
// Installed by the program at start-up (SetPrompts).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/filedlg.h>
#include <wx/string.h>

#include "platform/prompts.h"

class wxDialog;

class WxPrompts final : public Prompts {
public:
    // useDesktopOpener tells whether the desktop's opener may be handed a page
    // (UseDesktopOpener of platform/desktop_programs.h unless a test gives its
    // own); start starts a command without waiting for it (StartDetached).
    using Starter = std::function<bool(const std::vector<std::string>& command)>;
    explicit WxPrompts(std::function<bool()> useDesktopOpener = {}, Starter start = {});

    MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon) override;
    // Shows the dialog once; the chosen path with the default extension
    // applied (fsys::WithDefaultExtension). Asking before a file is replaced
    // is the caller's (ShowSaveFileDialog), about the path the save writes.
    bool FileDialog(FileDialogRequest& request) override;
    // Hands the target to xdg-open, which runs on by itself. False, with
    // nothing started and nothing shown, where the desktop has no opener or no
    // program for web pages, or xdg-open could not be started: the caller says
    // what failed, once.
    bool ShellOpen(const std::string& target) override;
    // The program's help viewer (platform/wx/help_viewer.h), shown modally.
    bool ShowHelpPage(const std::string& page) override;

private:
    std::function<bool()> useDesktopOpener_;
    Starter start_;
};

// The dialog MessageBox shows, not yet shown: the desktop's message box, or,
// for a text too long to fit one screen, a box of the program's own that
// scrolls the text. Either shows the text exactly, wrapped to its width.
std::unique_ptr<wxDialog> CreateMessageDialog(const std::string& text, const std::string& title, MsgButtons buttons,
                                              MsgIcon icon);

// The text with a zero-width space after every 40 characters of a run without
// a blank, a slash or a backslash, so that the desktop's message box wraps a
// long name instead of growing wider than the screen. Nothing visible changes.
wxString WithBreakOpportunities(const wxString& text);

// The dialog FileDialog shows for a request (filters made case-insensitive,
// the start folder and name split as the toolkit wants them), not yet shown.
std::unique_ptr<wxFileDialog> CreateFileDialog(const FileDialogRequest& request);

// Program text (UTF-8, or single-byte text of the simulator's files) for the
// toolkit, with CR LF line ends made "\n"; and file-system paths both ways.
wxString ToWxText(const std::string& text);
wxString ToWxPath(const std::string& path);
std::string FromWxPath(const wxString& path);
