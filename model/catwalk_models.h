#pragma once
// Catwalk models: one slab mesh per catwalk of the track document (gCatwalkModels).

// Rebuilds gCatwalkModels from the document's catwalks.
void CreateCatwalkModels();
