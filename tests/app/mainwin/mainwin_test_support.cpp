#include "tests/app/mainwin/mainwin_test_support.h"

#include "core/document_changed.h"
#include "app/tool_launch.h"
#include "model/build_pipeline.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "platform/file_system.h"
#include "trackdoc/element_document.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

std::string SamplesFolder() { return GW_SAMPLES_DIR; }
std::string DataFolder() { return GW_DATA_DIR; }

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    fsys::ReadWholeFile(path, bytes);
    return bytes;
}

void RecordingView::SetupToolToolbar() {
    ++ToolBarFills;
    ToolBarKind = gDocumentType;
    Calls.push_back("toolbar:" + std::to_string(gDocumentType));
}

namespace {

void ResetDocumentAndModel() {
    ClearTrackDocument();
    ClearElementDocument();
    ClearSegmentSelection();
    ClearModelArrays();
    gModelSettings = ModelerSettings{};
    ClearRemodelFlags();
    gPathValid = gTrackModelValid = gSpineInfoValid = gPresetsLoaded = false;
    gColorTrackChecked = true;
    gColorSegmentChecked = false;
    SetRenderSceneHandler(nullptr);
    SetModelerDialogHandler(nullptr);
    SetDocumentChangedObserver(nullptr);
    ClearToolDialogs();
}

}  // namespace

void MainWindowTest::SetUp() {
    AppStateTest::SetUp();
    ResetDocumentAndModel();
    gAppPath = DataFolder();
    gSimPath = gAppPath;
    SetPrompts(&prompts);
    SetBusyWindow(&busy);
}

void MainWindowTest::TearDown() {
    SetPrompts(nullptr);
    SetBusyWindow(nullptr);
    ResetDocumentAndModel();
    AppStateTest::TearDown();
}

std::vector<std::string> MessageTexts(const ScriptedPrompts& prompts) {
    std::vector<std::string> texts;
    for (const ShownMessage& m : prompts.Messages) texts.push_back(m.Title + "|" + m.Text);
    return texts;
}
