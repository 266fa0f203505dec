#pragma once
// The model settings: which rails and spine tubes run along the track and where,
// which crosstie models are placed and how often, the support tube sizes, the
// terrain switches, the ring spacing of rails and spines and the tunnel look.
// One instance, gModelSettings, is read by every mesh builder; the modeler
// dialog edits a copy of it (a ModelerSettings as well) and writes it back.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"

// One rail or spine tube, in metres in the path frame (X across, Y up).
struct RailSpec {
    float PosX = 0.0f;
    float PosY = 0.0f;
    float PosZ = 0.0f;  // kept and edited, but no sweep reads it
    float Size = 0.0f;
    int16_t Shape = 0;  // rails: 0 Round, 1 Square, 2 Wood; spines: 0 Round, 1 Square
};

enum RailShapes : int16_t { RailRound = 0, RailSquare = 1, RailWood = 2 };
enum SpineShapes : int16_t { SpineRound = 0, SpineSquare = 1 };

// One crosstie triangle in the tie's own coordinates: +X across to the right,
// +Y up, -Z along the direction of travel.
struct TieTriangle {
    Vector3 V1, V2, V3;
};

// One crosstie slot: 0 primary, 1 secondary.
struct TieModel {
    bool Use = false;
    std::string File;                                // full path of the .fcobject file
    std::vector<TieTriangle> Triangles = std::vector<TieTriangle>(1);  // 0 .. TriangleCount - 1 valid
    int32_t TriangleCount = 0;
};

struct ModelerSettings {
    std::vector<RailSpec> gRails = std::vector<RailSpec>(1);   // 0 .. gRailCount - 1, one spare
    int32_t gRailCount = 0;                                      // 0 to 32
    std::vector<RailSpec> gSpines = std::vector<RailSpec>(1);  // 0 .. gSpineCount - 1, one spare
    int32_t gSpineCount = 0;                                     // 0 to 32
    std::array<TieModel, 2> gTieModels;
    float TieSpacing = 0.0f;    // metres between crossties, 0.1 to 10
    bool ToggleTies = false;    // alternate primary and secondary ties in runs
    int16_t ToggleCount1 = 0;   // primary ties per run, 1 to 50
    int16_t ToggleCount2 = 0;   // secondary ties per run, 1 to 50
    bool AltOnBank = false;     // secondary tie where the bank reaches AltBank
    float AltBank = 0.0f;       // degrees, 0.1 to 179.9
    bool AltOnStart = false;    // the first tie of a segment is secondary
    bool RoundFooters = false;
    std::array<Vector3, 11> TubeScales{};  // X across, Z the other way; slot 10 is never set
    bool UseTerrain = false;
    bool LowDetailTerrain = false;
    float RailDetail = 0.5f;    // metres between rail rings, 0.1 to 3.0
    float SpineDetail = 1.0f;   // metres between spine rings, 0.1 to 3.0
    int32_t SupportColor = 0;
    int32_t TunnelSoftness = 0;  // points of the round tunnel profile, 8 to 64
    int32_t TunnelColor = 0;
    bool SquareTunnels = false;
};

// The settings in use. At start-up only RailDetail (0.5) and SpineDetail (1.0)
// have values; the presets of the document's style fill the rest.
extern ModelerSettings gModelSettings;

// TubeScales slots.
enum TubeScaleSlots : int {
    ScaleSmallTube = 0,
    ScaleMediumTube = 1,
    ScaleLargeTube = 2,
    ScaleXLargeTube = 3,
    ScaleXXLargeTube = 4,
    ScaleLBeam = 5,
    ScaleHBeam = 6,
    ScaleWood4x4 = 7,
    ScaleWood1x4 = 8,
    ScaleWood2x2 = 9,
};

// The ranges the modeler dialog keeps. The builders clamp the spacings they
// use into these ranges, so a settings set without a key (which reads 0) can
// neither loop forever nor ask for millions of rings.
inline constexpr float kDetailMin = 0.1f, kDetailMax = 3.0f;         // RailDetail, SpineDetail
inline constexpr float kTieSpacingMin = 0.1f, kTieSpacingMax = 10.0f;  // TieSpacing
inline constexpr int32_t kTunnelSoftnessMin = 8, kTunnelSoftnessMax = 64;
// value inside [lo, hi]; NaN gives lo.
float ClampSetting(float value, float lo, float hi);

// The full path of a file in the program's folder, from a name as the presets
// write it ("\vxtmTie00.fcobject"): gAppPath without its closing separator,
// then the name with the platform's separator.
std::string AppFolderFile(const std::string& presetName);

// The crosstie object files of the presets, in the order of the preset table.
inline constexpr std::array<const char*, 10> kCrosstieFileNames = {
    "vxtmTie00.fcobject",  "vxtmTie01.fcobject",  "vxtmTie02.fcobject",  "vxtmTie03.fcobject",
    "vxtmTie03b.fcobject", "vxtmTie04.fcobject",  "vxtmTie04b.fcobject", "vxtmTie05a.fcobject",
    "vxtmTie05b.fcobject", "vxtmTie06.fcobject",
};

// The preset table of the track styles, applied to any settings record (the
// settings in use or the modeler dialog's working copy): footers square and
// tunnels round, then, for a style of 0 to 12, its rails, spines, crosstie
// slots (triangles dropped, so the builder reads the files again) and crosstie
// rules, with round footers and square tunnels for the wooden styles. False,
// and nothing but the footer and tunnel shapes changed, for any other style.
bool ApplyStylePreset(ModelerSettings& settings, int style);

// Fills the rails, spines, crosstie slots and crosstie rules from the preset of
// track style 0 to 12 (any other style keeps them), sets the footer and tunnel
// shapes of the style and, unless keepExtras, the detail, terrain, tube scales,
// tunnel softness and colours. Sets gPresetsLoaded.
void ApplyTrackStylePresets(int style, bool keepExtras);
// The same on another settings record (the build's frozen copy); gPresetsLoaded untouched.
void ApplyTrackStylePresetsTo(ModelerSettings& settings, int style, bool keepExtras);
