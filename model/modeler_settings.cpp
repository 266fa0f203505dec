#include "model/modeler_settings.h"

#include <cmath>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "trackdoc/track_document.h"

ModelerSettings gModelSettings;

float ClampSetting(float value, float lo, float hi) {
    if (!(value >= lo)) return lo;  // also NaN
    if (value > hi) return hi;
    return value;
}

std::string AppFolderFile(const std::string& presetName) {
    std::string folder = gAppPath;
    while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    std::string name = presetName;
    for (char& c : name)
        if (c == '\\') c = '/';
    if (name.empty() || name.front() != '/') name.insert(name.begin(), '/');
    return folder + name;
}

namespace {

struct StylePreset {
    float RailX;
    float RailSize;
    int16_t RailShape;
    bool HasSpine;
    float SpineY;
    float SpineSize;
    int16_t SpineShape;
    const char* Tie0;
    const char* Tie1;  // nullptr: no secondary tie
    float TieSpacing;
    bool ToggleTies;
    int16_t Toggle1, Toggle2;
    bool Wooden;  // round footers, square tunnels
};

constexpr StylePreset kSteelLooping{0.5f, 0.07f, RailRound, true, -0.3f, 0.2f, SpineRound,
                                    "\\vxtmTie00.fcobject", nullptr, 1.5f, false, 0, 0, false};
constexpr StylePreset kCorkscrew{0.6f, 0.07f, RailRound, true, -0.85f, 0.2f, SpineRound,
                                 "\\vxtmTie01.fcobject", nullptr, 1.5f, false, 0, 0, false};
constexpr StylePreset kInverted2{0.6f, 0.07f, RailRound, true, 0.85f, 0.2f, SpineRound,
                                 "\\vxtmTie02.fcobject", nullptr, 1.5f, false, 0, 0, false};
constexpr StylePreset kTwisted{0.6f, 0.07f, RailRound, true, -0.5f, 0.3f, SpineSquare,
                               "\\vxtmTie03.fcobject", "\\vxtmTie03b.fcobject", 1.5f, true, 6, 1, false};
constexpr StylePreset kInverted4{0.6f, 0.07f, RailRound, true, 0.5f, 0.3f, SpineSquare,
                                 "\\vxtmTie04.fcobject", "\\vxtmTie04b.fcobject", 1.5f, true, 6, 1, false};
constexpr StylePreset kHyper2{0.5f, 0.07f, RailRound, true, -1.0f, 0.07f, SpineRound,
                              "\\vxtmTie05a.fcobject", "\\vxtmTie05b.fcobject", 1.0f, true, 1, 1, false};
constexpr StylePreset kWooden{0.6f, 1.0f, RailWood, false, 0.0f, 0.0f, SpineRound,
                              "\\vxtmTie06.fcobject", nullptr, 0.5f, false, 0, 0, true};

const StylePreset* PresetOf(int style) {
    switch (style) {
        case 0: return &kSteelLooping;
        case 1: return &kCorkscrew;
        case 2: return &kInverted2;
        case 3:
        case 6:
        case 7:
        case 8: return &kTwisted;
        case 4: return &kInverted4;
        case 5: return &kHyper2;
        case 9:
        case 10:
        case 11:
        case 12: return &kWooden;
        default: return nullptr;
    }
}

void SetTieSlot(TieModel& slot, const char* name) {
    slot.Use = name != nullptr;
    slot.File = name ? AppFolderFile(name) : std::string();
    slot.TriangleCount = 0;
}

}  // namespace

bool ApplyStylePreset(ModelerSettings& m, int style) {
    m.RoundFooters = false;
    m.SquareTunnels = false;
    const StylePreset* p = PresetOf(style);
    if (!p) return false;
    m.gRailCount = 2;
    m.gRails.assign(3, RailSpec{});
    m.gRails[0] = RailSpec{-p->RailX, 0.0f, 0.0f, p->RailSize, p->RailShape};
    m.gRails[1] = RailSpec{p->RailX, 0.0f, 0.0f, p->RailSize, p->RailShape};
    if (p->HasSpine) {
        m.gSpineCount = 1;
        m.gSpines.assign(2, RailSpec{});
        m.gSpines[0] = RailSpec{0.0f, p->SpineY, 0.0f, p->SpineSize, p->SpineShape};
    } else {
        m.gSpineCount = 0;
        m.gSpines.assign(1, RailSpec{});
    }
    SetTieSlot(m.gTieModels[0], p->Tie0);
    SetTieSlot(m.gTieModels[1], p->Tie1);
    m.TieSpacing = p->TieSpacing;
    m.ToggleTies = p->ToggleTies;
    m.ToggleCount1 = p->Toggle1;
    m.ToggleCount2 = p->Toggle2;
    m.AltOnBank = false;
    m.AltBank = 0.0f;
    m.AltOnStart = false;
    m.RoundFooters = p->Wooden;
    m.SquareTunnels = p->Wooden;
    return true;
}

void ApplyTrackStylePresets(int style, bool keepExtras) {
    ApplyTrackStylePresetsTo(gModelSettings, style, keepExtras);
    gPresetsLoaded = true;
}

void ApplyTrackStylePresetsTo(ModelerSettings& m, int style, bool keepExtras) {
    ApplyStylePreset(m, style);

    if (!keepExtras) {
        m.UseTerrain = true;
        m.LowDetailTerrain = false;
        m.RailDetail = 0.5f;
        m.SpineDetail = 1.0f;
        m.TunnelSoftness = 8;
        static constexpr float kScaleX[10] = {0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.1f, 0.12f, 0.15f, 0.15f, 0.075f};
        static constexpr float kScaleZ[10] = {0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.1f, 0.1f, 0.15f, 0.025f, 0.075f};
        for (int i = 0; i < 10; ++i) m.TubeScales[i] = Vector3{kScaleX[i], 0.0f, kScaleZ[i]};
        const int32_t color = gDocumentType == DocumentTrack ? gTrackSupportColor : 0xFFFFFF;
        m.SupportColor = color;
        m.TunnelColor = color;
    }
}
