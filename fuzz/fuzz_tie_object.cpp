// Crosstie object files (.fcobject) into a model slot.
#include "fuzz/fuzz_support.h"
#include "model/tie_object_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadTieModel(fuzz::WriteScratch("input.fcobject", data, size), 0);
    return 0;
}
