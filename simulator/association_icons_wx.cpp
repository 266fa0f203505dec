#include "simulator/association_icons_wx.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include <wx/log.h>
#include <wx/mstream.h>

#include "platform/file_system.h"
#include "platform/pe_resources.h"
#include "platform/picture_file.h"
#include "platform/stored_paths.h"
#include "simulator/track_icons.h"

namespace {

// The picture of an .ico file's bytes to show, decoded by the toolkit only
// once its header has shown it to be an icon (PickIconPicture): a picture of
// a size no icon has (a side of 0, a negative one, one over 256 pixels) is
// never handed to the toolkit, which would assert or fill gigabytes.
wxImage IconPicture(const std::vector<uint8_t>& ico) {
    std::vector<uint8_t> single;
    if (!PickIconPicture(ico, single)) return wxImage();
    wxMemoryInputStream in(single.data(), single.size());
    wxImage image;
    if (!image.LoadFile(in, wxBITMAP_TYPE_ICO, 0)) return wxImage();
    return image;
}

// A picture file of the user's other than an icon file: a PNG that its header
// keeps within the picture bounds and whose data its rows bound (ToolkitPng),
// decoded by the toolkit; a BMP, GIF or JPEG, decoded by the program's own
// picture loader.
wxImage OtherPicture(const std::vector<uint8_t>& bytes) {
    if (LooksLikePng(bytes)) {
        std::vector<uint8_t> png;
        if (!PngWithinBounds(bytes) || !ToolkitPng(bytes.data(), bytes.size(), png)) return wxImage();
        wxMemoryInputStream in(png.data(), png.size());
        wxImage image;
        if (!image.LoadFile(in, wxBITMAP_TYPE_PNG)) return wxImage();
        return image;
    }
    PlatformPicture picture;
    if (!DecodePlatformPicture(bytes, picture)) return wxImage();
    wxImage image;
    if (!image.Create(picture.Width, picture.Height, false)) return wxImage();
    std::copy(picture.Pixels.begin(), picture.Pixels.end(), image.GetData());
    return image;
}

wxImage FromRgba(const std::vector<uint8_t>& rgba, int size) {
    wxImage image(size, size);
    image.InitAlpha();
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = image.GetAlpha();
    for (int i = 0; i < size * size; ++i) {
        rgb[3 * i] = rgba[4 * i];
        rgb[3 * i + 1] = rgba[4 * i + 1];
        rgb[3 * i + 2] = rgba[4 * i + 2];
        alpha[i] = rgba[4 * i + 3];
    }
    return image;
}

}  // namespace

std::string IconFileOfValue(const std::string& value) {
    const size_t comma = value.find_last_of(',');
    return comma == std::string::npos ? value : value.substr(0, comma);
}

// The option's picture; AssociationIconImage without its guard against running out of memory.
static wxImage OptionImage(int option, const std::string& ownIconPath, const AssociationPaths& paths, int size) {
    wxImage image;
    if (option >= 2 && option <= 6) return FromRgba(DrawTrackIcon(option - 2, size), size);
    // A damaged picture is no picture: the toolkit's own error boxes stay away.
    wxLogNull quiet;
    if (option == 0 || option == 1) {
        std::vector<uint8_t> exe, ico;
        // The executable's name is matched without regard to case, as the simulator's platform does.
        const auto program =
            fsys::ResolveStoredName(paths.SimPath, option == 0 ? "VortaxisSimulator.exe" : "VortaxisEditor.exe");
        if (program && fsys::ReadWholeFile(*program, exe, fsys::kProgramFile) && pe::ExtractIconFile(exe, ico)) {
            exe.clear();
            exe.shrink_to_fit();
            image = IconPicture(ico);
        }
    } else {
        const std::string file = IconFileOfValue(ownIconPath);
        std::vector<uint8_t> bytes;
        if (fsys::FileExists(file) && fsys::ReadWholeFile(file, bytes, fsys::kPictureFile)) {
            image = fsys::HasExtension(file, ".ico") ? IconPicture(bytes) : OtherPicture(bytes);
        }
    }
    if (image.IsOk() && (image.GetWidth() != size || image.GetHeight() != size)) {
        image.Rescale(size, size, wxIMAGE_QUALITY_HIGH);
    }
    return image;
}

wxImage AssociationIconImage(int option, const std::string& ownIconPath, const AssociationPaths& paths, int size) {
    // A file too large to hold is no picture either.
    try {
        return OptionImage(option, ownIconPath, paths, size);
    } catch (const std::bad_alloc&) {
        return wxImage();
    } catch (const std::length_error&) {
        return wxImage();
    }
}

const wxImage& AssociationIcons::Image(int option, const std::string& ownIconPath, const AssociationPaths& paths) {
    static const wxImage none;
    if (option < 0 || option >= kIconOptionCount) return none;
    Decoded& kept = decoded_[static_cast<size_t>(option)];
    // What the picture is read from: the drawn ones are read from nothing.
    const std::string source = option == kOwnIconOption ? ownIconPath : option <= 1 ? paths.SimPath : std::string();
    if (!kept.Made || kept.Source != source) {
        kept.Image = AssociationIconImage(option, ownIconPath, paths, kAssociationIconSize);
        kept.Source = source;
        kept.Made = true;
    }
    return kept.Image;
}

std::vector<uint8_t> AssociationIcons::Png(int option, const std::string& ownIconPath, const AssociationPaths& paths) {
    constexpr int kSize = kAssociationIconSize;
    if (option >= 2 && option <= 6) return EncodePng(DrawTrackIcon(option - 2, kSize), kSize, kSize);
    const wxImage& image = Image(option, ownIconPath, paths);
    std::vector<uint8_t> png;
    if (!image.IsOk()) return png;
    std::vector<uint8_t> rgba(static_cast<size_t>(kSize) * kSize * 4);
    for (int i = 0; i < kSize * kSize; ++i) {
        rgba[4 * i] = image.GetData()[3 * i];
        rgba[4 * i + 1] = image.GetData()[3 * i + 1];
        rgba[4 * i + 2] = image.GetData()[3 * i + 2];
        rgba[4 * i + 3] = image.HasAlpha() ? image.GetAlpha()[i] : 255;
    }
    return EncodePng(rgba, kSize, kSize);
}
