#include "platform/wx/cursor_position.h"

#include <wx/window.h>

void SetCursorPos(wxWindow& window, const wxPoint& clientPoint) { window.WarpPointer(clientPoint.x, clientPoint.y); }

wxPoint ClientCentre(const wxWindow& window) {
    const wxSize size = window.GetClientSize();
    return wxPoint(size.x / 2, size.y / 2);
}
