#pragma once
// The program's own crosstie models, one or two per track style, in the tie's
// frame: +X to the right, +Y up, -Z along the direction of travel, sized to the
// rails and spine of the style's preset.

#include <string>

#include "model/tie_object_writer.h"

// The design written to the named file (one of kCrosstieFileNames); an empty
// object for any other name.
TieObject CrosstieDesign(const std::string& fileName);
