#include "model/ground_model.h"

#include "model/model_meshes.h"

// The ground is not modelled yet: no vertices, no triangles, no water.
void CreateGroundModel() {
    gGroundVertexCount = 0;
    gGroundTriangleCount = 0;
    gGroundSmooth = false;
    gHasWaterModel = false;
}
