#include "core/settings_file.h"

#include <cerrno>
#include <vector>

#include "core/app_state.h"
#include "core/app_version.h"
#include "core/recent_list.h"
#include "core/settings_text.h"
#include "platform/app_folders.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/stored_paths.h"

namespace {

std::function<void()> gModelDetailDefaultsHook;

// The settings file that LoadSettings found there but could not read, and why.
SettingsFileRefusal gRefusal;

std::string RecentKey(int i) { return "File" + std::to_string(i); }

template <typename T>
T Clamp(T value, T low, T high) {
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

void SetModelDetailDefaultsHook(std::function<void()> hook) { gModelDetailDefaultsHook = std::move(hook); }

std::string SettingsFilePath() {
    const std::string folder = fsys::ConfigFolder();
    return folder.empty() ? std::string() : folder + kSettingsFileName;
}

void InitAppPaths() {
    gAppPath = fsys::WithTrailingSeparator(fsys::ProgramDataFolder());
    gSimPath = gAppPath;
    std::string installed;
    if (RegReadValue(RegCurrentUser, kSimulatorKey, "InstPath", installed) && !installed.empty()) {
        installed = fsys::WithTrailingSeparator(installed);
        const auto executable = fsys::ResolveStoredName(installed, kSimulatorExecutable);
        if (executable && fsys::FileExists(*executable)) gSimPath = installed;
    }
    // The file dialogs start in the simulator's folder; without one, in the
    // user's own folder rather than among the program's data.
    const std::string user = fsys::UserFolder();
    gOpenDir = gSimPath == gAppPath && !user.empty() ? user : gSimPath;
    gSaveDir = gOpenDir;
    gDocumentPath.clear();
    gDocumentType = DocumentNone;
}

void LoadSettings() {
    if (gModelDetailDefaultsHook) gModelDetailDefaultsHook();
    gRefusal = {};
    const std::string path = SettingsFilePath();
    const bool read = !path.empty() && IniLoadFile(path, fsys::kSettingsFile);
    // A file that is there but cannot be read (too large, no permission) is left as it is.
    if (!read && !path.empty() && errno != ENOENT && errno != ENOTDIR) gRefusal = {path, errno};
    if (!read) {
        gModelOnLoad = 3;
        gUseRecentList = true;
        gSyncRecentList = true;
        gCombRadiusScale = 0.1f;
        gCombRadiusLimit = 50;
        LoadRecentListFromRegistry();
        RefreshRecentMenu();
        return;
    }
    gUseRecentList = IniReadInt("UseRecentList") != 0;
    gSyncRecentList = IniReadInt("SyncRecentList") != 0;
    gModelOnLoad = static_cast<int16_t>(Clamp<int32_t>(IniReadInt("ModelOnLoad"), 0, 5));
    const double scale = IniReadFloat("CombRadiusScale");
    gCombRadiusLimit = Clamp<int32_t>(IniReadInt("CombRadiusLimit"), 1, 100);
    gCombRadiusScale = Clamp(static_cast<float>(Clamp(scale, 0.0, 100.0)), 0.01f, 20.0f);
    if (!gUseRecentList) {
        for (std::string& entry : gRecentFiles) entry.clear();
    } else if (!gSyncRecentList) {
        for (int i = 1; i <= 8; ++i) gRecentFiles[i - 1] = IniReadString(RecentKey(i));
    } else {
        LoadRecentListFromRegistry();
    }
    RefreshRecentMenu();
}

const SettingsFileRefusal& RefusedSettingsFile() { return gRefusal; }

bool SettingsFileKept() {
    const std::string path = SettingsFilePath();
    return !path.empty() && path != gRefusal.Path;
}

bool SaveSettings() {
    // The settings then last for the run, as the start-up notice said.
    if (!SettingsFileKept()) return true;
    const std::string saved = IniGetBuffer();
    IniNewBuffer("");
    IniWriteComment("Gantrywright v" + AppVersionText());
    IniWriteComment("Settings of the Gantrywright track kit, written by its Settings dialog.");
    IniWriteComment("One key=value per line; flags are 1 or 0, numbers use a decimal point.");
    IniWriteComment("The recent files are read from here only while they are not shared with the editor.");
    IniAddSection("General");
    IniWriteValue("UseRecentList", gUseRecentList ? 1 : 0);
    IniWriteValue("SyncRecentList", gSyncRecentList ? 1 : 0);
    IniWriteValue("ModelOnLoad", gModelOnLoad);
    IniWriteValue("CombRadiusScale", gCombRadiusScale);
    IniWriteValue("CombRadiusLimit", gCombRadiusLimit);
    if (gUseRecentList) {
        IniAddSection("RecentList");
        for (int i = 1; i <= 8; ++i) {
            // A path with a line break cannot stand on one line: it is left out rather than split.
            const std::string& path = gRecentFiles[i - 1];
            IniWriteValue(RecentKey(i), path.find_first_of("\r\n") == std::string::npos ? path : std::string());
        }
    }
    const bool ok = fsys::CreateFolders(fsys::ConfigFolder()) && IniSaveFile(SettingsFilePath(), fsys::kSettingsFile);
    IniSetBuffer(saved);
    return ok;
}

std::string SettingsStartupNotice() {
    std::vector<std::string> notes;
    if (fsys::ConfigFolder().empty()) {
        notes.push_back(kNoSettingsFolderText);
    } else {
        if (!gRefusal.Path.empty())
            notes.push_back("Could not read the settings file " + gRefusal.Path + "\r\n" +
                            fsys::ReadFailureReason(gRefusal.Error, fsys::kSettingsFile) + "\r\n" +
                            kRefusedSettingsFileText);
        for (const uint32_t root : {RegCurrentUser, RegClassesRoot}) {
            if (const int error = RegStoreRefusal(root))
                notes.push_back("Could not read the registry file " + RegStoreFile(root) + "\r\n" +
                                fsys::ReadFailureReason(error, fsys::kRegistryFile) + "\r\n" +
                                kRefusedRegistryFileText);
            else if (const std::string strange = RegStoreNotUnderstood(root); !strange.empty())
                notes.push_back(strange + "\r\n" + kStrangeRegistryFileText);
        }
    }
    std::string text;
    for (const std::string& note : notes) text += (text.empty() ? "" : "\r\n\r\n") + note;
    return text;
}
