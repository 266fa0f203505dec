// Object Renamer: the list entries, the check of the new name (full paths
// made relative, letter case, extensions, files outside the Objects folder),
// renaming one object or every object of the same file, and accented names
// from the Object Placer to the track file.

#include "tools/object_renamer.h"

#include "core/app_state.h"
#include "core/document_changed.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/platform/temp_folder.h"
#include "tests/tools/record_check_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/object_files.h"
#include "tools/object_placer.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

class ObjectRenamerTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        sim.Write("Objects/Trees/Oak.3ds", "oak");
        sim.Write("Objects/rock.3DS", "rock");
        sim.Write("Objects/readme.txt", "text");
        sim.Write("outside.3ds", "outside");
        gSimPath = sim.Path();
        MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
        for (const char* name : {"Trees\\oak.3ds", "TREES\\OAK.3DS", "rock.3ds", "Trees\\oak.3ds"}) {
            SceneryObject object;
            object.FileName = name;
            object.Transform = MatrixIdentity();
            gObjects.insert(gObjects.begin() + gObjectCount, object);
            ++gObjectCount;
        }
    }
    void TearDown() override {
        gSimPath.clear();
        ToolTest::TearDown();
    }
    TempFolder sim;
};

TEST_F(ObjectRenamerTest, ListEntriesNumberFromOneWithFourDigits) {
    EXPECT_EQ(ObjectListEntry(0), "0001:Trees\\oak.3ds");
    EXPECT_EQ(ObjectListEntry(2), "0003:rock.3ds");
    gObjectCount = 10000;
    gObjects.resize(10001);
    gObjects[9999].FileName = "a.3ds";
    EXPECT_EQ(ObjectListEntry(9999), "10000:a.3ds");
}

TEST_F(ObjectRenamerTest, FullPathsBelowTheObjectsFolderBecomeStoredNames) {
    RenameFileCheck check = CheckRenameFile(sim / "Objects/Trees/Oak.3ds");
    EXPECT_TRUE(check.Valid);
    EXPECT_EQ(check.Replacement, "Trees\\Oak.3ds");
    // A prefix that differs only in letter case, and the user's case kept.
    check = CheckRenameFile(sim / "OBJECTS/trees/OAK.3ds");
    EXPECT_TRUE(check.Valid);
    EXPECT_EQ(check.Replacement, "trees\\OAK.3ds");
    // Only the leading folder is taken off, not a second occurrence further on.
    const std::string nested = "Objects" + sim.Path() + "Objects/deep.3ds";
    sim.Write(nested, "deep");
    check = CheckRenameFile(sim / nested);
    ASSERT_TRUE(check.Valid);
    EXPECT_EQ(check.Replacement, StoredObjectName(sim / nested));
    EXPECT_NE(check.Replacement->find("Objects\\deep.3ds"), std::string::npos);
    EXPECT_TRUE(ObjectFileExists(*check.Replacement));

    EXPECT_FALSE(CheckRenameFile(sim / "outside.3ds").Valid);
    EXPECT_FALSE(CheckRenameFile(sim / "Objects/Trees/Missing.3ds").Valid);
    EXPECT_FALSE(CheckRenameFile(sim / "Objects/readme.txt").Valid);
}

TEST_F(ObjectRenamerTest, RelativeNamesAreLookedUpWithoutRegardToCase) {
    EXPECT_TRUE(CheckRenameFile("trees\\oak.3ds").Valid);
    EXPECT_TRUE(CheckRenameFile("ROCK.3ds").Valid);
    EXPECT_FALSE(CheckRenameFile("rock.3ds").Replacement);
    EXPECT_FALSE(CheckRenameFile("trees\\oak.3ds").Replacement);
    // "/" typed between the names is stored as "\", as the Object Placer stores it.
    const RenameFileCheck slashes = CheckRenameFile("Trees/Oak.3DS");
    EXPECT_TRUE(slashes.Valid) << "the extension in capitals";
    EXPECT_EQ(slashes.Replacement, "Trees\\Oak.3DS");
    EXPECT_FALSE(CheckRenameFile("Trees/Missing.3ds").Replacement);
    for (const char* bad : {"", ".3ds", "x.3ds", "readme.txt", "Trees", "..\\outside.3ds", "Trees\\Missing.3ds"})
        EXPECT_FALSE(CheckRenameFile(bad).Valid) << bad;
}

TEST_F(ObjectRenamerTest, RenamesOneOrAllOfTheSameFileIgnoringCase) {
    EXPECT_EQ(RenameSceneryObjects(3, "rock.3DS", false), 1);
    EXPECT_EQ(gObjects[3].FileName, "rock.3DS");
    EXPECT_EQ(gObjects[0].FileName, "Trees\\oak.3ds");
    EXPECT_TRUE(gDocumentChanged);

    EXPECT_EQ(RenameSceneryObjects(0, "Trees\\Oak.3ds", true), 2);
    EXPECT_EQ(gObjects[0].FileName, "Trees\\Oak.3ds");
    EXPECT_EQ(gObjects[1].FileName, "Trees\\Oak.3ds");
    EXPECT_EQ(gObjects[2].FileName, "rock.3ds");
    EXPECT_EQ(gObjects[3].FileName, "rock.3DS");

    EXPECT_EQ(RenameSceneryObjects(3, "Trees\\Oak.3ds", true), 2) << "rock.3ds and rock.3DS are one file";
    EXPECT_EQ(gObjects[2].FileName, "Trees\\Oak.3ds");
    EXPECT_TRUE(SavesAndReloadsValid());
    EXPECT_EQ(gObjects[3].FileName, "Trees\\Oak.3ds");
}

