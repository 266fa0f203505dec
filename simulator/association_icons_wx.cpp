#include "simulator/association_icons_wx.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include <wx/log.h>
#include <wx/mstream.h>

#include "platform/file_system.h"
#include "platform/pe_resources.h"
#include "platform/stored_paths.h"
#include "simulator/track_icons.h"

namespace {

// The most pictures of an icon file looked at: an icon holds a few sizes and
// depths, and the toolkit reads the whole directory again for every picture.
constexpr int kMostIconPictures = 64;

// The largest of the first pictures of an .ico file's bytes.
wxImage LargestIcon(const std::vector<uint8_t>& ico) {
    wxImage best;
    wxMemoryInputStream counter(ico.data(), ico.size());
    const int count = std::min(wxImage::GetImageCount(counter, wxBITMAP_TYPE_ICO), kMostIconPictures);
    for (int i = 0; i < count; ++i) {
        wxMemoryInputStream in(ico.data(), ico.size());
        wxImage image;
        if (image.LoadFile(in, wxBITMAP_TYPE_ICO, i) && (!best.IsOk() || image.GetWidth() > best.GetWidth())) {
            best = image;
        }
    }
    return best;
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
        if (program && fsys::ReadWholeFile(*program, exe, fsys::kProgramFile) && pe::ExtractIconFile(exe, ico)) image = LargestIcon(ico);
    } else {
        const std::string file = IconFileOfValue(ownIconPath);
        if (fsys::FileExists(file)) {
            if (fsys::HasExtension(file, ".ico")) {
                std::vector<uint8_t> ico;
                if (fsys::ReadWholeFile(file, ico, fsys::kPictureFile)) image = LargestIcon(ico);
            } else {
                image.LoadFile(wxString::FromUTF8(file));
            }
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

std::vector<uint8_t> AssociationIconPng(int option, const std::string& ownIconPath, const AssociationPaths& paths) {
    constexpr int kSize = 48;
    if (option >= 2 && option <= 6) return EncodePng(DrawTrackIcon(option - 2, kSize), kSize, kSize);
    const wxImage image = AssociationIconImage(option, ownIconPath, paths, kSize);
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
