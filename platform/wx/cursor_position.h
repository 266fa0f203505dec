#pragma once
// The mouse cursor's position, for holding it in one place (the preview's
// mouse-look puts it back in the middle of the preview after every turn).

#include <wx/gdicmn.h>

class wxWindow;

// Puts the cursor at a point of the window's client area. Under X11 this is a
// pointer warp, which the window then receives as a mouse move; a window
// system that does not let programs move the pointer ignores it.
void SetCursorPos(wxWindow& window, const wxPoint& clientPoint);

// The middle of the window's client area.
wxPoint ClientCentre(const wxWindow& window);
