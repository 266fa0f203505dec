// Modeler settings sets: the text of a default set byte for byte, a round
// trip of every value, keys in any case and section, values read as they
// stand (only what cannot be held is changed), files that cannot be read, and
// the Save and Open buttons' dialogs and messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <utility>
#include <vector>

#include "core/app_state.h"
#include "core/app_version.h"
#include "core/settings_text.h"
#include "export/modeler_set_file.h"
#include "platform/file_system.h"
#include "platform/scripted_prompts.h"
#include "tests/platform/temp_folder.h"

namespace {

class ModelerSetFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        gAppPath = "/opt/gw/";
        gSaveDir = "/home/me/saved/";
        gOpenDir = "/home/me/opened/";
        gDocumentType = DocumentNone;
        gModelSettings = ModelerSettings{};
        ApplyTrackStylePresets(0, false);
    }
    void TearDown() override { gModelSettings = ModelerSettings{}; }

    // A set with a distinct in-range value in every field the file holds.
    static ModelerSettings Distinct() {
        ModelerSettings s;
        s.gRailCount = 3;
        s.gRails = {{-0.75f, 0.125f, 1.5f, 0.0625f, 2}, {9.875f, -10.0f, 0.01f, 10.0f, 1}, {1e-6f, 3.1415927f, -2.5f, 0.333f, 0}, {}};
        s.gSpineCount = 2;
        s.gSpines = {{0.5f, -0.85f, 0.25f, 0.2f, 1}, {-1.0f, 2.0f, 0.0f, 0.07f, 0}, {}};
        s.gTieModels[0].Use = true;
        s.gTieModels[0].File = "/home/a,b/ties/vxtmTie03.fcobject";
        s.gTieModels[1].Use = false;
        s.gTieModels[1].File = "";
        s.TieSpacing = 2.75f;
        s.ToggleTies = true;
        s.ToggleCount1 = 7;
        s.ToggleCount2 = 50;
        s.AltOnBank = true;
        s.AltBank = 179.9f;
        s.AltOnStart = true;
        s.RoundFooters = true;
        for (int i = 0; i < 10; ++i) s.TubeScales[i] = Vector3{0.01f + 0.5f * i, 0.25f * i - 1.0f, 10.0f - 0.75f * i};
        s.UseTerrain = false;
        s.LowDetailTerrain = true;
        s.RailDetail = 0.1f;
        s.SpineDetail = 2.95f;
        s.TunnelSoftness = 63;
        s.SquareTunnels = true;
        return s;
    }

    TempFolder folder;
};

// Every value the file holds, exactly: the set's own text of it.
void ExpectSameFileValues(const ModelerSettings& a, const ModelerSettings& b) {
    EXPECT_EQ(BuildModelerSetText(a), BuildModelerSetText(b));
}

}  // namespace

