// The environment editor's flow with scripted answers: the unsaved-changes
// prompt on New, Open and closing with its cancel paths, Open's dialog and the
// name it takes, Save As refusing every folder but the Environments folder,
// failed saves keeping the changes, the texture rows, the slider labels, and
// every row of the pages reaching its own key of the file.

#include "simulator/environment_editor.h"
#include "simulator/environment_editor_pages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app_state.h"
#include "platform/file_system.h"
#include "platform/scripted_prompts.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/temp_folder.h"
#include "tests/simulator/picture_test_support.h"

namespace {

const char* const kPromptText = "There are unsaved changes to the Envrionment.\nDo you want to save?";

class EnvironmentEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedSimPath = gSimPath;
        gSimPath = sim.Path();
        sim.Write("Environments/.keep");
        editor.Start();
    }
    void TearDown() override {
        gSimPath = savedSimPath;
        ResetEnvironmentControls();
    }
    void ExpectPrompt(size_t index) {
        ASSERT_LT(index, prompts.Messages.size());
        EXPECT_EQ(prompts.Messages[index].Text, kPromptText);
        EXPECT_EQ(prompts.Messages[index].Title, "Unsaved Changes...");
        EXPECT_EQ(prompts.Messages[index].Buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(prompts.Messages[index].Icon, MsgIcon::Exclamation);
    }
    void ExpectMessage(size_t index, const std::string& text, const std::string& title) {
        ASSERT_LT(index, prompts.Messages.size());
        EXPECT_EQ(prompts.Messages[index].Text, text);
        EXPECT_EQ(prompts.Messages[index].Title, title);
        EXPECT_EQ(prompts.Messages[index].Buttons, MsgButtons::OK);
        EXPECT_EQ(prompts.Messages[index].Icon, MsgIcon::Exclamation);
    }

    void ExpectReplaceQuestion(size_t index, const std::string& path, const std::string& title) {
        ASSERT_LT(index, prompts.Messages.size());
        EXPECT_EQ(prompts.Messages[index].Text, path + " already exists.\r\nDo you want to replace it?");
        EXPECT_EQ(prompts.Messages[index].Title, title);
        EXPECT_EQ(prompts.Messages[index].Buttons, MsgButtons::YesNoNoDefault);
    }
    static std::string Text(const std::string& path) {
        std::string text;
        fsys::ReadWholeFile(path, text);
        return text;
    }

    TempFolder sim;
    std::string savedSimPath;
    ScriptedPrompts prompts;
    ScopedPrompts scope{prompts};
    EnvironmentEditor editor;
};

TEST_F(EnvironmentEditorTest, NewAndClosingAskOnlyAboutUnsavedChanges) {
    EXPECT_TRUE(editor.QueryClose());
    EXPECT_TRUE(prompts.Messages.empty());

    editor.EnvName = "Sunset";
    editor.CurrentFilePath = sim / "Environments/Sunset.env";
    gEnvironment.chkFog = true;
    editor.MarkChanged();
    prompts.MessageAnswers = {MsgResult::Cancel, MsgResult::Cancel, MsgResult::No};
    EXPECT_FALSE(editor.QueryClose());
    ExpectPrompt(0);
    EXPECT_FALSE(editor.New());
    EXPECT_TRUE(gEnvironment.chkFog);
    EXPECT_TRUE(editor.Changed);
    EXPECT_EQ(editor.EnvName, "Sunset");

    // No: the defaults, and no name or path left over to be overwritten by Save.
    EXPECT_TRUE(editor.New());
    ExpectPrompt(2);
    EXPECT_EQ(gEnvironment, EnvironmentValues());
    EXPECT_EQ(editor.EnvName, "");
    EXPECT_EQ(editor.CurrentFilePath, "");
    EXPECT_FALSE(editor.Changed);
    EXPECT_FALSE(fsys::FileExists(sim / "Environments/Sunset.env"));
}

