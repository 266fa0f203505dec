#include "model/tube_models.h"

#include <algorithm>

#include "model/model_meshes.h"
#include "trackdoc/track_document.h"

// The tube meshes are not modelled yet: one empty mesh per tube and the spare.
void CreateTubeModels() {
    gTubeModels.assign(static_cast<size_t>(std::max<int32_t>(gTubeCount, 0)) + 1, ModelMesh{});
}
