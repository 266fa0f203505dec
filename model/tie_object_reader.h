#pragma once
// Reads the triangles of a crosstie object (.fcobject, the simulator object
// editor's little-endian chunked format) into a crosstie slot: the vertex
// positions and the corner indices of every brush; everything else is skipped
// by its length.

#include <string>

// Reads the file at `path` into slot 0 (primary) or 1 (secondary) of the model
// settings' tie slots. True when the file was read whole; the slot's triangles
// are then exactly the file's faces, in file order over all brushes. On any
// failure (missing file, wrong tag, a count, length or corner index that does
// not fit the file or its brush) the slot is left as it was.
bool LoadTieModel(const std::string& path, int slot);
