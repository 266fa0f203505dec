#pragma once
// Tunnel models: for every segment of a track with its tunnel flag, an outer
// skin (with the two end rings) and an inner skin that follow the track. Round
// tunnels (TunnelSoftness sides) bank with the track; square ones stay level
// and shift with the bank.

#include <cstdint>

inline constexpr float kRoundTunnelOuterRadius = 2.1f, kRoundTunnelInnerRadius = 2.0f;
inline constexpr float kSquareTunnelOuterRadius = 2.5f, kSquareTunnelInnerRadius = 2.4f;

// Rebuilds gTunnelModelCount, gTunnelOuterModels and gTunnelInnerModels (0 ..
// count, the last a spare); a track document only (otherwise a count of 0 and
// the single spare entries).
void CreateTunnelModels();
// Build tunnel k of both mesh arrays from the given segment. A segment without
// path frames or of no length leaves both meshes empty.
void ModelRoundTunnel(int32_t segment, int32_t k);
void ModelSquareTunnel(int32_t segment, int32_t k);
