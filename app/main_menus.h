#pragma once
// The main window's menus that open dialogs and help (Track, Element,
// Vortaxis, Modeler, Settings, Help) and the contents of its two tool bars,
// as tables the window builds itself from.

#include <optional>
#include <string>
#include <vector>

#include "app/tool_launch.h"

enum class MenuAction {
    Separator,
    Tool,          // LaunchTool(Tool)
    HelpContents,  // the help topic "index"
    WebPage,       // the shell opens Target
    Submenu,       // opens Children
};

struct MenuEntry {
    const char* Name = nullptr;     // e.g. "mnuTScale"; nullptr for a separator
    const char* Caption = nullptr;  // exactly as shown
    MenuAction Action = MenuAction::Separator;
    ToolId Tool = ToolId::TOverview;  // for Tool
    const char* Target = nullptr;     // for WebPage
    std::vector<MenuEntry> Children;  // for Submenu
};

struct MenuSpec {
    const char* Name;
    const char* Caption;
    std::vector<MenuEntry> Entries;
};

// In menu-bar order: "&Track", "&Element", "&Vortaxis", "&Modeler",
// "&Settings", "&Help". Entries that are never shown (Tunnel Maker, Rasc
// Replacer, Verify Integrity, Track Organizer, Spine Changer and the separator
// before it) are left out.
const std::vector<MenuSpec>& LauncherMenus();

// The Help menu's web addresses.
inline constexpr const char* kMakerHomePage = "https://www.brightquay.example/";
inline constexpr const char* kSimulatorPurchasePage = "https://www.vortaxis.example/purchase/";
inline constexpr const char* kSimulatorDeveloperPage = "https://developer.vortaxis.example/";
inline constexpr const char* kCommunityPage = "https://www.thrillforum.example/";

// ---- Tool bars ----------------------------------------------------------------

// The pictures of the tool-bar buttons (our own, drawn in tool_pictures.h).
enum class ToolPicture : int {
    Open,
    Save,
    SaveAs,
    CreateModel,
    Settings,
    HelpContents,
    VortaxisFixLocation,
    VortaxisFileAssociation,
    TrackOverview,  // also the main tool bar's "Vortaxis: Overview"
    TrackPowerTweaker,
    TrackColorizer,
    TrackRemoveData,
    TrackMove,
    TrackScale,
    TrackRotate,
    TrackMirror,
    TrackTunneler,
    TrackShuttleBuilder,
    TrackBackwardsRebuilder,
    TrackObjectRenamer,
    TrackObjectPlacer,
    TrackSupportFlanger,
    TrackSupportOptimizer,
    TrackSupportWizard,
    TrackTubeExchange,
    TrackTerrainPolyReducer,
    TrackNodeSmoother,
    ElementOverview,
    ElementReverse,
    ElementScale,
    ElementPitch,
    ElementTilt,
    ElementSkew,
};
inline constexpr int kToolPictureCount = static_cast<int>(ToolPicture::ElementSkew) + 1;

// What a main-tool-bar button runs.
enum class MainCommand { Open, Save, SaveAs, Tool, HelpContents };

struct ToolBarEntry {
    const char* ToolTip;
    ToolPicture Picture;
    int SeparatorsAfter = 0;
    MainCommand Command = MainCommand::Tool;  // main tool bar only
    ToolId Tool = ToolId::TOverview;          // the dialog the button opens (MainCommand::Tool)
};

// tbMain: Open, Save, Save As, Create Model, Settings, Help Contents and the
// three simulator buttons.
const std::vector<ToolBarEntry>& MainToolBarEntries();
// tbTool for a document kind: 19 buttons for a track, 6 for an element, none otherwise.
const std::vector<ToolBarEntry>& ToolToolBarEntries(int documentType);

// The entry of a main-tool-bar button; nothing for an index out of range.
std::optional<ToolBarEntry> MainToolBarButton(int index);

// Menu captions made from file names: "&" doubled so that it is shown, not
// taken for the mnemonic mark.
std::string EscapeMenuCaption(const std::string& text);
