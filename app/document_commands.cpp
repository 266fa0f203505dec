#include "app/document_commands.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "core/recent_list.h"
#include "app/window_title.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/rebuild_flags.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/stored_paths.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTrackExtension = ".vxtrack";
constexpr const char* kElementExtension = ".vxelem";

std::string FolderOf(const std::string& path) {
    const size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Nothing of a document whose file could not be read may stay behind: no
// records a tool could edit, no model the preview could draw, no selection.
void ForgetDocument() {
    ClearTrackDocument();
    ClearElementDocument();
    ClearModelArrays();
    gSpineInfoValid = false;
    gPathValid = false;
    gTrackModelValid = false;
    gPresetsLoaded = false;
    ClearSegmentSelection();
    gDocumentType = DocumentNone;
    gDocumentChanged = false;
}

// False with errno the reason the system gave (0 for none).
bool WriteDocument(int16_t kind, const std::string& path) {
    errno = 0;
    return kind == DocumentTrack ? SaveTrackFile(path) : SaveElementFile(path);
}

void ReportSaveFailure(int16_t kind, int error) {
    const std::string reason = fsys::WriteFailureReason(error);
    MsgBox((kind == DocumentTrack ? kSaveTrackFailedText : kSaveElementFailedText) +
               (reason.empty() ? std::string(kSaveFailedGuess) : reason),
           "Error", MsgButtons::OK, MsgIcon::Exclamation);
}

// The document was written: no changes left, Save disabled, the title without "*".
void DocumentSaved(MainWindowView& view) {
    gDocumentChanged = false;
    view.SetSaveEnabled(false);
    UpdateWindowTitle(view);
}

// The file's path with its name as stored on disk: the exact name when it
// exists, else the first name in the folder that differs only in letter case.
std::string StoredFilePath(const fs::path& path) {
    const fs::path folder = path.parent_path();
    const auto entry = fsys::FindEntryIgnoringCase(folder.string(), path.filename().string());
    if (!entry) return std::string();
    const fs::path stored = folder / *entry;
    std::error_code ec;
    return fs::is_regular_file(stored, ec) ? stored.string() : std::string();
}

fs::path Absolute(const std::string& text) {
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(text), ec);
    return ec ? fs::path(text) : path;
}

// Writes the recent list to the simulator editor's list. One that is not
// kept is said once, in the status bar: the document it follows is open all
// the same, and no box stands in its way. A list kept takes the note away.
void KeepRecentListInRegistry(MainWindowView& view) {
    errno = 0;
    if (SaveRecentListToRegistry()) {
        view.ShowNote(std::string());
        return;
    }
    const std::string reason = RegWriteFailureReason(errno);
    view.ShowNote(std::string(kRecentListNotKeptText) + (reason.empty() ? "" : " " + reason));
}

}  // namespace

int16_t DocumentTypeOfPath(const std::string& path) {
    if (fsys::HasExtension(path, kTrackExtension)) return DocumentTrack;
    if (fsys::HasExtension(path, kElementExtension)) return DocumentElement;
    return DocumentNone;
}

void UpdateWindowTitle(MainWindowView& view) {
    view.SetCaption(WindowTitle(gDocumentType, gDocumentPath, gDocumentChanged));
}

void UpdateMenuState(MainWindowView& view) {
    UpdateWindowTitle(view);
    view.ApplyMenuState(ComputeMenuState(gDocumentType, gDocumentChanged, gTrackModelValid));
}

