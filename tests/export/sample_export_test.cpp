// Exports of real models: the sample documents opened and built by the model
// builder as the program does it (normal detail, the program's crosstie
// files), exported with every part and with subsets through the dialog's
// driver choice, and read back with lib3ds (and once with Assimp) against the
// model arrays themselves: every material, object and triangle accounted for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "core/app_state.h"
#include "export/export_choices.h"
#include "export/scene_staging_3ds.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "tests/export/export_test_support.h"
#include "tests/export/model_readback.h"
#include "tests/platform/temp_folder.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

class CountingPrompts final : public Prompts {
public:
    std::vector<std::string> Messages;
    MsgResult MessageBox(const std::string& text, const std::string&, MsgButtons, MsgIcon) override {
        Messages.push_back(text);
        return MsgResult::OK;
    }
    bool FileDialog(FileDialogRequest&) override { return false; }
    bool ShellOpen(const std::string&) override { return false; }
};

// The dialog's boxes: Track, Tunnels, Supports, Ground, Water.
constexpr ExportTicks kEverything{true, true, true, true, true};
constexpr ExportTicks kTrackOnly{true, false, false, false, false};
constexpr ExportTicks kTunnelsOnly{false, true, false, false, false};
constexpr ExportTicks kSupportsOnly{false, false, true, false, false};
constexpr ExportTicks kGroundOnly{false, false, false, true, false};
constexpr ExportTicks kGroundAndWater{false, false, false, true, true};
constexpr ExportTicks kWaterWithoutGround{false, false, false, false, true};

class SampleExport : public ::testing::Test {
protected:
    void SetUp() override {
        ClearTrackDocument();
        ClearElementDocument();
        ClearModelArrays();
        gModelSettings = ModelerSettings{};
        ClearRemodelFlags();
        gPathValid = gTrackModelValid = gSpineInfoValid = gPresetsLoaded = false;
        gModelOnLoad = 3;  // the program's default detail on open
        gAppPath = GW_TEST_DATA_DIR;
        SetPrompts(&prompts);
        Reset3DSScene();
    }
    void TearDown() override {
        SetPrompts(nullptr);
        ClearTrackDocument();
        ClearElementDocument();
        ClearModelArrays();
        gDocumentType = DocumentNone;
    }

    // Opens a sample as File > Open does and builds its model.
    void Open(const std::string& name) {
        const std::string path = std::string(GW_SAMPLES_DIR) + name;
        const bool track = fsys::HasExtension(path, ".vxtrack");
        gDocumentType = track ? DocumentTrack : DocumentElement;
        ASSERT_TRUE(track ? LoadTrackFile(path) : LoadElementFile(path)) << path;
        RemodelTrack(true);
        ASSERT_TRUE(gTrackModelValid) << name;
        ASSERT_TRUE(prompts.Messages.empty()) << prompts.Messages.front();
    }

    ExpectedExport3DS Expected(const ExportTicks& t) const {
        if (gDocumentType == DocumentTrack)
            return ExpectedTrackExport(t[ExportTrackBox], t[ExportSupportsBox], t[ExportTunnelsBox], t[ExportGroundBox],
                                       t[ExportWaterBox]);
        return ExpectedElementExport(t[ExportTrackBox], t[ExportGroundBox]);
    }

    // Exports with the ticks as the dialog's OK does and checks the file
    // against the model; returns what the file was checked against.
    ExpectedExport3DS ExportAndCheck(const ExportTicks& ticks, const std::string& file) {
        const std::string path = folder / file;
        std::string failure;
        EXPECT_TRUE(RunModelExport(gDocumentType, ticks, path, &failure)) << failure;
        EXPECT_EQ(gObjectCount3DS, 0) << "the export leaves the scene empty";
        const ExpectedExport3DS expected = Expected(ticks);
        SCOPED_TRACE(file);
        ExpectFileHoldsTheModel(path, expected);
        return expected;
    }

    CountingPrompts prompts;
    TempFolder folder;
};

int64_t Kind(const ExpectedExport3DS& e, const std::string& kind) {
    const auto faces = e.FacesByKind();
    const auto it = faces.find(kind);
    return it == faces.end() ? 0 : it->second;
}

// The parts' files together hold what the file of every part holds.
void ExpectPartsAddUp(const std::vector<std::string>& parts, const std::string& whole) {
    std::map<std::string, int64_t> sum;
    for (const std::string& p : parts)
        for (const auto& [kind, faces] : FileFacesByKind(p)) sum[kind] += faces;
    EXPECT_EQ(sum, FileFacesByKind(whole));
}

}  // namespace

