// The document commands through a window stand-in: opening, the failures and
// their messages, saving and saving as byte for byte, the recent list, the
// unsaved-changes question, closing, and the command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/document_changed.h"
#include "core/recent_list.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/rebuild_flags.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/platform/held_lock.h"
#include "trackdoc/element_document.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace fs = std::filesystem;

namespace {

class DocumentCommandsTest : public MainWindowTest {
protected:
    // A copy of a sample in the test's folder.
    std::string Copy(const std::string& sample, const std::string& as = "") {
        const std::string target = temp / (as.empty() ? sample : as);
        fs::create_directories(fs::path(target).parent_path());
        fs::copy_file(SamplesFolder() + sample, target, fs::copy_options::overwrite_existing);
        return target;
    }
    void MarkChanged() {
        SetDocumentChangedObserver([this] {
            UpdateWindowTitle(view);
            view.SetSaveEnabled(true);
        });
        SetDocumentChanged();
    }
    std::string EditorListValue(int i) {
        std::string value;
        RegReadValue(RegCurrentUser, kEditorRecentListKey, "File" + std::to_string(i), value);
        return value;
    }
};

}  // namespace

TEST_F(DocumentCommandsTest, OpeningATrackBuildsItsModelAndShowsIt) {
    const std::string path = Copy("circuit.vxtrack");
    ASSERT_TRUE(LoadFile(path, view));
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(gDocumentType, DocumentTrack);
    EXPECT_EQ(gDocumentPath, path);
    EXPECT_EQ(gOpenDir, temp.Path());
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_EQ(gNodeCount, 12);
    EXPECT_TRUE(gTrackModelValid) << "the model is built at the detail of the settings (3)";
    EXPECT_EQ(gSegmentSelected.size(), static_cast<size_t>(gSegmentCount) + 1);
    EXPECT_EQ(busy.Shows, 1);
    EXPECT_EQ(view.Caption, "Gantrywright - circuit.vxtrack");
    EXPECT_TRUE(view.Menus.Track);
    EXPECT_FALSE(view.Menus.Element);
    EXPECT_TRUE(view.Menus.SaveModelAs);
    EXPECT_EQ(view.ToolBarKind, DocumentTrack);
    const std::vector<std::string> order = {"toolbar:1", "caption:Gantrywright - circuit.vxtrack", "menus", "render", "note:"};
    EXPECT_EQ(view.Calls, order);
    EXPECT_EQ(gRecentFiles[0], path);
    EXPECT_EQ(EditorListValue(1), path) << "with syncing on the simulator editor's list is rewritten";
}

TEST_F(DocumentCommandsTest, AnExtensionInCapitalsIsStillATrack) {
    const std::string path = Copy("circuit.vxtrack", "LOOP.VXTRACK");
    ASSERT_TRUE(LoadFile(path, view));
    EXPECT_EQ(gDocumentType, DocumentTrack);
    EXPECT_EQ(view.Caption, "Gantrywright - LOOP.VXTRACK");
}

TEST_F(DocumentCommandsTest, ModelOnLoadZeroBuildsOnlyThePath) {
    gModelOnLoad = 0;
    ASSERT_TRUE(LoadFile(Copy("circuit.vxtrack"), view));
    EXPECT_TRUE(gPathValid);
    EXPECT_FALSE(gTrackModelValid);
    EXPECT_FALSE(view.Menus.SaveModelAs) << "Save Model As waits for a full model";
}

TEST_F(DocumentCommandsTest, ElementsWithSyncingLeaveTheListButRewriteTheEditorsList) {
    const std::string track = Copy("circuit.vxtrack");
    const std::string element = Copy("camelback.vxelem");
    gRecentFiles[1] = "/elsewhere/old.vxtrack";
    ASSERT_TRUE(LoadFile(element, view));
    EXPECT_EQ(gDocumentType, DocumentElement);
    EXPECT_EQ(gElementNodeCount, 5);
    EXPECT_EQ(gRecentFiles[0], "") << "an element is not listed while syncing";
    EXPECT_EQ(EditorListValue(2), "/elsewhere/old.vxtrack") << "but the editor's list is written from the list";
    EXPECT_TRUE(view.Menus.Element);
    EXPECT_FALSE(view.Menus.Track);
    EXPECT_EQ(view.Menus.ViewCombs, false);
    EXPECT_EQ(view.ToolBarKind, DocumentElement);

    gSyncRecentList = false;
    ASSERT_TRUE(LoadFile(track, view));
    ASSERT_TRUE(LoadFile(element, view));
    EXPECT_EQ(gRecentFiles[0], element) << "without syncing both kinds are listed";
    EXPECT_EQ(gRecentFiles[1], track);
}