TEST_F(EnvironmentEditorTest, OpenAsksFirstThenReadsTheFileAndItsName) {
    EnvironmentValues sunset;
    sunset.chkFog = true;
    sunset.hsFogDensity = 250;
    ASSERT_TRUE(WriteEnvironmentFile("Sunset", sunset));
    gEnvironment.chkSunVisible = false;
    editor.MarkChanged();

    prompts.MessageAnswers = {MsgResult::Cancel};
    EXPECT_FALSE(editor.Open());
    EXPECT_TRUE(prompts.FileDialogs.empty());

    prompts.MessageAnswers = {MsgResult::No};
    prompts.FileDialogAnswers = {{true, sim / "Environments/Sunset.env"}};
    ASSERT_TRUE(editor.Open());
    ExpectPrompt(1);
    const FileDialogRequest& request = prompts.FileDialogs.at(0);
    EXPECT_FALSE(request.Save);
    EXPECT_EQ(request.Title, "Open Environment File...");
    EXPECT_EQ(request.Filter, "Vortaxis Environments (*.env)|*.env");
    EXPECT_EQ(request.InitialDir, sim / "Environments/");
    EXPECT_EQ(request.DefaultExt, "env");
    EXPECT_TRUE(request.FileMustExist);
    EXPECT_TRUE(request.HideReadOnly);
    EXPECT_EQ(gEnvironment, sunset);
    EXPECT_EQ(editor.EnvName, "Sunset");
    EXPECT_EQ(editor.CurrentFilePath, sim / "Environments/Sunset.env");
    EXPECT_FALSE(editor.Changed);

    // The next Open starts on that file; a file that cannot be read changes nothing, and says why.
    const std::string big = sim.Write("Environments/Big.env", "x");
    std::filesystem::resize_file(big, fsys::kEnvironmentFile.MostBytes + 1);
    prompts.FileDialogAnswers = {{true, sim / "Environments/Gone.env"}, {true, big}};
    EXPECT_FALSE(editor.Open());
    EXPECT_EQ(prompts.FileDialogs.at(1).FileName, sim / "Environments/Sunset.env");
    ExpectMessage(2, "Error Opening Environment File.\n" + fsys::ReadFailureReason(ENOENT, fsys::kEnvironmentFile),
                  "Error!");
    EXPECT_FALSE(editor.Open());
    ExpectMessage(3, "Error Opening Environment File.\n" + fsys::ReadFailureReason(EFBIG, fsys::kEnvironmentFile),
                  "Error!");
    EXPECT_EQ(editor.EnvName, "Sunset");
    EXPECT_EQ(gEnvironment, sunset);

    EXPECT_EQ(EnvironmentNameOfFile("Night.ENV"), "Night");
    EXPECT_EQ(EnvironmentNameOfFile("my.envy"), "my.envy");
    EXPECT_EQ(EnvironmentNameOfFile("env"), "env");
}

TEST_F(EnvironmentEditorTest, SaveAsRefusesEveryFolderButTheEnvironmentsFolder) {
    sim.Write("Environments/Sub/.keep");
    editor.EnvName = "Dusk";
    editor.MarkChanged();
    prompts.FileDialogAnswers = {{true, sim / "Environments/Sub/Dusk.env"},
                                 {true, sim / "EnvironmentsOld/Dusk.env"},
                                 {false, ""}};
    const std::string refusal = "Environment files MUST be saved to the Vortaxis Environment folder!";
    EXPECT_FALSE(editor.SaveEnvironmentAs());
    EXPECT_FALSE(editor.SaveEnvironmentAs());
    EXPECT_FALSE(editor.SaveEnvironmentAs());
    ASSERT_EQ(prompts.Messages.size(), 2u);
    ExpectMessage(0, refusal, "Warning!");
    ExpectMessage(1, refusal, "Warning!");
    const FileDialogRequest& request = prompts.FileDialogs.at(0);
    EXPECT_TRUE(request.Save);
    EXPECT_FALSE(request.OverwritePrompt) << "asked once the file written is known";
    EXPECT_EQ(request.Title, "Save Environment As...");
    EXPECT_EQ(request.Filter, "Vortaxis Environments (*.env)|*.env");
    EXPECT_EQ(request.FileName, sim / "Environments/Dusk.env");
    EXPECT_EQ(request.InitialDir, sim / "Environments/");
    EXPECT_TRUE(editor.Changed);
    EXPECT_EQ(editor.EnvName, "Dusk");
    EXPECT_FALSE(fsys::FileExists(sim / "Environments/Dusk.env"));

    // The same folder spelled another way is the Environments folder.
    prompts.FileDialogAnswers = {{true, sim / "Environments/Sub/../Night.env"}};
    EXPECT_TRUE(editor.SaveEnvironmentAs());
    EXPECT_EQ(editor.EnvName, "Night");
    EXPECT_FALSE(editor.Changed);
    EXPECT_TRUE(fsys::FileExists(sim / "Environments/Night.env"));
}

