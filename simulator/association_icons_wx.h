#pragma once
// The pictures of the track-file icon options: the simulator's and the
// editor's own icons (read from their executables), the program's drawn
// tracks and logo, and an icon file of the user's (or another picture: PNG,
// BMP, GIF or JPEG). Each picture's size is checked from its header before it
// is decoded (platform/picture_file.h): an icon's picture has sides of 1 to
// 256 pixels, another picture stays within the picture bounds; anything else
// is no picture.

#include <cstdint>
#include <string>
#include <vector>

#include <wx/image.h>

#include "simulator/file_association.h"

// The option's picture, size x size pixels; an invalid image when there is none.
wxImage AssociationIconImage(int option, const std::string& ownIconPath, const AssociationPaths& paths, int size);

// The option's picture as a 48 x 48 PNG file for the desktop; empty when there is none.
std::vector<uint8_t> AssociationIconPng(int option, const std::string& ownIconPath, const AssociationPaths& paths);

// An icon value's file path, without its ",<index>".
std::string IconFileOfValue(const std::string& value);