TEST_F(DocumentCommandsTest, NoRecentListWhileItIsOff) {
    gUseRecentList = false;
    ASSERT_TRUE(LoadFile(Copy("circuit.vxtrack"), view));
    EXPECT_EQ(gRecentFiles[0], "");
    EXPECT_EQ(EditorListValue(1), "");
}

TEST_F(DocumentCommandsTest, AnotherKindOfFileIsRefusedAndTheOpenDocumentStays) {
    const std::string path = Copy("circuit.vxtrack");
    ASSERT_TRUE(LoadFile(path, view));
    MarkChanged();
    view.Calls.clear();
    EXPECT_FALSE(LoadFile(temp.Write("notes.txt", "hello"), view));
    EXPECT_EQ(MessageTexts(prompts), std::vector<std::string>{"Warning!|Only Vortaxis Track or Element Files May be Loaded!"});
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(gDocumentType, DocumentTrack) << "the open document is still the document";
    EXPECT_EQ(gDocumentPath, path);
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_TRUE(view.Calls.empty()) << "menus, tool bars and preview are left as they were";
    EXPECT_TRUE(SaveDocument(view));
    EXPECT_FALSE(gDocumentChanged) << "and its changes can still be saved";
}

TEST_F(DocumentCommandsTest, AFailedLoadLeavesNoTraceOfTheOldDocument) {
    ASSERT_TRUE(LoadFile(Copy("circuit.vxtrack"), view));
    MarkChanged();
    gSegmentSelected[2] = true;
    const std::string recent0 = gRecentFiles[0];
    view.Calls.clear();
    const std::string bad = temp.Write("broken.vxtrack", "VRTX this is not a track");
    EXPECT_FALSE(LoadFile(bad, view));
    EXPECT_EQ(MessageTexts(prompts),
              std::vector<std::string>{
                  "Error|Could Not Load Track File!\r\nThe file may be corrupt or the version may be incompatible."});
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(gDocumentType, DocumentNone);
    EXPECT_FALSE(gDocumentChanged) << "nothing left to save";
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(gSegmentCount, 0);
    EXPECT_FALSE(gPathValid);
    EXPECT_FALSE(gTrackModelValid);
    EXPECT_TRUE(gTrackModel.size() <= 1u) << "the model arrays are emptied";
    EXPECT_FALSE(IsSegmentSelected(2));
    EXPECT_EQ(view.Caption, "Gantrywright");
    EXPECT_FALSE(view.Menus.Track);
    EXPECT_FALSE(view.Menus.View);
    EXPECT_FALSE(view.Menus.Modeler);
    EXPECT_FALSE(view.Menus.SaveButton);
    EXPECT_FALSE(view.SaveEnabled);
    EXPECT_EQ(view.ToolBarKind, DocumentNone) << "the tool bar is emptied";
    EXPECT_EQ(view.Calls.back(), "render") << "the preview is redrawn (empty)";
    EXPECT_EQ(gRecentFiles[0], recent0) << "a failed file is not listed";
    EXPECT_TRUE(SaveDocument(view)) << "with no document Save does nothing";
}

TEST_F(DocumentCommandsTest, FailedElementAndMissingFilesSayTheirOwnMessage) {
    EXPECT_FALSE(LoadFile(temp.Write("bad.vxelem", "ELEM"), view));
    EXPECT_FALSE(LoadFile(temp / "gone.vxtrack", view));
    // A file larger than its kind can hold: the reason follows.
    const std::string huge = temp.Write("huge.vxtrack", "VRTX");
    fs::resize_file(huge, uintmax_t{10} << 30);
    EXPECT_FALSE(LoadFile(huge, view));
    EXPECT_EQ(MessageTexts(prompts),
              (std::vector<std::string>{
                  "Error|Could Not Load Element File!\r\nThe file may be corrupt or the version may be incompatible.",
                  "Error|Could Not Load Track File!\r\nThe file may be corrupt or the version may be incompatible.",
                  "Error|Could Not Load Track File!\r\nThe file is larger than a track file can be (at most 64 MiB)."}));
}

