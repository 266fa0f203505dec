// Writes the seed corpus of every fuzz target from the project's own files:
// the sample tracks and elements, small tracks that hold every part the model
// builds, at every model level, the crosstie objects of the data folder, a
// settings file and registry store written by the program, environment texts,
// and small pictures of each kind.
//   make_seeds <corpus folder> <samples folder> <data folder>
#include <algorithm>
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
#include "tests/platform/png_writer.h"
#include "tests/simulator/picture_test_support.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

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

// A small open track of three segments with something of every kind the
// model builds: prefabricated supports of every style (four on a level
// segment, four on one banked one way and then the other), a support tube of
// every type between footers, free nodes and a support's anchor, a catwalk, a
// tunnel segment, and a first segment of the given type. The style picks the
// presets: the wooden styles build square tunnels.
void BuildFeatureTrack(int32_t style, int32_t firstSegmentType) {
    ClearTrackDocument();
    gTrackStyle = style;
    const Vector3 points[] = {{0, 6, 0}, {0, 6, -20}, {12, 9, -36}, {28, 4, -40}};
    const float rolls[] = {0.0f, 0.6f, -0.6f, 0.0f};
    gNodeCount = 4;
    gNodes.assign(5, TrackNode{});
    for (int i = 0; i < 4; ++i) {
        // Catmull-Rom tangents, an end taking its one neighbour.
        const Vector3& before = points[std::max(i - 1, 0)];
        const Vector3& after = points[std::min(i + 1, 3)];
        const Vector3 t = MakeVector((after.X - before.X) / 6, (after.Y - before.Y) / 6, (after.Z - before.Z) / 6);
        TrackNode& node = gNodes[static_cast<size_t>(i)];
        node.Position = points[i];
        node.ControlIn = MakeVector(points[i].X - t.X, points[i].Y - t.Y, points[i].Z - t.Z);
        node.ControlOut = MakeVector(points[i].X + t.X, points[i].Y + t.Y, points[i].Z + t.Z);
        node.Roll = rolls[i];
        node.RollEasing = rolls[i] != 0.0f;
    }
    gSegmentCount = 3;
    gSegments.assign(4, TrackSegment{});
    gSegments[0].SegmentType = firstSegmentType;
    gSegments[1].Tunnel = true;
    gRascGroupCount = 3;
    gRascGroups.assign(4, RascGroup{});
    for (int32_t segment = 0; segment < 2; ++segment) {
        RascGroup& group = gRascGroups[static_cast<size_t>(segment)];
        group.ItemCount = 4;
        group.Items.assign(5, RascItem{});
        for (int32_t k = 0; k < 4; ++k) group.Items[static_cast<size_t>(k)] = {4 * segment + k, 0.15f + 0.23f * k};
    }
    gFooterCount = 2;
    gFooters.assign(3, TrackFooter{});
    gFooters[0].Position = MakeVector(-4, 0, -10);
    gFooters[1].Position = MakeVector(4, 0, -10);
    gFooters[1].CustomSize = gFooters[1].CustomRotation = true;
    gFooters[1].Size = 2.0f;
    gFooters[1].Rotation = 0.5f;
    // A node under the track, and the catwalk's four corners beside it.
    const Vector3 freeNodes[] = {{0, 4, -10}, {8, 5, -30}, {12, 5, -30}, {12, 5, -34}, {8, 5, -34}};
    gFreeNodeCount = 5;
    gFreeNodes.assign(std::begin(freeNodes), std::end(freeNodes));
    gFreeNodes.emplace_back();
    gCatwalkCount = 1;
    gCatwalks.assign(2, TrackCatwalk{});
    gCatwalks[0] = {1, 2, 3, 4, 0, 0, 0};
    // Even types from a footer up to the node under the track, odd ones from a
    // catwalk corner to the Simple support's anchor (the last to an end of no kind).
    gTubeCount = 10;
    gTubes.assign(11, SupportTube{});
    for (int32_t type = 0; type < 10; ++type) {
        SupportTube& tube = gTubes[static_cast<size_t>(type)];
        tube.TubeType = type;
        tube.Rotation = 0.1f * type;
        if (type % 2 == 0) {
            tube.EndAKind = EndFooter;
            tube.EndAIndex = type / 2 % 2;
            tube.EndBKind = EndFreeNode;
        } else {
            tube.EndAKind = EndFreeNode;
            tube.EndAIndex = 1 + type / 2 % 4;
            tube.EndBKind = type == 9 ? 0 : EndPrefabAnchor;
            tube.EndBIndex = 2;
        }
    }
}

