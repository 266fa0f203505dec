#pragma once
// Footer models: one block mesh per footer of the track document (gFooterModels).

// Rebuilds gFooterModels from the document's footers.
void CreateFooterModels();