TEST_F(DocumentCommandsTest, ARecentEntryWhoseFileIsGoneEndsInTheReaderMessage) {
    gRecentFiles[3] = temp / "moved away.vxtrack";
    OpenRecentDocument(3, view);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Error");
    OpenRecentDocument(8, view);  // outside the menu
    OpenRecentDocument(5, view);  // an empty entry
    EXPECT_EQ(prompts.Messages.size(), 1u);
}

TEST_F(DocumentCommandsTest, SaveWritesTheDocumentBackByteForByte) {
    for (const std::string sample : {"circuit.vxtrack", "shuttle.vxtrack", "lakeside.vxtrack", "camelback.vxelem"}) {
        const std::string path = Copy(sample);
        ASSERT_TRUE(LoadFile(path, view)) << sample;
        fs::remove(path);
        MarkChanged();
        EXPECT_EQ(view.Caption, "Gantrywright - " + sample + "*");
        ASSERT_TRUE(SaveDocument(view));
        EXPECT_FALSE(gDocumentChanged);
        EXPECT_FALSE(view.SaveEnabled);
        EXPECT_EQ(view.Caption, "Gantrywright - " + sample);
        EXPECT_EQ(FileBytes(path), FileBytes(SamplesFolder() + sample)) << sample;
    }
    EXPECT_TRUE(prompts.Messages.empty());
}

