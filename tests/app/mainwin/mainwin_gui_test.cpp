// The program's main window under a display (Xvfb with Mesa's software
// OpenGL): started on a sample track as the program starts, driven through its
// menus, tool bars, preview and keys, with the prompts answered by the test.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/glcanvas.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/utils.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include "app/frm_main.h"
#include "app/gui_program.h"
#include "app/gui_tool_dialogs.h"
#include "app/tool_launch.h"
#include "controls/uc_status_bar.h"
#include "controls/uc_tool_bar.h"
#include "core/document_changed.h"
#include "core/settings_file.h"
#include "model/build_pipeline.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/scene_render.h"
#include "model/render/wx/gl_canvas.h"
#include "model/render/x11_gl_window.h"
#include "model/wx/frm_working.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/wx/cursor_position.h"
#include "platform/wx/event_pump.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tests/platform/held_lock.h"
#include "tools/frm_t_move.h"
#include "tools/tool_dialogs.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace fs = std::filesystem;

namespace {

class MainWindowGui : public ProgramWindowTest {
protected:
    void SetUp() override {
        ProgramWindowTest::SetUp();
        prompts.MessageAnswers.clear();
    }

    // Starts the program's window as the program does, with this command line.
    frmMain& Start(const std::string& commandLine = "") { return StartProgram(commandLine); }
    std::string Copy(const std::string& sample, const std::string& as = "") {
        const std::string target = temp / (as.empty() ? sample : as);
        fs::copy_file(SamplesFolder() + sample, target, fs::copy_options::overwrite_existing);
        return target;
    }
    void Menu(const std::string& name) {
        wxMenuItem* item = frame->MenuItem(name);
        ASSERT_NE(item, nullptr) << name;
        wxCommandEvent e(wxEVT_MENU, item->GetId());
        e.SetEventObject(frame.get());
        frame->GetEventHandler()->ProcessEvent(e);
    }
    void Mouse(wxWindow& w, wxEventType type, wxPoint p) {
        wxMouseEvent e(type);
        e.SetEventObject(&w);
        e.SetId(w.GetId());
        e.m_x = p.x;
        e.m_y = p.y;
        e.m_leftDown = type == wxEVT_LEFT_DOWN;
        w.GetEventHandler()->ProcessEvent(e);
    }
    void Key(wxEventType type, int code) {
        wxKeyEvent e(type);
        e.m_keyCode = code;
        e.SetEventObject(frame->Preview());
        frame->Preview()->GetEventHandler()->ProcessEvent(e);
    }
    std::string StatusText(int field) { return frame->StatusBar()->Layout().Field(field).Text; }
    std::string Title() { return frame->GetTitle().ToStdString(); }

    EnvScope dataDir{"GANTRYWRIGHT_DATA_DIR", DataFolder()};
};

}  // namespace

TEST_F(MainWindowGui, StartsOnASampleTrack) {
    const std::string path = Copy("circuit.vxtrack");
    frmMain& f = Start(path);
    EXPECT_TRUE(prompts.Messages.empty()) << prompts.Messages.front().Text;
    EXPECT_TRUE(gOpenGLEnabled) << "the preview has its rendering context";
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack");
    EXPECT_EQ(gDocumentType, DocumentTrack);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_TRUE(f.MenuEnabled("mnuTrack"));
    EXPECT_FALSE(f.MenuEnabled("mnuElement"));
    EXPECT_TRUE(f.MenuEnabled("mnuView"));
    EXPECT_TRUE(f.MenuEnabled("mnuModeler"));
    EXPECT_TRUE(f.MenuEnabled("mnuFile"));
    EXPECT_TRUE(f.MenuEnabled("mnuHelp"));

    // Main tool bar: nine buttons; Save waits for a change; the dialogs not
    // yet part of the program are greyed.
    const uc::ToolBarLayout& main = f.MainBar()->Layout();
    ASSERT_EQ(main.ButtonCount(), 9);
    EXPECT_EQ(main.SeparatorCount(), 6);
    EXPECT_EQ(main.Button(0).ToolTip, "Open File...");
    EXPECT_TRUE(main.Button(0).Enabled);
    EXPECT_FALSE(main.Button(1).Enabled);
    EXPECT_TRUE(main.Button(2).Enabled);
    EXPECT_EQ(main.Button(3).Enabled, IsToolAvailable(ToolId::CreateModel));
    EXPECT_TRUE(main.Button(5).Enabled);
    EXPECT_EQ(main.Button(8).ToolTip, "Vortaxis: File Association");

    // The tools' tool bar of a track, shown below the main one, the preview below both.
    ASSERT_TRUE(f.ToolBar()->IsShown());
    EXPECT_EQ(f.ToolBar()->Layout().ButtonCount(), 19);
    EXPECT_EQ(f.ToolBar()->GetPosition(), wxPoint(0, 29));
    const wxSize client = f.GetClientSize();
    EXPECT_EQ(f.Preview()->GetPosition(), wxPoint(0, 58));
    EXPECT_EQ(f.Preview()->GetSize(), wxSize(client.x, client.y - 58 - 22));
    EXPECT_EQ(f.StatusBar()->GetPosition(), wxPoint(0, client.y - 22));
    EXPECT_EQ(f.StatusBar()->Layout().FieldCount(), 2);
    EXPECT_TRUE(f.StatusBar()->Layout().Field(1).Bold);
    EXPECT_EQ(f.StatusBar()->Layout().Field(1).Width, 60);

    // The recent list holds the file; its menu shows the name.
    ASSERT_NE(f.MenuItem("mnuRecent0"), nullptr);
    EXPECT_EQ(f.MenuItem("mnuRecent0")->GetItemLabelText(), "circuit.vxtrack");
    EXPECT_TRUE(f.MenuItem("mnuRecentFiles")->IsEnabled());
}

