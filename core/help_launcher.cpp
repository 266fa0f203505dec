#include "core/help_launcher.h"

#include "core/app_state.h"
#include "platform/file_system.h"
#include "platform/help_links.h"
#include "platform/prompts.h"

void ShowHelpTopic(const std::string& Topic) {
    const std::string page = gAppPath + "gtwrhelp/" + Topic + ".htm";
    if (!fsys::FileExists(page)) {
        MsgBox("Help Topic Not Found!", "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    // Without a desktop program to open it, the page is shown by the program itself.
    if (ShellOpen(page) || CurrentPrompts().ShowHelpPage(page)) return;
    // Why, where the page itself could not be read (one larger than a help page can be).
    MsgBox(HelpPageFailureText(page, HelpPageReadError(page)), "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
}

void ShowWebPage(const std::string& Address) { ShowWebAddress(Address); }

bool ShellOpen(const std::string& Target) { return CurrentPrompts().ShellOpen(Target); }
