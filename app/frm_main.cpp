#include "app/frm_main.h"

#include <GL/gl.h>

#include <chrono>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/glcanvas.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include "app/gui_tool_dialogs.h"
#include "app/menu_state.h"
#include "app/tool_pictures.h"
#include "app/window_title.h"
#include "controls/uc_status_bar.h"
#include "controls/uc_tool_bar.h"
#include "core/app_state.h"
#include "core/document_changed.h"
#include "core/help_launcher.h"
#include "core/settings_file.h"
#include "model/build_pipeline.h"
#include "model/model_coloring.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/gl_state.h"
#include "model/render/light_setup.h"
#include "model/render/scene_render.h"
#include "model/render/segment_picking.h"
#include "model/render/wx/gl_canvas.h"
#include "platform/prompts.h"
#include "platform/wx/cursor_position.h"
#include "platform/wx/event_pump.h"
#include "platform/wx/wx_prompts.h"

namespace {

constexpr int kStatusFieldNote = 0;  // notes said without a box
constexpr int kStatusFieldFrameRate = 1;
constexpr int kFrameTimerInterval = 1;  // milliseconds: frames as fast as the window system gives them

// Command ids of the menus.
enum : int {
    ID_OPEN = wxID_HIGHEST + 100,
    ID_SAVE,
    ID_SAVEAS,
    ID_CLEAR_RECENT,
    ID_EXIT,
    ID_RECENT0,                   // .. ID_RECENT0 + 7
    ID_VIEW0 = ID_RECENT0 + 8,    // .. + kViewItemCount - 1
    ID_VIEW_SUBMENU = ID_VIEW0 + kViewItemCount,  // Model, Color, Combs, Paths
    ID_LAUNCHER0 = ID_VIEW_SUBMENU + 4,           // launcher menu entries, in creation order
};

wxBitmap ToBitmap(const ToolPictureImage& picture) {
    const int n = ToolPictureImage::kSize;
    wxImage image(n, n);
    image.InitAlpha();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const uint32_t px = picture.At(x, y);
            image.SetRGB(x, y, (px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
            image.SetAlpha(x, y, (px >> 24) & 0xFF);
        }
    return wxBitmap(image);
}

void AddButtons(ucToolBar& bar, const std::vector<ToolBarEntry>& entries) {
    for (const ToolBarEntry& entry : entries) {
        const ToolPictureImage picture = DrawToolPicture(entry.Picture);
        bar.CreateButton(ToBitmap(picture), ToBitmap(DisabledToolPicture(picture)), wxString::FromUTF8(entry.ToolTip));
        for (int s = 0; s < entry.SeparatorsAfter; ++s) bar.CreateSeparator();
    }
}

struct ViewItemSpec {
    ViewItem Item;
    const char* Name;
    const char* Caption;
};

constexpr ViewItemSpec kViewItems[kViewItemCount] = {
    {ViewItem::ModelSolid, "mnuModelSolid", "Solid"},
    {ViewItem::ModelWireframe, "mnuModelWireframe", "Wireframe"},
    {ViewItem::ColorTrack, "mnuColorTrack", "Track Specified"},
    {ViewItem::ColorSegment, "mnuColorSegment", "Segment Type"},
    {ViewItem::CombRadius, "mnuViewCombRadius", "Radius"},
    {ViewItem::PathHeartline, "mnuViewPathHeartline", "Heart-line"},
    {ViewItem::Track, "mnuViewTrack", "Track"},
    {ViewItem::Tunnels, "mnuViewTunnels", "Tunnels"},
    {ViewItem::Tubes, "mnuViewTubes", "Tubes"},
    {ViewItem::Prefabs, "mnuViewPrefabs", "Pre-Fabs"},
    {ViewItem::Footers, "mnuViewFooters", "Footers"},
    {ViewItem::Ground, "mnuViewGround", "Ground"},
    {ViewItem::Water, "mnuViewWater", "Water"},
};

}  // namespace

int PreviewKeyCode(int toolkitKeyCode) {
    switch (toolkitKeyCode) {
        case WXK_SHIFT: return kKeyShift;
        case WXK_CONTROL: return kKeyControl;
        case WXK_ALT: return 18;
        default: break;
    }
    if (toolkitKeyCode >= 'a' && toolkitKeyCode <= 'z') return toolkitKeyCode - 'a' + 'A';
    if (toolkitKeyCode >= 0 && toolkitKeyCode < 128) return toolkitKeyCode;
    return -1;
}

frmMain::frmMain() : wxFrame(nullptr, wxID_ANY, kProgramCaption, wxDefaultPosition, wxSize(1024, 720)) {
    wxIcon icon;
    icon.CopyFromBitmap(ToBitmap(DrawToolPicture(ToolPicture::CreateModel)));
    SetIcon(icon);
    tbMain = new ucToolBar(this, wxID_ANY, wxPoint(0, 0), wxSize(-1, ucToolBar::DefaultHeight));
    tbTool = new ucToolBar(this, wxID_ANY, wxPoint(0, ucToolBar::DefaultHeight), wxSize(-1, ucToolBar::DefaultHeight));
    tbTool->Hide();
    ucStatusBar1 = new ucStatusBar(this);
    mCanvas = CreateGLCanvas(this, wxID_ANY, 32, 32);
    pbOpenGL = mCanvas;
    if (pbOpenGL == nullptr) {
        // No OpenGL format on this display: a plain black area in its place.
        pbOpenGL = new wxWindow(this, wxID_ANY);
        pbOpenGL->SetBackgroundColour(*wxBLACK);
    }
    tmrMain.SetOwner(this);

    CreateMenus();
    InstallHooks();

    tbMain->ButtonClick = [this](int16_t index) { tbMain_ButtonClick(index); };
    tbTool->ButtonClick = [this](int16_t index) { tbTool_ButtonClick(index); };

    Bind(wxEVT_MENU, &frmMain::OnMenu, this);
    Bind(wxEVT_MENU_OPEN, &frmMain::OnMenuOpen, this);
    Bind(wxEVT_SIZE, &frmMain::OnSize, this);
    Bind(wxEVT_CLOSE_WINDOW, &frmMain::OnClose, this);
    Bind(wxEVT_IDLE, &frmMain::OnIdle, this);
    Bind(wxEVT_ACTIVATE, &frmMain::OnActivate, this);
    Bind(wxEVT_SHOW, &frmMain::OnShow, this);
    Bind(wxEVT_TIMER, &frmMain::OnTimer, this);
    pbOpenGL->Bind(wxEVT_PAINT, &frmMain::OnPaint, this);
    for (const wxEventTypeTag<wxMouseEvent>& type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK, wxEVT_LEFT_UP, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_DCLICK, wxEVT_RIGHT_UP,
          wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_DCLICK, wxEVT_MIDDLE_UP, wxEVT_MOTION})
        pbOpenGL->Bind(type, &frmMain::OnMouse, this);
    pbOpenGL->Bind(wxEVT_MOUSE_CAPTURE_LOST, &frmMain::OnCaptureLost, this);
    pbOpenGL->Bind(wxEVT_KILL_FOCUS, &frmMain::OnPreviewFocusLost, this);
    // The key handlers are the window's: they hear keys whichever of its parts has the focus.
    for (wxWindow* w : {static_cast<wxWindow*>(this), pbOpenGL, static_cast<wxWindow*>(tbMain),
                        static_cast<wxWindow*>(tbTool), static_cast<wxWindow*>(ucStatusBar1)}) {
        w->Bind(wxEVT_KEY_DOWN, &frmMain::OnKey, this);
        w->Bind(wxEVT_KEY_UP, &frmMain::OnKey, this);
    }
    Form_Resize();
    Centre();
}

