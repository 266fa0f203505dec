#pragma once
// The dialogs that the main window opens from its Track, Element, Vortaxis,
// Modeler, Settings and Help menus and from its two tool bars, and the rule by
// which each is launched.
//
// Wiring a dialog in: register its show function once, in
// RegisterToolDialogs() (app/gui_tool_dialogs.cpp). Until a dialog is
// registered its menu entry and tool-bar button stay disabled. The show
// function shows the dialog with the given owner (the main window, a
// wxWindow*) and, for a modal dialog, returns when it has closed; the launch
// rule around it (rebuild flags cleared before, the flagged model parts
// rebuilt after) is applied here and nowhere else.

#include <functional>
#include <optional>

enum class ToolId : int {
    // Track menu and tbTool buttons 0 to 18 of a track.
    TOverview,
    TPowerTweaker,
    TColorizer,
    TRemoveData,
    TMove,
    TScale,
    TRotate,
    TMirror,
    TTunneler,
    TShuttleBuilder,
    TBackwardsRebuilder,
    TObjectRenamer,
    TObjectPlacer,
    TSupportFlanger,
    TSupportOptimizer,
    TSupportWizard,
    TTubeExchange,
    TTerrainPolyReducer,
    TNodeSmoother,
    TSpineChanger,  // the last entry of the Track menu; no tool-bar button
    // Element menu and tbTool buttons 0 to 5 of an element.
    EOverview,
    EReverse,
    EScale,
    EPitch,
    ETilt,
    ESkew,
    // Vortaxis menu (the first three also tbMain buttons 6 to 8).
    VXOverview,
    VXFixLocation,
    VXFileAssociation,
    VXEnvironmentEditor,
    VXEnvironmentOrganizer,
    // Modeler, Settings and Help menus.
    CreateModel,  // also tbMain button 3 and the model build on open at detail 5
    SaveModelAs,
    Settings,  // also tbMain button 4
    About,
};
inline constexpr int kToolCount = static_cast<int>(ToolId::About) + 1;

enum class LaunchRule {
    Show,               // show it; nothing follows
    ShowThenRebuild,    // clear the rebuild flags, show it modally, rebuild what it flagged and redraw
    ShowAndRebuildNow,  // clear the rebuild flags, show it modeless, rebuild and redraw at once
};

struct ToolInfo {
    ToolId Id;
    const char* MenuName;    // the menu entry, e.g. "mnuTScale"
    const char* DialogName;  // the dialog's class, e.g. "frmTScale"
    LaunchRule Rule;
};
const ToolInfo& GetToolInfo(ToolId id);

// owner: the main window (a wxWindow*).
using ToolShowFunction = std::function<void(void* owner)>;

// Registers the show function of a tool's dialog; an empty function removes it.
void RegisterToolDialog(ToolId id, ToolShowFunction show);
// Forgets every registered dialog.
void ClearToolDialogs();
bool IsToolAvailable(ToolId id);

// Runs the tool's launch rule with its dialog. Nothing happens (false) when no
// dialog is registered for it or while the model is being built (a tool must
// not start a second build, nor edit the document the build is reading).
bool LaunchTool(ToolId id, void* owner);

// Whether the tool's dialog leaves the document alone (the settings, the
// about box, the read-only reports, the export and the simulator's dialogs):
// an open Move tool then stays open beside it. Before any other dialog the
// Move tool is finished, as before an open or a close.
bool LeavesTheDocumentAlone(ToolId id);

// Shows the dialog alone, without its launch rule: for the model build on
// open, which shows the modeler dialog itself (detail 5) and rebuilds
// everything after it. False when no dialog is registered.
bool ShowToolDialog(ToolId id, void* owner);

// The tools of the tool bar of the tools, by document kind and button index;
// nothing for any other index or kind.
std::optional<ToolId> ToolOfToolBarButton(int documentType, int index);
