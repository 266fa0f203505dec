#include "model/rebuild_flags.h"

RemodelFlags gRemodelFlags;

bool gPathValid = false;
bool gTrackModelValid = false;
bool gSpineInfoValid = false;
bool gPresetsLoaded = false;

void ClearRemodelFlags() { gRemodelFlags = RemodelFlags{}; }

void SetAllRemodelFlags() {
    gRemodelFlags = RemodelFlags{true, true, true, true, true, true, true, true};
}

void SetRemodelFlagsKeepGround() {
    SetAllRemodelFlags();
    gRemodelFlags.RebuildGround = false;
}
