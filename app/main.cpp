// gantrywright [track or element file]
//
// The program: the main window on the document named on the command line.
#include <clocale>
#include <string>

#include <wx/init.h>

#include "app/frm_main.h"
#include "app/gui_program.h"
#include "app/gui_tool_dialogs.h"
#include "model/busy_window.h"
#include "model/render/wx/gl_canvas.h"
#include "model/wx/frm_working.h"
#include "platform/color_chooser.h"
#include "platform/environment_folders.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "platform/wx/toolkit_messages.h"
#include "platform/wx/wx_color_chooser.h"
#include "platform/wx/wx_prompts.h"

namespace {

class GantrywrightApp : public ProgramApp {
public:
    explicit GantrywrightApp(std::string commandLine) : commandLine_(std::move(commandLine)) {}
    // The prompts stay until the end: an exception that ends the program is told after OnExit.
    ~GantrywrightApp() override { SetPrompts(nullptr); }

    bool OnInit() override {
        // The command line is the document's path alone: it is not parsed for options.
        wxInitAllImageHandlers();
        SetPrompts(&prompts_);
        SetColorChooser(WxChooseColor);
        SetBusyWindow(&WxBusyWindow());
        RegisterToolDialogs();
        auto* frame = new frmMain();
        SetTopWindow(frame);
        frame->Show();
        try {
            frame->StartUp(commandLine_);
        } catch (...) {
            // The window did not get through its start (its document's failures are messages of
            // their own): the program says why and ends.
            ReportCurrentException();
            frame->Destroy();
            ReleaseServices();
            return false;
        }
        return true;
    }

    int OnExit() override {
        ReleaseServices();
        return ProgramApp::OnExit();
    }

private:
    static void ReleaseServices() {
        SetBusyWindow(nullptr);
        SetColorChooser(nullptr);
    }

    std::string commandLine_;
    WxPrompts prompts_;
};

}  // namespace

int main(int argc, char** argv) {
    // First of all, before any library reads them: a relative or empty HOME and
    // relative XDG folders go, so the toolkit takes no settings, style sheets or
    // modules to load from the folder the program runs in; and PATH keeps its
    // absolute folders alone (or the system's default), so no program that the
    // toolkit or GLib starts by name (dbus-launch) is taken from there either. Each is held
    // once, so the programs started later see the value the program itself reads. A run as the
    // superuser keeps to the superuser's own home: a HOME or XDG folder of another user's goes
    // (HOME to root's home), so the settings, the registry and the toolkit's caches are root's
    // files in root's folders, and standard error says so.
    fsys::DropRelativeFolderVariables();
    fsys::IgnoreFileSizeSignal();  // a save past ulimit -f fails with its reason, never ends the program
    // Display formats follow the user's locale; the files' numbers never pass through it.
    std::setlocale(LC_ALL, "");
    // The preview speaks GLX: GTK must use X11, also inside a Wayland session.
    SelectX11Backend();
    // The toolkit's own messages and failed assertions go to the terminal, never into a box of
    // its own (whose Stop would end the program): everything the user is told comes through
    // the prompts.
    SendToolkitMessagesToTerminal();
    // The arguments are the document's name, taken by the program itself (joined by blanks, as
    // one unquoted name with blanks arrives): a name like "--gtk-module=x" or "-x" is a file,
    // and a name that is not UTF-8 is passed on as its bytes.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    wxApp::SetInstance(new GantrywrightApp(commandLine));
    // The toolkit sees the program's name alone, so no argument becomes an option of GTK or
    // wxWidgets (a module to load, a display, a debugging switch) nor a warning of theirs.
    static char name[] = "gantrywright";
    char* toolkitArgv[] = {name, nullptr};
    int toolkitArgc = 1;
    return wxEntry(toolkitArgc, toolkitArgv);
}
