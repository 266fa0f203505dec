#pragma once
// Shared set-up of the application tests: a fresh configuration folder and the
// application state at its start-up defaults.

#include <gtest/gtest.h>

#include "core/app_state.h"
#include "core/recent_list.h"
#include "core/settings_text.h"
#include "tests/platform/temp_folder.h"

inline void ResetAppState() {
    gUseRecentList = true;
    gSyncRecentList = true;
    gModelOnLoad = 3;
    for (std::string& entry : gRecentFiles) entry.clear();
    gCombRadiusScale = 0.1f;
    gCombRadiusLimit = 50;
    gDocumentChanged = false;
    gDocumentPath.clear();
    gDocumentType = DocumentNone;
    gOpenDir.clear();
    gSaveDir.clear();
    gAppPath.clear();
    gSimPath.clear();
    IniSetBuffer("");
    SetRecentMenuObserver(nullptr);
}

class AppStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ResetAppState(); }
    ConfigFolderScope config;
};
