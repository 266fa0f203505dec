#pragma once
// The track model: rails, spines and crossties of every segment of the spine
// copy, with each segment's bounding sphere, in gTrackModel.

#include <cstdint>

// Builds gTrackModel for every segment, colours it by the colour menu and marks
// it valid. Requires the path frames and the loaded crosstie slots.
void CreateTrackModel();
// Sizes gTrackModel anew (0 .. gSpineInfoSegmentCount) and empties every entry.
void InitTrackModel();
// Sizes and empties one entry's rail and spine meshes and its tie faces.
void InitSegmentModel(int32_t segment);
// Builds one entry: rails, spines, crossties, bounding sphere.
void ModelSegment(int32_t segment);