TEST_F(MainWindowGui, ThePreviewShowsTheModel) {
    Start(Copy("circuit.vxtrack"));
    const wxSize pixels = GLCanvasPixelSize(*frame->PreviewCanvas());
    std::vector<uint8_t> frameBytes;
    FindGLContext(gMainGLContext)->BeforePresent = [&] { frameBytes = ReadFramePixels(pixels.x, pixels.y); };
    frame->Input().Paint();
    FindGLContext(gMainGLContext)->BeforePresent = nullptr;
    ASSERT_EQ(frameBytes.size(), static_cast<size_t>(pixels.x) * pixels.y * 3);
    std::set<uint32_t> colours;
    size_t lit = 0;
    for (size_t i = 0; i + 2 < frameBytes.size(); i += 3) {
        const uint32_t c = frameBytes[i] << 16 | frameBytes[i + 1] << 8 | frameBytes[i + 2];
        colours.insert(c);
        lit += c != 0;
    }
    EXPECT_GT(colours.size(), 20u) << "a drawn model has many shades";
    EXPECT_GT(lit, frameBytes.size() / 3 / 200) << "more than a few pixels are drawn";

    // A screenshot of the window as it stands on the screen.
    frame->Refresh();
    frame->Update();
    Settle();
    const wxPoint origin = frame->Preview()->GetScreenPosition();
    const wxSize size = frame->Preview()->GetSize();
    wxBitmap shot(size.x, size.y, 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y);
    }
    const wxImage image = shot.ConvertToImage();
    image.SaveFile(wxString::FromUTF8(temp / "screenshot.png"), wxBITMAP_TYPE_PNG);
    image.SaveFile("mainwin_screenshot.png", wxBITMAP_TYPE_PNG);  // kept beside the tests for a look
    std::set<uint32_t> shown;
    for (int y = 0; y < image.GetHeight(); y += 3)
        for (int x = 0; x < image.GetWidth(); x += 3)
            shown.insert(image.GetRed(x, y) << 16 | image.GetGreen(x, y) << 8 | image.GetBlue(x, y));
    EXPECT_GT(shown.size(), 10u) << "the preview area of the screenshot is not blank";
}

