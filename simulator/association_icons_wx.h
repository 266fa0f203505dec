#pragma once
// The pictures of the track-file icon options: the simulator's and the
// editor's own icons (read from their executables), the program's drawn
// tracks and logo, and an icon file of the user's (or another picture: PNG,
// BMP, GIF or JPEG). Each picture's size is checked from its header before it
// is decoded (platform/picture_file.h): an icon's picture has sides of 1 to
// 256 pixels, another picture stays within the picture bounds; anything else
// is no picture.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <wx/image.h>

#include "simulator/file_association.h"

// The side of the pictures the File Association dialog shows and the desktop gets.
inline constexpr int kAssociationIconSize = 48;

// The option's picture, size x size pixels; an invalid image when there is none.
wxImage AssociationIconImage(int option, const std::string& ownIconPath, const AssociationPaths& paths, int size);

// The options' pictures as the dialog shows them, kAssociationIconSize pixels
// a side, each decoded once per change of what it is read from (the own
// icon's path, the simulator's folder for its programs' icons): the picture
// shown is the one the desktop gets, and pressing OK decodes nothing again.
class AssociationIcons {
public:
    // The option's picture; an invalid image when there is none.
    const wxImage& Image(int option, const std::string& ownIconPath, const AssociationPaths& paths);
    // The same as a PNG file for the desktop; empty when there is none.
    std::vector<uint8_t> Png(int option, const std::string& ownIconPath, const AssociationPaths& paths);

private:
    struct Decoded {
        bool Made = false;
        std::string Source;
        wxImage Image;
    };
    std::array<Decoded, kIconOptionCount> decoded_;
};

// An icon value's file path, without its ",<index>".
std::string IconFileOfValue(const std::string& value);
