// The registry stand-in's store file: read from whatever the file holds, and a
// value written into it must read back as written.
#include "fuzz/fuzz_support.h"
#include "platform/registry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("GANTRYWRIGHT_CONFIG_DIR", (fuzz::ScratchFolder() + "config").c_str(), 1);
    fsys::CreateFolders(fuzz::ScratchFolder() + "config");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string store = RegStoreFile(RegCurrentUser);
    fsys::WriteFileAtomically(store, data, size);
    std::string value;
    RegReadValue(RegCurrentUser, "Software\\Vortaxis Coasters", "InstPath", value);
    RegReadValue(RegCurrentUser, "Software\\Vortaxis Coasters\\Editor\\Recent", "File1", value);
    if (RegWriteValue(RegCurrentUser, "Software\\Gantrywright Fuzz\\Key", RegString, "Name", "value \"1\"\\")) {
        FUZZ_CHECK(RegReadValue(RegCurrentUser, "Software\\Gantrywright Fuzz\\Key", "Name", value));
        FUZZ_CHECK(value == "value \"1\"\\");
        RegDeleteKeyPath(RegCurrentUser, "Software\\Gantrywright Fuzz\\Key");
    }
    return 0;
}
