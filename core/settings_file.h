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

// The full path of the settings file.
std::string SettingsFilePath();

// gAppPath := the program's data folder; gSimPath := the simulator folder
// named by the registry ("InstPath") when it holds the simulator's executable
// (found without regard to letter case), else gAppPath; the dialog folders
// := gSimPath; no document.
void InitAppPaths();

// Reads the settings file (defaults when it is missing), fills the recent list
// and refreshes its menu. Runs the model-detail hook first.
void LoadSettings();

// Writes the settings file whole (creating the configuration folder when
// needed); false, the old file untouched, when it cannot be written. The
// shared settings-text buffer is left as it was.
bool SaveSettings();

// The model settings' start-up detail (rail detail 0.5, spine detail 1.0)
// belongs to the model, which this library does not link: the program installs
// a hook that sets it, and LoadSettings runs it first.
void SetModelDetailDefaultsHook(std::function<void()> hook);
