#pragma once
// The open track: every value a .vxtrack file carries, held as program-wide
// state from the moment a file is read until the next one is read. Readers,
// writers, tools and the model builder reach these globals directly.
//
// Record arrays hold count + 1 records after a load (the last one a zero-filled
// spare); after an append they may hold exactly count records. The counts are
// what the rest of the program relies on.
//
// Texts are the program's text (UTF-8), read from and written to the file's
// single bytes through the simulator's code page (platform/code_page.h), so
// all 256 byte values survive a round trip.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/byte_block.h"
#include "trackdoc/math3d.h"

// ---- Code tables ---------------------------------------------------------

enum TrackStyleCodes : int32_t {
    StyleSteelLooping = 0,
    StyleCorkscrew = 1,
    StyleInverted2Seat = 2,
    StyleTwistedSteel = 3,
    StyleInverted4Seat = 4,
    StyleHyper2Seat = 5,
    StyleFloorlessTwistedSteel = 6,
    StyleStandUpTwistedSteel = 7,
    StyleHyper4Seat = 8,
    StyleWoodenTrailored2Seat = 9,
    StyleWoodenClassic4Seat = 10,
    StyleWoodenClassic6Seat = 11,
    StyleWoodenTrailored4Seat = 12,
};

enum SegmentTypeCodes : int32_t {
    SegmentNormal = 0,
    SegmentStation = 1,
    SegmentLift = 2,
    SegmentTransport = 3,
    SegmentBrake = 4,
};

enum PrefabStyleCodes : int32_t {
    PrefabTrackNodes = 0,
    PrefabSimple = 2,
    PrefabComplex = 3,
    PrefabInverted = 4,
    Prefab90degBank = 5,
    PrefabSmallInverted = 6,
    PrefabAShape = 7,
};

enum TubeTypeCodes : int32_t {
    TubeMedium = 0,
    TubeLarge = 1,
    TubeSmall = 2,
    TubeLBeam = 3,
    TubeHBeam = 4,
    TubeXLarge = 5,
    TubeXXLarge = 6,
    TubeWood4x4 = 7,
    TubeWood1x4 = 8,
    TubeWood2x2 = 9,
};

enum TubeEndKinds : int32_t {
    EndFooter = 1,
    EndFreeNode = 2,
    EndPrefabAnchor = 3,
};

// Names shown by reports and dialogs; "Unknown" (or "" for prefab code 1) for
// codes without one.
const char* TrackStyleName(int32_t code);
const char* SegmentTypeName(int32_t code);
const char* PrefabStyleName(int32_t code);
const char* TubeTypeName(int32_t code);
// The order in which dialogs list the tube types: Small, Medium, Large,
// X-Large, XX-Large, 'L', 'H', 4 x 4, 2 x 2, 1 x 4.
inline constexpr std::array<int32_t, 10> kTubeTypeListOrder = {2, 0, 1, 5, 6, 3, 4, 7, 9, 8};

inline bool IsInvertedStyle(int32_t style) { return style == StyleInverted2Seat || style == StyleInverted4Seat; }
inline bool IsWoodenStyle(int32_t style) { return style >= StyleWoodenTrailored2Seat && style <= StyleWoodenTrailored4Seat; }

// ---- Records ------------------------------------------------------------

struct TrainEntry {
    bool Flag = false;
    int32_t Color1 = 0;
    int32_t Color2 = 0;
    int32_t Color3 = 0;
    int32_t Color4 = 0;
    std::string Name;
};

struct TrackNode {
    Vector3 Position;
    Vector3 ControlIn;   // absolute control point towards the previous node
    Vector3 ControlOut;  // absolute control point towards the next node
    float Roll = 0.0f;   // bank in radians
    bool RollEasing = false;
    bool StrictRoll = false;
    bool NodeFlag3 = false;
};