frmMain::~frmMain() {
    // The preview loses the focus while the window's parts are destroyed after
    // this destructor: that must not reach the half-destroyed window.
    pbOpenGL->Unbind(wxEVT_KILL_FOCUS, &frmMain::OnPreviewFocusLost, this);
    tmrMain.Stop();
    SetRecentMenuObserver(nullptr);
    SetDocumentChangedObserver(nullptr);
    SetRenderSceneHandler(nullptr);
    SetListCompileSlice(0.0);
    SetModelerDialogHandler(nullptr);
    // A window that was never shown still owns its menu bar.
    if (mMenuBar != nullptr && !mMenuBar->IsAttached()) delete mMenuBar;
    if (gOpenGLEnabled || gMainGLContext != 0) {
        DeleteGLContext(gMainGLContext);
        gMainGLContext = 0;
        gOpenGLEnabled = false;
    }
}

void frmMain::InstallHooks() {
    SetRecentMenuObserver([this](const RecentMenuState& state) { ShowRecentMenu(state); });
    SetDocumentChangedObserver([this] {
        UpdateWindowTitle();
        SetSaveEnabled(true);
    });
    SetRenderSceneHandler([this] { RenderScene(); });
    // A frame compiles display lists for at most this long and sends the rest
    // face by face; idle time compiles what is left (OnIdle). A large ride is
    // then drawn as soon as it is built, not after every list is compiled.
    SetListCompileSlice(0.025);
    // Detail 5 of the model built on open: the modeler dialog alone; the build
    // pipeline rebuilds everything after it.
    SetModelerDialogHandler([this] { ShowToolDialog(ToolId::CreateModel, DialogOwner()); });
    SetModelDetailDefaultsHook([] {
        gModelSettings.RailDetail = 0.5f;
        gModelSettings.SpineDetail = 1.0f;
    });
}

