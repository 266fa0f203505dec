#pragma once
// Sizing a window from its contents on GTK: until a window has been shown and
// drawn, its controls measure without the theme's padding and borders, so a
// size taken from its sizer in the constructor is too small once it is drawn
// (text boxes and buttons are cut, and the toolkit warns).

class wxTopLevelWindow;
class wxWindow;

// Drops the cached best sizes of `window` and of every window in it.
void InvalidateBestSizes(wxWindow* window);

// The least client size becomes what the window's sizer asks for now; a
// smaller window grows to it, a larger one (the user's) keeps its size.
void GrowToFit(wxTopLevelWindow* window);

// For a window whose size its contents decide: it starts with room to spare
// (half as high again and a fifth wider than measured), and after `drawn` (a
// window in it that is always shown) is first drawn it is measured again and
// takes exactly the size its sizer asks for.
void FitWhenDrawn(wxTopLevelWindow* window, wxWindow* drawn);