TEST_F(DocumentCommandsTest, AFailedSaveSaysSoAndKeepsTheChanges) {
    const std::string path = Copy("circuit.vxtrack", "sub/circuit.vxtrack");
    ASSERT_TRUE(LoadFile(path, view));
    MarkChanged();
    fs::remove_all(temp / "sub");  // the folder is gone: the file cannot be written
    view.Calls.clear();
    EXPECT_FALSE(SaveDocument(view));
    EXPECT_EQ(MessageTexts(prompts),
              std::vector<std::string>{
                  "Error|Could Not Save Track File!\r\nThe folder it goes in does not exist."});
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_EQ(view.Caption, "Gantrywright - circuit.vxtrack*");
    EXPECT_TRUE(view.Calls.empty()) << "Save stays enabled, the title keeps its \"*\"";

    // A track grown beyond what a track file can hold is not saved, since it
    // would not open again: the file keeps what it held, and the message says why.
    Copy("circuit.vxtrack", "sub/circuit.vxtrack");
    gHasTerrain = true;
    gTerrainWidth = gTerrainDepth = 4096;
    EXPECT_FALSE(SaveDocument(view));
    EXPECT_EQ(prompts.Messages.back().Text,
              "Could Not Save Track File!\r\nThe file would be larger than a track file can be (at most 64 MiB).");
    EXPECT_EQ(FileBytes(path), FileBytes(SamplesFolder() + "circuit.vxtrack"));
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(DocumentCommandsTest, SaveAsAsksWithTheKindsDialogAndTakesTheNewName) {
    const std::string path = Copy("shuttle.vxtrack");
    ASSERT_TRUE(LoadFile(path, view));
    gSaveDir = "/saves/";
    const std::array<std::string, 9> recent = gRecentFiles;
    MarkChanged();
    prompts.FileDialogAnswers.push_back({true, temp / "copy of shuttle"});
    ASSERT_TRUE(SaveDocumentAs(view));
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    const FileDialogRequest& r = prompts.FileDialogs[0];
    EXPECT_TRUE(r.Save);
    EXPECT_EQ(r.Title, "Save Vortaxis Track File...");
    EXPECT_EQ(r.Filter, "Vortaxis Tracks (*.vxtrack)|*.vxtrack");
    EXPECT_EQ(r.DefaultExt, "vxtrack");
    EXPECT_EQ(r.FileName, path) << "the current path is offered";
    EXPECT_EQ(r.InitialDir, "/saves/");
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_TRUE(r.OverwritePrompt);
    const std::string saved = temp / "copy of shuttle.vxtrack";
    EXPECT_EQ(gDocumentPath, saved) << "the document names the file written, with its extension";
    EXPECT_EQ(FileBytes(saved), FileBytes(SamplesFolder() + "shuttle.vxtrack"));
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_EQ(view.Caption, "Gantrywright - copy of shuttle.vxtrack");
    EXPECT_EQ(gRecentFiles, recent) << "the new path is not listed";
    EXPECT_EQ(gSaveDir, "/saves/");
}

// Save As to "v1.2" writes v1.2.vxtrack: the question is about that file, and
// No leaves it as it was; the element's own kind and letter case are kept.
TEST_F(DocumentCommandsTest, SaveAsAsksAboutTheFileItWrites) {
    const std::string path = Copy("shuttle.vxtrack");
    ASSERT_TRUE(LoadFile(path, view));
    MarkChanged();
    const std::string other = "someone else's track";
    const std::string existing = temp.Write("v1.2.vxtrack", other);
    prompts.FileDialogAnswers = {{true, temp / "v1.2"}, {false, ""}};
    prompts.MessageAnswers = {MsgResult::No};
    EXPECT_FALSE(SaveDocumentAs(view));
    EXPECT_EQ(MessageTexts(prompts), std::vector<std::string>{"Save Vortaxis Track File...|" + existing +
                                                              " already exists.\r\nDo you want to replace it?"});
    EXPECT_EQ(FileBytes(existing), std::vector<uint8_t>(other.begin(), other.end()));
    EXPECT_EQ(gDocumentPath, path);
    EXPECT_TRUE(gDocumentChanged);

    prompts.FileDialogAnswers = {{true, temp / "v1.2"}};
    prompts.MessageAnswers = {MsgResult::Yes};
    ASSERT_TRUE(SaveDocumentAs(view));
    EXPECT_EQ(gDocumentPath, existing);
    EXPECT_EQ(FileBytes(existing), FileBytes(SamplesFolder() + "shuttle.vxtrack"));
    EXPECT_FALSE(fs::exists(temp / "v1.2"));

    ASSERT_TRUE(LoadFile(Copy("camelback.vxelem"), view));
    prompts.FileDialogAnswers = {{true, temp / "Hill.VXELEM"}};
    ASSERT_TRUE(SaveDocumentAs(view));
    EXPECT_EQ(gDocumentPath, temp / "Hill.VXELEM");
    EXPECT_EQ(FileBytes(temp / "Hill.VXELEM"), FileBytes(SamplesFolder() + "camelback.vxelem"));
}

TEST_F(DocumentCommandsTest, SaveAsOfAnElementAndCancelling) {
    ASSERT_TRUE(LoadFile(Copy("camelback.vxelem"), view));
    MarkChanged();
    prompts.FileDialogAnswers.push_back({false, ""});
    EXPECT_FALSE(SaveDocumentAs(view));
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    EXPECT_EQ(prompts.FileDialogs[0].Title, "Save Vortaxis Element File...");
    EXPECT_EQ(prompts.FileDialogs[0].Filter, "Vortaxis Elements (*.vxelem)|*.vxelem");
    EXPECT_EQ(prompts.FileDialogs[0].DefaultExt, "vxelem");
    EXPECT_TRUE(gDocumentChanged) << "cancel changes nothing";
    EXPECT_EQ(gDocumentPath, temp / "camelback.vxelem");
}

TEST_F(DocumentCommandsTest, AFailedSaveAsKeepsTheOldName) {
    const std::string path = Copy("circuit.vxtrack");
    ASSERT_TRUE(LoadFile(path, view));
    MarkChanged();
    prompts.FileDialogAnswers.push_back({true, temp / "no such folder/x.vxtrack"});
    EXPECT_FALSE(SaveDocumentAs(view));
    EXPECT_EQ(gDocumentPath, path);
    EXPECT_TRUE(gDocumentChanged);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Error");
}

TEST_F(DocumentCommandsTest, OpenAsksAboutUnsavedChangesFirst) {
    const std::string first = Copy("circuit.vxtrack");
    const std::string second = Copy("shuttle.vxtrack");
    ASSERT_TRUE(LoadFile(first, view));
    MarkChanged();

    prompts.MessageAnswers.push_back(MsgResult::Cancel);
    OpenDocument(view);
    EXPECT_TRUE(prompts.FileDialogs.empty()) << "Cancel ends the command";
    EXPECT_EQ(MessageTexts(prompts),
              std::vector<std::string>{"Unsaved Changes|There are unsaved changed to the current file.\r\nSave Changes?"});
    EXPECT_EQ(prompts.Messages[0].Buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);

    prompts.MessageAnswers.push_back(MsgResult::No);
    prompts.FileDialogAnswers.push_back({false, ""});
    OpenDocument(view);
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    const FileDialogRequest& r = prompts.FileDialogs[0];
    EXPECT_FALSE(r.Save);
    EXPECT_EQ(r.Title, "Open Vortaxis Track or Element File...");
    EXPECT_EQ(r.Filter,
              "Vortaxis Files|*.vxtrack;*.vxelem|Vortaxis Tracks (*.vxtrack)|*.vxtrack|Vortaxis Elements (*.vxelem)|*.vxelem");
    EXPECT_EQ(r.DefaultExt, "vxtrack");
    EXPECT_EQ(r.InitialDir, temp.Path()) << "the folder of the last open";
    EXPECT_EQ(r.FileName, "");
    EXPECT_TRUE(r.FileMustExist);
    EXPECT_TRUE(r.HideReadOnly);
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_TRUE(gDocumentChanged) << "the dialog was cancelled: still the changed first document";

    fs::remove(first);
    prompts.MessageAnswers.push_back(MsgResult::Yes);
    prompts.FileDialogAnswers.push_back({true, second});
    OpenDocument(view);
    EXPECT_EQ(FileBytes(first), FileBytes(SamplesFolder() + "circuit.vxtrack")) << "Yes saved the first";
    EXPECT_EQ(gDocumentPath, second);
    EXPECT_FALSE(gDocumentChanged);
}

TEST_F(DocumentCommandsTest, OpenIsCancelledWhenTheSaveItWaitsForFails) {
    const std::string first = Copy("circuit.vxtrack", "sub/circuit.vxtrack");
    ASSERT_TRUE(LoadFile(first, view));
    MarkChanged();
    fs::remove_all(temp / "sub");
    prompts.MessageAnswers.push_back(MsgResult::Yes);
    prompts.FileDialogAnswers.push_back({true, Copy("shuttle.vxtrack")});
    OpenDocument(view);
    EXPECT_TRUE(prompts.FileDialogs.empty());
    EXPECT_EQ(gDocumentPath, first);
    EXPECT_TRUE(gDocumentChanged);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Title, "Error");

    prompts.MessageAnswers.push_back(MsgResult::Yes);
    OpenRecentDocument(0, view);
    EXPECT_EQ(gDocumentPath, first) << "the same for a recent entry";
}

