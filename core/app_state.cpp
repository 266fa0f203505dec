#include "core/app_state.h"

bool gUseRecentList = true;
bool gSyncRecentList = true;
int16_t gModelOnLoad = 3;
std::array<std::string, 9> gRecentFiles;
float gCombRadiusScale = 0.1f;
int32_t gCombRadiusLimit = 50;
bool gDocumentChanged = false;
std::string gDocumentPath;
int16_t gDocumentType = DocumentNone;
std::string gOpenDir;
std::string gSaveDir;
std::string gAppPath;
std::string gSimPath;
