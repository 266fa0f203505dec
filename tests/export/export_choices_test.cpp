// Which driver the export dialog runs with which parts (the boxes' enabled
// states and the OK rule are tested with the dialog's window).
#include <gtest/gtest.h>

#include <filesystem>

#include "core/app_state.h"
#include "export/export_choices.h"
#include "export/scene_staging_3ds.h"
#include "platform/scripted_prompts.h"
#include "tests/export/lib3ds_readback.h"
#include "tests/export/synthetic_model.h"
#include "tests/platform/temp_folder.h"

namespace {

class RunExport : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDocumentAndModel();
        MakeTrackModel(2, 1, 1, 4, 2);
        MakeTunnelModels(1, 4);
        MakeSupportModels(1, 4);
        MakeGroundModel(3, 3, 1.0f, true);
    }
    void TearDown() override {
        ClearDocumentAndModel();
        gDocumentType = DocumentNone;
    }
    // Material count and object names of the file written with these ticks.
    std::vector<std::string> Export(int16_t documentType, const ExportTicks& ticks, size_t* materials = nullptr) {
        const std::string path = folder / "out.3ds";
        std::string failure;
        EXPECT_TRUE(RunModelExport(documentType, ticks, path, &failure)) << failure;
        const Read3DS file = ReadWithLib3ds(path);
        EXPECT_TRUE(file.Loaded);
        if (materials) *materials = file.Materials.size();
        std::vector<std::string> names;
        for (const ReadMesh3DS& m : file.Meshes) names.push_back(m.Name);
        return names;
    }
    TempFolder folder;
};

}  // namespace

TEST_F(RunExport, TrackBoxesChooseTheirParts) {
    size_t materials = 0;
    EXPECT_EQ(Export(DocumentTrack, {false, true, false, false, false}, &materials),
              (std::vector<std::string>{"TNLI0000", "TNLO0000"}));
    EXPECT_EQ(materials, 2u);
    EXPECT_EQ(Export(DocumentTrack, {false, false, true, false, false}, &materials),
              (std::vector<std::string>{"CW000000", "RF000000", "RN000000", "SF000000", "ST000000"}));
    EXPECT_EQ(materials, 2u);
    EXPECT_EQ(Export(DocumentTrack, {false, false, false, true, true}, &materials),
              (std::vector<std::string>{"TERA0000", "WATR0000"}));
    EXPECT_EQ(materials, 2u);
    EXPECT_EQ(Export(DocumentTrack, {true, false, false, false, false}).size(), 6u);
}

TEST_F(RunExport, ElementsPassOnlyTrackAndGround) {
    size_t materials = 0;
    const auto names = Export(DocumentElement, {false, true, true, true, true}, &materials);
    EXPECT_EQ(names, (std::vector<std::string>{"TERA0000"}));
    EXPECT_EQ(materials, 1u);
    EXPECT_EQ(Export(DocumentNone, {true, false, false, false, false}, &materials).size(), 6u);
    EXPECT_EQ(materials, 3u);
}

TEST_F(RunExport, FailureComesBackWithItsText) {
    std::string failure;
    EXPECT_FALSE(RunModelExport(DocumentTrack, {true, true, true, true, true}, folder / "nope/x.3ds", &failure));
    EXPECT_NE(failure.find("nope/x.3ds"), std::string::npos);
}

// A typed name lies in the folder the "..." route starts in; the open
// document's own file is refused under any of its names; any other file is
// replaced only after the question, which the "..." route asked already.
TEST(ExportTarget, TypedNamesLandInTheSaveFolderAndAreAskedAbout) {
    EXPECT_EQ(ExportTargetPath("model", "/saves/"), "/saves/model");
    EXPECT_EQ(ExportTargetPath("sub/model.3ds", "/saves/"), "/saves/sub/model.3ds");
    EXPECT_EQ(ExportTargetPath("/tmp/model", "/saves/"), "/tmp/model");
    EXPECT_EQ(ExportTargetPath("", "/saves/"), "");

    TempFolder folder;
    ScriptedPrompts prompts;
    ScopedPrompts scope{prompts};
    const std::string track = folder.Write("circuit.vxtrack", "track");
    std::filesystem::create_symlink(track, folder / "link.3ds");
    gDocumentType = DocumentTrack;
    gDocumentPath = track;
    for (const std::string& own : {track, folder / "link.3ds", folder / "./circuit.vxtrack"}) {
        EXPECT_FALSE(ConfirmExportTarget(own, true)) << own;
        ASSERT_FALSE(prompts.Messages.empty());
        EXPECT_EQ(prompts.Messages.back().Text, "The model cannot be saved as\n" + own +
                                                    "\nThat is the open track file, which the export would "
                                                    "replace. Choose another file name.");
        EXPECT_EQ(prompts.Messages.back().Title, "Error!");
    }
    prompts.Messages.clear();
    const std::string other = folder.Write("old.3ds", "old");
    prompts.MessageAnswers = {MsgResult::No, MsgResult::Yes};
    EXPECT_FALSE(ConfirmExportTarget(other, false));
    EXPECT_TRUE(ConfirmExportTarget(other, false));
    EXPECT_TRUE(ConfirmExportTarget(other, true));
    EXPECT_TRUE(ConfirmExportTarget(folder / "new.3ds", false));
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[0].Text, other + " already exists.\r\nDo you want to replace it?");
    EXPECT_EQ(prompts.Messages[0].Title, "Export 3DS Model...");
    gDocumentType = DocumentNone;
    gDocumentPath.clear();
}