TEST_F(MainWindowGui, OpenSaveAndReopenByteForByteThroughTheCommands) {
    SetBusyWindow(&WxBusyWindow());  // the program's own busy window, served while the model is built
    frmMain& f = Start();
    EXPECT_EQ(Title(), "Gantrywright");
    EXPECT_FALSE(f.MenuEnabled("mnuTrack"));
    EXPECT_FALSE(f.MenuEnabled("mnuView"));
    EXPECT_FALSE(f.ToolBar()->IsShown()) << "no tools before a document";
    EXPECT_FALSE(f.MainBar()->Layout().Button(2).Enabled) << "Save As is greyed without a document";
    EXPECT_TRUE(f.MainBar()->Layout().Button(0).Enabled);

    const std::string source = Copy("shuttle.vxtrack");
    prompts.FileDialogAnswers.push_back({true, source});
    f.mnuOpen_Click();
    EXPECT_EQ(Title(), "Gantrywright - shuttle.vxtrack");
    EXPECT_EQ(f.ToolBar()->Layout().ButtonCount(), 19);

    SetDocumentChanged();  // as a tool does
    EXPECT_EQ(Title(), "Gantrywright - shuttle.vxtrack*");
    EXPECT_TRUE(f.MainBar()->Layout().Button(1).Enabled);
    f.mnuFile_Click();
    EXPECT_TRUE(f.MenuItem("mnuSave")->IsEnabled());

    prompts.FileDialogAnswers.push_back({true, temp / "resaved"});
    ASSERT_TRUE(f.mnuSaveAs_Click());
    EXPECT_EQ(Title(), "Gantrywright - resaved.vxtrack");
    EXPECT_FALSE(f.MainBar()->Layout().Button(1).Enabled);
    EXPECT_EQ(FileBytes(temp / "resaved.vxtrack"), FileBytes(SamplesFolder() + "shuttle.vxtrack"));

    prompts.FileDialogAnswers.push_back({true, temp / "resaved.vxtrack"});
    f.mnuOpen_Click();
    EXPECT_EQ(gDocumentPath, temp / "resaved.vxtrack");
    SetDocumentChanged();
    fs::remove(temp / "resaved.vxtrack");
    ASSERT_TRUE(f.mnuSave_Click());
    EXPECT_EQ(FileBytes(temp / "resaved.vxtrack"), FileBytes(SamplesFolder() + "shuttle.vxtrack"));
    EXPECT_TRUE(prompts.Messages.empty());

    // The element tools replace the track tools; button 6 of an element does nothing.
    prompts.FileDialogAnswers.push_back({true, Copy("camelback.vxelem")});
    f.mnuOpen_Click();
    EXPECT_EQ(f.ToolBar()->Layout().ButtonCount(), 6);
    EXPECT_EQ(f.ToolBar()->Layout().Button(0).ToolTip, "Element: Overview");
    EXPECT_TRUE(f.MenuEnabled("mnuElement"));
    EXPECT_FALSE(f.MenuEnabled("mnuTrack"));
    EXPECT_FALSE(f.MenuItem("mnuViewCombs")->IsEnabled());
    f.tbTool_ButtonClick(6);
    EXPECT_EQ(CurrentWorkingWindow(), nullptr) << "the busy window is gone after each build";
}

TEST_F(MainWindowGui, ABadFileSaysSoAndLeavesNoDocument) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    const std::string bad = temp.Write("damaged.vxtrack", std::string("VRTX\0\0\0\x10 not really", 20));
    prompts.FileDialogAnswers.push_back({true, bad});
    f.mnuOpen_Click();
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Error");
    EXPECT_EQ(prompts.Messages[0].Text,
              "Could Not Load Track File!\r\nThe file may be corrupt or the version may be incompatible.");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(Title(), "Gantrywright");
    EXPECT_EQ(f.ToolBar()->Layout().ButtonCount(), 0) << "no tools of the old document";
    EXPECT_FALSE(f.MenuEnabled("mnuTrack"));
    EXPECT_FALSE(f.MenuEnabled("mnuView"));
    EXPECT_FALSE(f.MenuEnabled("mnuModeler"));
    EXPECT_FALSE(f.MainBar()->Layout().Button(1).Enabled);
    EXPECT_FALSE(f.MainBar()->Layout().Button(2).Enabled);
    EXPECT_FALSE(gPathValid || gTrackModelValid);

    f.LoadFile(temp.Write("readme.txt", "text"));
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[1].Text, "Only Vortaxis Track or Element Files May be Loaded!");
}

TEST_F(MainWindowGui, AMissingCommandLineFileSaysSoByName) {
    const std::string gone = (temp / "nowhere") + "/gone.vxtrack";
    Start(gone);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Error");
    EXPECT_EQ(prompts.Messages[0].Text, "Could Not Find Track File!\r\n" + gone);
    EXPECT_EQ(Title(), "Gantrywright");
    EXPECT_FALSE(frame->MenuEnabled("mnuTrack"));
}

