#include "core/recent_list.h"

#include <cerrno>

#include "core/app_state.h"
#include "core/settings_file.h"
#include "platform/registry.h"

namespace {

RecentMenuObserver gRecentMenuObserver;

std::string ValueName(int i) { return "File" + std::to_string(i); }

// The list lives only in the settings file while it is not shared with the editor.
void KeepInSettingsFile() {
    if (gUseRecentList && !gSyncRecentList) SaveSettings();
}

}  // namespace

void SetRecentMenuObserver(RecentMenuObserver observer) { gRecentMenuObserver = std::move(observer); }

RecentMenuState BuildRecentMenuState() {
    RecentMenuState state;
    for (size_t i = 0; i < 8; ++i) {
        const std::string& path = gRecentFiles[i];
        if (path.empty()) continue;
        const size_t cut = path.find_last_of("/\\");
        state.Captions[i] = cut == std::string::npos ? path : path.substr(cut + 1);
        state.Visible[i] = true;
        state.Enabled = true;
    }
    return state;
}

void LoadRecentListFromRegistry() {
    for (int i = 1; i <= 8; ++i) {
        std::string value;
        gRecentFiles[i - 1] = RegReadValue(RegCurrentUser, kEditorRecentListKey, ValueName(i), value) ? value : "";
    }
}

bool SaveRecentListToRegistry() {
    // One action: a lock that another program holds is waited for once, not once a value.
    const RegChangeBatch batch;
    bool ok = true;
    int error = 0;
    for (int i = 1; i <= 8; ++i) {
        if (RegWriteValue(RegCurrentUser, kEditorRecentListKey, RegString, ValueName(i), gRecentFiles[i - 1])) continue;
        if (ok) error = errno;
        ok = false;
    }
    errno = error;
    return ok;
}

void RefreshRecentMenu() {
    if (!gUseRecentList) return;
    if (gRecentMenuObserver) gRecentMenuObserver(BuildRecentMenuState());
}

void AddToRecentList(const std::string& Path) {
    if (!gUseRecentList || Path.empty()) return;
    // File names on this platform differ by letter case, so paths compare exactly.
    int from = 7;
    for (int i = 0; i < 8; ++i) {
        if (gRecentFiles[i] == Path) {
            from = i;
            break;
        }
    }
    for (int j = from; j >= 1; --j) gRecentFiles[j] = gRecentFiles[j - 1];
    gRecentFiles[0] = Path;
    RefreshRecentMenu();
    KeepInSettingsFile();
}

void ClearRecentList() {
    for (int i = 0; i < 8; ++i) gRecentFiles[i].clear();
    RefreshRecentMenu();
    KeepInSettingsFile();
}
