#include "model/build_pipeline.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/busy_window.h"
#include "model/catwalk_models.h"
#include "model/footer_models.h"
#include "model/ground_model.h"
#include "model/model_budget.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/prefab_support_models.h"
#include "model/radius_comb.h"
#include "model/rebuild_flags.h"
#include "model/tie_object_reader.h"
#include "model/track_model.h"
#include "model/tube_models.h"
#include "model/tunnel_models.h"
#include "platform/prompts.h"
#include "trackdoc/track_document.h"

namespace {

bool gBuildRunning = false;
uint64_t gModelBuildSerial = 0;
std::function<void()> gRenderScene;
std::function<void()> gShowModeler;

// Held for the whole of a build; a second build asked for meanwhile (from an
// event delivered by the busy window) is refused.
class BuildGuard {
public:
    BuildGuard() : acquired_(!gBuildRunning) {
        gBuildRunning = true;
        if (acquired_) ++gModelBuildSerial;
    }
    ~BuildGuard() {
        if (acquired_) {
            gBuildRunning = false;
            ++gModelBuildSerial;
        }
    }
    BuildGuard(const BuildGuard&) = delete;
    BuildGuard& operator=(const BuildGuard&) = delete;
    bool Acquired() const { return acquired_; }

private:
    bool acquired_;
};

void RenderScene() {
    if (gRenderScene) gRenderScene();
}

int DocumentStyle() { return gDocumentType == DocumentTrack ? gTrackStyle : 0; }

void SetDetail(float rail, float spine, bool terrain, bool lowDetailTerrain) {
    gModelSettings.RailDetail = rail;
    gModelSettings.SpineDetail = spine;
    gModelSettings.UseTerrain = terrain;
    gModelSettings.LowDetailTerrain = lowDetailTerrain;
}

// The detail written by a full build on open, after the presets.
void ApplyOpenDetail(int level) {
    switch (level) {
        case 1: SetDetail(1.5f, 2.0f, false, false); break;
        case 2: SetDetail(1.0f, 1.0f, true, true); break;
        case 3: SetDetail(0.5f, 1.0f, true, false); break;
        case 4: SetDetail(0.5f, 0.5f, true, false); break;
        default: break;
    }
}

// The detail written by a partial rebuild that finds the presets not yet
// applied. It differs from the table of the open in the spine spacing of
// levels 2 (1.5) and 4 (1.0).
void ApplyRemodelDetail(int level) {
    switch (level) {
        case 1: SetDetail(1.5f, 2.0f, false, false); break;
        case 2: SetDetail(1.0f, 1.5f, true, true); break;
        case 3:
        case 4: SetDetail(0.5f, 1.0f, true, false); break;
        default: break;
    }
}

// The path frames, and for a track the comb and heart-line, each segment's
// made as soon as its frames are final, while the path is still being built.
void BuildPathAndComb() {
    if (PrepareRadiusComb())
        BuildPathMatrixArray(BuildSegmentComb);
    else
        BuildPathMatrixArray();
}

// Shows the budget's message, if anything was left out.
void TellLeftOut(const ModelBudget& budget) {
    const std::string text = budget.Message();
    if (!text.empty()) MsgBox(text, kBudgetTitle, MsgButtons::OK, MsgIcon::Exclamation);
}

void BuildTrackModelUnguarded(bool force, bool stopAfterPath, bool skipGround) {
    if (gDocumentType != DocumentTrack && gDocumentType != DocumentElement) return;
    FrozenBuildSettings frozen;
    ModelBudget budget;
    BuildProgress& busy = BusyWindow();
    busy.Show();
    if (force) {
        gSpineInfoValid = false;
        gPathValid = false;
        gTrackModelValid = false;
    }
    if (!gSpineInfoValid) {
        busy.UpdateInfo("Extracting spine information");
        if (gDocumentType == DocumentTrack)
            ExtractTrackSpine();
        else
            ExtractElementSpine();
    }
    if (!gPathValid) {
        busy.UpdateInfo("Creating path matrix array");
        budget.PlanPath(gDocumentType == DocumentTrack);
        BuildPathAndComb();
    }
    if (stopAfterPath || BuildModelOnLoad() == 0) {
        busy.ForceUnload();
        TellLeftOut(budget);
        return;
    }
    if (!gPresetsLoaded) {
        const int style = DocumentStyle();
        ApplyTrackStylePresets(style, false);
        ApplyTrackStylePresetsTo(frozen.Settings(), style, false);
    }

    for (int slot = 0; slot < 2; ++slot) {
        busy.UpdateInfo("Modeling crossties");
        const TieModel& tie = BuildSettings().gTieModels[slot];
        if (tie.Use && !LoadTieModel(tie.File, slot)) {
            busy.ForceUnload();
            MsgBox(slot == 0 ? kPrimaryTieFailedText : kSecondaryTieFailedText, kTieFailedTitle, MsgButtons::OK,
                   MsgIcon::Exclamation);
            return;
        }
        if (tie.Use) frozen.TakeTieGeometry(slot);
    }
    busy.UpdateInfo("Creating track model");
    budget.PlanTrack();
    CreateTrackModel();
    busy.UpdateInfo("Creating tube models");
    budget.PlanTubes();
    CreateTubeModels();
    busy.UpdateInfo("Creating catwalk models");
    budget.PlanCatwalks();
    CreateCatwalkModels();
    busy.UpdateInfo("Creating footer models");
    budget.PlanFooters();
    CreateFooterModels();
    busy.UpdateInfo("Creating prefab support models");
    budget.PlanPrefabs();
    CreatePrefabSupportModels();
    busy.UpdateInfo("Creating tunnel models");
    budget.PlanTunnels();
    CreateTunnelModels();
    if (!skipGround) {
        busy.UpdateInfo("Creating ground model");
        budget.PlanGround();
        CreateGroundModel();
    }
    busy.ForceUnload();
    TellLeftOut(budget);
}

// True when the rebuild ran to its end and the preview is to be redrawn.
bool RemodelChangedPartsUnguarded() {
    ModelBudget budget;
    BuildProgress& busy = BusyWindow();
    busy.Show();
    if (!gPresetsLoaded) {
        ApplyTrackStylePresets(DocumentStyle(), false);
        ApplyRemodelDetail(gModelOnLoad);
    }
    FrozenBuildSettings frozen;
    const RemodelFlags flags = gRemodelFlags;
    if (flags.RebuildPath) {
        if (gDocumentType == DocumentTrack)
            ExtractTrackSpine();
        else
            ExtractElementSpine();
        busy.UpdateInfo("Creating path matrix array");
        budget.PlanPath(gDocumentType == DocumentTrack);
        BuildPathAndComb();
    }
    if (flags.RebuildTrack) {
        busy.UpdateInfo("Modeling crossties");
        for (int slot = 0; slot < 2; ++slot) {
            const TieModel& tie = BuildSettings().gTieModels[slot];
            if (tie.Use && !LoadTieModel(tie.File, slot)) {
                busy.ForceUnload();
                MsgBox(kRemodelTieFailedText, kRemodelTieFailedTitle, MsgButtons::OK, MsgIcon::Critical);
                return false;
            }
            if (tie.Use) frozen.TakeTieGeometry(slot);
        }
        busy.UpdateInfo("Creating track model");
        budget.PlanTrack();
        CreateTrackModel();
    }
    if (gDocumentType == DocumentTrack) {
        if (flags.RebuildTubes) {
            busy.UpdateInfo("Creating support tube models");
            budget.PlanTubes();
            CreateTubeModels();
            busy.UpdateInfo("Creating catwalk models");
            budget.PlanCatwalks();
            CreateCatwalkModels();
        }
        if (flags.RebuildFooters) {
            busy.UpdateInfo("Creating footer models");
            budget.PlanFooters();
            CreateFooterModels();
        }
        if (flags.RebuildGround) {
            busy.UpdateInfo("Creating ground model");
            budget.PlanGround();
            CreateGroundModel();
        }
        if (flags.RebuildPrefabs) {
            busy.UpdateInfo("Creating prefab support models");
            budget.PlanPrefabs();
            CreatePrefabSupportModels();
        }
        if (flags.RebuildTunnels) {
            busy.UpdateInfo("Creating tunnel models");
            budget.PlanTunnels();
            CreateTunnelModels();
        }
    }
    if (flags.Recolor) {
        busy.UpdateInfo("Coloring model");
        ColorTrackModel(gColorTrackChecked ? ColorByDocument : ColorBySegmentKind);
    }
    busy.ForceUnload();
    TellLeftOut(budget);
    return true;
}

// Runs one build; whatever it throws (an allocation that failed above all)
// ends it with a message instead of ending the program. What was half built is
// emptied so that nothing draws from it; the document is not touched.
template <class Build>
bool RunCaught(Build build) {
    const char* failure = nullptr;
    try {
        return build();
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemoryText;
    } catch (const std::length_error&) {
        failure = kOutOfMemoryText;
    } catch (const std::exception&) {
        failure = kBuildFailedText;
    } catch (...) {
        failure = kBuildFailedText;
    }
    BusyWindow().ForceUnload();
    gModelBudgetLimits = ModelBudgetLimits{};
    ClearModelArrays();
    gSpineInfoValid = false;
    gPathValid = false;
    gTrackModelValid = false;
    MsgBox(failure, kBuildFailedTitle, MsgButtons::OK, MsgIcon::Exclamation);
    return false;
}

}  // namespace