// ---- Menus -----------------------------------------------------------------------

void frmMain::CreateMenus() {
    auto* bar = new wxMenuBar();
    auto item = [this](wxMenu* menu, int id, const char* name, const char* caption,
                       wxItemKind kind = wxITEM_NORMAL) {
        wxMenuItem* it = menu->Append(id, wxString::FromUTF8(caption), wxEmptyString, kind);
        mItems[name] = it;
        return it;
    };

    mnuFile = new wxMenu();
    item(mnuFile, ID_OPEN, "mnuOpen", "&Open...");
    mnuFile->AppendSeparator();
    item(mnuFile, ID_SAVE, "mnuSave", "&Save");
    item(mnuFile, ID_SAVEAS, "mnuSaveAs", "Save &As...");
    mnuFile->AppendSeparator();
    mnuRecentFiles = new wxMenu();
    mItems["mnuRecentFiles"] = mnuFile->AppendSubMenu(mnuRecentFiles, "Recent Files");
    mnuFile->AppendSeparator();
    item(mnuFile, ID_CLEAR_RECENT, "mnuClearRecent", "Clear Recent List");
    mnuFile->AppendSeparator();
    item(mnuFile, ID_EXIT, "mnuExit", "E&xit");
    mItems["mnuRecentFiles"]->Enable(false);
    mItems["mnuSave"]->Enable(false);
    mItems["mnuSaveAs"]->Enable(false);
    bar->Append(mnuFile, "&File");
    mTopMenus["mnuFile"] = 0;

    auto viewItem = [&](wxMenu* menu, ViewItem v) {
        const ViewItemSpec& spec = kViewItems[static_cast<int>(v)];
        const int id = ID_VIEW0 + static_cast<int>(v);
        mViewIds[static_cast<size_t>(v)] = id;
        item(menu, id, spec.Name, spec.Caption, wxITEM_CHECK);
    };
    auto* view = new wxMenu();
    auto* model = new wxMenu();
    viewItem(model, ViewItem::ModelSolid);
    viewItem(model, ViewItem::ModelWireframe);
    mItems["mnuModel"] = view->Append(ID_VIEW_SUBMENU, "&Model", model);
    auto* color = new wxMenu();
    viewItem(color, ViewItem::ColorTrack);
    viewItem(color, ViewItem::ColorSegment);
    mItems["mnuColor"] = view->Append(ID_VIEW_SUBMENU + 1, "&Color", color);
    auto* combs = new wxMenu();
    viewItem(combs, ViewItem::CombRadius);
    mItems["mnuViewCombs"] = view->Append(ID_VIEW_SUBMENU + 2, "Combs", combs);
    auto* paths = new wxMenu();
    viewItem(paths, ViewItem::PathHeartline);
    mItems["mnuViewPaths"] = view->Append(ID_VIEW_SUBMENU + 3, "Paths", paths);
    view->AppendSeparator();
    viewItem(view, ViewItem::Track);
    viewItem(view, ViewItem::Tunnels);
    view->AppendSeparator();
    viewItem(view, ViewItem::Tubes);
    viewItem(view, ViewItem::Prefabs);
    viewItem(view, ViewItem::Footers);
    view->AppendSeparator();
    viewItem(view, ViewItem::Ground);
    viewItem(view, ViewItem::Water);
    bar->Append(view, "&View");
    mTopMenus["mnuView"] = 1;

    for (const MenuSpec& spec : LauncherMenus()) {
        wxMenu* menu = BuildLauncherMenu(spec.Entries);
        if (std::string(spec.Name) == "mnuModeler") mnuModeler = menu;
        mTopMenus[spec.Name] = static_cast<int>(bar->GetMenuCount());
        bar->Append(menu, wxString::FromUTF8(spec.Caption));
    }
    // The bar joins the window when the window is first shown (OnShow): under
    // a window manager GTK shows the window at a size of a few pixels while it
    // learns the size of the frame's borders, too narrow for the menus, and
    // complains on the terminal.
    mMenuBar = bar;
    ApplyViewMarks();
}

