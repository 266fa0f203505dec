#include "export/export_choices.h"

#include "core/app_state.h"
#include "export/model_export_3ds.h"

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
