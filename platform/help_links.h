#pragma once
// The links of the help pages: which of them leave the pages, and what is
// opened for them. Web and mail addresses go to the desktop's opener through
// the prompts (CurrentPrompts().ShellOpen); nothing else ever does.

#include <string>

// A link with a scheme (an ASCII letter and then letters, digits, "+", "-" or
// ".", up to the first ":") leaves the help pages: "http", "https" and
// "mailto" (in any letter case) are web or mail addresses; every other scheme
// ("file", "javascript", "smb", "ssh", ...) is refused. A link without one
// ("m_settings.htm#top", "x.htm?u=http://", "/a/b.htm") names a page.
enum class HelpLink { Page, Web, Refused };
HelpLink HelpLinkKind(const std::string& href);

// Hands the address to the desktop's opener; when that finds no program, says
// "Could Not Open the Web Page!" and that no web browser was found to show the
// address, in a "Warning!" box with the exclamation icon.
void ShowWebAddress(const std::string& address);

// A link that leaves the help pages: a web or mail address is shown
// (ShowWebAddress); any other says kRefusedLinkText followed by the link and
// "." in a "Warning!" box with the exclamation icon, and nothing is opened.
// False, doing nothing, for a link to a page.
bool OpenOutsideHelpLink(const std::string& href);
inline constexpr const char* kRefusedLinkText =
    "Could Not Open the Link!\r\nThe help opens only web and mail links (http, https and mailto), not ";

// The message for a help page the program could not show, from the errno of
// its read (ReadWholeFile with fsys::kHelpPage): "Help Topic Not Found!" where
// the page does not exist; else "Could Not Open the Help Page!", the page's
// path, and why it could not be read (fsys::ReadFailureReason) unless error is
// 0 (the page was read, but nothing could show it).
std::string HelpPageFailureText(const std::string& page, int error);

// The errno of reading the page as the help viewer reads it (bounded by
// fsys::kHelpPage; a page over the bound is refused unread); 0 when it reads.
int HelpPageReadError(const std::string& page);
