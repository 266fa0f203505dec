#pragma once
// The program's application object below its start-up: nothing that a reader
// or an event handler throws ends the program. It is said in an "Error!" box
// through the prompts and the program goes on.

#include <string>

#include <wx/app.h>

class ProgramApp : public wxApp {
public:
    // An exception out of an event handler (a menu, a button, a timer, a
    // dialog's own loop): the user is told, and the event loop goes on.
    bool OnExceptionInMainLoop() override;
    // One that escaped the loop all the same: told the same way; the program then ends.
    void OnUnhandledException() override;
};

// The message for the exception being handled (call it inside a catch block):
// kNoMemoryLeftText for a lack of memory (std::bad_alloc, std::length_error),
// kUnexpectedErrorText followed by its own text for another std::exception,
// kUnexpectedErrorText alone for anything else.
std::string CurrentExceptionText();
// Shows CurrentExceptionText() in an "Error!" box with the critical icon.
void ReportCurrentException();

inline constexpr const char* kNoMemoryLeftText =
    "Out of Memory!\r\nWhat was being done needs more memory than the system gives, and was stopped.";
inline constexpr const char* kUnexpectedErrorText = "Unexpected Error!\r\nWhat was being done was stopped.";
