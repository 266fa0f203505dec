#include "model/build_snapshot.h"

#include <memory>

#include "core/app_state.h"

namespace {

// Written on the pipeline's thread only, before the builders it starts.
std::unique_ptr<ModelBuildSnapshot> gFrozen;

void TakeLive(ModelBuildSnapshot& snapshot) {
    snapshot.Settings = gModelSettings;
    snapshot.CombRadiusScale = gCombRadiusScale;
    snapshot.CombRadiusLimit = gCombRadiusLimit;
    snapshot.ModelOnLoad = gModelOnLoad;
}

}  // namespace

const ModelerSettings& BuildSettings() { return gFrozen ? gFrozen->Settings : gModelSettings; }
float BuildCombRadiusScale() { return gFrozen ? gFrozen->CombRadiusScale : gCombRadiusScale; }
int32_t BuildCombRadiusLimit() { return gFrozen ? gFrozen->CombRadiusLimit : gCombRadiusLimit; }
int16_t BuildModelOnLoad() { return gFrozen ? gFrozen->ModelOnLoad : gModelOnLoad; }

FrozenBuildSettings::FrozenBuildSettings() : outermost_(!gFrozen) {
    if (!outermost_) return;
    auto snapshot = std::make_unique<ModelBuildSnapshot>();
    TakeLive(*snapshot);
    gFrozen = std::move(snapshot);
}

FrozenBuildSettings::~FrozenBuildSettings() {
    if (outermost_) gFrozen.reset();
}

ModelerSettings& FrozenBuildSettings::Settings() { return gFrozen->Settings; }

void FrozenBuildSettings::TakeTieGeometry(int slot) {
    if (slot < 0 || slot > 1) return;
    const TieModel& live = gModelSettings.gTieModels[static_cast<size_t>(slot)];
    TieModel& frozen = gFrozen->Settings.gTieModels[static_cast<size_t>(slot)];
    frozen.Triangles = live.Triangles;
    frozen.TriangleCount = live.TriangleCount;
}
