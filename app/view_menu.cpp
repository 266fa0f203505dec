#include "app/view_menu.h"

namespace {

bool* LayerMark(ViewMarks& m, ViewItem item) {
    switch (item) {
        case ViewItem::CombRadius: return &m.CombRadius;
        case ViewItem::PathHeartline: return &m.PathHeartline;
        case ViewItem::Track: return &m.Track;
        case ViewItem::Tunnels: return &m.Tunnels;
        case ViewItem::Tubes: return &m.Tubes;
        case ViewItem::Prefabs: return &m.Prefabs;
        case ViewItem::Footers: return &m.Footers;
        case ViewItem::Ground: return &m.Ground;
        case ViewItem::Water: return &m.Water;
        default: return nullptr;
    }
}

}  // namespace

ViewEffect ChooseViewItem(ViewMarks& marks, ViewItem item, bool openGLEnabled, bool trackModelValid) {
    ViewEffect effect;
    switch (item) {
        case ViewItem::ModelSolid:
        case ViewItem::ModelWireframe: {
            if (!openGLEnabled) return effect;
            const bool solid = item == ViewItem::ModelSolid;
            marks.ModelSolid = solid;
            marks.ModelWireframe = !solid;
            effect.Polygon = solid ? PolygonFill::Fill : PolygonFill::Line;
            effect.Redraw = true;
            return effect;
        }
        case ViewItem::ColorTrack:
        case ViewItem::ColorSegment: {
            if (!trackModelValid) return effect;
            const bool byTrack = item == ViewItem::ColorTrack;
            marks.ColorTrack = byTrack;
            marks.ColorSegment = !byTrack;
            effect.ColorMode = byTrack ? 2 : 1;
            effect.Redraw = true;
            return effect;
        }
        default: {
            bool* mark = LayerMark(marks, item);
            if (mark == nullptr) return effect;
            *mark = !*mark;
            effect.Redraw = true;
            return effect;
        }
    }
}

bool ViewItemChecked(const ViewMarks& marks, ViewItem item) {
    switch (item) {
        case ViewItem::ModelSolid: return marks.ModelSolid;
        case ViewItem::ModelWireframe: return marks.ModelWireframe;
        case ViewItem::ColorTrack: return marks.ColorTrack;
        case ViewItem::ColorSegment: return marks.ColorSegment;
        default: {
            ViewMarks copy = marks;
            const bool* mark = LayerMark(copy, item);
            return mark != nullptr && *mark;
        }
    }
}