TEST_F(DocumentCommandsTest, ClosingAsksAndWaitsForTheSave) {
    EXPECT_EQ(QueryClose(view), CloseDecision::Close);
    EXPECT_TRUE(prompts.Messages.empty()) << "nothing to ask without changes";

    const std::string path = Copy("circuit.vxtrack", "sub/circuit.vxtrack");
    ASSERT_TRUE(LoadFile(path, view));
    MarkChanged();
    prompts.MessageAnswers.push_back(MsgResult::Cancel);
    EXPECT_EQ(QueryClose(view), CloseDecision::Stay);
    EXPECT_TRUE(gDocumentChanged);
    prompts.MessageAnswers.push_back(MsgResult::No);
    EXPECT_EQ(QueryClose(view), CloseDecision::Close);

    fs::remove_all(temp / "sub");
    prompts.MessageAnswers.push_back(MsgResult::Yes);
    EXPECT_EQ(QueryClose(view), CloseDecision::Stay) << "the save failed: the changes are not thrown away";

    fs::create_directories(temp / "sub");
    prompts.MessageAnswers.push_back(MsgResult::Yes);
    EXPECT_EQ(QueryClose(view), CloseDecision::Close);
    EXPECT_EQ(FileBytes(path), FileBytes(SamplesFolder() + "circuit.vxtrack"));
}

TEST_F(DocumentCommandsTest, NothingStartsASecondBuildAndClosingWaitsForTheBuild) {
    const std::string first = Copy("circuit.vxtrack");
    const std::string second = Copy("shuttle.vxtrack");
    CloseDecision during = CloseDecision::Close;
    bool nestedLoad = true;
    int renders = 0;
    bool tried = false;
    busy.OnMarker = [&] {
        if (!IsModelBuilding() || tried) return;
        tried = true;
        during = QueryClose(view);
        nestedLoad = LoadFile(second, view);
        OpenRecentDocument(0, view);
        OpenDocument(view);
        EXPECT_FALSE(SaveDocument(view));
        ++renders;
    };
    ASSERT_TRUE(LoadFile(first, view));
    EXPECT_EQ(renders, 1);
    EXPECT_EQ(during, CloseDecision::AfterTheBuild);
    EXPECT_FALSE(nestedLoad);
    EXPECT_TRUE(prompts.FileDialogs.empty());
    EXPECT_EQ(gDocumentPath, first);
    EXPECT_EQ(gNodeCount, 12) << "the document the build read is still the one open";
    EXPECT_EQ(QueryClose(view), CloseDecision::Close);
}

