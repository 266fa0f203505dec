// Modeler settings sets (.gtwrms): read into the settings with counts the
// lists can hold and finite decimals, written again and read back to the same text.
#include <cmath>
#include <string_view>

#include "core/settings_text.h"
#include "export/modeler_set_file.h"
#include "fuzz/fuzz_support.h"
#include "model/modeler_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniSetBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
    // The dialog's working copy holds a track style's presets when a set is read.
    ApplyTrackStylePresets(size > 0 ? data[0] % 13 : 0, false);
    const ModelerSettings copy = gModelSettings;
    ModelerSettings set = copy;
    if (!ReadModelerSetBuffer(set)) return 0;
    FUZZ_CHECK(set.gRailCount >= 0 && set.gRailCount <= 32 && set.gSpineCount >= 0 && set.gSpineCount <= 32);
    FUZZ_CHECK(set.gRails.size() >= static_cast<size_t>(set.gRailCount));
    FUZZ_CHECK(set.gSpines.size() >= static_cast<size_t>(set.gSpineCount));
    FUZZ_CHECK(std::isfinite(set.RailDetail) && std::isfinite(set.SpineDetail) && std::isfinite(set.TieSpacing) &&
               std::isfinite(set.AltBank));
    const std::string first = BuildModelerSetText(set);
    ModelerSettings again = copy;
    FUZZ_CHECK(ReadModelerSetBuffer(again));
    const std::string second = BuildModelerSetText(again);
    if (second != first) std::fprintf(stderr, "first:\n%s\nsecond:\n%s\n", first.c_str(), second.c_str());
    FUZZ_CHECK(second == first);
    return 0;
}