struct StationBlock {
    float WaitTime[4] = {};  // average, minimum, maximum, deviation (s)
    bool Synchronized = false;
    float MainBrakeDecel = 0.0f;
    uint8_t Entrance = 0;  // 0 left, 1 right
    uint8_t NoRoof = 0;
    bool Hidden = false;
    bool PreBrake = false;
    float PreBrakeSpeedLimit = 0.0f;
    float PreBrakeDecel = 0.0f;
    float PreBrakeHysteresis = 0.0f;
    uint8_t StationExtraByte1 = 0;
    uint8_t StationExtraByte2 = 0;
    bool Wheels = false;
    uint8_t StationExtraByte3 = 0;
    float WheelSpeed = 0.0f;
    float WheelAccel = 0.0f;
    float WheelDecel = 0.0f;
    bool StationExtraFlag = false;
    float StationExtraValue = 0.0f;
};

struct LiftBlock {
    float MotorSpeed = 0.0f;
    float MotorAccel = 0.0f;
    float MotorDecel = 0.0f;
    uint8_t LiftStyle = 0;  // 0 chain, 1 wheels
    bool LeftRailing = false;
    bool RightRailing = false;
};

struct TransportBlock {
    float MotorSpeed = 0.0f;
    float MotorAccel = 0.0f;
    float MotorDecel = 0.0f;
    uint8_t TransportStyle = 0;  // 0 drive wheels, 1 L.I.M.
    bool LeftRailing = false;
    bool RightRailing = false;
};

struct BrakeBlock {
    bool BlockSegment = false;
    bool CompleteStop = false;
    float BrakeSpeedLimit = 0.0f;
    float BrakeDecel = 0.0f;
    float BrakeHysteresis = 0.0f;
    bool Wheels = false;
    float WheelSpeed = 0.0f;
    float WheelAccel = 0.0f;
    float WheelDecel = 0.0f;
    float TriggerPosition = 0.0f;
    bool LeftRailing = false;
    bool RightRailing = false;
    uint8_t BrakeExtraByte = 0;
};

// Segment i runs from node i to node i + 1 (the last one back to node 0 on a
// closed circuit). All four type blocks are present; only the one of the
// segment's own type is meaningful and written.
struct TrackSegment {
    int32_t SegmentType = 0;
    int32_t SpineColor = 0;
    int32_t RailColor = 0;
    int32_t TieColor = 0;
    uint8_t SpineStyle = 0;  // 0, 4 or 8
    bool CustomColors = false;
    bool Tunnel = false;
    StationBlock Station;
    LiftBlock Lift;
    TransportBlock Transport;
    BrakeBlock Brake;
};

struct TrackFooter {
    Vector3 Position;
    bool CustomSize = false;
    float Size = 0.0f;
    bool CustomRotation = false;
    float Rotation = 0.0f;
};

struct RascItem {
    int32_t Style = 0;       // PrefabStyleCodes
    float Position = 0.0f;   // fraction 0..1 of the segment's length
};

struct RascGroup {
    int32_t ItemCount = 0;
    std::vector<RascItem> Items;  // ItemCount + 1 after a load, empty while ItemCount is 0
};

struct SupportTube {
    int32_t EndAKind = 0;
    int32_t EndAIndex = 0;
    int32_t EndASegment = 0;
    int32_t EndBKind = 0;
    int32_t EndBIndex = 0;
    int32_t EndBSegment = 0;
    int32_t TubeType = 0;
    int32_t Reserved = 0;
    float Rotation = 0.0f;
};

struct TrackCatwalk {
    int32_t Corner1 = 0;
    int32_t Corner2 = 0;
    int32_t Corner3 = 0;
    int32_t Corner4 = 0;
    int32_t Extra1 = 0;
    int32_t Extra2 = 0;
    int32_t PadLength = 0;
};

struct SceneryTree {
    Vector3 Position;
    float ExtraValue = 0.0f;
    int32_t TreeType = 0;
};

struct SceneryObject {
    std::string FileName;
    std::string ObjectText;
    Matrix4 Transform;
};

// ---- Globals --------------------------------------------------------------

// File header.
extern int32_t gFileTotalSize;
extern int32_t gTopChunkCount;
extern uint8_t gFileVersion[4];
extern uint8_t gHeaderFlag;

