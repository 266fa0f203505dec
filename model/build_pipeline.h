#pragma once
// The model build pipeline: the full build after a document is opened and the
// partial rebuild after an edit, with the busy window showing the stages.
//
// A build never runs inside another: while one runs (the busy window lets the
// window system deliver events between its steps), the drivers return at once
// and IsModelBuilding() is true, so the preview can skip drawing the
// half-built model and tools can wait.

#include <cstdint>
#include <functional>

// The full build after a document was opened, at the detail gModelOnLoad.
// With force (every open) the model of the previous document is emptied first
// and the four validity flags are cleared, so everything is built afresh.
void RemodelTrack(bool force);
// The staged full build (track or element documents only). Does not redraw.
void BuildTrackModel(bool force, bool stopAfterPath, bool skipGround);
// Rebuilds the parts named by gRemodelFlags, recolours, closes the busy window
// and redraws. The flags stay as they are.
void RemodelChangedParts();

bool IsModelBuilding();
// Advances when a build starts and again when it ends: whoever keeps data
// made from the model arrays (the preview's display lists) compares it to
// know that the arrays may have changed since.
uint64_t ModelBuildSerial();

// What the pipeline needs of the windows, installed by the main window: the
// preview's redraw (RenderScene) and the modeler dialog shown modally. Without
// them nothing is drawn and the modeler step is skipped.
void SetRenderSceneHandler(std::function<void()> handler);
void SetModelerDialogHandler(std::function<void()> handler);

// The texts the pipeline shows in its messages.
inline constexpr const char* kPrimaryTieFailedText = "Error: Primary Crosstie Model could not be loaded!";
inline constexpr const char* kSecondaryTieFailedText = "Error: Secondary Crosstie Model could not be loaded!";
inline constexpr const char* kTieFailedTitle = "Error";
inline constexpr const char* kRemodelTieFailedText = "Model can not be created!\r\nCould not load crosstie model!";
inline constexpr const char* kRemodelTieFailedTitle = "Error!";
// A document whose model exceeds the model budget (model/model_budget.h) is
// built in part, and the budget's message, listing what was left out, is
// shown once at the end of the build under this title.
inline constexpr const char* kBudgetTitle = "Warning!";
// A build that failed (no memory for it): the model is emptied, the document stays.
inline constexpr const char* kBuildFailedTitle = "Error";
inline constexpr const char* kOutOfMemoryText =
    "The model could not be built: there was not enough memory for it.\r\n"
    "The document itself is unchanged and can still be edited and saved.";
inline constexpr const char* kBuildFailedText =
    "The model could not be built.\r\nThe document itself is unchanged and can still be edited and saved.";