bool LoadFile(const std::string& Path, MainWindowView& view) {
    if (IsModelBuilding()) return false;
    const int16_t kind = DocumentTypeOfPath(Path);
    if (kind == DocumentNone) {
        // Refused before anything is touched: the open document stays open.
        MsgBox(kWrongKindText, "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    gDocumentType = kind;
    gDocumentPath = Path;
    gOpenDir = FolderOf(Path);

    bool loaded = false;
    try {
        loaded = kind == DocumentTrack ? LoadTrackFile(gDocumentPath) : LoadElementFile(gDocumentPath);
    } catch (const std::exception&) {
        // A reader that gives up by throwing (no memory for what the file claims) fails like any
        // other: no half-read document stays open to be saved over the file.
        loaded = false;
    }
    if (!loaded) {
        // Why the file could not be read, when it could not (a file larger than its kind can hold among
        // them); the guess about its content only for a file that was read.
        const std::string reason =
            fsys::ReadFailureReason(errno, kind == DocumentTrack ? fsys::kTrackFile : fsys::kElementFile);
        MsgBox(std::string(kind == DocumentTrack ? kCouldNotLoadTrackText : kCouldNotLoadElementText) +
                   (reason.empty() ? std::string(kLoadFailedGuess) : reason),
               "Error", MsgButtons::OK, MsgIcon::Exclamation);
        ForgetDocument();
        view.SetupToolToolbar();
        UpdateMenuState(view);
        view.SetSaveEnabled(false);
        view.RenderScene();
        return false;
    }

    const bool shared = gUseRecentList && gSyncRecentList;
    if (gUseRecentList && (kind == DocumentTrack || !gSyncRecentList)) AddToRecentList(gDocumentPath);
    ClearSegmentSelection();
    RemodelTrack(true);
    gDocumentChanged = false;
    view.SetupToolToolbar();
    UpdateMenuState(view);
    view.RenderScene();
    // Once the document is on screen: the registry may wait for another program.
    if (shared) view.WhenDrawn([&view] { KeepRecentListInRegistry(view); });
    return true;
}

bool ConfirmUnsavedChanges(MainWindowView& view) {
    if (!gDocumentChanged) return true;
    switch (MsgBox(kUnsavedChangesText, kUnsavedChangesTitle, MsgButtons::YesNoCancel, MsgIcon::Exclamation)) {
        case MsgResult::Yes: return SaveDocument(view);
        case MsgResult::No: return true;
        default: return false;
    }
}

bool SaveDocument(MainWindowView& view) {
    const int16_t kind = gDocumentType;
    if (kind != DocumentTrack && kind != DocumentElement) return true;
    if (IsModelBuilding()) return false;
    if (!WriteDocument(kind, gDocumentPath)) {
        ReportSaveFailure(kind, errno);
        return false;
    }
    DocumentSaved(view);
    return true;
}

bool SaveDocumentAs(MainWindowView& view) {
    const int16_t kind = gDocumentType;
    if (kind != DocumentTrack && kind != DocumentElement) return false;
    if (IsModelBuilding()) return false;
    const bool track = kind == DocumentTrack;
    std::string fileName = gDocumentPath;
    std::string fileTitle;
    int32_t filterIndex = 1;
    int32_t flags = 0;
    if (!ShowSaveFileDialog(fileName, fileTitle, true, track ? kSaveTrackDialogFilter : kSaveElementDialogFilter,
                            filterIndex, gSaveDir, track ? kSaveTrackDialogTitle : kSaveElementDialogTitle,
                            track ? "vxtrack" : "vxelem", view.DialogOwner(), flags))
        return false;
    // The dialog gives the file the writer writes (and asked about replacing
    // exactly that one); the same rule again makes sure the document names it.
    fileName = fsys::SavePathWithExtension(fileName, track ? kTrackExtension : kElementExtension);
    if (!WriteDocument(kind, fileName)) {
        ReportSaveFailure(kind, errno);
        return false;
    }
    gDocumentPath = fileName;
    DocumentSaved(view);
    return true;
}

void OpenDocument(MainWindowView& view) {
    if (IsModelBuilding()) return;
    if (!ConfirmUnsavedChanges(view)) return;
    std::string fileName;
    std::string fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1;
    int32_t flags = 0;
    if (!ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, kOpenDialogFilter, filterIndex, gOpenDir,
                            kOpenDialogTitle, "vxtrack", view.DialogOwner(), flags))
        return;
    LoadFile(fileName, view);
}

void OpenRecentDocument(int Index, MainWindowView& view) {
    if (Index < 0 || Index > 7 || IsModelBuilding()) return;
    if (!ConfirmUnsavedChanges(view)) return;
    // A copy: loading rearranges the list.
    const std::string path = gRecentFiles[static_cast<size_t>(Index)];
    if (path.empty()) return;
    LoadFile(path, view);
}

void ClearRecentDocuments(MainWindowView& view) {
    ClearRecentList();
    if (gUseRecentList && gSyncRecentList) KeepRecentListInRegistry(view);
}

CloseDecision QueryClose(MainWindowView& view) {
    if (IsModelBuilding()) return CloseDecision::AfterTheBuild;
    return ConfirmUnsavedChanges(view) ? CloseDecision::Close : CloseDecision::Stay;
}

bool CommandLineFileExists(const std::string& path) {
    const int16_t kind = DocumentTypeOfPath(path);
    if (kind == DocumentNone || fsys::FileExists(path)) return true;
    MsgBox((kind == DocumentTrack ? kMissingTrackText : kMissingElementText) + path, "Error", MsgButtons::OK,
           MsgIcon::Exclamation);
    return false;
}

std::string CommandLineDocument(const std::string& commandLine) {
    if (commandLine.empty()) return std::string();
    std::string unquoted;
    for (char c : commandLine)
        if (c != '"') unquoted += c;
    for (const std::string& text : {commandLine, unquoted}) {
        if (text.empty()) continue;
        const std::string stored = StoredFilePath(Absolute(text));
        if (!stored.empty()) return stored;
    }
    return unquoted.empty() ? std::string() : Absolute(unquoted).string();
}
