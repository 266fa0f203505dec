#include "app/main_menus.h"

namespace {

MenuEntry Separator() { return MenuEntry{}; }

MenuEntry Tool(const char* caption, ToolId tool) {
    MenuEntry e;
    e.Name = GetToolInfo(tool).MenuName;
    e.Caption = caption;
    e.Action = MenuAction::Tool;
    e.Tool = tool;
    return e;
}

MenuEntry Web(const char* name, const char* caption, const char* target) {
    MenuEntry e;
    e.Name = name;
    e.Caption = caption;
    e.Action = MenuAction::WebPage;
    e.Target = target;
    return e;
}

std::vector<MenuSpec> MakeMenus() {
    using T = ToolId;
    std::vector<MenuSpec> menus;
    menus.push_back({"mnuTrack",
                     "&Track",
                     {Tool("Overview", T::TOverview), Separator(), Tool("Power Tweaker", T::TPowerTweaker),
                      Tool("Colorizer", T::TColorizer), Separator(), Tool("Remove Data", T::TRemoveData), Separator(),
                      Tool("Move", T::TMove), Tool("Scale", T::TScale), Tool("Rotate", T::TRotate),
                      Tool("Mirror", T::TMirror), Separator(), Tool("Tunneler", T::TTunneler), Separator(),
                      Tool("Shuttle Builder", T::TShuttleBuilder),
                      Tool("Backwards Rebuilder", T::TBackwardsRebuilder), Separator(),
                      Tool("Object Renamer", T::TObjectRenamer), Tool("Object Placer", T::TObjectPlacer),
                      Separator(), Tool("Support Flanger", T::TSupportFlanger),
                      Tool("Support Optimizer", T::TSupportOptimizer), Tool("Support Wizard", T::TSupportWizard),
                      Tool("Tube Exchange", T::TTubeExchange), Separator(),
                      Tool("Terrain Poly Reducer", T::TTerrainPolyReducer), Separator(),
                      Tool("Node Smoother", T::TNodeSmoother), Separator(),
                      Tool("Spine Changer", T::TSpineChanger)}});
    menus.push_back({"mnuElement",
                     "&Element",
                     {Tool("Overview", T::EOverview), Separator(), Tool("Reverse", T::EReverse),
                      Tool("Scale", T::EScale), Tool("Pitch", T::EPitch), Tool("Tilt", T::ETilt),
                      Tool("Skew", T::ESkew)}});
    menus.push_back({"mnuVortaxis",
                     "&Vortaxis",
                     {Tool("Overview", T::VXOverview), Separator(), Tool("Fix Location", T::VXFixLocation),
                      Tool("File Association", T::VXFileAssociation), Separator(),
                      Tool("Environment Editor", T::VXEnvironmentEditor),
                      Tool("Environment Organizer", T::VXEnvironmentOrganizer)}});
    menus.push_back(
        {"mnuModeler", "&Modeler", {Tool("Create Model...", T::CreateModel), Separator(), Tool("Save Model As...", T::SaveModelAs)}});
    menus.push_back({"mnuSettings", "&Settings", {Tool("Settings...", T::Settings)}});

    MenuEntry contents;
    contents.Name = "mnuHelpContents";
    contents.Caption = "Contents...";
    contents.Action = MenuAction::HelpContents;
    MenuEntry web;
    web.Name = "mnuHelpOnTheWeb";
    web.Caption = "On The Web";
    web.Action = MenuAction::Submenu;
    web.Children = {Web("mnuWebBrightquay", "Brightquay", kMakerHomePage), Separator(),
                    Web("mnuWebVXPurchasingSite", "Vortaxis Purchasing Site", kSimulatorPurchasePage),
                    Web("mnuWebVXDeveloperSite", "Vortaxis Developer Site", kSimulatorDeveloperPage), Separator(),
                    Web("mnuWebThrillForum", "ThrillForum", kCommunityPage)};
    menus.push_back({"mnuHelp", "&Help", {contents, web, Separator(), Tool("About...", T::About)}});
    return menus;
}

ToolBarEntry Button(const char* tip, ToolPicture picture, int separators, MainCommand command,
                    ToolId tool = ToolId::TOverview) {
    return ToolBarEntry{tip, picture, separators, command, tool};
}

ToolBarEntry ToolButton(const char* tip, ToolPicture picture, ToolId tool, int separators = 0) {
    return ToolBarEntry{tip, picture, separators, MainCommand::Tool, tool};
}

std::vector<ToolBarEntry> MakeMainBar() {
    using P = ToolPicture;
    using C = MainCommand;
    return {
        Button("Open File...", P::Open, 1, C::Open),
        Button("Save File", P::Save, 0, C::Save),
        Button("Save File As...", P::SaveAs, 1, C::SaveAs),
        Button("Create Model...", P::CreateModel, 1, C::Tool, ToolId::CreateModel),
        Button("Settings...", P::Settings, 0, C::Tool, ToolId::Settings),
        Button("Help Contents...", P::HelpContents, 2, C::HelpContents),
        Button("Vortaxis: Overview", P::TrackOverview, 1, C::Tool, ToolId::VXOverview),
        Button("Vortaxis: Fix Location", P::VortaxisFixLocation, 0, C::Tool, ToolId::VXFixLocation),
        Button("Vortaxis: File Association", P::VortaxisFileAssociation, 0, C::Tool, ToolId::VXFileAssociation),
    };
}

std::vector<ToolBarEntry> MakeTrackBar() {
    using P = ToolPicture;
    using T = ToolId;
    return {
        ToolButton("Track: Overview", P::TrackOverview, T::TOverview, 1),
        ToolButton("Track: Power Tweaker", P::TrackPowerTweaker, T::TPowerTweaker),
        ToolButton("Track: Colorizer", P::TrackColorizer, T::TColorizer, 1),
        ToolButton("Track: Remove Data", P::TrackRemoveData, T::TRemoveData, 1),
        ToolButton("Track: Move", P::TrackMove, T::TMove),
        ToolButton("Track: Scale", P::TrackScale, T::TScale),
        ToolButton("Track: Rotate", P::TrackRotate, T::TRotate),
        ToolButton("Track: Mirror", P::TrackMirror, T::TMirror, 1),
        ToolButton("Track: Tunneler", P::TrackTunneler, T::TTunneler, 1),
        ToolButton("Track: Shuttle Builder", P::TrackShuttleBuilder, T::TShuttleBuilder),
        ToolButton("Track: Backwards Rebuilder", P::TrackBackwardsRebuilder, T::TBackwardsRebuilder, 1),
        ToolButton("Track: Object Renamer", P::TrackObjectRenamer, T::TObjectRenamer),
        ToolButton("Track: Object Placer", P::TrackObjectPlacer, T::TObjectPlacer, 1),
        ToolButton("Track: Support Flanger", P::TrackSupportFlanger, T::TSupportFlanger),
        ToolButton("Track: Support Optimizer", P::TrackSupportOptimizer, T::TSupportOptimizer),
        ToolButton("Track: Support Wizard", P::TrackSupportWizard, T::TSupportWizard),
        ToolButton("Track: Tube Exchange", P::TrackTubeExchange, T::TTubeExchange, 1),
        ToolButton("Track: Terrain Poly Reducer", P::TrackTerrainPolyReducer, T::TTerrainPolyReducer, 1),
        ToolButton("Track: Node Smoother", P::TrackNodeSmoother, T::TNodeSmoother),
    };
}

std::vector<ToolBarEntry> MakeElementBar() {
    using P = ToolPicture;
    using T = ToolId;
    return {
        ToolButton("Element: Overview", P::ElementOverview, T::EOverview, 1),
        ToolButton("Element: Reverse", P::ElementReverse, T::EReverse),
        ToolButton("Element: Scale", P::ElementScale, T::EScale),
        ToolButton("Element: Pitch", P::ElementPitch, T::EPitch),
        ToolButton("Element: Tilt", P::ElementTilt, T::ETilt),
        ToolButton("Element: Skew", P::ElementSkew, T::ESkew),
    };
}

}  // namespace

const std::vector<MenuSpec>& LauncherMenus() {
    static const std::vector<MenuSpec> menus = MakeMenus();
    return menus;
}

const std::vector<ToolBarEntry>& MainToolBarEntries() {
    static const std::vector<ToolBarEntry> entries = MakeMainBar();
    return entries;
}

const std::vector<ToolBarEntry>& ToolToolBarEntries(int documentType) {
    static const std::vector<ToolBarEntry> track = MakeTrackBar();
    static const std::vector<ToolBarEntry> element = MakeElementBar();
    static const std::vector<ToolBarEntry> none;
    if (documentType == 1) return track;
    if (documentType == 2) return element;
    return none;
}

std::optional<ToolBarEntry> MainToolBarButton(int index) {
    const std::vector<ToolBarEntry>& entries = MainToolBarEntries();
    if (index < 0 || index >= static_cast<int>(entries.size())) return std::nullopt;
    return entries[static_cast<size_t>(index)];
}

std::string EscapeMenuCaption(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}