TEST_F(DocumentCommandsTest, ClearRecentEmptiesTheEditorsListWhileShared) {
    ASSERT_TRUE(LoadFile(Copy("circuit.vxtrack"), view));
    ASSERT_NE(EditorListValue(1), "");
    ClearRecentDocuments(view);
    EXPECT_EQ(gRecentFiles[0], "");
    EXPECT_EQ(EditorListValue(1), "");
}

// While another program holds the registry's lock, a track opens and shows as
// ever, after one wait for the editor's list; that the list was not kept is
// one note in the status bar, no box. A list kept later takes the note away.
TEST_F(DocumentCommandsTest, AHeldRegistryLockDoesNotKeepATrackFromShowing) {
    const std::string path = Copy("circuit.vxtrack");
    {
        const HeldRegistryLock other(RegCurrentUser);
        ASSERT_TRUE(other.Held());
        const uint64_t waits = FileLockWaitsRunOut();
        ASSERT_TRUE(LoadFile(path, view));
        EXPECT_EQ(FileLockWaitsRunOut() - waits, 1u) << "one wait for the list's eight values";
        EXPECT_TRUE(prompts.Messages.empty());
        const std::vector<std::string> order = {"toolbar:1", "caption:Gantrywright - circuit.vxtrack", "menus", "render",
                                                std::string("note:") + kRecentListNotKeptText + " " + other.Reason()};
        EXPECT_EQ(view.Calls, order);
        EXPECT_EQ(gRecentFiles[0], path);
        EXPECT_EQ(EditorListValue(1), "");
    }
    view.Calls.clear();
    ClearRecentDocuments(view);
    EXPECT_EQ(view.Calls, std::vector<std::string>{"note:"});
}

TEST_F(DocumentCommandsTest, CommandLine) {
    const std::string path = Copy("circuit.vxtrack", "My Tracks/Big Loop.vxtrack");
    EXPECT_EQ(CommandLineDocument(""), "");
    EXPECT_EQ(CommandLineDocument(path), path);
    EXPECT_EQ(CommandLineDocument("\"" + path + "\""), path) << "quotes of a desktop launcher are dropped";
    EXPECT_EQ(CommandLineDocument(temp / "My Tracks/BIG LOOP.VXTRACK"), path) << "the name as stored on disk";
    {
        const fs::path cwd = fs::current_path();
        fs::current_path(temp.Path());
        EXPECT_EQ(CommandLineDocument("My Tracks/Big Loop.vxtrack"), path) << "a relative path is made absolute";
        EXPECT_EQ(CommandLineDocument("missing.vxtrack"), temp / "missing.vxtrack");
        fs::current_path(cwd);
    }
    const std::string missing = temp / "My Tracks/gone.vxtrack";
    EXPECT_EQ(CommandLineDocument(missing), missing) << "a missing file is passed on as it was given";
    // A missing file says so by name, rather than that it may be corrupt.
    EXPECT_TRUE(CommandLineFileExists(path));
    EXPECT_FALSE(CommandLineFileExists(CommandLineDocument(missing)));
    EXPECT_FALSE(CommandLineFileExists(temp / "gone.VXELEM"));
    EXPECT_TRUE(CommandLineFileExists(temp / "gone.txt")) << "refused by LoadFile as of another kind";
    fs::create_directories(temp / "Folder.vxtrack");
    EXPECT_FALSE(CommandLineFileExists(temp / "Folder.vxtrack")) << "a folder is no file";
    EXPECT_EQ(MessageTexts(prompts),
              (std::vector<std::string>{"Error|Could Not Find Track File!\r\n" + missing,
                                        "Error|Could Not Find Element File!\r\n" + (temp / "gone.VXELEM"),
                                        "Error|Could Not Find Track File!\r\n" + (temp / "Folder.vxtrack")}));
    EXPECT_EQ(DocumentTypeOfPath("a.VxElem"), DocumentElement);
    EXPECT_EQ(DocumentTypeOfPath("a.vxtrack.bak"), DocumentNone);
    EXPECT_EQ(DocumentTypeOfPath("vxtrack"), DocumentNone);
}
