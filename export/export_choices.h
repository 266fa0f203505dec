#pragma once
// What the export dialog decides without its windows: which of its five boxes
// may be used for the open document, when OK may be pressed, and which export
// driver runs with which parts. frmExportModel holds the controls and asks these.

#include <array>
#include <cstdint>
#include <string>

// The boxes of chkExport, by index.
enum ExportBox : int { ExportTrackBox = 0, ExportTunnelsBox = 1, ExportSupportsBox = 2, ExportGroundBox = 3,
                       ExportWaterBox = 4 };
inline constexpr int kExportBoxCount = 5;

using ExportTicks = std::array<bool, kExportBoxCount>;

// The dialog's texts.
inline constexpr const char* kExportDialogTitle = "Export 3DS Model...";
inline constexpr const char* kExportWhatTitle = " What to Export";
inline constexpr const char* kExportFileTitle = " Output Filename";
inline constexpr std::array<const char*, kExportBoxCount> kExportBoxCaptions = {"Track", "Tunnels", "Supports",
                                                                               "Ground", "Water"};
inline constexpr const char* kExportFilter = "3DS Files (*.3d)|*.3ds";
inline constexpr const char* kExportDefaultExt = "3ds";
inline constexpr const char* kExportHelpTopic = "m_export3ds";
inline constexpr const char* kExportErrorTitle = "Error!";

// Enabled states of the boxes as the dialog opens: for an element the
// Tunnels, Supports and Water boxes are disabled (their ticks stay).
std::array<bool, kExportBoxCount> InitialExportBoxEnabled(int16_t documentType);

// Water may be used only while Ground is ticked and a track is open.
bool ExportWaterEnabled(const ExportTicks& ticks, int16_t documentType);

// OK: at least one box ticked (disabled boxes count) and a file name given.
bool ExportOkEnabled(const ExportTicks& ticks, const std::string& fileName);

// The file OK writes for the text of "Output Filename", used as typed (no
// extension added): a bare name, or a path relative to no folder given, lies
// in saveFolder (the folder the "..." button's dialog starts in: gSaveDir, the
// user's own folder where that is empty); an absolute path stays as it is.
std::string ExportTargetPath(const std::string& typed, const std::string& saveFolder);

// The refusal of the open document's own file as the export's target.
std::string ExportOverDocumentText(const std::string& path, int16_t documentType);

// Before OK writes target: the open document's own file (gDocumentPath, or a
// link or other name of that file) is refused with "Error!" /
// ExportOverDocumentText; any other file there is replaced only when the user
// answers Yes to the replace question (ConfirmReplaceFile, titled as the
// dialog), unless `alreadyAsked` (the "..." dialog asked about this very
// path). True when the export may write target.
bool ConfirmExportTarget(const std::string& target, bool alreadyAsked);

// Runs the driver of the document's kind: the track export with every part,
// any other kind the element export with Track and Ground. The file name is
// used as typed. False with the text for the user in `failure` when the file
// was not written.
bool RunModelExport(int16_t documentType, const ExportTicks& ticks, const std::string& fileName,
                    std::string* failure);
