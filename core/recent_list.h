#pragma once
// The recent-file list (gRecentFiles, entries 0 to 7, most recent first), its
// menu entries, and its mirror in the simulator editor's own list in the
// registry (current user, "Software\Vortaxis Coasters\Vortaxis Editor\Recent
// File List", string values "File1" to "File8").
//
// The list reaches the menu through an observer that the main window installs;
// without one, RefreshRecentMenu changes nothing visible.
//
// With the list in use but not shared with the editor, it lives only in the
// settings file: AddToRecentList and ClearRecentList then write the settings
// file, so the files opened in a run are still listed after a restart.

#include <array>
#include <functional>
#include <string>

inline constexpr const char* kEditorRecentListKey = "Software\\Vortaxis Coasters\\Vortaxis Editor\\Recent File List";

// What the eight entries of the Recent Files menu show.
struct RecentMenuState {
    std::array<bool, 8> Visible{};          // mnuRecent(i) shown
    std::array<std::string, 8> Captions{};  // its caption: the file name of the entry's path (plain text)
    bool Enabled = false;                   // mnuRecentFiles: at least one entry shown
};

using RecentMenuObserver = std::function<void(const RecentMenuState&)>;
void SetRecentMenuObserver(RecentMenuObserver observer);  // an empty function removes it

// The menu state for the list as it stands.
RecentMenuState BuildRecentMenuState();

// Entries 0 to 7 from the editor's values File1 to File8 (empty where unreadable).
void LoadRecentListFromRegistry();
// The editor's values File1 to File8 from entries 0 to 7 (empty ones as empty
// texts), as one action of the registry (RegChangeBatch: another program's
// lock waited for once at most); false when a value could not be written,
// errno that of the first value refused (RegWriteFailureReason says why).
bool SaveRecentListToRegistry();
// Shows the list in the menu (nothing while the list is not in use).
void RefreshRecentMenu();
// Puts Path at the top of the list (nothing while the list is not in use).
void AddToRecentList(const std::string& Path);
// Empties entries 0 to 7.
void ClearRecentList();
