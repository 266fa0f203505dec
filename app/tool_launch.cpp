#include "app/tool_launch.h"

#include <array>
#include <utility>

#include "model/build_pipeline.h"
#include "model/rebuild_flags.h"

namespace {

using R = LaunchRule;

constexpr std::array<ToolInfo, kToolCount> kTools = {{
    {ToolId::TOverview, "mnuTOverview", "frmTOverview", R::Show},
    {ToolId::TPowerTweaker, "mnuTPowerTweaker", "frmTPowerTweaker", R::ShowThenRebuild},
    {ToolId::TColorizer, "mnuTColorizer", "frmTColorizer", R::ShowThenRebuild},
    {ToolId::TRemoveData, "mnuTRemove", "frmTRemoveData", R::ShowThenRebuild},
    {ToolId::TMove, "mnuTMove", "frmTMove", R::ShowAndRebuildNow},
    {ToolId::TScale, "mnuTScale", "frmTScale", R::ShowThenRebuild},
    {ToolId::TRotate, "mnuTRotate", "frmTRotate", R::ShowThenRebuild},
    {ToolId::TMirror, "mnuTMirror", "frmTMirror", R::ShowThenRebuild},
    {ToolId::TTunneler, "mnuTTunneler", "frmTTunneler", R::ShowThenRebuild},
    {ToolId::TShuttleBuilder, "mnuTShuttleBuilder", "frmTShuttleMaker", R::ShowThenRebuild},
    {ToolId::TBackwardsRebuilder, "mnuTBackwardsRebuilder", "frmTBackwardsBuilder", R::ShowThenRebuild},
    {ToolId::TObjectRenamer, "mnuTObjectRenamer", "frmTObjectRenamer", R::Show},
    {ToolId::TObjectPlacer, "mnuTObjectPlacer", "frmTObjectPlacer", R::Show},
    {ToolId::TSupportFlanger, "mnuTSupportFlanger", "frmTSupportFlanger", R::ShowThenRebuild},
    {ToolId::TSupportOptimizer, "mnuTSupportOptimizer", "frmTSupportOptimizer", R::ShowThenRebuild},
    {ToolId::TSupportWizard, "mnuTSupportWizard", "frmTSupportWizard", R::ShowThenRebuild},
    {ToolId::TTubeExchange, "mnuTTubeExhange", "frmTTubeExchanger", R::ShowThenRebuild},
    {ToolId::TTerrainPolyReducer, "mnuTTerrainPolyReducer", "frmTTerrainPolyReducer", R::ShowThenRebuild},
    {ToolId::TNodeSmoother, "mnuTNodeSmoother", "frmTNodeSmoother", R::ShowThenRebuild},
    {ToolId::TSpineChanger, "mnuTSpineChanger", "frmTSpineChanger", R::ShowThenRebuild},
    {ToolId::EOverview, "mnuEOverview", "frmEOverview", R::Show},
    {ToolId::EReverse, "mnuEReverse", "frmEReverse", R::ShowThenRebuild},
    {ToolId::EScale, "mnuEScale", "frmEScale", R::ShowThenRebuild},
    {ToolId::EPitch, "mnuEPitch", "frmEPitch", R::ShowThenRebuild},
    {ToolId::ETilt, "mnuETilt", "frmETilt", R::ShowThenRebuild},
    {ToolId::ESkew, "mnuESkew", "frmESkew", R::ShowThenRebuild},
    {ToolId::VXOverview, "mnuVXOverview", "frmVXOverview", R::Show},
    {ToolId::VXFixLocation, "mnuVXFixLocation", "frmVXFixLocation", R::Show},
    {ToolId::VXFileAssociation, "mnuVXFileAssociation", "frmVXFileAssociation", R::Show},
    {ToolId::VXEnvironmentEditor, "mnuVXEnvironmentEditor", "frmVXEnvEditor", R::Show},
    {ToolId::VXEnvironmentOrganizer, "mnuVXEnvironmentOrganizer", "frmVXEnvOrganizer", R::Show},
    {ToolId::CreateModel, "mnuCreateModel", "frmModeler", R::ShowThenRebuild},
    {ToolId::SaveModelAs, "mnuSaveModelAs", "frmExportModel", R::Show},
    {ToolId::Settings, "mnuShowSettings", "frmSettings", R::Show},
    {ToolId::About, "mnuHelpAbout", "frmAbout", R::Show},
}};

std::array<ToolShowFunction, kToolCount> gToolDialogs;

size_t Slot(ToolId id) { return static_cast<size_t>(id); }

bool ValidId(ToolId id) { return static_cast<int>(id) >= 0 && static_cast<int>(id) < kToolCount; }

}  // namespace

const ToolInfo& GetToolInfo(ToolId id) { return kTools.at(Slot(id)); }

void RegisterToolDialog(ToolId id, ToolShowFunction show) {
    if (ValidId(id)) gToolDialogs[Slot(id)] = std::move(show);
}

void ClearToolDialogs() {
    for (ToolShowFunction& f : gToolDialogs) f = nullptr;
}

bool IsToolAvailable(ToolId id) { return ValidId(id) && static_cast<bool>(gToolDialogs[Slot(id)]); }

bool LaunchTool(ToolId id, void* owner) {
    if (!IsToolAvailable(id) || IsModelBuilding()) return false;
    // A copy: the dialog may register or remove dialogs while it is shown.
    const ToolShowFunction show = gToolDialogs[Slot(id)];
    switch (GetToolInfo(id).Rule) {
        case LaunchRule::Show:
            show(owner);
            break;
        case LaunchRule::ShowThenRebuild:
        case LaunchRule::ShowAndRebuildNow:
            ClearRemodelFlags();
            show(owner);
            RemodelChangedParts();
            break;
    }
    return true;
}

bool LeavesTheDocumentAlone(ToolId id) {
    switch (id) {
        case ToolId::TOverview:
        case ToolId::EOverview:
        case ToolId::VXOverview:
        case ToolId::VXFixLocation:
        case ToolId::VXFileAssociation:
        case ToolId::VXEnvironmentEditor:
        case ToolId::VXEnvironmentOrganizer:
        case ToolId::SaveModelAs:
        case ToolId::Settings:
        case ToolId::About: return true;
        default: return false;
    }
}

bool ShowToolDialog(ToolId id, void* owner) {
    if (!IsToolAvailable(id)) return false;
    const ToolShowFunction show = gToolDialogs[Slot(id)];
    show(owner);
    return true;
}

std::optional<ToolId> ToolOfToolBarButton(int documentType, int index) {
    if (documentType == 1 && index >= 0 && index <= 18)
        return static_cast<ToolId>(static_cast<int>(ToolId::TOverview) + index);
    if (documentType == 2 && index >= 0 && index <= 5)
        return static_cast<ToolId>(static_cast<int>(ToolId::EOverview) + index);
    return std::nullopt;
}