// Chunk bookkeeping: each chunk's size field and child count.
extern int32_t gTRCKSize, gTRCKChildren;
extern int32_t gINFOSize, gINFOChildren;
extern int32_t gBEZRSize, gBEZRChildren;
extern int32_t gSEGMSize, gSEGMChildren;
extern int32_t gSUPPSize, gSUPPChildren;
extern int32_t gFUNDSize, gFUNDChildren;
extern int32_t gRASCSize, gRASCChildren;
extern int32_t gFRENSize, gFRENChildren;
extern int32_t gTUBESize, gTUBEChildren;
extern int32_t gCATWSize, gCATWChildren;
extern int32_t gSCENSize, gSCENChildren;
extern int32_t gSCOBSize, gSCOBChildren;
extern int32_t gTERASize, gTERAChildren;
extern int32_t gENVCSize, gENVCChildren;

// Track settings [TRCK].
extern int32_t gTrackStyle;
extern int32_t gTrainCount;
extern std::vector<TrainEntry> gTrains;
extern int32_t gCarsPerTrain;
extern int16_t gRunMode;
extern int32_t gSpineColor, gRailColor, gTieColor;
extern int32_t gTrackSupportColor;
extern int32_t gTrackExtraColors[4];

// Description [INFO].
extern std::string gTrackInfo;

// Nodes [BEZR].
extern int32_t gNodeCount;
extern std::vector<TrackNode> gNodes;

// Segments [SEGM].
extern bool gClosedCircuit;
extern int32_t gSegmentCount;
extern std::vector<TrackSegment> gSegments;

// Footers [FUND].
extern int32_t gFooterCount;
extern std::vector<TrackFooter> gFooters;

// Prefabricated supports [RASC], group i belonging to segment i.
extern int32_t gRascGroupCount;
extern std::vector<RascGroup> gRascGroups;

// Free nodes [FREN].
extern int32_t gFreeNodeCount;
extern std::vector<Vector3> gFreeNodes;

// Support tubes [TUBE].
extern int32_t gTubeCount;
extern std::vector<SupportTube> gTubes;

// Catwalks [CATW].
extern int32_t gCatwalkCount;
extern std::vector<TrackCatwalk> gCatwalks;

// Trees [SCEN].
extern int32_t gTreeCount;
extern std::vector<SceneryTree> gTrees;

// Scenery objects [SCOB].
extern int32_t gObjectCount;
extern std::vector<SceneryObject> gObjects;

// Terrain [TERA]. Heights are indexed (i, j), i along X (0..gTerrainWidth),
// j along Z (0..gTerrainDepth); the last row and column are spare.
struct TerrainHeightGrid {
    int32_t Columns = 1;  // gTerrainWidth + 1
    int32_t Rows = 1;     // gTerrainDepth + 1
    FloatBlock Values = FloatBlock(1, 0.0f);

    // Sizes the grid to (0 To width, 0 To depth), all zero.
    void Resize(int32_t width, int32_t depth);
    float& operator()(int32_t i, int32_t j) { return Values[static_cast<size_t>(j) * Columns + i]; }
    float operator()(int32_t i, int32_t j) const { return Values[static_cast<size_t>(j) * Columns + i]; }
};

extern bool gHasTerrain;
extern int32_t gTerrainWidth;
extern int32_t gTerrainDepth;
extern float gTerrainSpacingX;
extern float gTerrainSpacingZ;
extern std::string gTerrainText1, gTerrainText2, gTerrainText3;
extern float gTerrainValue1, gTerrainValue2, gTerrainValue3;
extern uint8_t gTerrainByte;
extern bool gHasWater;
extern TerrainHeightGrid gTerrainHeights;

// Environment [ENVC].
extern std::string gEnvironmentName;
extern std::string gEnvironmentText2;

// The byte buffer through which whole track and element files pass; a whole
// file is read into it without zero-filling it first.
extern ByteBlock gTrackBuffer;

// Empties the document: every count 0, every array its one spare record.
void ClearTrackDocument();