TEST_F(EnvironmentEditorTest, CancelledOrFailedSavesKeepTheChanges) {
    // Closing with Yes and no name: the Save As dialog is cancelled, the window stays open.
    editor.MarkChanged();
    prompts.MessageAnswers = {MsgResult::Yes};
    prompts.FileDialogAnswers = {{false, ""}};
    EXPECT_FALSE(editor.QueryClose());
    EXPECT_TRUE(editor.Changed);
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    EXPECT_TRUE(prompts.FileDialogs[0].FileName.empty());

    // "/" passes the key filter but cannot be a file name here.
    editor.EnvName = "Day/Night";
    prompts.MessageAnswers = {MsgResult::Yes};
    EXPECT_FALSE(editor.New());
    ExpectMessage(2, "Unable to save file!\n" + sim / "Environments/Day/Night.env\nThe environment's name cannot be a folder.",
                  "Error!");
    EXPECT_TRUE(editor.Changed);
    EXPECT_EQ(editor.EnvName, "Day/Night");
    // Nor can a name of nothing but dots and spaces, which would put the textures into Environments itself.
    editor.EnvName = "..";
    EXPECT_FALSE(editor.SaveEnvironment());
    ExpectMessage(3,
                  "Unable to save file!\n" + sim / "Environments/...env\nThe environment's name leaves no folder "
                                                    "name: the simulator drops the dots and spaces at the end of a "
                                                    "folder's name.",
                  "Error!");

    // A name the file's single-byte code page lacks is refused with the text that holds it.
    editor.EnvName = "\xE6\x97\xA5";
    EXPECT_FALSE(editor.SaveEnvironment());
    ExpectMessage(4,
                  "Unable to save file!\n" + sim / "Environments/\xE6\x97\xA5.env\n" +
                      "An environment file cannot hold the characters of this text:\n\xE6\x97\xA5",
                  "Error!");
    EXPECT_TRUE(editor.Changed);

    // A save that keeps a value whose file is not found here says so.
    editor.EnvName = "Day";
    gEnvironment.txtTree[0] = "D:\\textures\\tree.jpg";
    EXPECT_TRUE(editor.SaveEnvironment());
    EXPECT_FALSE(editor.Changed);
    EXPECT_NE(Text(sim / "Environments/Day.env").find("\r\nsim.tree1.texture.path=D:\\textures\\tree.jpg\r\n"),
              std::string::npos);
    ExpectMessage(5,
                  "The environment was saved, but these textures were not found, so they were not copied into " +
                      sim / "Environments/Day/ and keep their values as they were:\nD:\\textures\\tree.jpg",
                  "Warning!");

    EXPECT_EQ(FilterEnvNameKey('/'), '/');
    EXPECT_EQ(FilterEnvNameKey('?'), '?');
    for (char c : std::string("\\|<>\"*:")) EXPECT_EQ(FilterEnvNameKey(c), 0) << c;
}