// A settings file and a registry file too large to read, and a track file of
// 10 GB on the command line: the start-up says once that the settings files
// were not read and are left alone, then why the track was not loaded; the
// run writes over neither file.
TEST_F(MainWindowGui, FilesTooLargeForTheirKindAreRefusedAndTheStartSaysSoOnce) {
    ASSERT_TRUE(fsys::CreateFolders(config.Path()));
    const std::string settings = config.Path() + "Gantrywright.ini";
    const std::string registry = RegStoreFile(RegCurrentUser);
    const std::string track = temp.Write("huge.vxtrack", "VRTX");
    for (const std::string& path : {settings, registry, track}) {
        ASSERT_TRUE(fsys::WriteFileAtomically(path, std::string_view(";")));
        fs::resize_file(path, uintmax_t{10} << 30);
    }
    frmMain& f = Start(track);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[0].Text,
              "Could not read the settings file " + settings +
                  "\r\nThe file is larger than a settings file can be (at most 1 MiB).\r\n" + kRefusedSettingsFileText +
                  "\r\n\r\nCould not read the registry file " + registry +
                  "\r\nThe file is larger than a registry file can be (at most 4 MiB).\r\n" + kRefusedRegistryFileText);
    EXPECT_EQ(prompts.Messages[1].Text,
              "Could Not Load Track File!\r\nThe file is larger than a track file can be (at most 64 MiB).");
    EXPECT_EQ(gModelOnLoad, 3);
    f.LoadFile(Copy("circuit.vxtrack"));  // lists the file in the recent lists
    EXPECT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(fs::file_size(settings), uintmax_t{10} << 30);
    EXPECT_EQ(fs::file_size(registry), uintmax_t{10} << 30);
}

TEST_F(MainWindowGui, ADocumentNamedLikeAnOptionOrNotInUtf8OpensAsAFile) {
    const fs::path cwd = fs::current_path();
    fs::current_path(temp.Path());
    for (const std::string name : {"--gtk-module=x.vxtrack", "-x.vxtrack", "\xff\xfe.vxtrack"}) {
        Copy("circuit.vxtrack", name);
        Start(name);
        EXPECT_EQ(gDocumentPath, temp / name) << name;
        EXPECT_TRUE(frame->MenuEnabled("mnuTrack")) << name;
        CloseAndSettle(frame);
    }
    fs::current_path(cwd);
    EXPECT_TRUE(prompts.Messages.empty());
}

TEST_F(MainWindowGui, AnExceptionOutOfAHandlerIsAMessageAndTheProgramGoesOn) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    int calls = 0;
    f.Bind(wxEVT_MENU, [&](wxCommandEvent&) {
        if (++calls == 1) throw std::runtime_error("no room");
        throw 7;
    }, wxID_HIGHEST + 900);
    for (int i = 0; i < 2; ++i) {
        wxCommandEvent e(wxEVT_MENU, wxID_HIGHEST + 900);
        e.SetEventObject(&f);
        EXPECT_FALSE(f.GetEventHandler()->SafelyProcessEvent(e));  // as the toolkit delivers it
    }
    EXPECT_EQ(MessageTexts(prompts), (std::vector<std::string>{"Error!|Unexpected Error!\r\nWhat was being done was "
                                                               "stopped.\r\nno room",
                                                               "Error!|Unexpected Error!\r\nWhat was being done was "
                                                               "stopped."}));
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Critical);
    try {
        throw std::bad_alloc();
    } catch (...) {
        EXPECT_EQ(CurrentExceptionText(), kNoMemoryLeftText);
    }
    Settle();
    EXPECT_TRUE(frame) << "the window is still there";
    EXPECT_EQ(gDocumentPath, temp / "circuit.vxtrack");
}

TEST_F(MainWindowGui, RecentMenuShowsAmpersandsAndReopens) {
    frmMain& f = Start();
    const std::string odd = Copy("circuit.vxtrack", "R&D loop.vxtrack");
    const std::string plain = Copy("shuttle.vxtrack");
    ASSERT_TRUE(f.LoadFile(odd));
    ASSERT_TRUE(f.LoadFile(plain));
    ASSERT_NE(f.MenuItem("mnuRecent1"), nullptr);
    EXPECT_EQ(f.MenuItem("mnuRecent1")->GetItemLabel(), "R&&D loop.vxtrack");
    EXPECT_EQ(f.MenuItem("mnuRecent1")->GetItemLabelText(), "R&D loop.vxtrack");
    EXPECT_EQ(f.MenuItem("mnuRecent2"), nullptr) << "empty entries are not shown";
    {
        // Another program's registry lock: the track opens all the same, the list not kept is a note.
        const HeldRegistryLock other(RegCurrentUser);
        const size_t messages = prompts.Messages.size();
        Menu("mnuRecent1");
        EXPECT_EQ(Title(), "Gantrywright - R&D loop.vxtrack") << "shown before the registry is written";
        Settle();
        EXPECT_EQ(prompts.Messages.size(), messages);
        EXPECT_EQ(StatusText(0), std::string(kRecentListNotKeptText) + " " + other.Reason());
    }
    EXPECT_EQ(gDocumentPath, odd);
    EXPECT_EQ(Title(), "Gantrywright - R&D loop.vxtrack");
    Menu("mnuClearRecent");
    EXPECT_EQ(StatusText(0), "");
    EXPECT_EQ(f.MenuItem("mnuRecent0"), nullptr);
    EXPECT_FALSE(f.MenuItem("mnuRecentFiles")->IsEnabled());
}

