#include "platform/scripted_prompts.h"

MsgResult ScriptedPrompts::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                      MsgIcon icon) {
    Messages.push_back(ShownMessage{text, title, buttons, icon});
    if (!MessageAnswers.empty()) {
        const MsgResult answer = MessageAnswers.front();
        MessageAnswers.pop_front();
        return answer;
    }
    switch (buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel: return MsgResult::Yes;
        case MsgButtons::YesNoNoDefault: return MsgResult::No;
        default: return MsgResult::OK;
    }
}

bool ScriptedPrompts::FileDialog(FileDialogRequest& request) {
    FileDialogs.push_back(request);
    if (FileDialogAnswers.empty() || !FileDialogAnswers.front().Confirmed) {
        if (!FileDialogAnswers.empty()) FileDialogAnswers.pop_front();
        request.FileName.clear();
        return false;
    }
    const FileDialogAnswer answer = FileDialogAnswers.front();
    FileDialogAnswers.pop_front();
    request.FileName = answer.Path;
    if (answer.FilterIndex > 0) request.FilterIndex = answer.FilterIndex;
    request.ReadOnly = answer.ReadOnly;
    return true;
}

bool ScriptedPrompts::ShellOpen(const std::string& target) {
    ShellOpened.push_back(target);
    if (ShellOpenResults.empty()) return true;
    const bool result = ShellOpenResults.front();
    ShellOpenResults.pop_front();
    return result;
}

bool ScriptedPrompts::ShowHelpPage(const std::string& page) {
    HelpPagesShown.push_back(page);
    return true;
}

ScopedPrompts::ScopedPrompts(Prompts& prompts) : previous_(&CurrentPrompts()) { SetPrompts(&prompts); }

ScopedPrompts::~ScopedPrompts() { SetPrompts(previous_); }