// A file opened from another folder is saved into the Environments folder:
// the file there of that name is replaced only after a question, and the
// keys the editor does not edit come along. The file saved is then its own.
TEST_F(EnvironmentEditorTest, SaveAsksBeforeReplacingAnotherEnvironmentAndKeepsUnknownKeys) {
    EnvironmentValues fog;
    fog.chkFog = true;
    ASSERT_TRUE(WriteEnvironmentFile("Sunset", fog));
    const std::string ours = sim / "Environments/Sunset.env";
    const std::string before = Text(ours);
    TempFolder downloads;
    const std::string opened = downloads.Write(
        "Sunset.env", "# from a friend\r\nsim.shadows.visible=false\r\nsim.water.texture.path=Textures\\water.jpg\r\n");
    prompts.FileDialogAnswers = {{true, opened}};
    ASSERT_TRUE(editor.Open());

    prompts.MessageAnswers = {MsgResult::No};
    EXPECT_FALSE(editor.SaveEnvironment());
    ExpectReplaceQuestion(0, ours, "Save Environment");
    EXPECT_EQ(Text(ours), before);

    prompts.MessageAnswers = {MsgResult::Yes};
    ASSERT_TRUE(editor.SaveEnvironment());
    const std::string saved = Text(ours);
    const std::string tail = "sim.stationrafters.enabled=false\r\nsim.water.texture.path=Textures\\water.jpg\r\n";
    ASSERT_GE(saved.size(), tail.size());
    EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail);
    EXPECT_EQ(saved.find("# from a friend\r\n# ---"), 0u);
    EXPECT_NE(saved.find("\r\nsim.shadows.visible=false\r\n"), std::string::npos);
    EXPECT_EQ(Text(opened).find("sim.stationrafters"), std::string::npos) << "the opened file is not written";

    gEnvironment.chkFog = true;
    editor.MarkChanged();
    ASSERT_TRUE(editor.SaveEnvironment());
    EXPECT_EQ(prompts.Messages.size(), 2u) << "the file saved last is replaced without a question";

    // A name typed for another existing environment asks again.
    ASSERT_TRUE(WriteEnvironmentFile("Dawn", fog));
    editor.EnvName = "Dawn";
    prompts.MessageAnswers = {MsgResult::No};
    EXPECT_FALSE(editor.SaveEnvironment());
    ExpectReplaceQuestion(2, sim / "Environments/Dawn.env", "Save Environment");
}

// Save As asks about the file it writes: "sunset" writes the existing
// Sunset.env, "Sunset.v2" writes Sunset.v2.env; the name box takes the name
// as written only once it is saved.
TEST_F(EnvironmentEditorTest, SaveAsAsksAboutTheFileItWrites) {
    EnvironmentValues fog;
    fog.chkFog = true;
    ASSERT_TRUE(WriteEnvironmentFile("Sunset", fog));
    ASSERT_TRUE(WriteEnvironmentFile("Sunset.v2", fog));
    const std::string sunset = Text(sim / "Environments/Sunset.env");
    editor.EnvName = "Dawn";
    editor.MarkChanged();

    // No goes back to the dialog on the name asked about; cancelling it saves nothing.
    prompts.FileDialogAnswers = {{true, sim / "Environments/sunset"}, {false, ""}};
    prompts.MessageAnswers = {MsgResult::No};
    EXPECT_FALSE(editor.SaveEnvironmentAs());
    ExpectReplaceQuestion(0, sim / "Environments/Sunset.env", "Save Environment As...");
    ASSERT_EQ(prompts.FileDialogs.size(), 2u);
    EXPECT_EQ(prompts.FileDialogs[1].FileName, sim / "Environments/Sunset.env");
    EXPECT_EQ(prompts.FileDialogs[1].Title, "Save Environment As...");
    EXPECT_EQ(Text(sim / "Environments/Sunset.env"), sunset);
    EXPECT_EQ(editor.EnvName, "Dawn");
    EXPECT_TRUE(editor.Changed);

    prompts.FileDialogAnswers = {{true, sim / "Environments/Sunset.v2"}};
    prompts.MessageAnswers = {MsgResult::Yes};
    ASSERT_TRUE(editor.SaveEnvironmentAs());
    ExpectReplaceQuestion(1, sim / "Environments/Sunset.v2.env", "Save Environment As...");
    EXPECT_EQ(editor.EnvName, "Sunset.v2");
    EXPECT_EQ(Text(sim / "Environments/Sunset.v2.env").find("sim.fog.enabled"), std::string::npos);

    prompts.FileDialogAnswers = {{true, sim / "Environments/sunset.env"}};
    prompts.MessageAnswers = {MsgResult::Yes};
    ASSERT_TRUE(editor.SaveEnvironmentAs());
    ExpectReplaceQuestion(2, sim / "Environments/Sunset.env", "Save Environment As...");
    EXPECT_EQ(editor.EnvName, "Sunset");
    EXPECT_NE(Text(sim / "Environments/Sunset.env"), sunset);
    EXPECT_FALSE(std::filesystem::exists(sim / "Environments/sunset.env"));
}

