#pragma once
// Help pages: one HTML file per topic in the gtwrhelp folder of the program's
// data folder (gAppPath), opened with the desktop's default program, or in the
// program's own help viewer where the desktop has none.

#include <string>

// Opens gAppPath + "gtwrhelp/" + Topic + ".htm"; when that file is missing,
// says "Help Topic Not Found!" in a "Warning!" box with the exclamation icon.
// The desktop's opener gets it only where the desktop has a program for web
// pages (the platform's ShellOpen refuses it otherwise); else the program's
// own help viewer shows it; when neither can, a "Warning!" box says so with
// the page's path, and why where the page could not be read
// (HelpPageFailureText of platform/help_links.h).
void ShowHelpTopic(const std::string& Topic);

// The Help menu's web pages: opened with the desktop's browser; when it has
// none, a "Warning!" box names the address instead of nothing happening.
void ShowWebPage(const std::string& Address);

// Opens a file or web address with its associated program (CurrentPrompts());
// true when that was started. Callers of the help menu ignore the result.
bool ShellOpen(const std::string& Target);
