// TGA pictures through the program's own reader, and the views made of a loaded one.
#include "fuzz/fuzz_support.h"
#include "simulator/picture_loading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!LoadTgaFile(fuzz::WriteScratch("input.tga", data, size))) return 0;
    RenderColorView();
    RenderAlphaView();
    RotatePicture90();
    return 0;
}
