#include "model/tunnel_models.h"

#include "app/app_state.h"
#include "model/model_meshes.h"
#include "trackdoc/track_document.h"

// The tunnel shells are not modelled yet: every tunnel segment gets two empty meshes.
void CreateTunnelModels() {
    if (gDocumentType != DocumentTrack) {
        gTunnelModelCount = 0;
        return;
    }
    int32_t count = 0;
    for (int32_t i = 0; i < gSegmentCount && i < static_cast<int32_t>(gSegments.size()); ++i)
        if (gSegments[i].Tunnel) ++count;
    gTunnelModelCount = count;
    gTunnelOuterModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    gTunnelInnerModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
}
