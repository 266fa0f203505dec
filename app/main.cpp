// gantrywright [track or element file]
//
// The program: the main window on the document named on the command line.
#include <clocale>
#include <string>

#include <wx/app.h>
#include <wx/init.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "model/busy_window.h"
#include "model/render/wx/gl_canvas.h"
#include "model/wx/frm_working.h"
#include "platform/color_chooser.h"
#include "platform/prompts.h"
#include "platform/wx/wx_color_chooser.h"
#include "platform/wx/wx_prompts.h"

namespace {

class GantrywrightApp : public wxApp {
public:
    explicit GantrywrightApp(std::string commandLine) : commandLine_(std::move(commandLine)) {}

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
        frame->StartUp(commandLine_);
        return true;
    }

    int OnExit() override {
        SetBusyWindow(nullptr);
        SetColorChooser(nullptr);
        SetPrompts(nullptr);
        return wxApp::OnExit();
    }

private:
    std::string commandLine_;
    WxPrompts prompts_;
};

}  // namespace

int main(int argc, char** argv) {
    // Display formats follow the user's locale; the files' numbers never pass through it.
    std::setlocale(LC_ALL, "");
    // The preview speaks GLX: GTK must use X11, also inside a Wayland session.
    SelectX11Backend();
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    wxApp::SetInstance(new GantrywrightApp(commandLine));
    return wxEntry(argc, argv);
}
