#pragma once
// The document commands of the main window: open (by dialog, recent entry or
// command line), save, save as, clear the recent list, and the question about
// unsaved changes before a document is replaced or the program ends; with the
// menu state and the window title that follow them.
//
// Display-free: the window supplies what they change on screen through
// MainWindowView.

#include <cstdint>
#include <functional>
#include <string>

#include "app/menu_state.h"

class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void ApplyMenuState(const MenuState& state) = 0;
    // mnuSave and tbMain button 1 (Save).
    virtual void SetSaveEnabled(bool enabled) = 0;
    // Refills the tool bar of the tools for gDocumentType (emptied without a document).
    virtual void SetupToolToolbar() = 0;
    virtual void RenderScene() = 0;
    // The owner of the file dialogs (a wxWindow*, or nullptr).
    virtual void* DialogOwner() = 0;
    // A note in the status bar, said without a box in the way of the document; empty clears it.
    virtual void ShowNote(const std::string& text) = 0;
    // Runs `work` once what has just changed on screen has been drawn (the
    // window's events handled first); dropped with the window.
    virtual void WhenDrawn(std::function<void()> work) = 0;
};

// Captions and texts of the commands.
inline constexpr const char* kOpenDialogTitle = "Open Vortaxis Track or Element File...";
inline constexpr const char* kOpenDialogFilter =
    "Vortaxis Files|*.vxtrack;*.vxelem|Vortaxis Tracks (*.vxtrack)|*.vxtrack|Vortaxis Elements (*.vxelem)|*.vxelem";
inline constexpr const char* kSaveTrackDialogTitle = "Save Vortaxis Track File...";
inline constexpr const char* kSaveTrackDialogFilter = "Vortaxis Tracks (*.vxtrack)|*.vxtrack";
inline constexpr const char* kSaveElementDialogTitle = "Save Vortaxis Element File...";
inline constexpr const char* kSaveElementDialogFilter = "Vortaxis Elements (*.vxelem)|*.vxelem";
inline constexpr const char* kUnsavedChangesTitle = "Unsaved Changes";
inline constexpr const char* kUnsavedChangesText = "There are unsaved changed to the current file.\r\nSave Changes?";
inline constexpr const char* kWrongKindText = "Only Vortaxis Track or Element Files May be Loaded!";
// A file that could not be loaded: the first line, then why it could not be
// read, or, for a file read that is no track or element, the guess.
inline constexpr const char* kCouldNotLoadTrackText = "Could Not Load Track File!\r\n";
inline constexpr const char* kCouldNotLoadElementText = "Could Not Load Element File!\r\n";
inline constexpr const char* kLoadFailedGuess = "The file may be corrupt or the version may be incompatible.";
// A file named on the command line that does not exist: the text, then the path.
inline constexpr const char* kMissingTrackText = "Could Not Find Track File!\r\n";
inline constexpr const char* kMissingElementText = "Could Not Find Element File!\r\n";
// A failed save: the first line, then the reason the system gave
// (fsys::WriteFailureReason), or this guess when it gave none.
inline constexpr const char* kSaveTrackFailedText = "Could Not Save Track File!\r\n";
inline constexpr const char* kSaveElementFailedText = "Could Not Save Element File!\r\n";
inline constexpr const char* kSaveFailedGuess = "The file or its folder may be read-only, or the disk may be full.";
// The note of a recent list that the simulator editor's list in the registry
// did not take, then the reason (RegWriteFailureReason).
inline constexpr const char* kRecentListNotKeptText = "The recent files were not kept in the registry.";

// The document kind a path's extension names, compared without regard to
// case: 1 ".vxtrack", 2 ".vxelem", 0 anything else.
int16_t DocumentTypeOfPath(const std::string& path);

// UpdateWindowTitle: the caption for the document as it stands.
void UpdateWindowTitle(MainWindowView& view);
// UpdateMenuState: the title, then the menus and main-tool-bar buttons for the document kind.
void UpdateMenuState(MainWindowView& view);

// Loads a track or element file as the open document; true on success.
// - Another extension: "Warning!" / kWrongKindText; the open document stays
//   as it was.
// - A reader failure: "Error" / kCouldNotLoadTrackText (or the element text)
//   and why the file could not be read (fsys::ReadFailureReason: a file
//   larger than its kind can hold, ...), or, for a file read that is no track
//   or element, kLoadFailedGuess;
//   nothing of the previous document is left (no document, no model, an empty
//   preview, an empty tool bar, no changes to save).
// - Success: the recent list, a cleared selection, the model at the detail of
//   gModelOnLoad, no changes, the tool bar of the kind, menus, title, preview;
//   then, while shared, once the window has drawn all that (WhenDrawn), the
//   simulator editor's list, which waits for another program's lock at most
//   once (a list not kept is a note, not a box).
// Does nothing while the model is being built.
bool LoadFile(const std::string& Path, MainWindowView& view);

// The question asked before the open document is replaced or the program
// ends, when it has unsaved changes: Yes saves it first. False when the
// command is to stop: Cancel, or a save that failed.
bool ConfirmUnsavedChanges(MainWindowView& view);

// Save: writes the document to gDocumentPath. On success the changed flag is
// cleared, Save disabled and the title updated; on failure "Error" /
// kSaveTrackFailedText (or the element text) with the reason, and the
// document stays changed.
// True when saved, or when there is no document to save.
bool SaveDocument(MainWindowView& view);
// Save As: the save dialog of the kind, then the save under the chosen path
// (given the kind's extension when it lacks it). The document takes the new
// path only when it was written. False when cancelled or failed.
bool SaveDocumentAs(MainWindowView& view);
// Open: the unsaved-changes question, the open dialog, LoadFile.
void OpenDocument(MainWindowView& view);
// A recent entry (0 to 7): the unsaved-changes question, then LoadFile on it.
void OpenRecentDocument(int Index, MainWindowView& view);
// Clear Recent List, and the simulator editor's list with it while shared (a
// list not kept is a note, as after an open).
void ClearRecentDocuments(MainWindowView& view);

// Whether the main window may close now.
enum class CloseDecision {
    Close,         // go on closing
    Stay,          // the user cancelled, or the save failed
    AfterTheBuild  // the model is being built: close once it has finished
};
CloseDecision QueryClose(MainWindowView& view);

// The document named on the command line (all arguments after the program's
// name, joined by blanks), as an absolute path. An existing file is taken
// with its name as stored on disk (a name typed in another letter case is
// found too); a name that exists in no case is passed on as it was given, so
// that opening it reports its own failure. Empty when nothing was given.
std::string CommandLineDocument(const std::string& commandLine);

// Before the document named on the command line is opened: false, after
// "Error" / kMissingTrackText (or the element text) followed by the path,
// when a track or element file of that name does not exist. A name of another
// kind passes (LoadFile refuses it with its own warning).
bool CommandLineFileExists(const std::string& path);