// A name with an accented letter: placed, listed, renamed and saved as one
// byte per character, found on disk in either spelling; a name the track's
// code page cannot hold is refused before anything is written.
TEST_F(ObjectRenamerTest, AccentedNamesArePlacedListedRenamedAndSavedAsOneByte) {
    sim.Write("Objects/Trees/\xC3\xA9rable.3ds", "UTF-8 on disk");
    sim.Write("Objects/Trees/ch\xEAne.3ds", "single bytes on disk");
    sim.Write("Objects/\xE6\x9D\xBE.3ds", "a name beyond the code page");
    const std::string maple = "Trees\\\xC3\xA9rable.3ds", oak = "Trees\\ch\xC3\xAAne.3ds";  // érable, chêne
    ASSERT_TRUE(ObjectFileValid(sim / "Objects/Trees/\xC3\xA9rable.3ds"));
    ObjectPlacerOptions place;
    place.FileName = StoredObjectName(sim / "Objects/Trees/\xC3\xA9rable.3ds").value_or("");
    EXPECT_EQ(place.FileName, maple);
    place.Count = 2;
    place.KeepAway = false;
    ASSERT_TRUE(RunObjectPlacer(place));
    EXPECT_EQ(ObjectListEntry(4), "0005:" + maple);

    // The file dialog gives the single-byte name as the disk spells it; the box shows it as text.
    const RenameFileCheck chosen = CheckRenameFile(cp::TextFromDiskPath(sim / "Objects/Trees/ch\xEAne.3ds"));
    ASSERT_EQ(chosen.Replacement, oak);
    EXPECT_TRUE(CheckRenameFile(oak).Valid);
    EXPECT_EQ(RenameSceneryObjects(5, oak, false), 1);
    EXPECT_EQ(ObjectListEntry(5), "0006:" + oak);
    // Letter case of the accented letters counts as the simulator's: ÉRABLE is érable.
    gObjects[4].FileName = "TREES\\\xC3\x89RABLE.3DS";
    gObjects[5].FileName = maple;
    EXPECT_EQ(RenameSceneryObjects(4, oak, true), 2);
    gObjects[5].FileName = maple;

    // Refused before anything changes: the check, the rename and the placer.
    EXPECT_FALSE(ObjectFileValid(sim / "Objects/\xE6\x9D\xBE.3ds"));
    EXPECT_FALSE(CheckRenameFile(sim / "Objects/\xE6\x9D\xBE.3ds").Valid);
    EXPECT_FALSE(CheckRenameFile("\xE6\x9D\xBE.3ds").Valid);
    gDocumentChanged = false;
    EXPECT_EQ(RenameSceneryObjects(0, "\xE6\x9D\xBE.3ds", true), 0);
    place.FileName = "\xE6\x9D\xBE.3ds";
    EXPECT_FALSE(RunObjectPlacer(place));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, ObjectNameNotStorableText(place.FileName));
    EXPECT_NE(prompts.Messages[0].Text.find("\"\xE6\x9D\xBE\""), std::string::npos);
    EXPECT_EQ(gObjectCount, 6);
    EXPECT_FALSE(gDocumentChanged);

    // Saved as single bytes, read back as the same text, and both files found.
    TempFolder out;
    ASSERT_TRUE(SaveTrackFile(out / "t.vxtrack"));
    std::string bytes;
    ASSERT_TRUE(fsys::ReadWholeFile(out / "t.vxtrack", bytes));
    EXPECT_NE(bytes.find(std::string("\0\0\0\x10", 4) + "Trees\\\xE9rable.3ds"), std::string::npos);
    EXPECT_NE(bytes.find(std::string("\0\0\0\x0F", 4) + "Trees\\ch\xEAne.3ds"), std::string::npos);
    ClearTrackDocument();
    ASSERT_TRUE(LoadTrackFile(out / "t.vxtrack"));
    EXPECT_EQ(ObjectListEntry(4), "0005:" + oak);
    EXPECT_EQ(ObjectListEntry(5), "0006:" + maple);
    EXPECT_TRUE(ObjectFileExists(gObjects[4].FileName));
    EXPECT_TRUE(ObjectFileExists(gObjects[5].FileName));
}

TEST_F(ObjectRenamerTest, AnIndexOutsideTheListChangesNothing) {
    for (int32_t bad : {-1, 4, 100}) EXPECT_EQ(RenameSceneryObjects(bad, "rock.3ds", true), 0);
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_EQ(gObjects[0].FileName, "Trees\\oak.3ds");
}

}  // namespace
