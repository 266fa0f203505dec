#pragma once
// The environment editor's flow without its window: New, Open, Save, Save As,
// the unsaved-changes prompt, closing, and the texture rows' Choose, View and
// Clear. Every question and file dialog goes through platform/prompts.h; the
// values edited are gEnvironment's, the title is EnvName (the name box).
//
// A file that cannot be opened is said with the reason; so is a name that is
// refused (one whose folder name would be empty once the trailing dots and
// spaces the simulator drops are gone, or that holds "/"), and so is a
// texture that a save could not copy (the environment's folder another
// user's among the reasons).
//
// Unsaved changes are never dropped silently: New, Open and closing ask
// first, and a save that was cancelled or failed stops them with the changed
// flag still set. Save As saves only into the Environments folder itself.
// No other file is replaced without a question: Save asks before it replaces
// an environment file other than the one opened or saved last (one opened
// from another folder is saved into the Environments folder), Save As before
// any file it replaces, about the file written ("sunset" writes an existing
// "Sunset.env", "Sunset.v2" writes "Sunset.v2.env"); there No goes back to
// the file dialog on that name, as in the program's other save dialogs.

#include <cstdint>
#include <functional>
#include <string>

#include "simulator/environment_file.h"

class EnvironmentEditor {
public:
    explicit EnvironmentEditor(EnvironmentValues& values = gEnvironment);

    // The window's state besides the values.
    std::string EnvName;            // txtEnvName: the environment's title and file name
    bool Changed = false;           // set by every edit, cleared by New, Open and Save
    std::string CurrentFilePath;    // the file opened last; the Open dialog starts on it
    std::string SavedFilePath;      // the file saved last (cleared by New and Open)
    std::string LastTextureFolder;  // the folder of the texture chosen last, ending in "/"
    void* Owner = nullptr;          // the window that owns the dialogs

    // Shows the texture viewer on the picture just loaded (the window sets it).
    std::function<void()> ShowTextureViewer;

    EnvironmentValues& Values() { return values_; }

    // Load of the window: the defaults, an empty name and path, nothing
    // changed; and whether saves are refused (Refusal).
    void Start();
    // Why no save is written, found by Start: the superuser's run where a
    // folder or link on the way to the Environments folder (or to the
    // simulator folder, while it has none) belongs to another user
    // (fsys::WayRefusal's text, which the window shows once); empty
    // otherwise. While it is set, Save and Save As say it and write nothing.
    const std::string& Refusal() const { return refusal_; }
    void MarkChanged() { Changed = true; }

    // The tool bar's buttons. Each returns true when it went through.
    bool New();
    bool Open();
    bool SaveEnvironment();
    bool SaveEnvironmentAs();
    // Unload of the window: false keeps it open (Cancel, or a save that did not happen).
    bool QueryClose();

    // The texture rows: each passes its own box's text.
    bool ChooseTexture(std::string& box);
    void ViewTexture(const std::string& box);
    void ClearTexture(std::string& box);
    // "Get from Sun": the world lighting takes the sun light's colour.
    void GetLightingFromSun();

    // The Environments folder of the simulator folder, ending in "/".
    static std::string EnvironmentsFolder();

private:
    // Yes, No, Cancel about unsaved changes: true when the caller may go on.
    bool AskToSave();
    // Writes the environment as EnvName. The file it replaces is asked about
    // first unless it is the file opened or saved last or Save As had the
    // replacement confirmed. False, after a message, when nothing was saved
    // (the user said No, a name or text is refused, a texture could not be
    // copied, the file could not be written). A save that kept texture values
    // whose files it did not find lists them in a warning.
    bool Write(bool replaceConfirmed);
    // True, after the message, when saves are refused (Refusal).
    bool RefusesSaves(const std::string& shownPath) const;

    EnvironmentValues& values_;
    std::string refusal_;
};

// The name box's key filter: 0 for "\", "|", "<", ">", the double quote, "*"
// and ":", every other key unchanged.
int FilterEnvNameKey(int KeyAscii);

// The environment's name in a file name: the name without a final ".env"
// (letter case ignored); a name without it stays whole.
std::string EnvironmentNameOfFile(const std::string& fileName);

// The sliders' value labels: fog density ("0.0###"), a tree's width or height
// ("##0.00") and the sun's altitude or heading in degrees ("##0.0###").
std::string FogDensityText(int32_t value);
std::string TreeSizeText(int32_t value);
std::string SunPositionText(int32_t value);
