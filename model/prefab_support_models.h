#pragma once
// Prefabricated support models: one support mesh and one footer mesh per item of the
// document's prefabricated-support groups (gPrefabModels, gPrefabFooterModels).

// Rebuilds gPrefabModelCount, gPrefabModels and gPrefabFooterModels.
void CreatePrefabSupportModels();