TEST_F(ModelerSetFileTest, DefaultSetByteForByte) {
    const std::string expected =
        ";Gantrywright v" + AppVersionText() +
        "\r\n"
        ";Settings of the modeler: rails, spines, crossties, supports, terrain and extras.\r\n"
        ";Open it in Modeler > Create Model... with the Open button of the Track Style panel.\r\n"
        ";-Moderler Set-\r\n"
        "\r\n[Spines]\r\n"
        "SpineTotal=1\r\n0SPosX=0\r\n0SPosY=-0.3\r\n0SPosZ=0\r\n0SSize=0.2\r\n0SShape=0\r\n"
        "\r\n[Rails]\r\n"
        "RailTotal=2\r\n"
        "0RPosX=-0.5\r\n0RPosY=0\r\n0RPosZ=0\r\n0RSize=0.07\r\n0RShape=0\r\n"
        "1RPosX=0.5\r\n1RPosY=0\r\n1RPosZ=0\r\n1RSize=0.07\r\n1RShape=0\r\n"
        "\r\n[Crossties]\r\n"
        "0UseTie=True\r\n0TieModel=/opt/gw/vxtmTie00.fcobject\r\n1UseTie=False\r\n1TieModel=\r\n"
        "TieSpacing=1.5\r\nToggleTies=False\r\nToggleCount1=0\r\nToggleCount2=0\r\n"
        "AltOnBank=False\r\nAltBank=0\r\nAltOnStart=False\r\n"
        "\r\n[Supports]\r\n"
        "0TubeScaleX=0.125\r\n0TubeScaleY=0\r\n0TubeScaleZ=0.125\r\n"
        "1TubeScaleX=0.25\r\n1TubeScaleY=0\r\n1TubeScaleZ=0.25\r\n"
        "2TubeScaleX=0.375\r\n2TubeScaleY=0\r\n2TubeScaleZ=0.375\r\n"
        "3TubeScaleX=0.5\r\n3TubeScaleY=0\r\n3TubeScaleZ=0.5\r\n"
        "4TubeScaleX=0.625\r\n4TubeScaleY=0\r\n4TubeScaleZ=0.625\r\n"
        "5TubeScaleX=0.1\r\n5TubeScaleY=0\r\n5TubeScaleZ=0.1\r\n"
        "6TubeScaleX=0.12\r\n6TubeScaleY=0\r\n6TubeScaleZ=0.1\r\n"
        "7TubeScaleX=0.15\r\n7TubeScaleY=0\r\n7TubeScaleZ=0.15\r\n"
        "8TubeScaleX=0.15\r\n8TubeScaleY=0\r\n8TubeScaleZ=0.025\r\n"
        "9TubeScaleX=0.075\r\n9TubeScaleY=0\r\n9TubeScaleZ=0.075\r\n"
        "RoundFooters=False\r\n"
        "\r\n[Terrain]\r\n"
        "UseTerrain=True\r\nLowDetailTerrain=False\r\n"
        "\r\n[Extras]\r\n"
        "SquareTunnels=False\r\nTunnelSoftness=8\r\nSpineDetail=1\r\nRailDetail=0.5\r\n";
    const std::string path = folder / "default.gtwrms";
    ASSERT_TRUE(WriteModelerSetFile(path, gModelSettings));
    std::string written;
    ASSERT_TRUE(fsys::ReadWholeFile(path, written));
    EXPECT_EQ(written, expected);
    EXPECT_EQ(SingleText(-0.6f), "-0.6");
    EXPECT_EQ(SingleText(2.718282f), "2.718282");
    EXPECT_EQ(SingleText(3.14159265f), "3.1415927");  // 7 digits would not read back
    EXPECT_EQ(SingleText(-0.0f), "0");
}

TEST_F(ModelerSetFileTest, EveryValueRoundTripsColoursAndTrianglesStay) {
    const ModelerSettings saved = Distinct();
    const std::string path = folder / "distinct.gtwrms";
    ASSERT_TRUE(WriteModelerSetFile(path, saved));

    ModelerSettings read;  // colours and tube-scale slot 10 are not in the file
    read.SupportColor = 0x0000FF;
    read.TunnelColor = 0x00FF00;
    read.TubeScales[10] = Vector3{1, 2, 3};
    read.gTieModels[1].TriangleCount = 9;  // its file stays "": its triangles stay
    ASSERT_TRUE(ReadModelerSetFile(path, read));
    ExpectSameFileValues(read, saved);
    EXPECT_EQ(read.SupportColor, 0x0000FF);
    EXPECT_EQ(read.TunnelColor, 0x00FF00);
    EXPECT_EQ(read.TubeScales[10].Y, 2.0f);
    EXPECT_EQ(read.gTieModels[1].TriangleCount, 9);
    // The comma of the path is written as it stands.
    EXPECT_NE(IniGetBuffer().find("0TieModel=/home/a,b/ties/vxtmTie03.fcobject\r\n"), std::string::npos);
}