void frmMain::OnShow(wxShowEvent& event) {
    if (event.IsShown() && mMenuBar != nullptr && !mMenuBar->IsAttached()) SetMenuBar(mMenuBar);
    event.Skip();
}

wxMenu* frmMain::BuildLauncherMenu(const std::vector<MenuEntry>& entries) {
    auto* menu = new wxMenu();
    for (const MenuEntry& entry : entries) {
        if (entry.Action == MenuAction::Separator) {
            menu->AppendSeparator();
            continue;
        }
        const int id = ID_LAUNCHER0 + static_cast<int>(mLauncherEntries.size());
        mLauncherEntries[id] = entry;
        wxMenuItem* it = nullptr;
        if (entry.Action == MenuAction::Submenu)
            it = menu->Append(id, wxString::FromUTF8(entry.Caption), BuildLauncherMenu(entry.Children));
        else
            it = menu->Append(id, wxString::FromUTF8(entry.Caption));
        mItems[entry.Name] = it;
        // A dialog that is not part of the program yet stays out of reach.
        if (entry.Action == MenuAction::Tool) it->Enable(IsToolAvailable(entry.Tool));
    }
    return menu;
}

wxMenuItem* frmMain::MenuItem(const std::string& name) const {
    const auto it = mItems.find(name);
    return it == mItems.end() ? nullptr : it->second;
}

bool frmMain::MenuEnabled(const std::string& name) const {
    const auto it = mTopMenus.find(name);
    return it != mTopMenus.end() && mMenuBar->IsEnabledTop(static_cast<size_t>(it->second));
}

void frmMain::ShowRecentMenu(const RecentMenuState& state) {
    while (mnuRecentFiles->GetMenuItemCount() > 0)
        mnuRecentFiles->Destroy(mnuRecentFiles->FindItemByPosition(0));
    for (int i = 0; i < 8; ++i) {
        const std::string name = "mnuRecent" + std::to_string(i);
        mItems.erase(name);
        if (!state.Visible[static_cast<size_t>(i)]) continue;
        const wxString caption = ToWxText(EscapeMenuCaption(state.Captions[static_cast<size_t>(i)]));
        mItems[name] = mnuRecentFiles->Append(ID_RECENT0 + i, caption);
    }
    mItems["mnuRecentFiles"]->Enable(state.Enabled);
}

void frmMain::OnMenu(wxCommandEvent& event) {
    const int id = event.GetId();
    if (id >= ID_RECENT0 && id < ID_RECENT0 + 8) return mnuRecent_Click(id - ID_RECENT0);
    if (id >= ID_VIEW0 && id < ID_VIEW0 + kViewItemCount) return ChooseViewItem(static_cast<ViewItem>(id - ID_VIEW0));
    switch (id) {
        case ID_OPEN: return mnuOpen_Click();
        case ID_SAVE: mnuSave_Click(); return;
        case ID_SAVEAS: mnuSaveAs_Click(); return;
        case ID_CLEAR_RECENT: return mnuClearRecent_Click();
        case ID_EXIT: return mnuExit_Click();
        default: break;
    }
    const auto it = mLauncherEntries.find(id);
    if (it == mLauncherEntries.end()) {
        event.Skip();
        return;
    }
    const MenuEntry& entry = it->second;
    switch (entry.Action) {
        case MenuAction::Tool: return LaunchMenuTool(entry.Tool);
        case MenuAction::HelpContents: return mnuHelpContents_Click();
        case MenuAction::WebPage: ShowWebPage(entry.Target); return;
        default: return;
    }
}

