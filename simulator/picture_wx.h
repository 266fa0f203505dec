#pragma once
// The loaded picture and the bitmap class meet the toolkit here: conversions
// to and from wxImage, painting into a window, and the clipboard.

#include <wx/image.h>

#include "simulator/dib_section.h"

class wxDC;

// The picture as the screen shows it (top row first); an invalid image when empty.
wxImage DibToImage(const cDIBSection& dib);
// The image's colours into the bitmap (created at the image's size); false
// when the image is invalid or too large.
bool ImageToDib(const wxImage& image, cDIBSection& dib);

// Draws the whole loaded picture at (0, 0) of the device context.
void PaintLoadedPicture(wxDC& dc);

// Puts the picture on the clipboard as a bitmap. As a DIB it refuses with
// "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!".
// True when the clipboard took it.
bool CopyToClipboard(const cDIBSection& dib, bool asDib);
