#include "export/export_choices.h"

#include <filesystem>

#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "export/model_export_3ds.h"
#include "platform/app_folders.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

namespace fs = std::filesystem;

std::array<bool, kExportBoxCount> InitialExportBoxEnabled(int16_t documentType) {
    std::array<bool, kExportBoxCount> enabled{true, true, true, true, true};
    if (documentType == DocumentElement) {
        enabled[ExportTunnelsBox] = false;
        enabled[ExportSupportsBox] = false;
        enabled[ExportWaterBox] = false;
    }
    return enabled;
}

bool ExportWaterEnabled(const ExportTicks& ticks, int16_t documentType) {
    return ticks[ExportGroundBox] && documentType == DocumentTrack;
}

bool ExportOkEnabled(const ExportTicks& ticks, const std::string& fileName) {
    bool any = false;
    for (bool t : ticks) any = any || t;
    return any && !fileName.empty();
}

bool RunModelExport(int16_t documentType, const ExportTicks& ticks, const std::string& fileName,
                    std::string* failure) {
    if (documentType == DocumentTrack)
        return ExportTrackModel3DS(fileName, ticks[ExportTrackBox], ticks[ExportSupportsBox], ticks[ExportTunnelsBox],
                                   ticks[ExportGroundBox], ticks[ExportWaterBox], failure);
    return ExportElementModel3DS(fileName, ticks[ExportTrackBox], ticks[ExportGroundBox], failure);
}

std::string ExportTargetPath(const std::string& typed, const std::string& saveFolder) {
    if (typed.empty() || fs::path(typed).is_absolute()) return typed;
    const std::string folder = saveFolder.empty() ? fsys::UserFolder() : saveFolder;
    if (folder.empty()) return typed;
    return (fs::path(folder) / typed).string();
}

std::string ExportOverDocumentText(const std::string& path, int16_t documentType) {
    return "The model cannot be saved as\n" + path + "\nThat is the open " +
           (documentType == DocumentElement ? "element" : "track") +
           " file, which the export would replace. Choose another file name.";
}

bool ConfirmExportTarget(const std::string& target, bool alreadyAsked) {
    if (target.empty()) return false;
    if (gDocumentType != DocumentNone && fsys::IsSameFile(target, gDocumentPath)) {
        MsgBox(ExportOverDocumentText(target, gDocumentType), kExportErrorTitle, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    return alreadyAsked || ConfirmReplaceFile(target, kExportDialogTitle);
}