// A terrain grid of w x d points 10 m apart, sloping down to below 0.
void SetTerrain(int32_t w, int32_t d, bool water) {
    gHasTerrain = true;
    gHasWater = water;
    gTerrainWidth = w;
    gTerrainDepth = d;
    gTerrainSpacingX = gTerrainSpacingZ = 10.0f;
    gTerrainHeights.Resize(w, d);
    for (int32_t j = 0; j < d; ++j)
        for (int32_t i = 0; i < w; ++i) gTerrainHeights(i, j) = 3.0f + 0.5f * i - 1.5f * j;
}

// Writes the track document as a seed of fuzz_track, whose model level is the
// header's byte 13 (see fuzz_track.cpp): 0 builds at level 4, 6 at level 0.
void PutTrack(const std::string& name, uint8_t levelByte) {
    const std::string scratch = gCorpus + "track-scratch.vxtrack";
    std::string bytes;
    if (!SaveTrackFile(scratch) || !fsys::ReadWholeFile(scratch, bytes, fsys::kTrackFile)) return;
    fs::remove(scratch);
    bytes[13] = static_cast<char>(levelByte);
    Put("track", name, bytes);
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
    // Every track style, each at one of the model levels 1 to 5 in turn, every
    // other one over terrain (with water every fourth); level 0 (the path
    // alone); and terrain grids without a row or a column, also once the low
    // detail of level 2 takes every second point.
    for (int32_t style = 0; style <= 12; ++style) {
        BuildFeatureTrack(style, style % 5);
        if (style % 2 == 1) SetTerrain(6, 5, style % 4 == 1);
        const uint8_t level = static_cast<uint8_t>(1 + style % 5);
        PutTrack("style" + std::to_string(style) + "-level" + std::to_string(level) + ".vxtrack", level);
    }
    BuildFeatureTrack(0, 0);
    PutTrack("level0.vxtrack", 6);
    SetTerrain(33, 0, true);
    PutTrack("terrain-33x0.vxtrack", 0);
    SetTerrain(0, 33, true);
    PutTrack("terrain-0x33.vxtrack", 0);
    SetTerrain(33, 1, true);
    PutTrack("terrain-33x1-level2.vxtrack", 2);
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

    // PNGs, for the walk of their chunks before the toolkit is given them: one
    // of real pixels, its rows filtered; an interlaced grey one of 8 x 8 (its
    // seven passes' rows take 79 bytes); one of a palette of two colours, 2 bits
    // a pixel, with a transparent entry; and that one inside an icon file.
    Bytes png;
    stbi_write_png_to_func(AppendBytes, &png, 3, 2, 3, rgb.data(), 0);
    Put("picture", "small.png", png);
    PngOptions interlaced;
    interlaced.Width = interlaced.Height = 8;
    interlaced.Colour = 0;
    interlaced.Interlace = 1;
    interlaced.RawSize = 79;
    Put("picture", "interlaced.png", WritePng(interlaced));
    PngOptions palette;
    palette.Width = palette.Height = 4;
    palette.Depth = 2;
    palette.RawSize = 4 * 2;
    palette.Palette = {255, 0, 0, 0, 0, 255};
    palette.Extra = {PngChunk("tRNS", {0, 128})};
    const Bytes palettePng = WritePng(palette);
    Put("picture", "palette-trns.png", palettePng);
    Put("picture", "palette-trns.ico", IcoOf(palettePng));
    return 0;
}