TEST_F(ModelerSetFileTest, KeysAreReadInAnyCaseAndSection) {
    const ModelerSettings saved = Distinct();
    std::string text = BuildModelerSetText(saved);
    // Every key in capitals, the Rails section renamed, decimals with ",".
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        const size_t eq = text.find('=', start);
        if (eq != std::string::npos && eq < end) {
            std::transform(text.begin() + start, text.begin() + eq, text.begin() + start,
                           [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
            if (text.compare(start, 3, "0TI") != 0)
                std::replace(text.begin() + eq, text.begin() + end, '.', ',');
        }
        start = end + 2;
    }
    const size_t rails = text.find("[Rails]");
    ASSERT_NE(rails, std::string::npos);
    text.replace(rails, 7, "[Track Rails]");
    IniSetBuffer(text);
    ModelerSettings read;
    ASSERT_TRUE(ReadModelerSetBuffer(read));
    ExpectSameFileValues(read, saved);
}

TEST_F(ModelerSetFileTest, ValuesAreReadAsTheyStand) {
    // What the presets write comes back exactly: no 1, 1 and 0.1 in place of 0.
    ModelerSettings preset = gModelSettings;
    ASSERT_EQ(preset.ToggleCount1, 0);
    ASSERT_EQ(preset.AltBank, 0.0f);
    ModelerSettings read;
    IniSetBuffer(BuildModelerSetText(preset));
    ASSERT_TRUE(ReadModelerSetBuffer(read));
    EXPECT_EQ(read.ToggleCount1, 0);
    EXPECT_EQ(read.ToggleCount2, 0);
    EXPECT_EQ(read.AltBank, 0.0f);
    ExpectSameFileValues(read, preset);

    // Outside the dialog's ranges: as written (the dialog shows them red).
    // Only what cannot be held changes: counts, shapes, whole numbers, floats.
    ModelerSettings many = preset;
    many.gRailCount = 32;
    many.gRails.assign(33, RailSpec{});
    std::string text = BuildModelerSetText(many);
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"RailTotal", "40"}, {"0RPosX", "1e999"}, {"0RSize", "-3"}, {"0RShape", "7"}, {"1RPosY", "-12"},
             {"SpineTotal", "-5"}, {"ToggleCount1", "900"}, {"ToggleCount2", "70000"}, {"0TubeScaleX", "nan"},
             {"3TubeScaleX", "12"}, {"TunnelSoftness", "100"}, {"AltBank", "1e39"}}) {
        const size_t at = text.find("\n" + key + "=");
        ASSERT_NE(at, std::string::npos) << key;
        const size_t end = text.find('\r', at);
        text.replace(at + 2 + key.size(), end - at - 2 - key.size(), value);
    }
    text.erase(text.find("3TubeScaleZ="), text.find("4TubeScaleX=") - text.find("3TubeScaleZ="));  // an older set
    IniSetBuffer(text);
    read = gModelSettings;
    const float depth = read.TubeScales[3].Z;
    ASSERT_TRUE(ReadModelerSetBuffer(read));
    EXPECT_EQ(read.gRailCount, 32);
    EXPECT_EQ(read.gRails[0].PosX, 0.0f);  // no float holds it
    EXPECT_EQ(read.gRails[0].Size, -3.0f);
    EXPECT_EQ(read.gRails[0].Shape, RailWood);
    EXPECT_EQ(read.gRails[1].PosY, -12.0f);
    EXPECT_EQ(read.gRails[31].Size, 0.0f);
    EXPECT_EQ(read.gSpineCount, 0);
    EXPECT_EQ(read.ToggleCount1, 900);
    EXPECT_EQ(read.ToggleCount2, 32767);
    EXPECT_EQ(read.TubeScales[0].X, 0.0f);
    EXPECT_EQ(read.TubeScales[3].X, 12.0f);
    EXPECT_EQ(read.TubeScales[3].Z, depth);  // no depth key: the depth stays
    EXPECT_EQ(read.TunnelSoftness, 100);
    EXPECT_EQ(read.AltBank, 0.0f);
}

