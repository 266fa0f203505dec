// Track files: load, the whole model at the highest detail, save, load the
// saved file again and save it once more: both saves must be the same bytes.
#include "app/app_state.h"
#include "fuzz/fuzz_support.h"
#include "model/build_pipeline.h"
#include "trackdoc/track_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gAppPath = GW_FUZZ_DATA_DIR;
    gSimPath = gAppPath;
    gModelOnLoad = 4;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = fuzz::WriteScratch("input.vxtrack", data, size);
    if (!LoadTrackFile(input)) return 0;
    gDocumentType = DocumentTrack;
    RemodelTrack(true);
    const std::string first = fuzz::ScratchFolder() + "first.vxtrack";
    const std::string second = fuzz::ScratchFolder() + "second.vxtrack";
    FUZZ_CHECK(SaveTrackFile(first));
    FUZZ_CHECK(LoadTrackFile(first));
    FUZZ_CHECK(SaveTrackFile(second));
    std::string a, b;
    FUZZ_CHECK(fsys::ReadWholeFile(first, a) && fsys::ReadWholeFile(second, b));
    FUZZ_CHECK(a == b);
    return 0;
}
