#pragma once
// The large ride the model benchmarks build: an open track of 2,000 segments
// of about 8 m (some 17 km), twelve turns of a wavy circle with hills and
// banking, a brake every 40th segment and a tunnel every 25th.

inline constexpr int kLargeTrackSegments = 2000;

// Replaces the document by the large track, ready for RemodelTrack at level 4.
void MakeLargeTrack();
