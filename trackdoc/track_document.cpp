#include "trackdoc/track_document.h"

int32_t gFileTotalSize = 0;
int32_t gTopChunkCount = 0;
uint8_t gFileVersion[4] = {};
uint8_t gHeaderFlag = 0;

int32_t gTRCKSize = 0, gTRCKChildren = 0;
int32_t gINFOSize = 0, gINFOChildren = 0;
int32_t gBEZRSize = 0, gBEZRChildren = 0;
int32_t gSEGMSize = 0, gSEGMChildren = 0;
int32_t gSUPPSize = 0, gSUPPChildren = 0;
int32_t gFUNDSize = 0, gFUNDChildren = 0;
int32_t gRASCSize = 0, gRASCChildren = 0;
int32_t gFRENSize = 0, gFRENChildren = 0;
int32_t gTUBESize = 0, gTUBEChildren = 0;
int32_t gCATWSize = 0, gCATWChildren = 0;
int32_t gSCENSize = 0, gSCENChildren = 0;
int32_t gSCOBSize = 0, gSCOBChildren = 0;
int32_t gTERASize = 0, gTERAChildren = 0;
int32_t gENVCSize = 0, gENVCChildren = 0;

int32_t gTrackStyle = 0;
int32_t gTrainCount = 0;
std::vector<TrainEntry> gTrains(1);
int32_t gCarsPerTrain = 0;
int16_t gRunMode = 0;
int32_t gSpineColor = 0, gRailColor = 0, gTieColor = 0;
int32_t gTrackSupportColor = 0;
int32_t gTrackExtraColors[4] = {};

std::string gTrackInfo;

int32_t gNodeCount = 0;
std::vector<TrackNode> gNodes(1);

bool gClosedCircuit = false;
int32_t gSegmentCount = 0;
std::vector<TrackSegment> gSegments(1);

int32_t gFooterCount = 0;
std::vector<TrackFooter> gFooters(1);

int32_t gRascGroupCount = 0;
std::vector<RascGroup> gRascGroups(1);

int32_t gFreeNodeCount = 0;
std::vector<Vector3> gFreeNodes(1);

int32_t gTubeCount = 0;
std::vector<SupportTube> gTubes(1);

int32_t gCatwalkCount = 0;
std::vector<TrackCatwalk> gCatwalks(1);

int32_t gTreeCount = 0;
std::vector<SceneryTree> gTrees(1);

int32_t gObjectCount = 0;
std::vector<SceneryObject> gObjects(1);

bool gHasTerrain = false;
int32_t gTerrainWidth = 0;
int32_t gTerrainDepth = 0;
float gTerrainSpacingX = 0.0f;
float gTerrainSpacingZ = 0.0f;
std::string gTerrainText1, gTerrainText2, gTerrainText3;
float gTerrainValue1 = 0.0f, gTerrainValue2 = 0.0f, gTerrainValue3 = 0.0f;
uint8_t gTerrainByte = 0;
bool gHasWater = false;
TerrainHeightGrid gTerrainHeights;

std::string gEnvironmentName;
std::string gEnvironmentText2;

ByteBlock gTrackBuffer(1, 0);

void TerrainHeightGrid::Resize(int32_t width, int32_t depth) {
    // A negative side has no points; the spare row and column remain.
    Columns = (width < 0 ? 0 : width) + 1;
    Rows = (depth < 0 ? 0 : depth) + 1;
    Values.assign(static_cast<size_t>(Columns) * static_cast<size_t>(Rows), 0.0f);
}

const char* TrackStyleName(int32_t code) {
    static const char* const kNames[] = {"Steel Looping",
                                         "Corkscrew",
                                         "Inverted (2 Seat)",
                                         "Twisted Steel",
                                         "Inverted (4 Seat)",
                                         "Hyper Coaster (2 Seat)",
                                         "Floorless Twisted Steel",
                                         "Stand-Up Twisted Steel",
                                         "Hyper Coaster (4 Seat)",
                                         "Wooden Coaster (Trailored 2 Seat)",
                                         "Wooden Coaster (Classic 4 Seat)",
                                         "Wooden Coaster (Classic 6 Seat)",
                                         "Wooden Coaster (Trailored 4 Seat)"};
    return code >= 0 && code <= 12 ? kNames[code] : "Unknown";
}

