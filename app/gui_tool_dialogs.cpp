// Wiring a dialog in: include its header and add one RegisterToolDialog line
// below with a function that shows it, owned by the main window. A modal
// dialog's function returns when the dialog has closed; a modeless one
// (frmTMove) returns at once and keeps a single instance. The launch rule of
// the tool (rebuild flags cleared before, flagged parts rebuilt after, see
// tool_launch.cpp) is applied around the function; the dialog itself only
// edits the document, sets the rebuild flags of what it changed and calls
// SetDocumentChanged (core/document_changed.h).
//
// The entries and buttons of every dialog not registered below (not yet
// built) stay disabled in the menus and on the tool bars.

#include "app/gui_tool_dialogs.h"

#include <wx/window.h>

#include "app/frm_about.h"
#include "app/frm_settings.h"
#include "app/tool_launch.h"
#include "export/frm_export_model.h"
#include "export/frm_modeler.h"
#include "model/render/scene_render.h"
#include "simulator/frm_vx_env_editor.h"
#include "simulator/frm_vx_env_organizer.h"
#include "simulator/frm_vx_file_association.h"
#include "simulator/frm_vx_fix_location.h"
#include "simulator/frm_vx_overview.h"
#include "tools/frm_e_overview.h"
#include "tools/frm_t_backwards_builder.h"
#include "tools/frm_t_colorizer.h"
#include "tools/frm_t_node_smoother.h"
#include "tools/frm_t_object_placer.h"
#include "tools/frm_t_object_renamer.h"
#include "tools/frm_t_overview.h"
#include "tools/frm_t_power_tweaker.h"
#include "tools/frm_t_remove_data.h"
#include "tools/frm_t_shuttle_maker.h"
#include "tools/frm_t_spine_changer.h"
#include "tools/frm_t_support_flanger.h"
#include "tools/frm_t_support_optimizer.h"
#include "tools/frm_t_support_wizard.h"
#include "tools/frm_t_terrain_poly_reducer.h"
#include "tools/frm_t_tube_exchanger.h"
#include "tools/frm_t_tunneler.h"
#include "tools/tool_dialogs.h"

namespace {

wxWindow* Owner(void* owner) { return static_cast<wxWindow*>(owner); }

}  // namespace

void RegisterToolDialogs() {
    RegisterToolDialog(ToolId::TMove, [](void* owner) { ShowTMoveDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TScale, [](void* owner) { ShowTScaleDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TRotate, [](void* owner) { ShowTRotateDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TMirror, [](void* owner) { ShowTMirrorDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::EReverse, [](void* owner) { ShowEReverseDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::EScale, [](void* owner) { ShowEScaleDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::EPitch, [](void* owner) { ShowEPitchDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::ETilt, [](void* owner) { ShowETiltDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::ESkew, [](void* owner) { ShowESkewDialog(Owner(owner)); });

    // Overview reports and Remove Data.
    RegisterToolDialog(ToolId::TOverview, [](void* owner) { ShowTOverviewDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::EOverview, [](void* owner) { ShowEOverviewDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TRemoveData, [](void* owner) { ShowTRemoveDataDialog(Owner(owner)); });

    // Shuttle Builder, Backwards Rebuilder, Tunneler, Spine Changer, Tube Exchanger,
    // Node Smoother, Terrain Poly Reducer.
    RegisterToolDialog(ToolId::TShuttleBuilder, [](void* owner) { ShowTShuttleMakerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TBackwardsRebuilder, [](void* owner) { ShowTBackwardsBuilderDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TTunneler, [](void* owner) { ShowTTunnelerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TSpineChanger, [](void* owner) { ShowTSpineChangerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TTubeExchange, [](void* owner) { ShowTTubeExchangerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TNodeSmoother, [](void* owner) { ShowTNodeSmootherDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TTerrainPolyReducer,
                       [](void* owner) { ShowTTerrainPolyReducerDialog(Owner(owner)); });

    // Colorizer and Power Tweaker.
    RegisterToolDialog(ToolId::TColorizer, [](void* owner) { ShowTColorizerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TPowerTweaker, [](void* owner) { ShowTPowerTweakerDialog(Owner(owner)); });

    // Support Wizard, Support Flanger, Support Optimizer, Object Placer, Object Renamer.
    RegisterToolDialog(ToolId::TSupportWizard, [](void* owner) { ShowTSupportWizardDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TSupportFlanger, [](void* owner) { ShowTSupportFlangerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TSupportOptimizer, [](void* owner) { ShowTSupportOptimizerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TObjectPlacer, [](void* owner) { ShowTObjectPlacerDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::TObjectRenamer, [](void* owner) { ShowTObjectRenamerDialog(Owner(owner)); });

    // Modeler dialog.
    RegisterToolDialog(ToolId::CreateModel, [](void* owner) { ShowModelerDialog(Owner(owner)); });

    // Environment editor and organizer.
    RegisterToolDialog(ToolId::VXEnvironmentEditor, [](void* owner) { ShowVXEnvEditor(Owner(owner)); });
    RegisterToolDialog(ToolId::VXEnvironmentOrganizer, [](void* owner) { ShowVXEnvOrganizer(Owner(owner)); });

    // Installation report, simulator location, file association.
    RegisterToolDialog(ToolId::VXOverview, [](void* owner) { ShowVXOverviewDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::VXFixLocation, [](void* owner) { ShowVXFixLocationDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::VXFileAssociation, [](void* owner) { ShowVXFileAssociationDialog(Owner(owner)); });

    RegisterToolDialog(ToolId::Settings, [](void* owner) {
        // OK recomputes the curve-radius comb with the new scale and limit: show it at once.
        if (ShowSettingsDialog(Owner(owner))) {
            InvalidateSceneLists();
            RenderScene();
        }
    });
    RegisterToolDialog(ToolId::SaveModelAs, [](void* owner) { ShowExportModelDialog(Owner(owner)); });
    RegisterToolDialog(ToolId::About, [](void* owner) { ShowAboutBox(Owner(owner)); });
}

void FinishModelessTools() { FinishMoveTool(); }
