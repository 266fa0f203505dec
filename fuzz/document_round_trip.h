#pragma once
// The round trip of the track and element targets: load, the whole model at
// a detail level (the highest, 4, unless the target takes it from the input),
// save, load the saved file again and save it once more: both saves must be
// the same bytes.

#include "core/app_state.h"
#include "fuzz/fuzz_support.h"
#include "model/build_pipeline.h"
#include "model/modeler_settings.h"

namespace fuzz {

inline void PrepareModelBuild() {
    gAppPath = GW_FUZZ_DATA_DIR;
    gSimPath = gAppPath;
    gModelOnLoad = 4;
}

inline void DocumentRoundTrip(const uint8_t* data, size_t size, const char* extension, int16_t type,
                              bool (*load)(const std::string&), bool (*save)(const std::string&), int level = 4) {
    const std::string input = WriteScratch(std::string("input") + extension, data, size);
    if (!load(input)) return;
    gDocumentType = type;
    // Every input starts from the settings of a program just started: the
    // levels that apply no presets (0, a style outside the presets) build
    // with the settings as they stand, which must not be an earlier input's.
    gModelSettings = ModelerSettings{};
    gModelOnLoad = level;
    RemodelTrack(true);
    const std::string first = ScratchFolder() + "first" + extension;
    const std::string second = ScratchFolder() + "second" + extension;
    FUZZ_CHECK(save(first));
    FUZZ_CHECK(load(first));
    FUZZ_CHECK(save(second));
    std::string a, b;
    const fsys::FileKind& kind = type == DocumentTrack ? fsys::kTrackFile : fsys::kElementFile;
    FUZZ_CHECK(fsys::ReadWholeFile(first, a, kind) && fsys::ReadWholeFile(second, b, kind));
    FUZZ_CHECK(a == b);
}

}  // namespace fuzz
