#pragma once
// Ground and water model: the terrain of the track document as an indexed
// triangle grid centred on the origin, at full detail or from every second
// grid point, with smoothed vertex normals, and a water surface over the same
// grid; a flat square of 440 m at height 0 without terrain.

// Builds the ground and water lists from the document and the settings.
void CreateGroundModel();
// The flat square: four vertices at (+-220, 0, +-220), two triangles facing up.
void MakeFlatGround();
