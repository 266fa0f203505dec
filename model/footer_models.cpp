#include "model/footer_models.h"

#include <algorithm>

#include "model/model_meshes.h"
#include "trackdoc/track_document.h"

// The footer blocks are not modelled yet: one empty mesh per footer and the spare.
void CreateFooterModels() {
    gFooterModels.assign(static_cast<size_t>(std::max<int32_t>(gFooterCount, 0)) + 1, ModelMesh{});
}
