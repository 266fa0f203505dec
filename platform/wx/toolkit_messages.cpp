#include "platform/wx/toolkit_messages.h"

#include <cstdio>
#include <string>

#include <wx/debug.h>
#include <wx/log.h>

void ToolkitAssertionToTerminal(const wxString& file, int line, const wxString& func, const wxString& cond,
                                const wxString& msg) {
    std::string text = "Toolkit assertion \"" + cond.utf8_string() + "\" failed in " + func.utf8_string() + " (" +
                       file.utf8_string() + ":" + std::to_string(line) + ")";
    if (!msg.empty()) text += ": " + msg.utf8_string();
    std::fprintf(stderr, "%s\n", text.c_str());
}

void SendToolkitMessagesToTerminal() {
    delete wxLog::SetActiveTarget(new wxLogStderr());
    wxSetAssertHandler(ToolkitAssertionToTerminal);
}