TEST_F(MainWindowGui, ClickingTheTrackSelectsSegments) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    // Straight above the station (segment 0), looking down.
    gCameraPosition = MakeVector(-19.0f, 16.0f, -55.0f);
    gCameraAngles = MakeVector(-90.0f, 0.0f, 0.0f);
    const wxPoint centre = ClientCentre(*f.Preview());
    Mouse(*f.Preview(), wxEVT_LEFT_DOWN, centre);
    Mouse(*f.Preview(), wxEVT_LEFT_UP, centre);
    EXPECT_TRUE(IsSegmentSelected(0));
    EXPECT_FALSE(IsSegmentSelected(1));
    EXPECT_FALSE(f.Preview()->HasCapture());
    Mouse(*f.Preview(), wxEVT_LEFT_DOWN, centre);
    Mouse(*f.Preview(), wxEVT_LEFT_UP, centre);
    EXPECT_FALSE(IsSegmentSelected(0)) << "a second click deselects";
    Mouse(*f.Preview(), wxEVT_LEFT_DOWN, centre);
    Mouse(*f.Preview(), wxEVT_LEFT_UP, centre);
    gCameraAngles = MakeVector(90.0f, 0.0f, 0.0f);  // the sky
    Mouse(*f.Preview(), wxEVT_LEFT_DOWN, centre);
    Mouse(*f.Preview(), wxEVT_LEFT_UP, centre);
    EXPECT_FALSE(IsSegmentSelected(0)) << "a click into the sky clears the selection";
}

TEST_F(MainWindowGui, KeysFlyTheCameraAndTheTimerStopsItself) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    EXPECT_FALSE(f.FrameTimerRunning());
    const Vector3 start = gCameraPosition;
    Key(wxEVT_KEY_DOWN, 'W');
    EXPECT_TRUE(f.FrameTimerRunning());
    f.tmrMain_Timer();
    wxMilliSleep(30);
    f.tmrMain_Timer();
    EXPECT_LT(gCameraPosition.Z, start.Z - 0.1f) << "forward is towards -Z from the start pose";
    EXPECT_EQ(StatusText(1), "FPS: Idle");
    Key(wxEVT_KEY_UP, 'W');
    f.tmrMain_Timer();
    EXPECT_FALSE(f.FrameTimerRunning());

    // A held key is let go when the window loses the focus.
    Key(wxEVT_KEY_DOWN, 'D');
    EXPECT_TRUE(f.Input().KeyIsDown(kKeyD));
    wxActivateEvent deactivate(wxEVT_ACTIVATE, false);
    f.GetEventHandler()->ProcessEvent(deactivate);
    EXPECT_FALSE(f.Input().KeyIsDown(kKeyD));

    // Mouse-look: right click, a move turns the camera and holds the cursor.
    const float heading = gCameraAngles.Y;
    Mouse(*f.Preview(), wxEVT_RIGHT_DOWN, wxPoint(100, 100));
    Mouse(*f.Preview(), wxEVT_RIGHT_UP, wxPoint(100, 100));
    Mouse(*f.Preview(), wxEVT_MOTION, wxPoint(90, 100));
    EXPECT_FLOAT_EQ(gCameraAngles.Y, heading + 2.0f);
    EXPECT_EQ(f.Input().MouseLook(), kMouseLookRecentred);
    EXPECT_TRUE(f.FrameTimerRunning());
    EXPECT_EQ(PreviewKeyCode('w'), 'W');
    EXPECT_EQ(PreviewKeyCode(WXK_SHIFT), kKeyShift);
    EXPECT_EQ(PreviewKeyCode(WXK_CONTROL), kKeyControl);
    EXPECT_EQ(PreviewKeyCode(WXK_F1), -1);
}

