#include "platform/help_links.h"

#include <cerrno>

#include "platform/file_system.h"
#include "platform/prompts.h"

HelpLink HelpLinkKind(const std::string& href) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const size_t colon = href.find(':');
    if (colon == std::string::npos || colon == 0 || !letter(href[0])) return HelpLink::Page;
    std::string scheme;
    for (size_t i = 0; i < colon; ++i) {
        const char c = href[i];
        // A "/", "?" or "#" before the ":" makes it a page's path, query or anchor.
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return HelpLink::Page;
        scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return scheme == "http" || scheme == "https" || scheme == "mailto" ? HelpLink::Web : HelpLink::Refused;
}

void ShowWebAddress(const std::string& address) {
    if (CurrentPrompts().ShellOpen(address)) return;
    MsgBox("Could Not Open the Web Page!\r\nNo web browser was found to show " + address + ".", "Warning!",
           MsgButtons::OK, MsgIcon::Exclamation);
}

bool OpenOutsideHelpLink(const std::string& href) {
    switch (HelpLinkKind(href)) {
        case HelpLink::Page: return false;
        case HelpLink::Web: ShowWebAddress(href); return true;
        case HelpLink::Refused: break;
    }
    MsgBox(kRefusedLinkText + href + ".", "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

std::string HelpPageFailureText(const std::string& page, int error) {
    if (error == ENOENT) return "Help Topic Not Found!";
    std::string text = "Could Not Open the Help Page!\r\n" + page;
    if (error != 0) text += "\r\n" + fsys::ReadFailureReason(error, fsys::kHelpPage);
    return text;
}

int HelpPageReadError(const std::string& page) {
    std::string bytes;
    errno = 0;
    return fsys::ReadWholeFile(page, bytes, fsys::kHelpPage) ? 0 : errno;
}
