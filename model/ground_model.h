#pragma once
// Ground and water model: the indexed ground grid and the water surface.

// Builds the ground and water lists from the document and the settings.
void CreateGroundModel();