TEST_F(MainWindowGui, ViewMenuSwitchesLayersModeAndColours) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    EXPECT_TRUE(f.MenuItem("mnuViewTubes")->IsChecked());
    Menu("mnuViewTubes");
    EXPECT_FALSE(f.MenuItem("mnuViewTubes")->IsChecked());
    EXPECT_FALSE(gViewSwitches.Tubes);
    Menu("mnuViewTubes");
    EXPECT_TRUE(gViewSwitches.Tubes);

    Menu("mnuModelWireframe");
    EXPECT_TRUE(f.MenuItem("mnuModelWireframe")->IsChecked());
    EXPECT_FALSE(f.MenuItem("mnuModelSolid")->IsChecked());
    ASSERT_TRUE(MakeGLContextCurrent(gMainGLContext));
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    Menu("mnuModelSolid");
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);

    Menu("mnuColorSegment");
    EXPECT_TRUE(gColorSegmentChecked);
    EXPECT_FALSE(gColorTrackChecked);
    EXPECT_EQ(gTrackModel[0].RailColor, ColorsOfSegmentKind(SegmentStation).Rail) << "the station by its kind's colour";
    Menu("mnuColorTrack");
    EXPECT_EQ(gTrackModel[0].RailColor, gRailColor);
}

TEST_F(MainWindowGui, RegisteredToolsAreReachableAndMarkTheDocumentChanged) {
    int scaled = 0;
    RegisterToolDialog(ToolId::TScale, [&](void* owner) {
        ++scaled;
        EXPECT_EQ(owner, static_cast<wxWindow*>(frame.get()));
        gRemodelFlags.RebuildPath = true;
        gRemodelFlags.RebuildTrack = true;
        SetDocumentChanged();
    });
    frmMain& f = Start(Copy("circuit.vxtrack"));
    EXPECT_TRUE(f.MenuItem("mnuTScale")->IsEnabled());
    EXPECT_FALSE(f.MenuItem("mnuTRotate")->IsEnabled()) << "no dialog yet";
    const uc::ToolBarLayout& tools = f.ToolBar()->Layout();
    EXPECT_TRUE(tools.Button(5).Enabled);
    EXPECT_FALSE(tools.Button(6).Enabled);

    // A click on the tool bar's Scale button.
    const uc::Rect r = tools.NormalPictureRect(5);
    const wxPoint p(r.X + 8, r.Y + 8);
    Mouse(*f.ToolBar(), wxEVT_MOTION, p);
    Mouse(*f.ToolBar(), wxEVT_LEFT_DOWN, p);
    Mouse(*f.ToolBar(), wxEVT_LEFT_UP, p);
    EXPECT_EQ(scaled, 1);
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack*");
    EXPECT_TRUE(f.MainBar()->Layout().Button(1).Enabled);
    EXPECT_TRUE(gTrackModelValid) << "rebuilt";
    Menu("mnuTScale");
    EXPECT_EQ(scaled, 2);
}

TEST_F(MainWindowGui, ClosingAsksAboutChangesAndWaitsForABuild) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    SetDocumentChanged();
    prompts.MessageAnswers.push_back(MsgResult::Cancel);
    f.Close();
    wxTheApp->ProcessIdle();
    ASSERT_TRUE(frame) << "Cancel keeps the program running";
    EXPECT_EQ(prompts.Messages.back().Title, "Unsaved Changes");
    EXPECT_TRUE(gDocumentChanged);

    // A close request while the model is being built waits for the build.
    prompts.MessageAnswers.push_back(MsgResult::No);
    bool asked = false;
    busy.OnMarker = [&] {
        if (asked || !IsModelBuilding()) return;
        asked = true;
        frame->Close();
    };
    ASSERT_TRUE(f.LoadFile(Copy("shuttle.vxtrack")));
    EXPECT_TRUE(asked);
    ASSERT_TRUE(frame) << "still open after the build";
    EXPECT_EQ(gDocumentPath, temp / "shuttle.vxtrack");
    for (int i = 0; i < 20 && frame; ++i) DeliverReadyEvents();
    EXPECT_FALSE(frame) << "closed once the build was over";
}

