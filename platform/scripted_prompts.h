#pragma once
// A Prompts implementation for tests: it answers from queues filled by the
// test and records everything the program showed or asked for. Once a queue is
// empty, message boxes take their default button (Yes or OK; No where No is
// the default), file dialogs are
// cancelled, the shell's open verb reports success and the help viewer shows
// every page.

#include <deque>
#include <string>
#include <vector>

#include "platform/prompts.h"

struct ShownMessage {
    std::string Text;
    std::string Title;
    MsgButtons Buttons = MsgButtons::OK;
    MsgIcon Icon = MsgIcon::None;
};

// The user's answer to one file dialog.
struct FileDialogAnswer {
    bool Confirmed = true;
    std::string Path;       // the chosen full path
    int FilterIndex = 0;    // the chosen filter from 1; 0 keeps the request's
    bool ReadOnly = false;  // the read-only box as the user left it
};

class ScriptedPrompts final : public Prompts {
public:
    std::deque<MsgResult> MessageAnswers;
    std::deque<FileDialogAnswer> FileDialogAnswers;
    std::deque<bool> ShellOpenResults;

    std::vector<ShownMessage> Messages;             // every message box, in order
    std::vector<FileDialogRequest> FileDialogs;     // every file dialog request as it came in
    std::vector<std::string> ShellOpened;           // every target of the open verb
    std::vector<std::string> HelpPagesShown;        // every page shown in the help viewer

    MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon) override;
    bool FileDialog(FileDialogRequest& request) override;
    bool ShellOpen(const std::string& target) override;
    bool ShowHelpPage(const std::string& page) override;
};

// Installs prompts for the lifetime of the object and puts the previous ones back.
class ScopedPrompts {
public:
    explicit ScopedPrompts(Prompts& prompts);
    ~ScopedPrompts();
    ScopedPrompts(const ScopedPrompts&) = delete;
    ScopedPrompts& operator=(const ScopedPrompts&) = delete;

private:
    Prompts* previous_;
};
