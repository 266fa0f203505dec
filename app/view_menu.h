#pragma once
// The View menu's check marks and what choosing each item does. The marks are
// the preview's switches: the main window copies them to the scene drawing
// (layers), to the model colouring (colour mode) and shows them in its menu.

#include <cstdint>

struct ViewMarks {
    bool ModelSolid = true;
    bool ModelWireframe = false;
    bool ColorTrack = true;     // "Track Specified"
    bool ColorSegment = false;  // "Segment Type"
    bool CombRadius = false;
    bool PathHeartline = false;
    bool Track = true;
    bool Tunnels = true;
    bool Tubes = true;  // support tubes and catwalks
    bool Prefabs = true;
    bool Footers = true;
    bool Ground = true;
    bool Water = true;
};

enum class ViewItem : int {
    ModelSolid,
    ModelWireframe,
    ColorTrack,
    ColorSegment,
    CombRadius,
    PathHeartline,
    Track,
    Tunnels,
    Tubes,
    Prefabs,
    Footers,
    Ground,
    Water,
};
inline constexpr int kViewItemCount = 13;

enum class PolygonFill : int8_t { Unchanged, Fill, Line };

// What the window does after an item was chosen: set the polygon mode, recolour
// the built model (1 by segment type, 2 by the track's colours, 0 not), redraw.
struct ViewEffect {
    PolygonFill Polygon = PolygonFill::Unchanged;
    int ColorMode = 0;
    bool Redraw = false;
};

// Applies the item to the marks. Solid and Wireframe act only while the
// preview has a rendering context, the two colour items only while the whole
// track model is built; otherwise nothing changes and nothing is redrawn. The
// layer and guide items always invert their own mark.
ViewEffect ChooseViewItem(ViewMarks& marks, ViewItem item, bool openGLEnabled, bool trackModelValid);

// The mark of an item.
bool ViewItemChecked(const ViewMarks& marks, ViewItem item);
