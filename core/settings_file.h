#pragma once
// The user's settings file, Gantrywright.ini in the configuration folder, and
// the start-up procedures that fill the application state (app_state.h).
//
// File layout (CR LF lines): a version comment and three further comments, an
// empty line, "[General]" with UseRecentList, SyncRecentList (1 or 0),
// ModelOnLoad, CombRadiusScale ("." decimal point) and CombRadiusLimit; then,
// while the recent list is in use, an empty line, "[RecentList]" and File1 to
// File8.
//
// Reading: a missing key reads as 0 and is held to its range (ModelOnLoad 0 to
// 5, CombRadiusLimit 1 to 100, CombRadiusScale 0.01 to 20); the flags are on
// when their number is not 0 (the word True reads as 0).

#include <functional>
#include <string>

inline constexpr const char* kSettingsFileName = "Gantrywright.ini";
inline constexpr const char* kSimulatorKey = "Software\\Vortaxis Coasters";
inline constexpr const char* kSimulatorExecutable = "VortaxisSimulator.exe";

// The full path of the settings file; empty without a configuration folder.
std::string SettingsFilePath();

// gAppPath := the program's data folder; gSimPath := the simulator folder
// named by the registry ("InstPath") when it holds the simulator's executable
// (found without regard to letter case), else gAppPath; the dialog folders
// := gSimPath; no document.
void InitAppPaths();

// Reads the settings file (defaults when it is missing), fills the recent list
// and refreshes its menu. Runs the model-detail hook first. A settings file
// that is there but cannot be read (larger than a settings file can hold, no
// permission) gives the defaults too, and is left as it is for the run.
void LoadSettings();

// Writes the settings file whole (creating the configuration folder when
// needed); false, the old file untouched, when it cannot be written. The
// shared settings-text buffer is left as it was. Without a configuration
// folder, and over the file that LoadSettings could not read, it writes
// nothing and returns true: the settings then last for the run.
bool SaveSettings();

// The settings file that the last LoadSettings found but could not read, and
// the errno of the read; an empty path when there was none.
struct SettingsFileRefusal {
    std::string Path;
    int Error = 0;
};
const SettingsFileRefusal& RefusedSettingsFile();

// True when SaveSettings writes the settings file: there is a configuration
// folder and LoadSettings did not refuse the file.
bool SettingsFileKept();

// What the main window says once at start-up, after LoadSettings and
// InitAppPaths, about settings that this run does not keep: no configuration
// folder (no home folder), a settings or registry file that was not read
// (naming the file and the reason), or a registry file with a line the
// program does not understand (naming the file and the line); empty when
// there is nothing to say.
std::string SettingsStartupNotice();
inline constexpr const char* kSettingsNoticeTitle = "Warning!";
inline constexpr const char* kNoSettingsFolderText =
    "There is no home folder to keep your settings in (HOME is not set and your account has none).\r\n"
    "The settings, the simulator folder and the recent files last until the program ends.";
inline constexpr const char* kRefusedSettingsFileText =
    "The program starts with its default settings, which last until it ends; the file is left as it is.";
inline constexpr const char* kRefusedRegistryFileText =
    "The program starts without the values it holds and changes none of them until it ends; the file is left "
    "as it is.";
inline constexpr const char* kStrangeRegistryFileText =
    "The program reads the values it understands and changes none of them while that line is in the file.";

// The model settings' start-up detail (rail detail 0.5, spine detail 1.0)
// belongs to the model, which this library does not link: the program installs
// a hook that sets it, and LoadSettings runs it first.
void SetModelDetailDefaultsHook(std::function<void()> hook);
