// Windows executables: the resource tree, the icon group and the picture of it
// that would be shown (the input also read as an icon file), the version
// block's values, and the version fields as the installation report reads them.
#include "fuzz/fuzz_support.h"
#include "platform/file_version.h"
#include "platform/pe_resources.h"
#include "platform/picture_file.h"
#include "simulator/app_file_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> image(data, data + size);
    std::vector<uint8_t> info, ico;
    // The picture shown: one, after a header and one entry, its bytes taken from the icon file's.
    const auto pick = [](const std::vector<uint8_t>& icons) {
        std::vector<uint8_t> single;
        if (PickIconPicture(icons, single)) FUZZ_CHECK(single.size() > 22 && single.size() - 22 <= icons.size());
    };
    pick(image);
    if (pe::ExtractIconFile(image, ico)) pick(ico);
    if (pe::FindResource(image, pe::kResourceVersion, -1, info)) {
        for (const char* path : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904E4\\FileVersion"}) {
            VersionValue value;
            if (QueryVersionValue(info, path, value)) {
                FUZZ_CHECK(value.Data >= info.data() && value.Data + value.Size <= info.data() + info.size());
                VersionValueText(value);
            }
        }
    }
    FileVersionFields fields;
    FUZZ_CHECK(GetFileVersionFields(fuzz::WriteScratch("input.exe", data, size), fields));
    return 0;
}