// A set cut short at any byte is refused, and nothing of it is applied: cut
// after a line end, it names the first key it lacks; cut inside a key's line
// (its value too), that key. A key that holds a number with no value is
// refused as well. A whole set, and one without the depths as older sets are,
// is read.
TEST_F(ModelerSetFileTest, ASetCutShortIsRefusedNamingItsFirstMissingKey) {
    const std::string text = BuildModelerSetText(Distinct());
    const std::string path = folder / "cut.gtwrms";
    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    ModelerSettings set = gModelSettings;
    const std::string before = BuildModelerSetText(set);
    const std::string intro = "Could Not Load the Modeler Set!\n\nThe file " + path;
    // The first key at or after `from` (the depths aside, which older sets lack).
    const auto nextKey = [&](size_t from) {
        for (size_t line = from; line < text.size(); line = text.find("\r\n", line) + 2) {
            const size_t equals = text.find('=', line);
            const std::string key = text.substr(line, equals - line);
            if (equals < text.find("\r\n", line) && key.find("TubeScaleZ") == std::string::npos) return key;
        }
        return std::string();
    };
    const size_t spines = text.find("SpineTotal=") + std::string("SpineTotal=").size();
    int refused = 0;
    for (size_t end = spines; end < text.size(); ++end) {
        const std::string cut = text.substr(0, end);
        const size_t lineStart = cut.rfind('\n') + 1;
        const std::string partial = cut.substr(lineStart);
        const size_t equals = partial.find('=');
        const std::string expected =
            equals != std::string::npos
                ? " ends inside its line for " + partial.substr(0, equals) + ": it has been cut short."
                : " has no line for " + nextKey(lineStart) + ": it may have been cut short.";
        SCOPED_TRACE(end);
        fsys::WriteFileAtomically(path, cut);
        prompts.FileDialogAnswers.push_back({true, path});
        EXPECT_FALSE(OpenModelerSet(set, nullptr));
        ASSERT_FALSE(prompts.Messages.empty());
        EXPECT_EQ(prompts.Messages.back().Text, intro + expected + " Nothing was changed.");
        EXPECT_FALSE(ReadModelerSetFile(path, set));
        ++refused;
    }
    EXPECT_EQ(refused, static_cast<int>(prompts.Messages.size()));
    EXPECT_EQ(BuildModelerSetText(set), before);

    // Whole but for a value, or for the line end of a last line of none of the keys.
    std::string noValue = text;
    noValue.replace(noValue.find("ToggleCount2=") + 13, 2, "");
    std::string unended = text + "; note";
    for (const auto& [file, expected] :
         {std::pair{noValue, " has no value for ToggleCount2: it may have been cut short."},
          std::pair{unended, " ends inside a line: it has been cut short."}}) {
        fsys::WriteFileAtomically(path, file);
        prompts.FileDialogAnswers.push_back({true, path});
        EXPECT_FALSE(OpenModelerSet(set, nullptr));
        EXPECT_EQ(prompts.Messages.back().Text, intro + expected + " Nothing was changed.");
    }
    EXPECT_EQ(BuildModelerSetText(set), before);

    // Whole, and without the depths as older sets are: read.
    std::string older = text;
    for (size_t at; (at = older.find("TubeScaleZ=")) != std::string::npos;)
        older.erase(older.rfind("\r\n", at) + 2, older.find("\r\n", at) - older.rfind("\r\n", at));
    for (const std::string& whole : {text, older}) {
        fsys::WriteFileAtomically(path, whole);
        EXPECT_TRUE(ReadModelerSetFile(path, set));
    }
    ExpectSameFileValues(set, Distinct());
}

