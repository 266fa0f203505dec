#include "platform/prompts.h"

namespace {

class SilentPrompts final : public Prompts {
public:
    MsgResult MessageBox(const std::string&, const std::string&, MsgButtons buttons, MsgIcon) override {
        switch (buttons) {
            case MsgButtons::YesNo:
            case MsgButtons::YesNoCancel: return MsgResult::Yes;
            case MsgButtons::YesNoNoDefault: return MsgResult::No;
            default: return MsgResult::OK;
        }
    }
    bool FileDialog(FileDialogRequest& request) override {
        request.FileName.clear();
        return false;
    }
    bool ShellOpen(const std::string&) override { return false; }
};

SilentPrompts gSilentPrompts;
Prompts* gPrompts = &gSilentPrompts;

}  // namespace

Prompts& CurrentPrompts() { return *gPrompts; }

void SetPrompts(Prompts* prompts) { gPrompts = prompts ? prompts : &gSilentPrompts; }
