#pragma once
// The toolkit's own messages go to the terminal, never into a box of its own:
// everything the user is told comes through the prompts. Its log is written to
// the standard error, and so is an assertion that fails inside it: the
// toolkit's "An assertion failed!" box offers to stop the program, which would
// end it there and lose the user's unsaved work.

#include <wx/string.h>

// Writes the failed assertion as one line on the standard error and returns:
// the program goes on, as it does where the toolkit is built without its checks.
void ToolkitAssertionToTerminal(const wxString& file, int line, const wxString& func, const wxString& cond,
                                const wxString& msg);

// Sends the toolkit's log and its failed assertions to the terminal; called
// at start, before the toolkit is set up.
void SendToolkitMessagesToTerminal();