void frmMain::OnMenuOpen(wxMenuEvent& event) {
    // The menu has the keys now: whatever was held (the menu's own key
    // among them) is let go, since its release will not come here.
    ReleaseInput();
    if (event.GetMenu() == mnuFile) mnuFile_Click();
    if (event.GetMenu() == mnuModeler)
        mItems["mnuSaveModelAs"]->Enable(SaveModelAsEnabled(gDocumentType, gTrackModelValid) &&
                                         IsToolAvailable(ToolId::SaveModelAs));
    event.Skip();
}

// ---- Start-up, layout, shut-down ----------------------------------------------------

void frmMain::StartUp(const std::string& commandLine) {
    // GTK makes a rendering context only on a canvas that is on screen.
    // Each round is bounded: a timer that keeps its next tick ready would hold wxYield.
    for (int i = 0; i < 400; ++i) {
        DeliverReadyEvents(200, 50);
        if (pbOpenGL->IsShownOnScreen() && i >= 4) break;
        wxMilliSleep(5);
    }
    Form_Load(commandLine);
}

void frmMain::CreateRenderingContext() {
    const int32_t context = CreateGLContext(mCanvas, 32, 32);
    if (context >= 0) {
        gMainGLContext = context;
        InitGLState();
        SetupGLLight(180.0f, 60.0f);
        SetGLLighting(true);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        gOpenGLEnabled = true;
    } else {
        MsgBox("OpenGL Driver failed to create a Rendering Context Handle!\r\n\r\n"
               "OpenGL 3D Track Preview will be disabled as well as all tools that rely on OpenGL.",
               "Error!", MsgButtons::OK, MsgIcon::Exclamation);
    }
}

void frmMain::Form_Load(const std::string& commandLine) {
    gOpenGLEnabled = false;
    LoadSettings();
    InitAppPaths();
    // Said once a run: settings that this run cannot keep in their files.
    if (const std::string notice = SettingsStartupNotice(); !notice.empty())
        MsgBox(notice, kSettingsNoticeTitle, MsgButtons::OK, MsgIcon::Exclamation);
    ucStatusBar1->CreateField(200, 0, false);
    ucStatusBar1->CreateField(60, 0, true);
    CreateRenderingContext();
    InitCamera();
    SetupMainToolbar();
    UpdateMenuState();
    Form_Resize();
    const std::string path = CommandLineDocument(commandLine);
    if (!path.empty() && CommandLineFileExists(path)) LoadFile(path);
    TakePreviewFocus();
}

void frmMain::Form_Resize() {
    // Nothing while minimised, nor before every part of the window exists.
    if (IsIconized() || tbMain == nullptr || tbTool == nullptr || ucStatusBar1 == nullptr || pbOpenGL == nullptr)
        return;
    const wxSize inner = GetClientSize();
    const PreviewPlacement p = PlacePreview(inner.x, inner.y, ucToolBar::DefaultHeight, tbTool->IsShown(),
                                            ucToolBar::DefaultHeight, ucStatusBar::DefaultHeight);
    tbMain->SetSize(0, 0, std::max(inner.x, 0), ucToolBar::DefaultHeight);
    if (tbTool->IsShown()) tbTool->SetSize(0, ucToolBar::DefaultHeight, std::max(inner.x, 0), ucToolBar::DefaultHeight);
    ucStatusBar1->SetSize(0, std::max(inner.y - ucStatusBar::DefaultHeight, 0), std::max(inner.x, 0),
                          ucStatusBar::DefaultHeight);
    pbOpenGL->SetSize(p.Left, p.Top, p.Width, p.Height);
    if (gOpenGLEnabled && mCanvas != nullptr && MakeGLContextCurrent(gMainGLContext)) {
        const wxSize pixels = GLCanvasPixelSize(*mCanvas);
        ResizeGLViewport(pixels.x, pixels.y, kPreviewFarPlane, kPreviewFieldOfView);
    }
}

void frmMain::OnSize(wxSizeEvent&) { Form_Resize(); }

void frmMain::OnClose(wxCloseEvent& event) {
    ReleaseInput();
    if (!IsModelBuilding()) FinishModelessTools();
    if (event.CanVeto()) {
        switch (QueryClose(*this)) {
            case CloseDecision::AfterTheBuild:
                // Closed as soon as the build has finished (OnIdle).
                mCloseAfterBuild = true;
                event.Veto();
                return;
            case CloseDecision::Stay:
                event.Veto();
                return;
            case CloseDecision::Close: break;
        }
    }
    mCloseAfterBuild = false;
    mFrameTimerOn = false;
    tmrMain.Stop();
    ReleaseInput();
    if (gOpenGLEnabled) DeleteGLContext(gMainGLContext);
    gMainGLContext = 0;
    gOpenGLEnabled = false;
    Destroy();
}

