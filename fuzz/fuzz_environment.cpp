// Environment files: read into the editor's values, written as text, read
// and written again: the text settles on the first save (the second text
// equals the first; the input's first line stays first, where the reader
// skips it, and the editor drops only its own header). The organizer's key
// scan finds each value where it says it lies.
#include <ctime>

#include "fuzz/fuzz_support.h"
#include "simulator/environment_file.h"
#include "simulator/environment_organizer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetEnvironmentClock([] {
        std::tm fixed{};
        fixed.tm_year = 126;
        fixed.tm_mday = 7;
        return fixed;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnvironmentValues values;
    ResetEnvironmentControls(values);
    ReadEnvironmentText(std::string_view(reinterpret_cast<const char*>(data), size), values);
    const auto resaved = [](const std::string& text) {
        EnvironmentValues again;
        ReadEnvironmentText(text, again);
        return EnvironmentFileText("Fuzz", again);
    };
    const std::string first = EnvironmentFileText("Fuzz", values);
    FUZZ_CHECK(resaved(first) == first);

    const std::string text = EnvTextFromFileBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const EnvTextureKey& key : CollectTexturePaths(text))
        FUZZ_CHECK(!key.Value.empty() && text.compare(key.ValueStart, key.Value.size(), key.Value) == 0);
    NeedsOrganizing(text);
    return 0;
}
