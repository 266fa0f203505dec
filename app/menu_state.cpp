#include "app/menu_state.h"

#include <algorithm>

MenuState ComputeMenuState(int16_t documentType, bool documentChanged, bool trackModelValid) {
    MenuState s;
    const bool track = documentType == 1;
    const bool element = documentType == 2;
    const bool any = track || element;
    s.Element = element;
    s.Track = track;
    s.View = any;
    s.Modeler = any;
    s.SaveModelAs = any && trackModelValid;
    if (any) {
        s.ViewCombs = track;
        s.ViewPaths = track;
        s.Save = documentChanged;
    }
    s.SaveButton = any && documentChanged;
    s.SaveAsButton = any;
    s.CreateModelButton = any;
    return s;
}

FileMenuState ComputeFileMenuState(int16_t documentType, bool documentChanged) {
    FileMenuState s;
    if (documentType < 1) return s;
    s.Save = documentChanged;
    s.SaveAs = true;
    return s;
}

bool SaveModelAsEnabled(int16_t documentType, bool trackModelValid) {
    return (documentType == 1 || documentType == 2) && trackModelValid;
}

PreviewPlacement PlacePreview(int innerWidth, int innerHeight, int mainBarHeight, bool toolBarVisible,
                              int toolBarHeight, int statusBarHeight) {
    PreviewPlacement p;
    p.Top = mainBarHeight + (toolBarVisible ? toolBarHeight : 0);
    p.Width = std::max(innerWidth, 0);
    p.Height = std::max(innerHeight - statusBarHeight - p.Top, 0);
    return p;
}
