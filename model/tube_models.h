#pragma once
// Support tube models: one mesh per support tube of the track document (gTubeModels).

// Rebuilds gTubeModels from the whole tube list.
void CreateTubeModels();
