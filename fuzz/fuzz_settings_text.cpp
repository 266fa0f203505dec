// The settings-text engine with its typed readers, and the program's own
// settings file read through it and written back: a second read of the written
// file must write the same text again.
#include <string_view>

#include "core/settings_file.h"
#include "core/settings_text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("GANTRYWRIGHT_CONFIG_DIR", (fuzz::ScratchFolder() + "config").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniSetBuffer(text);
    // Every line's text before its "=" as a key, and some of the program's own keys.
    size_t start = 0, lines = 0;
    while (start < text.size() && lines++ < 32) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        const std::string_view key = line.substr(0, std::min(line.find('='), line.size()));
        std::string value;
        IniReadInt(key);
        IniReadFloat(key);
        IniReadBool(key);
        IniReadString(key);
        IniReadVariant(key, value);
        start = end + 1;
    }
    for (const char* key : {"ModelOnLoad", "CombRadiusScale", "File1", ""}) {
        IniReadInt(key);
        IniReadFloat(key);
    }
    fsys::CreateFolders(fuzz::ScratchFolder() + "config");
    fsys::WriteFileAtomically(SettingsFilePath(), text);
    LoadSettings();
    FUZZ_CHECK(SaveSettings());
    std::string first, second;
    FUZZ_CHECK(fsys::ReadWholeFile(SettingsFilePath(), first, fsys::kSettingsFile));
    LoadSettings();
    FUZZ_CHECK(SaveSettings());
    FUZZ_CHECK(fsys::ReadWholeFile(SettingsFilePath(), second, fsys::kSettingsFile));
    FUZZ_CHECK(first == second);
    return 0;
}
