#pragma once
// The application state every subsystem reads (below the model: nothing of the
// windows or of app/): the open document's kind, path
// and changed flag, the program and simulator folders, the dialogs' start
// folders, the user's settings and the recent-file list.

#include <array>
#include <cstdint>
#include <string>

enum DocumentTypes : int16_t { DocumentNone = 0, DocumentTrack = 1, DocumentElement = 2 };

extern bool gUseRecentList;        // keep a recent-file list (default true)
extern bool gSyncRecentList;       // mirror it in the simulator editor's list (default true)
extern int16_t gModelOnLoad;       // 0..5, detail of the model built after a load (default 3)
extern std::array<std::string, 9> gRecentFiles;  // most recent first; 0..7 used, 8 only emptied
extern float gCombRadiusScale;     // 0.01..20 (default 0.1)
extern int32_t gCombRadiusLimit;   // 1..100 (default 50)
extern bool gDocumentChanged;
extern std::string gDocumentPath;
extern int16_t gDocumentType;      // DocumentTypes
extern std::string gOpenDir;       // start folder of the open dialogs
extern std::string gSaveDir;       // start folder of the save dialogs
extern std::string gAppPath;       // the program's data folder, ending in the path separator
extern std::string gSimPath;       // the simulator's folder, ending in the path separator
