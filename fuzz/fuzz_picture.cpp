// BMP, GIF and JPEG pictures through the platform's picture loader, the check
// of a PNG's chunks and data before the toolkit is given it, and the input
// read as an icon file: the picture of it that would be shown.
#include "fuzz/fuzz_support.h"
#include "platform/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PlatformPicture picture;
    if (LoadPlatformPicture(fuzz::WriteScratch("input.pic", data, size), picture, 4096LL * 4096LL)) {
        FUZZ_CHECK(picture.Pixels.size() == static_cast<size_t>(picture.Width) * picture.Height * 3);
    }
    std::vector<uint8_t> png;
    if (ToolkitPng(data, size, png)) FUZZ_CHECK(png.size() <= size && LooksLikePng(png));
    // One picture, after a header and one entry, its bytes taken from the icon file's.
    const std::vector<uint8_t> icons(data, data + size);
    std::vector<uint8_t> single;
    if (PickIconPicture(icons, single)) FUZZ_CHECK(single.size() > 22 && single.size() - 22 <= icons.size());
    return 0;
}