bool IsModelBuilding() { return gBuildRunning; }

uint64_t ModelBuildSerial() { return gModelBuildSerial; }

void SetRenderSceneHandler(std::function<void()> handler) { gRenderScene = std::move(handler); }

void SetModelerDialogHandler(std::function<void()> handler) { gShowModeler = std::move(handler); }

void BuildTrackModel(bool force, bool stopAfterPath, bool skipGround) {
    BuildGuard guard;
    if (!guard.Acquired()) return;
    RunCaught([&] {
        BuildTrackModelUnguarded(force, stopAfterPath, skipGround);
        return true;
    });
}

void RemodelChangedParts() {
    bool redraw = false;
    {
        BuildGuard guard;
        if (!guard.Acquired()) return;
        redraw = RunCaught(RemodelChangedPartsUnguarded);
    }
    if (redraw) RenderScene();
}

void RemodelTrack(bool force) {
    if (gBuildRunning) return;
    const int style = DocumentStyle();
    if (force) {
        // A new document: nothing of the previous model may be drawn against its counts.
        ClearModelArrays();
        gSpineInfoValid = false;
        gPathValid = false;
        gTrackModelValid = false;
        gPresetsLoaded = false;
    }
    const int level = gModelOnLoad;
    if (level == 0) {
        BuildTrackModel(force, true, false);
    } else if (level >= 1 && level <= 4) {
        BuildGuard guard;
        if (!gPresetsLoaded) ApplyTrackStylePresets(style, false);
        ApplyOpenDetail(level);
        RunCaught([&] {
            BuildTrackModelUnguarded(force, false, false);
            return true;
        });
    } else if (level == 5) {
        if (!gPresetsLoaded) ApplyTrackStylePresets(style, false);
        if (gShowModeler) gShowModeler();
        SetAllRemodelFlags();
        RemodelChangedParts();
    }
}
