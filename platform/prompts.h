#pragma once
// Everything that asks or tells the user something outside the program's own
// windows goes through one Prompts object: message boxes, the open and save
// file dialogs, and the shell's "open" verb. The program installs the
// wxWidgets implementation at start-up; tests install a scripted one that
// answers from a queue and records every text and title shown.

#include <string>

// YesNoNoDefault: Yes and No with No as the default button, for a question
// whose Yes gives something up (replacing a file).
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, YesNoNoDefault };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgResult { OK, Cancel, Yes, No };

// One request to the platform's open or save dialog and its answer.
struct FileDialogRequest {
    bool Save = false;            // save dialog instead of open dialog
    std::string Title;            // dialog caption
    std::string Filter;           // "Description|pattern;pattern|Description|pattern..."
    int FilterIndex = 1;          // selected filter, from 1; out: the user's choice
    std::string InitialDir;       // folder the dialog starts in
    std::string FileName;         // in: proposed name; out: chosen full path
    std::string DefaultExt;       // added to a typed name without an extension (no dot)
    bool FileMustExist = false;   // open dialog: only existing files
    bool OverwritePrompt = false; // save dialog: confirm replacing a file
    bool ReadOnly = false;        // open dialog: the read-only box; out: as the user left it
    bool HideReadOnly = true;     // open dialog: no read-only box
    void* Owner = nullptr;        // the owning window of the toolkit, or nullptr for the active one
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                 MsgIcon icon) = 0;
    // True when the user confirmed; request.FileName then holds the full path.
    virtual bool FileDialog(FileDialogRequest& request) = 0;
    // Opens a file or web address with its associated program; false when that failed.
    virtual bool ShellOpen(const std::string& target) = 0;
    // Shows a local HTML page in the program's own help viewer, for a desktop
    // without a program to open it; false when there is no viewer.
    virtual bool ShowHelpPage(const std::string& page) {
        (void)page;
        return false;
    }
};

// The prompts in use. Until the program or a test installs its own, a silent
// implementation answers every box with its default button and cancels dialogs.
Prompts& CurrentPrompts();
void SetPrompts(Prompts* prompts);  // nullptr restores the silent default

inline MsgResult MsgBox(const std::string& text, const std::string& title, MsgButtons buttons = MsgButtons::OK,
                        MsgIcon icon = MsgIcon::None) {
    return CurrentPrompts().MessageBox(text, title, buttons, icon);
}