// A texture that cannot be copied is said with the system's reason, and
// nothing is saved that would name it: no file, and no copy left of the
// textures that did fit.
TEST_F(EnvironmentEditorTest, AFailedTextureCopyIsSaidAndNothingNamesIt) {
    sim.Write("Textures/small.jpg", "tiny");
    const std::string big = sim.Write("Textures/big.jpg", std::string(8192, 'b'));
    gEnvironment.txtRegionGround = "Textures\\small.jpg";
    gEnvironment.txtSun = "Textures\\big.jpg";
    editor.EnvName = "Full";
    editor.MarkChanged();
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(editor.SaveEnvironment());
    }
    ExpectMessage(0,
                  "Unable to save file!\n" + sim / "Environments/Full.env" +
                      "\nThese textures could not be copied into " + sim / "Environments/Full/" + ":\n" + big +
                      ": The file would be larger than the system allows.",
                  "Error!");
    EXPECT_TRUE(editor.Changed);
    EXPECT_FALSE(std::filesystem::exists(sim / "Environments/Full.env"));
    EXPECT_FALSE(std::filesystem::exists(sim / "Environments/Full")) << "the copy that fitted is gone again";

    ASSERT_TRUE(editor.SaveEnvironment());
    const std::string saved = Text(sim / "Environments/Full.env");
    EXPECT_NE(saved.find("\r\nsim.sun.texture.path=Environments\\Full\\big.jpg\r\n"), std::string::npos);
    EXPECT_EQ(Text(sim / "Environments/Full/big.jpg"), std::string(8192, 'b'));
    EXPECT_EQ(Text(sim / "Environments/Full/small.jpg"), "tiny");

    // A texture larger than any picture is not read at all.
    const std::string huge = sim.Write("Textures/huge.jpg", "h");
    std::filesystem::resize_file(huge, 400 * fsys::kMegabyte);
    gEnvironment.txtSun = "Textures\\huge.jpg";
    editor.MarkChanged();
    EXPECT_FALSE(editor.SaveEnvironment());
    ExpectMessage(1,
                  "Unable to save file!\n" + sim / "Environments/Full.env" +
                      "\nThese textures could not be copied into " + sim / "Environments/Full/" + ":\n" + huge +
                      ": The texture cannot be read. The file is larger than a picture can be (at most 321 MiB).",
                  "Error!");
}

