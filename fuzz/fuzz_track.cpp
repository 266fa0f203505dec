// Track files through load, the whole model, save and reload.
#include "fuzz/document_round_trip.h"
#include "trackdoc/track_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::PrepareModelBuild();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::DocumentRoundTrip(data, size, ".vxtrack", DocumentTrack, LoadTrackFile, SaveTrackFile);
    return 0;
}
