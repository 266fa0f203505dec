#pragma once
// Which menus and main-tool-bar buttons are enabled for the open document,
// and where the preview lies between the tool bars and the status bar.
// Display-free: the main window applies what these compute.

#include <cstdint>
#include <optional>

// The states UpdateMenuState sets. An empty optional leaves the item as it is.
struct MenuState {
    bool Element = false;      // mnuElement
    bool Track = false;        // mnuTrack
    bool View = false;         // mnuView
    bool Modeler = false;      // mnuModeler
    bool SaveModelAs = false;  // mnuSaveModelAs: only while the whole model is built
    std::optional<bool> ViewCombs;  // mnuViewCombs (track documents only)
    std::optional<bool> ViewPaths;  // mnuViewPaths (track documents only)
    std::optional<bool> Save;       // mnuSave
    bool SaveButton = false;         // tbMain button 1
    bool SaveAsButton = false;       // tbMain button 2
    bool CreateModelButton = false;  // tbMain button 3
};

// By document kind (0 none, 1 track, 2 element), the changed flag and whether
// the whole track model is built.
MenuState ComputeMenuState(int16_t documentType, bool documentChanged, bool trackModelValid);

// The File menu as it opens: Save only with unsaved changes, Save As with any document.
struct FileMenuState {
    bool Save = false;
    bool SaveAs = false;
};
FileMenuState ComputeFileMenuState(int16_t documentType, bool documentChanged);

// Modeler > Save Model As... as the Modeler menu opens: a model built by the
// modeler or a tool since the last load can be exported at once.
bool SaveModelAsEnabled(int16_t documentType, bool trackModelValid);

// The preview's place in the main window's client area: below the main tool
// bar (and the tool bar of the tools while it is shown), above the status bar,
// the whole width; a negative size counts as 0.
struct PreviewPlacement {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};
PreviewPlacement PlacePreview(int innerWidth, int innerHeight, int mainBarHeight, bool toolBarVisible,
                              int toolBarHeight, int statusBarHeight);