const char* SegmentTypeName(int32_t code) {
    static const char* const kNames[] = {"Normal", "Station", "Lift", "Transport", "Brake"};
    return code >= 0 && code <= 4 ? kNames[code] : "Unknown";
}

const char* PrefabStyleName(int32_t code) {
    static const char* const kNames[] = {"Track Nodes", "",         "Simple",           "Complex",
                                         "Inverted",    "90deg Bank", "Small Inverted", "'A' Shape"};
    return code >= 0 && code <= 7 ? kNames[code] : "Unknown";
}

const char* TubeTypeName(int32_t code) {
    static const char* const kNames[] = {"Medium Tube", "Large Tube",     "Small Tube",      "'L' Beam",
                                         "'H' Beam",    "X-Large Tube",   "XX-Large Tube",   "4 x 4 Wood Beam",
                                         "1 x 4 Wood Beam", "2 x 2 Wood Beam"};
    return code >= 0 && code <= 9 ? kNames[code] : "Unknown";
}

void ClearTrackDocument() {
    ByteBlock(1, 0).swap(gTrackBuffer);  // gives the memory of a whole file back
    gBEZRSize = gBEZRChildren = 0;
    gNodeCount = 0;
    gNodes.assign(1, TrackNode{});
    gCATWSize = gCATWChildren = 0;
    gCatwalkCount = 0;
    gCatwalks.assign(1, TrackCatwalk{});
    gFRENSize = gFRENChildren = 0;
    gFreeNodeCount = 0;
    gFreeNodes.assign(1, Vector3{});
    gFUNDSize = gFUNDChildren = 0;
    gFooterCount = 0;
    gFooters.assign(1, TrackFooter{});
    gINFOSize = gINFOChildren = 0;
    gTrackInfo.clear();
    gFileTotalSize = 0;
    gTopChunkCount = 0;
    for (auto& b : gFileVersion) b = 0;
    gHeaderFlag = 0;
    gRASCSize = gRASCChildren = 0;
    gRascGroupCount = 0;
    gRascGroups.assign(1, RascGroup{});
    gSCENSize = gSCENChildren = 0;
    gTreeCount = 0;
    gTrees.assign(1, SceneryTree{});
    gSCOBSize = gSCOBChildren = 0;
    gObjectCount = 0;
    gObjects.assign(1, SceneryObject{});
    gSEGMSize = gSEGMChildren = 0;
    gSegmentCount = 0;
    gClosedCircuit = false;
    gSegments.assign(1, TrackSegment{});
    gSUPPSize = gSUPPChildren = 0;
    gTERASize = gTERAChildren = 0;
    gTerrainText1.clear();
    gTerrainText2.clear();
    gTerrainText3.clear();
    gTerrainValue1 = gTerrainValue2 = gTerrainValue3 = 0.0f;
    gHasTerrain = false;
    gHasWater = false;
    gTerrainWidth = gTerrainDepth = 0;
    gTerrainSpacingX = gTerrainSpacingZ = 0.0f;
    gTerrainByte = 0;
    gTerrainHeights.Resize(0, 0);
    gTRCKSize = gTRCKChildren = 0;
    gTrackStyle = 0;
    gTrainCount = 0;
    gCarsPerTrain = 0;
    gRunMode = 0;
    gSpineColor = gRailColor = gTieColor = gTrackSupportColor = 0;
    for (auto& c : gTrackExtraColors) c = 0;
    gTrains.assign(1, TrainEntry{});
    gTUBESize = gTUBEChildren = 0;
    gTubeCount = 0;
    gTubes.assign(1, SupportTube{});
    gENVCSize = gENVCChildren = 0;
    gEnvironmentName.clear();
    gEnvironmentText2.clear();
}