TEST_F(MainWindowGui, TheProgramsDialogsAreWiredInAndTheOthersGreyed) {
    RegisterToolDialogs();
    frmMain& f = Start(Copy("circuit.vxtrack"));
    EXPECT_TRUE(f.MenuItem("mnuShowSettings")->IsEnabled());
    EXPECT_TRUE(f.MenuItem("mnuHelpAbout")->IsEnabled());
    EXPECT_TRUE(f.MenuItem("mnuSaveModelAs")->IsEnabled()) << "the whole model is built";
    EXPECT_TRUE(f.MenuItem("mnuHelpContents")->IsEnabled());
    EXPECT_TRUE(f.MenuItem("mnuWebThrillForum")->IsEnabled());
    const uc::ToolBarLayout& main = f.MainBar()->Layout();
    EXPECT_TRUE(main.Button(4).Enabled) << "Settings";
    // Every other entry and button follows whether its dialog is part of the program.
    for (int i = 0; i < kToolCount; ++i) {
        const ToolInfo& tool = GetToolInfo(static_cast<ToolId>(i));
        if (wxMenuItem* item = f.MenuItem(tool.MenuName)) {
            EXPECT_EQ(item->IsEnabled(), IsToolAvailable(tool.Id) && (tool.Id != ToolId::SaveModelAs || gTrackModelValid))
                << tool.MenuName;
        }
    }
    EXPECT_TRUE(IsToolAvailable(ToolId::Settings));
    EXPECT_TRUE(IsToolAvailable(ToolId::SaveModelAs));
    EXPECT_TRUE(IsToolAvailable(ToolId::About));
    EXPECT_EQ(main.Button(3).Enabled, IsToolAvailable(ToolId::CreateModel));
    EXPECT_EQ(main.Button(6).Enabled, IsToolAvailable(ToolId::VXOverview));
    EXPECT_EQ(main.Button(7).Enabled, IsToolAvailable(ToolId::VXFixLocation));
    EXPECT_EQ(main.Button(8).Enabled, IsToolAvailable(ToolId::VXFileAssociation));
    for (int i = 0; i < f.ToolBar()->Layout().ButtonCount(); ++i)
        EXPECT_EQ(f.ToolBar()->Layout().Button(i).Enabled, IsToolAvailable(*ToolOfToolBarButton(1, i))) << i;

    // Help > Contents opens the help index through the shell.
    Menu("mnuHelpContents");
    ASSERT_EQ(prompts.ShellOpened.size(), 1u);
    EXPECT_EQ(prompts.ShellOpened[0], DataFolder() + "gtwrhelp/index.htm");
    Menu("mnuWebBrightquay");
    EXPECT_EQ(prompts.ShellOpened.back(), kMakerHomePage);
}

// Real input through the display server: the preview has the keys, W held flies the camera, and the timer stops after the release.
TEST_F(MainWindowGui, RealKeysFlyTheCamera) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    f.Raise();
    wxUIActionSimulator sim;
    // Without a window manager the keys go to the window under the pointer.

    sim.MouseMove(f.Preview()->ClientToScreen(wxPoint(20, 20)));

    f.Preview()->SetFocus();
    Settle(5);
    if (!f.Preview()->HasFocus()) GTEST_SKIP() << "the test display gives no keyboard focus";
    const Vector3 start = gCameraPosition;
    sim.KeyDown('W');
    RunEventsFor(200);  // W held: the frame timer flies the camera
    sim.KeyUp('W');
    RunEventsUntil([&] { return !f.FrameTimerRunning(); }, 2000);
    if (gCameraPosition.Z == start.Z) GTEST_SKIP() << "the keys went to another window";
    EXPECT_LT(gCameraPosition.Z, start.Z) << "forward";
    EXPECT_FALSE(f.FrameTimerRunning()) << "stopped after the release";
    EXPECT_FALSE(f.Input().KeyIsDown(kKeyW));
    EXPECT_EQ(StatusText(1), "FPS: Idle");
}

// With only the path built on open, Save Model As waits for the model; once
// Create Model has built it, the model can be saved without opening the file again.
TEST_F(MainWindowGui, SaveModelAsFollowsTheModelBuiltByTheModeler) {
    RegisterToolDialog(ToolId::SaveModelAs, [](void*) {});
    RegisterToolDialog(ToolId::CreateModel, [](void*) { SetAllRemodelFlags(); });
    const std::string path = Copy("circuit.vxtrack");
    frmMain& f = Start();
    gModelOnLoad = 0;  // "Do Nothing": the path alone
    ASSERT_TRUE(f.LoadFile(path));
    EXPECT_FALSE(gTrackModelValid);
    EXPECT_FALSE(f.MenuItem("mnuSaveModelAs")->IsEnabled());
    EXPECT_TRUE(f.MainBar()->Layout().Button(3).Enabled) << "Create Model";
    f.tbMain_ButtonClick(3);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_TRUE(f.MenuItem("mnuSaveModelAs")->IsEnabled());
}

