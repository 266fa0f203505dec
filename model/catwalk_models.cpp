#include "model/catwalk_models.h"

#include <algorithm>

#include "model/model_meshes.h"
#include "trackdoc/track_document.h"

// The catwalk slabs are not modelled yet: one empty mesh per catwalk and the spare.
void CreateCatwalkModels() {
    gCatwalkModels.assign(static_cast<size_t>(std::max<int32_t>(gCatwalkCount, 0)) + 1, ModelMesh{});
}
