#pragma once
// Tunnel models: an outer and an inner shell per tunnel segment of a track.

// Rebuilds gTunnelModelCount, gTunnelOuterModels and gTunnelInnerModels.
void CreateTunnelModels();
