#include "model/catwalk_models.h"

#include <algorithm>

#include "core/app_state.h"
#include "model/busy_window.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/outline_sweep.h"
#include "trackdoc/track_document.h"

namespace {

int32_t UsableCatwalkCount() {
    return std::clamp<int32_t>(gCatwalkCount, 0, static_cast<int32_t>(gCatwalks.size()));
}

bool FreeNodeExists(int32_t index) {
    return index >= 0 && index < gFreeNodeCount && index < static_cast<int32_t>(gFreeNodes.size());
}

}  // namespace

void ModelCatwalk(int32_t index) {
    if (index < 0 || index >= UsableCatwalkCount() || index >= static_cast<int32_t>(gCatwalkModels.size())) return;
    const TrackCatwalk& catwalk = gCatwalks[index];
    ModelMesh& mesh = gCatwalkModels[index];
    mesh.Smooth = false;
    const int32_t corners[4] = {catwalk.Corner1, catwalk.Corner2, catwalk.Corner3, catwalk.Corner4};
    for (int32_t c : corners)
        if (!FreeNodeExists(c)) return;

    Vector3 top[4], bottom[4];
    for (int k = 0; k < 4; ++k) {
        const Vector3& p = gFreeNodes[corners[k]];
        top[k] = MakeVector(p.X, static_cast<float>(double(p.Y) + kCatwalkHalfThickness), p.Z);
        bottom[k] = MakeVector(p.X, static_cast<float>(double(p.Y) - kCatwalkHalfThickness), p.Z);
    }
    AppendOutlineSweep(mesh, top, bottom, 4, kQuadCap, true, true, OutlineSweepStyle{});
}

void CreateCatwalkModels() {
    const int32_t count = gDocumentType == DocumentTrack ? UsableCatwalkCount() : 0;
    gCatwalkModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    BatchMarker marker;
    const int32_t built = std::min(count, gModelBudgetLimits.Catwalks);  // the rest stay empty
    for (int32_t i = 0; i < built; ++i) {
        ModelCatwalk(i);
        marker.Step();
    }
}