// Another user's folder at the environment's own name takes no copy: the
// save says so as it says other failed copies and writes nothing. The
// superuser's run on another user's tree refuses every save from its start,
// with the reason and the way out, before any dialog.
TEST_F(EnvironmentEditorTest, AnotherUsersFolderOrTreeGetsNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give folders to other users";
    namespace fs = std::filesystem;
    const std::string sky = sim.Write("Textures/sky.jpg", "SKY");
    const std::string theirs = sim / "Environments/Sunset";
    fs::create_directories(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(theirs.c_str(), 0777), 0);
    gEnvironment.txtSun = "Textures\\sky.jpg";
    editor.EnvName = "Sunset";
    editor.MarkChanged();
    EXPECT_FALSE(editor.SaveEnvironment());
    ExpectMessage(0,
                  "Unable to save file!\n" + sim / "Environments/Sunset.env" +
                      "\nThese textures could not be copied into " + theirs + "/:\n" + sky +
                      ": The environment's folder belongs to another user.",
                  "Error!");
    EXPECT_TRUE(editor.Changed);
    EXPECT_FALSE(fs::exists(sim / "Environments/Sunset.env"));
    EXPECT_TRUE(fs::is_empty(theirs));

    const std::string top = sim.Path().substr(0, sim.Path().size() - 1);
    ASSERT_EQ(::chown(top.c_str(), 65534, 65534), 0);
    const std::string refusal = NobodysFolderRefusal(top);
    editor.Start();
    EXPECT_EQ(editor.Refusal(), refusal);
    gEnvironment.txtSun = "Textures\\sky.jpg";
    editor.EnvName = "Dusk";
    editor.MarkChanged();
    EXPECT_FALSE(editor.SaveEnvironment());
    ExpectMessage(1, "Unable to save file!\n" + sim / "Environments/Dusk.env\n" + refusal, "Error!");
    EXPECT_FALSE(editor.SaveEnvironmentAs());
    ExpectMessage(2, "Unable to save file!\n" + sim / "Environments/\n" + refusal, "Error!");
    EXPECT_TRUE(prompts.FileDialogs.empty());
    EXPECT_FALSE(fs::exists(sim / "Environments/Dusk.env"));
    EXPECT_FALSE(fs::exists(sim / "Environments/Dusk"));
}

// A save that fails says why, and the file keeps what it held.
TEST_F(EnvironmentEditorTest, AFailedSaveSaysWhy) {
    const std::string file = sim.Write("Environments/Plain.env", "old");
    editor.EnvName = "Plain";
    editor.CurrentFilePath = file;
    editor.MarkChanged();
    {
        FileSizeLimit limit(64);
        EXPECT_FALSE(editor.SaveEnvironment());
    }
    ExpectMessage(0, "Unable to save file!\n" + file + "\nThe file would be larger than the system allows.", "Error!");
    EXPECT_EQ(Text(file), "old");
    EXPECT_TRUE(editor.Changed);
}

TEST_F(EnvironmentEditorTest, TextureRowsChooseViewAndClear) {
    const std::string inside = sim.Write("Textures/Sky/clouds.jpg", "not a picture");
    TempFolder outside;
    const std::string loose = outside.Write("pics/sun.jpg");

    std::string box;
    prompts.FileDialogAnswers = {{true, inside}};
    ASSERT_TRUE(editor.ChooseTexture(box));
    EXPECT_EQ(box, "Textures\\Sky\\clouds.jpg");
    EXPECT_EQ(editor.LastTextureFolder, sim / "Textures/Sky/");
    EXPECT_TRUE(editor.Changed);
    const FileDialogRequest& first = prompts.FileDialogs.at(0);
    EXPECT_EQ(first.Title, "Select Texture...");
    EXPECT_EQ(first.Filter, "Supported Images|*.jpg;*.tga|JPeG Images (*.jpg)|*.jpg|Targa Images (*.tga)|*.tga");
    EXPECT_EQ(first.DefaultExt, "jpg");
    EXPECT_TRUE(first.FileMustExist);
    EXPECT_EQ(first.FileName, "");
    EXPECT_EQ(first.InitialDir, sim.Path());  // the simulator's folder before any choice

    // A filled row starts on its own file; an empty one in the last folder; cancel keeps the box.
    prompts.FileDialogAnswers = {{false, ""}, {true, loose}};
    EXPECT_FALSE(editor.ChooseTexture(box));
    EXPECT_EQ(prompts.FileDialogs.at(1).FileName, inside);
    EXPECT_EQ(prompts.FileDialogs.at(1).InitialDir, sim / "Textures/Sky/");
    std::string other;
    ASSERT_TRUE(editor.ChooseTexture(other));
    EXPECT_EQ(prompts.FileDialogs.at(2).InitialDir, sim / "Textures/Sky/");
    EXPECT_EQ(other, loose);

    int viewed = 0;
    editor.ShowTextureViewer = [&] { ++viewed; };
    editor.ViewTexture("ab");
    EXPECT_TRUE(prompts.Messages.empty());
    editor.ViewTexture("Textures\\none.jpg");
    ExpectMessage(0, "Unable to locate file!\n" + sim / "Textures/none.jpg", "Warning!");
    editor.ViewTexture(box);
    ExpectMessage(1, "Unable to open file!\n" + inside, "Warning!");
    const Bytes tga = Tga(2, 24, 1, 1, 0, {1, 2, 3});
    sim.Write("Textures/dot.tga", std::string(tga.begin(), tga.end()));
    editor.ViewTexture("textures/DOT.tga");
    EXPECT_EQ(viewed, 1);
    EXPECT_EQ(prompts.Messages.size(), 2u);

    editor.Changed = false;
    editor.ClearTexture(box);
    EXPECT_EQ(box, "");
    EXPECT_TRUE(editor.Changed);
}