void frmMain::OnIdle(wxIdleEvent& event) {
    if (mCloseAfterBuild && !IsModelBuilding()) {
        mCloseAfterBuild = false;
        Close();
    }
    // The display lists a frame left for later, a slice at a time: the window
    // answers between slices, and the frames look the same meanwhile.
    if (gOpenGLEnabled && CompilePendingSceneLists()) event.RequestMore();
    event.Skip();
}

void frmMain::OnActivate(wxActivateEvent& event) {
    if (!event.GetActive()) ReleaseInput();
    event.Skip();
}

void frmMain::OnPreviewFocusLost(wxFocusEvent& event) {
    ReleaseInput();
    event.Skip();
}

void frmMain::ReleaseInput() {
    mInput.ReleaseAll();
    if (pbOpenGL->HasCapture()) pbOpenGL->ReleaseMouse();
    // A tool tip must not stay over the dialog or menu that comes next.
    tbMain->HideToolTip();
    tbTool->HideToolTip();
}

void frmMain::TakePreviewFocus() {
    if (!IsBeingDeleted()) pbOpenGL->SetFocus();
}

// ---- Document commands ---------------------------------------------------------------

bool frmMain::LoadFile(const std::string& Path) {
    ReleaseInput();
    FinishModelessTools();
    const bool loaded = ::LoadFile(Path, *this);
    mInput.SetDocumentType(gDocumentType);
    TakePreviewFocus();
    return loaded;
}

void frmMain::mnuFile_Click() {
    const FileMenuState state = ComputeFileMenuState(gDocumentType, gDocumentChanged);
    mItems["mnuSave"]->Enable(state.Save);
    mItems["mnuSaveAs"]->Enable(state.SaveAs);
}

void frmMain::mnuOpen_Click() {
    ReleaseInput();
    FinishModelessTools();
    OpenDocument(*this);
    mInput.SetDocumentType(gDocumentType);
    TakePreviewFocus();
}

bool frmMain::mnuSave_Click() {
    ReleaseInput();
    const bool saved = SaveDocument(*this);
    TakePreviewFocus();
    return saved;
}

bool frmMain::mnuSaveAs_Click() {
    ReleaseInput();
    const bool saved = SaveDocumentAs(*this);
    TakePreviewFocus();
    return saved;
}

void frmMain::mnuRecent_Click(int Index) {
    ReleaseInput();
    FinishModelessTools();
    OpenRecentDocument(Index, *this);
    mInput.SetDocumentType(gDocumentType);
    TakePreviewFocus();
}

void frmMain::mnuClearRecent_Click() { ClearRecentDocuments(*this); }

void frmMain::mnuExit_Click() { Close(); }

void frmMain::mnuHelpContents_Click() {
    ReleaseInput();
    ShowHelpTopic("index");
    TakePreviewFocus();
}

// ---- Tool bars, launchers, menu state -------------------------------------------------

void frmMain::SetupMainToolbar() {
    const std::vector<ToolBarEntry>& entries = MainToolBarEntries();
    AddButtons(*tbMain, entries);
    tbMain->ButtonEnabled(1, false);
    tbMain->ButtonEnabled(2, false);
    tbMain->ButtonEnabled(3, false);
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Command == MainCommand::Tool && !IsToolAvailable(entries[i].Tool))
            tbMain->ButtonEnabled(static_cast<int16_t>(i), false);
}

void frmMain::SetupToolToolbar() {
    tbTool->KillContent();
    tbTool->Refresh();
    const std::vector<ToolBarEntry>& entries = ToolToolBarEntries(gDocumentType);
    if (entries.empty()) return;
    AddButtons(*tbTool, entries);
    for (size_t i = 0; i < entries.size(); ++i)
        if (!IsToolAvailable(entries[i].Tool)) tbTool->ButtonEnabled(static_cast<int16_t>(i), false);
    tbTool->Show();
    Form_Resize();
}

void frmMain::tbMain_ButtonClick(int16_t Index) {
    const std::optional<ToolBarEntry> entry = MainToolBarButton(Index);
    if (!entry) return;
    switch (entry->Command) {
        case MainCommand::Open: return mnuOpen_Click();
        case MainCommand::Save: mnuSave_Click(); return;
        case MainCommand::SaveAs: mnuSaveAs_Click(); return;
        case MainCommand::HelpContents: return mnuHelpContents_Click();
        case MainCommand::Tool: return LaunchMenuTool(entry->Tool);
    }
}

