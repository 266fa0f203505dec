#pragma once
// The open track element: a chain of Bezier nodes starting at the origin,
// kept apart from the track document.

#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/track_document.h"

extern int32_t gElementSize;       // size field of the file read, written back unchanged
extern int32_t gElementNodeCount;  // node records in the file + 1
extern std::vector<TrackNode> gElementNodes;  // 0 .. gElementNodeCount, the last one spare

void ClearElementDocument();
