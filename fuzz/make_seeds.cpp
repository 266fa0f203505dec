// Writes the seed corpus of every fuzz target from the project's own files:
// the sample tracks and elements, the crosstie objects of the data folder, a
// settings file and registry store written by the program, environment texts,
// and small pictures of each kind.
//   make_seeds <corpus folder> <samples folder> <data folder>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/settings_file.h"
#include "export/modeler_set_file.h"
#include "model/modeler_settings.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "simulator/environment_file.h"
#include "tests/simulator/picture_test_support.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace fs = std::filesystem;

namespace {

std::string gCorpus;

void Put(const std::string& target, const std::string& name, const void* data, size_t size) {
    fs::create_directories(gCorpus + target);
    fsys::WriteFileAtomically(gCorpus + target + "/" + name, data, size);
}
void Put(const std::string& target, const std::string& name, const std::string& text) {
    Put(target, name, text.data(), text.size());
}
void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
    Put(target, name, bytes.data(), bytes.size());
}

void CopyMatching(const std::string& folder, const std::string& extension, const std::string& target,
                  const fsys::FileKind& kind) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (fsys::HasExtension(entry.path().string(), extension)) {
            std::string bytes;
            fsys::ReadWholeFile(entry.path().string(), bytes, kind);
            Put(target, entry.path().filename().string(), bytes);
        }
    }
}

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_seeds <corpus folder> <samples folder> <data folder>\n");
        return 2;
    }
    gCorpus = fsys::WithTrailingSeparator(argv[1]);
    const std::string samples = fsys::WithTrailingSeparator(argv[2]);
    const std::string data = fsys::WithTrailingSeparator(argv[3]);

    CopyMatching(samples, ".vxtrack", "track", fsys::kTrackFile);
    CopyMatching(samples, ".vxelem", "element", fsys::kElementFile);
    CopyMatching(data, ".fcobject", "tie_object", fsys::kCrosstieObjectFile);

    // The settings file and the registry store as the program writes them.
    const std::string config = gCorpus + "config-scratch/";
    ::setenv("GANTRYWRIGHT_CONFIG_DIR", config.c_str(), 1);
    LoadSettings();
    SaveSettings();
    std::string text;
    fsys::ReadWholeFile(SettingsFilePath(), text, fsys::kSettingsFile);
    Put("settings_text", "settings.ini", text);
    RegWriteValue(RegCurrentUser, "Software\\Vortaxis Coasters", RegString, "InstPath", "/opt/vortaxis/");
    RegWriteValue(RegCurrentUser, "Software\\Vortaxis Coasters\\Editor", RegNumber, "Count", "&h10");
    RegWriteValue(RegCurrentUser, "Software\\Vortaxis Coasters\\Editor\\Recent", RegString, "File1", "a \"b\"\\c");
    fsys::ReadWholeFile(RegStoreFile(RegCurrentUser), text, fsys::kRegistryFile);
    Put("registry", "store.txt", text);
    fs::remove_all(config);

    // A settings set of the track-style presets' kind.
    ModelerSettings set;
    set.gRailCount = 2;
    set.gRails.assign(3, RailSpec{});
    set.gRails[0].PosX = -0.6f;
    set.gRails[1].PosX = 0.6f;
    set.gSpineCount = 1;
    set.gSpines.assign(2, RailSpec{});
    set.TieSpacing = 1.5f;
    set.gTieModels[0].Use = true;
    set.gTieModels[0].File = "vxtmTie00.fcobject";
    Put("settings_set", "rails.gtwrms", BuildModelerSetText(set));

    EnvironmentValues values;
    ResetEnvironmentControls(values);
    Put("environment", "default.env", EnvironmentFileText("Default", values));
    values.chkFog = true;
    values.hsFogDensity = 30;
    values.txtRegionSkybox[0] = "Environments\\Sky\\front.jpg";
    Put("environment", "fog.env", EnvironmentFileText("Fog", values));

    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Put("tga", "plain24.tga", Tga(2, 24, 2, 2, 0, pixels));
    Put("tga", "topdown24.tga", Tga(2, 24, 2, 2, 0x20, pixels, 3, 2));
    Put("tga", "rle32.tga", Tga(10, 32, 2, 2, 8, {0x81, 1, 2, 3, 255, 0x01, 4, 5, 6, 128, 7, 8, 9, 0}));

    const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 9, 9, 9, 200, 100, 50};
    Bytes bmp, jpg;
    stbi_write_bmp_to_func(AppendBytes, &bmp, 3, 2, 3, rgb.data());
    stbi_write_jpg_to_func(AppendBytes, &jpg, 3, 2, 3, rgb.data(), 90);
    Put("picture", "small.bmp", bmp);
    Put("picture", "small.jpg", jpg);
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 255, 255, 255, 0, 0, 0,
                       0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
    Put("picture", "small.gif", gif);
    return 0;
}