TEST_F(SampleExport, CircuitWithEveryPartAndEachPartAlone) {
    Open("circuit.vxtrack");
    const ExpectedExport3DS all = ExportAndCheck(kEverything, "all.3ds");
    // The circuit has a station, a lift, brakes, a tunnel and supports: every
    // kind of mesh it can have is in the file.
    for (const char* kind : {"spines", "rails", "ties", "outer tunnels", "inner tunnels", "tubes", "prefabs", "footers",
                             "prefab footers", "ground"})
        EXPECT_GT(Kind(all, kind), 0) << kind;
    EXPECT_EQ(Kind(all, "water"), 0) << "the circuit has no water";
    EXPECT_EQ(Kind(all, "ground"), 2) << "without terrain the ground is the flat square";

    ExportAndCheck(kTrackOnly, "track.3ds");
    ExportAndCheck(kTunnelsOnly, "tunnels.3ds");
    ExportAndCheck(kSupportsOnly, "supports.3ds");
    ExportAndCheck(kGroundAndWater, "ground.3ds");
    ExpectPartsAddUp({folder / "track.3ds", folder / "tunnels.3ds", folder / "supports.3ds", folder / "ground.3ds"},
                     folder / "all.3ds");
}

TEST_F(SampleExport, LakesideGroundAndWater) {
    Open("lakeside.vxtrack");
    ASSERT_TRUE(gHasWaterModel);
    const ExpectedExport3DS all = ExportAndCheck(kEverything, "all.3ds");
    EXPECT_EQ(Kind(all, "ground"), 2 * 32 * 32) << "33 x 33 terrain points at full detail";
    EXPECT_EQ(Kind(all, "water"), Kind(all, "ground"));
    EXPECT_EQ(all.Materials.back().Transparency, 75);

    const ExpectedExport3DS ground = ExportAndCheck(kGroundOnly, "ground.3ds");
    EXPECT_EQ(ground.Materials.size(), 1u) << "no water material without the Water box";
    const ExpectedExport3DS dry = ExportAndCheck(kWaterWithoutGround, "water.3ds");
    EXPECT_EQ(dry.Objects(), 0) << "water is exported only with the ground";
    EXPECT_EQ(ReadFileBytes(folder / "water.3ds").size(), 42u) << "an empty scene";
    ExportAndCheck(kGroundAndWater, "lake.3ds");
}

TEST_F(SampleExport, ShuttleTrack) {
    Open("shuttle.vxtrack");
    const ExpectedExport3DS all = ExportAndCheck(kEverything, "all.3ds");
    EXPECT_GT(Kind(all, "rails"), 0);
    ExportAndCheck(kTrackOnly, "track.3ds");
}

// An element exports its track with the fixed element colours and its
// ground; the boxes an element cannot use change nothing.
TEST_F(SampleExport, CamelbackElement) {
    Open("camelback.vxelem");
    const ExpectedExport3DS all = ExportAndCheck(kEverything, "all.3ds");
    EXPECT_GT(Kind(all, "rails"), 0);
    EXPECT_GT(Kind(all, "ties"), 0);
    EXPECT_EQ(all.Materials.size(), 4u);
    ExportAndCheck(kTrackOnly, "track.3ds");
    ExportAndCheck(kGroundOnly, "ground.3ds");
    ExpectPartsAddUp({folder / "track.3ds", folder / "ground.3ds"}, folder / "all.3ds");
}

// The circuit grown by edits and rebuilt as the tools have it rebuilt: a
// terrain of 128 x 128 points with a lake (ground and water in parts of
// 10,000 faces), free nodes with catwalks, and custom-coloured segments.
TEST_F(SampleExport, EditedCircuitRebuiltInParts) {
    Open("circuit.vxtrack");
    gHasTerrain = gHasWater = true;
    gTerrainWidth = gTerrainDepth = 128;
    gTerrainSpacingX = gTerrainSpacingZ = 3.0f;
    gTerrainHeights.Resize(128, 128);
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i) gTerrainHeights(i, j) = float(2.5 * std::sin(i * 0.11) * std::cos(j * 0.07) - 1.0);
    std::vector<int32_t> nodes;
    for (int k = 0; k < 8; ++k) nodes.push_back(AddFreeNode(Vector3{-40.0f + 10.0f * float(k % 4), 6.0f, float(k / 4) * 4.0f}));
    gCatwalks.resize(size_t(gCatwalkCount));
    for (int c = 0; c < 3; ++c) {
        gCatwalks.push_back(TrackCatwalk{nodes[c], nodes[c + 1], nodes[c + 5], nodes[c + 4], 0, 0, 0});
        ++gCatwalkCount;
    }
    gCatwalks.emplace_back();
    for (int s : {1, 4}) {
        TrackSegment& segment = gSegments[size_t(s)];
        segment.CustomColors = true;
        segment.SpineColor = 0x102030;
        segment.RailColor = 0x405060;
        segment.TieColor = 0x708090;
    }
    ClearRemodelFlags();
    gRemodelFlags.RebuildGround = gRemodelFlags.RebuildTubes = true;
    RemodelChangedParts();
    ASSERT_TRUE(prompts.Messages.empty());

    const ExpectedExport3DS all = ExportAndCheck(kEverything, "all.3ds");
    EXPECT_EQ(Kind(all, "ground"), 2 * 127 * 127);
    EXPECT_EQ(Kind(all, "water"), 2 * 127 * 127);
    EXPECT_EQ(Kind(all, "catwalks"), 3 * 12);
    EXPECT_EQ(all.Materials.size(), 9u + 6u) << "three materials of each custom-coloured segment";
    ExportAndCheck(kSupportsOnly, "supports.3ds");
}