TEST(EnvironmentEditorLabels, SliderValuesAsTheLabelsShowThem) {
    EXPECT_EQ(FogDensityText(100), "0.01");
    EXPECT_EQ(FogDensityText(0), "0.0");
    EXPECT_EQ(FogDensityText(1234), "0.1234");
    EXPECT_EQ(FogDensityText(10000), "1.0");
    EXPECT_EQ(TreeSizeText(800), "8.00");
    EXPECT_EQ(TreeSizeText(5), "0.05");
    EXPECT_EQ(TreeSizeText(10000), "100.00");
    EXPECT_EQ(SunPositionText(18240), "48.0");
    EXPECT_EQ(SunPositionText(0), "-180.0");
    EXPECT_EQ(SunPositionText(14399), "-0.0125");
    EXPECT_EQ(SunPositionText(25210), "135.125");
}

}  // namespace

// Every row of the pages bound to a value of its own that reaches the file:
// distinct values set through the rows come back through a write and a read.
TEST(EnvironmentEditorPages, EveryRowKeepsItsOwnValueThroughTheFile) {
    const std::vector<EnvPage>& pages = EnvironmentEditorPages();
    std::vector<std::string> captions;
    for (const EnvPage& page : pages) captions.push_back(page.Caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"World", "Region", "Fog", "Lighting", "Trees", "Sky", "Sun",
                                                  "Station", "Track", "Wood"}));
    EnvironmentValues set;
    int n = 0, textures = 0;
    for (const EnvPage& page : pages)
        for (const EnvPanel& panel : page.Panels)
            for (const EnvRow& row : panel.Rows) {
                ++n;
                if (row.CheckValue) row.CheckValue(set) = true;
                if (row.TextValue) {
                    row.TextValue(set) = "t" + std::to_string(n) + ".jpg";
                    ++textures;
                }
                if (row.Kind == EnvRowKind::Slider) row.NumberValue(set) = 101 + 7 * n;
                if (row.Kind == EnvRowKind::Color) row.NumberValue(set) = EnvRGB(n, 2 * n, 3 * n);
            }
    EXPECT_EQ(textures, 48);
    const std::string text = EnvironmentFileText("Every", set);
    EnvironmentValues read;
    ReadEnvironmentText(text, read);
    for (const EnvPage& page : pages)
        for (const EnvPanel& panel : page.Panels)
            for (const EnvRow& row : panel.Rows) {
                if (row.CheckValue) {
                    EXPECT_TRUE(row.CheckValue(read)) << row.Control;
                }
                if (row.NumberValue) {
                    EXPECT_EQ(row.NumberValue(read), row.NumberValue(set)) << row.Control;
                }
                if (row.TextValue) {
                    EXPECT_EQ(row.TextValue(read), row.TextValue(set)) << row.Control;  // not found: kept as it was
                }
            }
    EXPECT_EQ(EnvSliderText(EnvSliderLabel::SunPosition, 14400), "0.0");
}