void frmMain::tbTool_ButtonClick(int16_t Index) {
    if (const std::optional<ToolId> tool = ToolOfToolBarButton(gDocumentType, Index)) LaunchMenuTool(*tool);
}

void frmMain::LaunchMenuTool(ToolId id) {
    ReleaseInput();
    // Only one tool at a time: an open Move tool is finished before any
    // dialog that may change or replace the document (Move itself is brought
    // to the front by its launcher).
    if (id != ToolId::TMove && !LeavesTheDocumentAlone(id) && !IsModelBuilding()) FinishModelessTools();
    LaunchTool(id, DialogOwner());
    // The keys belong to the preview again once a dialog has closed; the
    // Move tool keeps them while it is open beside the window.
    if (GetToolInfo(id).Rule != LaunchRule::ShowAndRebuildNow) TakePreviewFocus();
    // A tool or the modeler may have built or lost the whole model.
    if (wxMenuItem* item = MenuItem("mnuSaveModelAs"))
        item->Enable(SaveModelAsEnabled(gDocumentType, gTrackModelValid) && IsToolAvailable(ToolId::SaveModelAs));
}

void frmMain::UpdateMenuState() { ::UpdateMenuState(*this); }

void frmMain::UpdateWindowTitle() { ::UpdateWindowTitle(*this); }

void frmMain::SetCaption(const std::string& caption) { SetTitle(ToWxText(caption)); }

void frmMain::ApplyMenuState(const MenuState& state) {
    wxMenuBar* bar = mMenuBar;
    bar->EnableTop(static_cast<size_t>(mTopMenus["mnuElement"]), state.Element);
    bar->EnableTop(static_cast<size_t>(mTopMenus["mnuTrack"]), state.Track);
    bar->EnableTop(static_cast<size_t>(mTopMenus["mnuView"]), state.View);
    bar->EnableTop(static_cast<size_t>(mTopMenus["mnuModeler"]), state.Modeler);
    mItems["mnuSaveModelAs"]->Enable(state.SaveModelAs && IsToolAvailable(ToolId::SaveModelAs));
    if (state.ViewCombs) mItems["mnuViewCombs"]->Enable(*state.ViewCombs);
    if (state.ViewPaths) mItems["mnuViewPaths"]->Enable(*state.ViewPaths);
    if (state.Save) mItems["mnuSave"]->Enable(*state.Save);
    tbMain->ButtonEnabled(1, state.SaveButton);
    tbMain->ButtonEnabled(2, state.SaveAsButton);
    tbMain->ButtonEnabled(3, state.CreateModelButton && IsToolAvailable(ToolId::CreateModel));
}

void frmMain::SetSaveEnabled(bool enabled) {
    mItems["mnuSave"]->Enable(enabled);
    tbMain->ButtonEnabled(1, enabled);
}

// ---- View menu ---------------------------------------------------------------------

void frmMain::ChooseViewItem(ViewItem item) {
    // While the model is being built its meshes are not touched from here.
    const ViewEffect effect =
        IsModelBuilding() ? ViewEffect{} : ::ChooseViewItem(mViewMarks, item, gOpenGLEnabled, gTrackModelValid);
    ApplyViewMarks();
    if (effect.Polygon != PolygonFill::Unchanged && MakeGLContextCurrent(gMainGLContext))
        glPolygonMode(GL_FRONT, effect.Polygon == PolygonFill::Fill ? GL_FILL : GL_LINE);
    if (effect.ColorMode != 0) {
        ColorTrackModel(effect.ColorMode);
        InvalidateSceneLists();
    }
    if (effect.Redraw) RenderScene();
}

void frmMain::ApplyViewMarks() {
    for (const ViewItemSpec& spec : kViewItems)
        mItems[spec.Name]->Check(ViewItemChecked(mViewMarks, spec.Item));
    gViewSwitches.Ground = mViewMarks.Ground;
    gViewSwitches.Footers = mViewMarks.Footers;
    gViewSwitches.Water = mViewMarks.Water;
    gViewSwitches.Tubes = mViewMarks.Tubes;
    gViewSwitches.Prefabs = mViewMarks.Prefabs;
    gViewSwitches.Track = mViewMarks.Track;
    gViewSwitches.Tunnels = mViewMarks.Tunnels;
    gViewSwitches.CombRadius = mViewMarks.CombRadius;
    gViewSwitches.PathHeartline = mViewMarks.PathHeartline;
    gColorTrackChecked = mViewMarks.ColorTrack;
    gColorSegmentChecked = mViewMarks.ColorSegment;
}

