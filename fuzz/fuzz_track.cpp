// Track files through load, the whole model at the detail level the input
// picks, save and reload.
#include "fuzz/document_round_trip.h"
#include "trackdoc/track_file.h"

namespace {

// The header's 15 zero bytes after its flag byte are skipped by the reader, so
// the first of them (byte 13) picks the model level (gModelOnLoad 0 to 5) by
// its remainder by 6, without changing what the file holds. A 0, as every file
// the program writes has, stands for the highest detail, 4, so that saved
// tracks taken as inputs are built whole.
int ModelLevel(const uint8_t* data, size_t size) {
    constexpr size_t kLevelByte = 13;
    if (size <= kLevelByte || data[kLevelByte] == 0) return 4;
    return data[kLevelByte] % 6;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::PrepareModelBuild();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::DocumentRoundTrip(data, size, ".vxtrack", DocumentTrack, LoadTrackFile, SaveTrackFile,
                            ModelLevel(data, size));
    return 0;
}