// Assimp, a reader of its own, loads a real export with every triangle and
// material; skipped where assimp-utils is not installed.
TEST_F(SampleExport, AssimpReadsARealExport) {
    const char* assimp = "/usr/bin/assimp";
    if (!fsys::FileExists(assimp)) GTEST_SKIP() << "assimp-utils is not installed";
    Open("lakeside.vxtrack");
    const ExpectedExport3DS all = ExportAndCheck(kEverything, "assimp.3ds");
    std::string output;
    FILE* pipe = ::popen((std::string(assimp) + " info '" + (folder / "assimp.3ds") + "' 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    ASSERT_EQ(::pclose(pipe), 0) << output;
    auto count = [&](const std::string& label) {
        const size_t at = output.find("\n" + label);
        if (at == std::string::npos) return -1L;
        return std::strtol(output.c_str() + output.find(':', at) + 1, nullptr, 10);
    };
    EXPECT_EQ(count("Faces:"), all.Faces()) << output;
    EXPECT_EQ(count("Meshes:"), all.Objects()) << output;
    // Assimp drops materials no object uses (the lakeside has no tunnel).
    std::set<int32_t> used;
    for (const ExpectedMesh3DS& m : all.Meshes) used.insert(m.Material);
    EXPECT_LT(used.size(), all.Materials.size());
    EXPECT_EQ(count("Materials:"), long(used.size())) << output;
}

namespace {

bool ZeroArea(const Vector3& a, const Vector3& b, const Vector3& c) {
    const double ax = double(a.X) - c.X, ay = double(a.Y) - c.Y, az = double(a.Z) - c.Z;
    const double bx = double(b.X) - c.X, by = double(b.Y) - c.Y, bz = double(b.Z) - c.Z;
    return ay * bz - az * by == 0.0 && az * bx - ax * bz == 0.0 && ax * by - ay * bx == 0.0;
}

void CountZeroArea(std::map<std::string, int64_t>& found, const std::string& kind, const std::vector<ModelFace>& faces,
                   int32_t count) {
    for (int32_t f = 0; f < count && f < static_cast<int32_t>(faces.size()); ++f)
        if (ZeroArea(faces[f].V1, faces[f].V2, faces[f].V3)) ++found[kind];
}

void CountZeroArea(std::map<std::string, int64_t>& found, const std::string& kind,
                   const std::vector<ModelMesh>& meshes) {
    for (const ModelMesh& m : meshes) CountZeroArea(found, kind, m.Faces, m.FaceCount);
}

// The zero-area triangles of every mesh the export writes, by kind.
std::map<std::string, int64_t> ZeroAreaTriangles() {
    std::map<std::string, int64_t> found;
    for (const TrackModelEntry& e : gTrackModel) {
        CountZeroArea(found, "rails", e.Rails);
        CountZeroArea(found, "spines", e.Spines);
        CountZeroArea(found, "ties", e.TieFaces, e.TieFaceCount);
    }
    CountZeroArea(found, "tubes", gTubeModels);
    CountZeroArea(found, "catwalks", gCatwalkModels);
    CountZeroArea(found, "footers", gFooterModels);
    CountZeroArea(found, "prefabs", gPrefabModels);
    CountZeroArea(found, "prefab footers", gPrefabFooterModels);
    CountZeroArea(found, "outer tunnels", gTunnelOuterModels);
    CountZeroArea(found, "inner tunnels", gTunnelInnerModels);
    for (int32_t t = 0; t < gGroundTriangleCount; ++t) {
        const GroundTriangle& g = gGroundTriangles[size_t(t)];
        if (ZeroArea(gGroundVertices[size_t(g.A)].Position, gGroundVertices[size_t(g.B)].Position,
                     gGroundVertices[size_t(g.C)].Position))
            ++found["ground"];
    }
    return found;
}

}  // namespace

// Every sample at every detail of an open: no mesh holds a triangle without
// area (the export would write it as a line).
TEST_F(SampleExport, NoSampleModelHoldsAZeroAreaTriangle) {
    for (const char* name : {"circuit.vxtrack", "lakeside.vxtrack", "shuttle.vxtrack", "camelback.vxelem"}) {
        for (int level = 1; level <= 4; ++level) {
            SCOPED_TRACE(std::string(name) + " at level " + std::to_string(level));
            gModelOnLoad = level;
            Open(name);
            EXPECT_EQ(ZeroAreaTriangles(), (std::map<std::string, int64_t>{}));
        }
    }
    ExportAndCheck(kEverything, "camelback.3ds");
}