// The file is single-byte text of the simulator's code page: a crosstie path
// with an accented letter is one byte on disk and reads back as it was, found
// on disk in either spelling; one the code page lacks is refused before the
// save dialog, and nothing is written.
TEST_F(ModelerSetFileTest, PathsAreSingleByteTextAndRefusedWhenTheCodePageLacksThem) {
    const std::string utf8 = folder.Write("ties/caf\xC3\xA9.fcobject");
    const std::string single = folder.Write("ties/\xE9t\xE9.fcobject");
    ModelerSettings saved = Distinct();
    saved.gTieModels[0].File = utf8;
    saved.gTieModels[1].File = single;
    const std::string path = folder / "accents.gtwrms";
    ASSERT_TRUE(WriteModelerSetFile(path, saved));
    std::string bytes;
    ASSERT_TRUE(fsys::ReadWholeFile(path, bytes));
    EXPECT_NE(bytes.find("0TieModel=" + folder.Path() + "ties/caf\xE9.fcobject\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("1TieModel=" + folder.Path() + "ties/\xE9t\xE9.fcobject\r\n"), std::string::npos);
    ModelerSettings read;
    ASSERT_TRUE(ReadModelerSetFile(path, read));
    EXPECT_EQ(read.gTieModels[0].File, utf8);
    EXPECT_EQ(read.gTieModels[1].File, single);

    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    saved.gTieModels[1].File = folder / "ties/\xE6\x9D\xBE.fcobject";
    EXPECT_EQ(ModelerSetPathOutsideCodePage(saved), saved.gTieModels[1].File);
    EXPECT_FALSE(WriteModelerSetFile(folder / "never.gtwrms", saved));
    SaveModelerSet(saved, nullptr);
    EXPECT_TRUE(prompts.FileDialogs.empty());
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, ModelerSetPathOutsideText(saved.gTieModels[1].File));
    EXPECT_NE(prompts.Messages[0].Text.find("\"\xE6\x9D\xBE\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "never.gtwrms"));
}

TEST_F(ModelerSetFileTest, SaveAndOpenButtons) {
    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    const std::string path = folder / "mine.gtwrms";
    prompts.FileDialogAnswers.push_back({true, path});
    SaveModelerSet(Distinct(), nullptr);
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    const FileDialogRequest& save = prompts.FileDialogs[0];
    EXPECT_TRUE(save.Save);
    EXPECT_EQ(save.Title, "Save Modeler Set...");
    EXPECT_EQ(save.Filter, "Gantrywright Modeler Set (*.gtwrms)|*.gtwrms");
    EXPECT_EQ(save.DefaultExt, "gtwrms");
    EXPECT_EQ(save.InitialDir, "/home/me/saved/");
    EXPECT_TRUE(save.FileName.empty());
    EXPECT_TRUE(prompts.Messages.empty());

    ModelerSettings read;
    prompts.FileDialogAnswers.push_back({true, path});
    EXPECT_TRUE(OpenModelerSet(read, nullptr));
    EXPECT_EQ(prompts.FileDialogs[1].Title, "Open Modeler Set...");
    EXPECT_EQ(prompts.FileDialogs[1].InitialDir, "/home/me/opened/");
    EXPECT_TRUE(prompts.FileDialogs[1].FileName.empty());
    ExpectSameFileValues(read, Distinct());

    // Cancelled, unreadable, not a set: nothing changes; the last two are reported.
    ModelerSettings untouched = read;
    EXPECT_FALSE(OpenModelerSet(read, nullptr));
    prompts.FileDialogAnswers.push_back({true, folder / "missing.gtwrms"});
    EXPECT_FALSE(OpenModelerSet(read, nullptr));
    prompts.FileDialogAnswers.push_back({true, folder.Write("notes.gtwrms", ";notes\r\nText=1\r\n")});
    EXPECT_FALSE(OpenModelerSet(read, nullptr));
    const std::string huge = folder.Write("huge.gtwrms", ";");
    std::filesystem::resize_file(huge, fsys::kModelerSetFile.MostBytes + 1);
    prompts.FileDialogAnswers.push_back({true, huge});
    EXPECT_FALSE(OpenModelerSet(read, nullptr));
    ExpectSameFileValues(read, untouched);
    ASSERT_EQ(prompts.Messages.size(), 3u);
    EXPECT_EQ(prompts.Messages[0].Text, "Could Not Load the Modeler Set!\n\nThe file " + folder / "missing.gtwrms" +
                                            " could not be read. The file does not exist.");
    EXPECT_EQ(prompts.Messages[0].Title, "Error!");
    EXPECT_EQ(prompts.Messages[1].Text,
              "Could Not Load the Modeler Set!\n\nThe file " + folder / "notes.gtwrms" + " is not a modeler set.");
    EXPECT_EQ(prompts.Messages[2].Text,
              "Could Not Load the Modeler Set!\n\nThe file " + huge +
                  " could not be read. The file is larger than a modeler settings set can be (at most 1 MiB).");

    // A folder in the way of the file: the save is reported.
    folder.Write("sub.gtwrms/x.txt");
    prompts.FileDialogAnswers.push_back({true, folder / "sub.gtwrms"});
    SaveModelerSet(Distinct(), nullptr);
    ASSERT_EQ(prompts.Messages.size(), 4u);
    EXPECT_EQ(prompts.Messages[3].Text,
              "Could Not Save the Modeler Set!\n\nThe file " + folder / "sub.gtwrms" +
                  " could not be written. There is a folder of that name.");
}
