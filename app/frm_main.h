#pragma once
// frmMain: the program's main window. Menus, the main tool bar (tbMain), the
// tool bar of the open document's tools (tbTool), the OpenGL preview
// (pbOpenGL) and the status bar; the frame timer (tmrMain) that flies the
// camera. It shows and forwards: the document commands, the menu state, the
// preview's input and the tool launchers live in display-free files of app/.
//
// Start-up: create it, show it, then call StartUp with the command line once
// the program runs (the rendering context can only be made on a preview that
// is on screen).

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include <wx/frame.h>
#include <wx/timer.h>

#include "app/document_commands.h"
#include "app/main_menus.h"
#include "app/preview_input.h"
#include "core/recent_list.h"
#include "app/view_menu.h"

class ucStatusBar;
class ucToolBar;
class wxGLCanvas;
class wxMenu;
class wxMenuItem;

class frmMain : public wxFrame, private MainWindowView, private PreviewInputHost {
public:
    frmMain();
    ~frmMain() override;

    // Waits until the preview is on screen, then runs Form_Load.
    void StartUp(const std::string& commandLine);
    // Settings, folders, status bar, rendering context, camera, main tool bar,
    // menus, then the document named on the command line (CommandLineDocument).
    void Form_Load(const std::string& commandLine);
    // Lays the preview out between the tool bars and the status bar and
    // resets the viewport; nothing while the window is minimised.
    void Form_Resize();

    // ---- Document commands ----
    bool LoadFile(const std::string& Path);
    void mnuFile_Click();
    void mnuOpen_Click();
    bool mnuSave_Click();
    bool mnuSaveAs_Click();
    void mnuRecent_Click(int Index);
    void mnuClearRecent_Click();
    void mnuExit_Click();

    // ---- Tool bars, menus, title ----
    void SetupMainToolbar();
    void SetupToolToolbar() override;
    void UpdateMenuState();
    void UpdateWindowTitle();
    void tbMain_ButtonClick(int16_t Index);
    void tbTool_ButtonClick(int16_t Index);
    void LaunchMenuTool(ToolId id);
    void ChooseViewItem(ViewItem item);
    void mnuHelpContents_Click();

    // ---- For the program's tests ----
    ucToolBar* MainBar() const { return tbMain; }
    ucToolBar* ToolBar() const { return tbTool; }
    ucStatusBar* StatusBar() const { return ucStatusBar1; }
    wxWindow* Preview() const { return pbOpenGL; }
    wxGLCanvas* PreviewCanvas() const { return mCanvas; }
    PreviewInput& Input() { return mInput; }
    const ViewMarks& ViewMarksNow() const { return mViewMarks; }
    bool FrameTimerRunning() const { return mFrameTimerOn; }
    // A menu entry by its name ("mnuSave", "mnuTScale", "mnuViewTubes", "mnuRecent3", ...), or nullptr.
    wxMenuItem* MenuItem(const std::string& name) const;
    // A top-level menu's enabled state by its name ("mnuTrack", "mnuView", ...).
    bool MenuEnabled(const std::string& name) const;
    // Runs the frame timer's handler once.
    void tmrMain_Timer();

private:
    // MainWindowView
    void SetCaption(const std::string& caption) override;
    void ApplyMenuState(const MenuState& state) override;
    void SetSaveEnabled(bool enabled) override;
    void RenderScene() override;
    void* DialogOwner() override { return static_cast<wxWindow*>(this); }
    void ShowNote(const std::string& text) override;
    void WhenDrawn(std::function<void()> work) override { CallAfter(std::move(work)); }

    // PreviewInputHost
    double FrameClock() override;
    Vector3& CameraAngles() override;
    void MoveCamera(const Vector3& displacement) override;
    int32_t PickSegment(int32_t x, int32_t y) override;
    void SetTimerEnabled(bool enabled) override;
    void ShowFrameRate(const std::string& text) override;
    void CentreCursor() override;
    void HideToolBarHover() override;

    void CreateMenus();
    wxMenu* BuildLauncherMenu(const std::vector<MenuEntry>& entries);
    void ShowRecentMenu(const RecentMenuState& state);
    void ApplyViewMarks();
    void InstallHooks();
    void CreateRenderingContext();

    // Events.
    void OnMenu(wxCommandEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnShow(wxShowEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnPreviewFocusLost(wxFocusEvent& event);
    // Lets go of every held key and button (a menu or dialog opens, the
    // preview or the window loses the focus) and hides the tool tips.
    void ReleaseInput();
    // The keys go to the preview again (after an open, a save or a dialog).
    void TakePreviewFocus();

    ucToolBar* tbMain = nullptr;
    ucToolBar* tbTool = nullptr;
    ucStatusBar* ucStatusBar1 = nullptr;
    wxWindow* pbOpenGL = nullptr;
    wxGLCanvas* mCanvas = nullptr;  // pbOpenGL when the display offers an OpenGL format
    wxTimer tmrMain;

    wxMenuBar* mMenuBar = nullptr;
    wxMenu* mnuFile = nullptr;
    wxMenu* mnuRecentFiles = nullptr;
    wxMenu* mnuModeler = nullptr;
    std::map<std::string, wxMenuItem*> mItems;  // by entry name
    std::map<std::string, int> mTopMenus;       // top-level menu position by name
    std::map<int, MenuEntry> mLauncherEntries;  // by command id
    std::array<int, kViewItemCount> mViewIds{};

    PreviewInput mInput{*this};
    ViewMarks mViewMarks;
    bool mCloseAfterBuild = false;
    bool mFrameTimerOn = false;
};

// Key codes of the window toolkit's key events as the preview input counts
// them (letters as their capitals, Shift 16, Ctrl 17); -1 for keys it ignores.
int PreviewKeyCode(int toolkitKeyCode);
