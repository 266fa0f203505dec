#include "model/prefab_support_models.h"

#include "app/app_state.h"
#include "model/model_meshes.h"
#include "trackdoc/track_document.h"

// The supports are not modelled yet: every item gets its number and two empty meshes.
void CreatePrefabSupportModels() {
    if (gDocumentType != DocumentTrack) {
        gPrefabModelCount = 0;
        return;
    }
    int32_t count = 0;
    for (int32_t i = 0; i < gSegmentCount && i < static_cast<int32_t>(gRascGroups.size()); ++i)
        if (gRascGroups[i].ItemCount > 0) count += gRascGroups[i].ItemCount;
    gPrefabModelCount = count;
    gPrefabModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    gPrefabFooterModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
}
