// Element files through load, the whole model, save and reload.
#include "fuzz/document_round_trip.h"
#include "trackdoc/element_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::PrepareModelBuild();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::DocumentRoundTrip(data, size, ".vxelem", DocumentElement, LoadElementFile, SaveElementFile);
    return 0;
}
