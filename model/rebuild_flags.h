#pragma once
// Which parts of the polygon model an edit has made stale (the rebuild flags,
// set by the tools and the modeler dialog and consumed by RemodelChangedParts),
// and which stages of the model are current (the validity flags, owned by the
// builders).

struct RemodelFlags {
    bool RebuildPath = false;     // spine copy, path frames and radius comb
    bool RebuildTrack = false;    // crosstie models and the track model (rails, spines, crossties)
    bool RebuildTubes = false;    // support tubes and catwalks
    bool RebuildFooters = false;  // footers
    bool RebuildGround = false;   // ground and water
    bool Recolor = false;         // colours of the track model
    bool RebuildTunnels = false;  // tunnels
    bool RebuildPrefabs = false;  // prefabricated supports
};

extern RemodelFlags gRemodelFlags;

void ClearRemodelFlags();
void SetAllRemodelFlags();
// Everything but the ground: for geometric edits that leave the terrain alone.
void SetRemodelFlagsKeepGround();

// ModelerValidFlags.
extern bool gPathValid;        // the path frames are current
extern bool gTrackModelValid;  // the track model is current (the preview, colour menus and menu state read it)
extern bool gSpineInfoValid;   // the spine copy is current
extern bool gPresetsLoaded;    // the model settings were filled from the track-style presets