// ---- Preview -------------------------------------------------------------------------

void frmMain::RenderScene() {
    if (gOpenGLEnabled) ::RenderScene();
}

void frmMain::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(pbOpenGL);
    if (gOpenGLEnabled) {
        mInput.Paint();
    } else {
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
    }
}

void frmMain::OnMouse(wxMouseEvent& event) {
    const wxPoint p = event.GetPosition();
    if (event.ButtonDown() || event.ButtonDClick()) {
        pbOpenGL->SetFocus();
        int16_t button = NoButton;
        if (event.LeftDown() || event.LeftDClick()) button = LeftButton;
        if (event.RightDown() || event.RightDClick()) button = RightButton;
        if (event.MiddleDown() || event.MiddleDClick()) button = MiddleButton;
        if (button == NoButton || IsModelBuilding()) return;
        mInput.MouseDown(button, static_cast<float>(p.x), static_cast<float>(p.y));
        // Held while flying: the release must come back here even off the preview.
        if (mInput.MouseButton() != NoButton && !pbOpenGL->HasCapture()) pbOpenGL->CaptureMouse();
    } else if (event.ButtonUp()) {
        mInput.MouseUp();
        if (pbOpenGL->HasCapture()) pbOpenGL->ReleaseMouse();
    } else if (event.Moving() || event.Dragging()) {
        mInput.MouseMove(static_cast<float>(p.x), static_cast<float>(p.y));
    }
}

void frmMain::OnCaptureLost(wxMouseCaptureLostEvent&) { mInput.MouseUp(); }

void frmMain::OnKey(wxKeyEvent& event) {
    const int code = PreviewKeyCode(event.GetKeyCode());
    if (code >= 0) {
        const int shift = (event.ShiftDown() ? kShiftMask : 0) | (event.ControlDown() ? kControlMask : 0) |
                          (event.AltDown() || event.MetaDown() ? kAltMask : 0);
        if (event.GetEventType() == wxEVT_KEY_DOWN)
            mInput.KeyDown(code, shift);
        else
            mInput.KeyUp(code);
    }
    event.Skip();
}

void frmMain::OnTimer(wxTimerEvent&) {
    tmrMain_Timer();
    // The next frame is asked for only now that this one is drawn: the window
    // system then serves its other work (repaints, the status bar) between frames.
    if (mFrameTimerOn && !tmrMain.IsRunning()) tmrMain.StartOnce(kFrameTimerInterval);
}

void frmMain::tmrMain_Timer() {
    if (IsModelBuilding()) return;
    mInput.TimerTick();
}

double frmMain::FrameClock() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

Vector3& frmMain::CameraAngles() { return gCameraAngles; }

void frmMain::MoveCamera(const Vector3& displacement) { ::MoveCamera(displacement); }

int32_t frmMain::PickSegment(int32_t x, int32_t y) {
    if (mCanvas == nullptr || !gOpenGLEnabled) return -1;
    const ViewportPoint v = ToViewportPixels(*mCanvas, wxPoint(x, y));
    return ::PickSegment(v.X, v.Y);
}

void frmMain::SetTimerEnabled(bool enabled) {
    mFrameTimerOn = enabled;
    if (enabled && !tmrMain.IsRunning()) tmrMain.StartOnce(kFrameTimerInterval);
    if (!enabled) tmrMain.Stop();
}

void frmMain::ShowNote(const std::string& text) {
    ucStatusBar1->UpdateField(kStatusFieldNote, wxString::FromUTF8(text));
}

void frmMain::ShowFrameRate(const std::string& text) {
    ucStatusBar1->UpdateField(kStatusFieldFrameRate, wxString::FromUTF8(text));
}

void frmMain::CentreCursor() { SetCursorPos(*pbOpenGL, ClientCentre(*pbOpenGL)); }

void frmMain::HideToolBarHover() {
    tbMain->HideMouseOver();
    tbTool->HideMouseOver();
}
