// Environment files: read into the editor's values, written as text, read
// and written again until the text settles: the third text must equal the
// second (the first save moves the input's first line, which the reader
// skips, below the editor's own lines, where the next read may take it). The
// organizer's key scan finds each value where it says it lies.
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
    const std::string second = resaved(EnvironmentFileText("Fuzz", values));
    FUZZ_CHECK(resaved(second) == second);

    const std::string text = EnvTextFromFileBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const EnvTextureKey& key : CollectTexturePaths(text))
        FUZZ_CHECK(!key.Value.empty() && text.compare(key.ValueStart, key.Value.size(), key.Value) == 0);
    NeedsOrganizing(text);
    return 0;
}