// The Move tool stays open beside the window: its moves mark the document
// changed through the window, and opening another file finishes it first.
TEST_F(MainWindowGui, TheMoveToolWorksBesideTheWindow) {
    RegisterToolDialogs();
    frmMain& f = Start(Copy("circuit.vxtrack"));
    ASSERT_TRUE(f.MenuItem("mnuTMove")->IsEnabled());
    const Vector3 before = gNodes[0].Position;
    Menu("mnuTMove");
    frmTMove* move = OpenMoveTool();
    ASSERT_NE(move, nullptr);
    Menu("mnuTMove");
    EXPECT_EQ(OpenMoveTool(), move) << "a second launch brings the open one to the front";
    move->btnDirection_Click(0);
    const Vector3 after = gNodes[0].Position;
    EXPECT_TRUE(after.X != before.X || after.Y != before.Y || after.Z != before.Z) << "a direction button moves the track";
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack*");
    EXPECT_TRUE(f.MainBar()->Layout().Button(1).Enabled);

    // The settings and the about box change no document: Move stays open
    // beside them. A tool that edits the document finishes it first.
    int shown = 0;
    RegisterToolDialog(ToolId::Settings, [&](void*) { ++shown; });
    RegisterToolDialog(ToolId::About, [&](void*) { ++shown; });
    RegisterToolDialog(ToolId::TScale, [&](void*) { EXPECT_EQ(OpenMoveTool(), nullptr) << "finished before Scale"; });
    Menu("mnuShowSettings");
    Menu("mnuHelpAbout");
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(OpenMoveTool(), move);
    Menu("mnuTScale");
    EXPECT_EQ(OpenMoveTool(), nullptr);
    Menu("mnuTMove");
    ASSERT_NE(OpenMoveTool(), nullptr);

    prompts.MessageAnswers.push_back(MsgResult::No);  // keep the moved track unsaved
    prompts.FileDialogAnswers.push_back({false, ""});
    f.mnuOpen_Click();
    EXPECT_EQ(OpenMoveTool(), nullptr) << "finished before another file is opened";
    Settle(3);
}

// Alt+S opens the Settings menu and Escape closes it, with real keys: the S
// and its release go to the menu, and nothing may stay held in the preview.
TEST_F(MainWindowGui, RealKeysThroughAMenuLeaveNoKeyHeld) {
    frmMain& f = Start(Copy("circuit.vxtrack"));
    f.Raise();
    int menusOpened = 0;
    f.Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& e) {
        ++menusOpened;
        e.Skip();
    });
    wxUIActionSimulator sim;
    sim.MouseMove(f.Preview()->ClientToScreen(wxPoint(20, 20)));
    f.Preview()->SetFocus();
    Settle(5);
    if (!f.Preview()->HasFocus()) GTEST_SKIP() << "the test display gives no keyboard focus";
    sim.KeyDown('S', wxMOD_ALT);
    Settle(10);
    sim.KeyUp('S', wxMOD_ALT);
    Settle(5);
    sim.Char(WXK_ESCAPE);
    Settle(10);
    if (menusOpened == 0) GTEST_SKIP() << "the menu did not open on the test display";
    EXPECT_FALSE(f.Input().KeyIsDown(kKeyS));
    EXPECT_FALSE(f.Input().AnythingHeld());
    const Vector3 start = gCameraPosition;
    RunEventsUntil([&] { return !f.FrameTimerRunning(); }, 2000);
    EXPECT_FALSE(f.FrameTimerRunning());
    EXPECT_EQ(gCameraPosition.Z, start.Z) << "the camera does not fly";
}

// The preview has the keys again after an open, a save, a save as and a
// dialog, wherever the focus was before.
TEST_F(MainWindowGui, ThePreviewTakesTheKeysAfterOpenSaveAndDialogs) {
    RegisterToolDialog(ToolId::Settings, [](void*) {});
    frmMain& f = Start(Copy("circuit.vxtrack"));
    auto* elsewhere = new wxTextCtrl(&f, wxID_ANY);
    const auto check = [&](const char* what, const std::function<void()>& command) {
        elsewhere->SetFocus();
        Settle(3);
        if (!elsewhere->HasFocus()) return;
        command();
        Settle(3);
        EXPECT_TRUE(f.Preview()->HasFocus()) << what;
    };
    check("open", [&] {
        prompts.FileDialogAnswers.push_back({true, Copy("shuttle.vxtrack")});
        f.mnuOpen_Click();
    });
    check("save as", [&] {
        prompts.FileDialogAnswers.push_back({true, temp / "other.vxtrack"});
        f.mnuSaveAs_Click();
    });
    check("save", [&] {
        SetDocumentChanged();
        f.mnuSave_Click();
    });
    check("settings", [&] { f.LaunchMenuTool(ToolId::Settings); });
    check("recent", [&] { f.mnuRecent_Click(0); });
    EXPECT_EQ(gDocumentPath, temp / "shuttle.vxtrack");
    elsewhere->Destroy();
}
