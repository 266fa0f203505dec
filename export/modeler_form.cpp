#include "export/modeler_form.h"

#include <algorithm>
#include <cmath>

#include "core/input_checks.h"
#include "core/number_formats.h"
#include "model/rebuild_flags.h"

void FlagTrackRemodel() {
    gRemodelFlags.RebuildTrack = true;
    gRemodelFlags.RebuildTubes = true;
    gRemodelFlags.RebuildPrefabs = true;
}

void FlagSupportRemodel() {
    gRemodelFlags.RebuildTubes = true;
    gRemodelFlags.RebuildFooters = true;
    gRemodelFlags.RebuildPrefabs = true;
}

std::string TubeEntryText(TubeList list, int index) {
    std::string digits = std::to_string(index);
    if (digits.size() < 2) digits.insert(digits.begin(), '0');
    return (list == TubeList::Rails ? "Rail Model " : "Spine Model ") + digits;
}

CrosstieEnabling CrosstiePageEnabling(bool usePrimary, bool useAlternate, bool toggleTies, bool altOnBank) {
    CrosstieEnabling e;
    e.PrimaryModel = usePrimary;
    e.AlternateUse = usePrimary;
    e.UntickAlternate = !usePrimary;
    const bool alternate = usePrimary && useAlternate;
    e.AlternateModel = alternate;
    e.Extras = alternate;
    e.Toggle = alternate && toggleTies;
    e.Bank = alternate && altOnBank;
    return e;
}

namespace {

// The box's value when its whole text is one number in the rule's range.
bool InRange(std::string_view text, const uc::NumericBoxRule& rule, double& value) {
    return uc::NumericTextValue(text, rule, value);
}

float& Axis(RailSpec& r, int axis) { return axis == 0 ? r.PosX : (axis == 1 ? r.PosY : r.PosZ); }

}  // namespace

ModelerForm::ModelerForm() : mCopy(gModelSettings) {
    mCopy.gRails.resize(static_cast<size_t>(std::clamp(mCopy.gRailCount, 0, kMaxTubeCount)));
    mCopy.gSpines.resize(static_cast<size_t>(std::clamp(mCopy.gSpineCount, 0, kMaxTubeCount)));
    mCopy.gRailCount = static_cast<int32_t>(mCopy.gRails.size());
    mCopy.gSpineCount = static_cast<int32_t>(mCopy.gSpines.size());
    for (TieModel& slot : mCopy.gTieModels) {
        slot.Triangles.clear();
        slot.TriangleCount = 0;
    }
    // The alternate without the primary shows unticked: so it is held.
    mCopy.gTieModels[1].Use = mCopy.gTieModels[1].Use && mCopy.gTieModels[0].Use;
}

std::vector<RailSpec>& ModelerForm::List(TubeList list) {
    return list == TubeList::Rails ? mCopy.gRails : mCopy.gSpines;
}
const std::vector<RailSpec>& ModelerForm::List(TubeList list) const {
    return list == TubeList::Rails ? mCopy.gRails : mCopy.gSpines;
}
int32_t& ModelerForm::CountRef(TubeList list) {
    return list == TubeList::Rails ? mCopy.gRailCount : mCopy.gSpineCount;
}
int32_t ModelerForm::Count(TubeList list) const {
    return list == TubeList::Rails ? mCopy.gRailCount : mCopy.gSpineCount;
}

const RailSpec* ModelerForm::Record(TubeList list, int index) const {
    if (index < 0 || index >= Count(list) || index >= static_cast<int>(List(list).size())) return nullptr;
    return &List(list)[static_cast<size_t>(index)];
}

bool ModelerForm::EditCount(TubeList list, std::string_view text) {
    double value = 0;
    if (!InRange(text, kCountRule, value)) return false;
    const int32_t count = static_cast<int32_t>(std::nearbyint(value));
    std::vector<RailSpec>& records = List(list);
    if (count != Count(list)) {
        if (records.size() < static_cast<size_t>(count)) records.resize(static_cast<size_t>(count));
        CountRef(list) = count;
        for (int32_t i = 0; i < count; ++i)
            if (!(records[static_cast<size_t>(i)].Size >= 0.01f)) records[static_cast<size_t>(i)].Size = 0.01f;
    }
    FlagTrackRemodel();
    return true;
}

bool ModelerForm::EditPosition(TubeList list, int selected, int axis, std::string_view text) {
    double value = 0;
    if (axis < 0 || axis > 2 || !InRange(text, kPositionRule, value)) return false;
    if (Record(list, selected)) Axis(List(list)[static_cast<size_t>(selected)], axis) = static_cast<float>(value);
    FlagTrackRemodel();
    return true;
}

bool ModelerForm::EditSize(TubeList list, int selected, std::string_view text) {
    double value = 0;
    if (!InRange(text, kSizeRule, value)) return false;
    if (Record(list, selected)) List(list)[static_cast<size_t>(selected)].Size = static_cast<float>(value);
    FlagTrackRemodel();
    return true;
}

void ModelerForm::SetShape(TubeList list, int selected, int16_t shape) {
    if (Record(list, selected)) List(list)[static_cast<size_t>(selected)].Shape = shape;
    FlagTrackRemodel();
}

bool ModelerForm::EditDetail(TubeList list, std::string_view text) {
    double value = 0;
    if (!InRange(text, kDetailRule, value)) return false;
    (list == TubeList::Rails ? mCopy.RailDetail : mCopy.SpineDetail) = static_cast<float>(value);
    gRemodelFlags.RebuildPath = true;
    gRemodelFlags.RebuildTrack = true;
    gRemodelFlags.RebuildTunnels = true;
    return true;
}

void ModelerForm::SetTieUse(bool usePrimary, bool useAlternate) {
    useAlternate = useAlternate && usePrimary;
    if (mCopy.gTieModels[0].Use == usePrimary && mCopy.gTieModels[1].Use == useAlternate) return;
    mCopy.gTieModels[0].Use = usePrimary;
    mCopy.gTieModels[1].Use = useAlternate;
    FlagTrackRemodel();
}

void ModelerForm::SetTieOptions(bool toggleTies, bool altOnBank, bool altOnStart) {
    if (mCopy.ToggleTies == toggleTies && mCopy.AltOnBank == altOnBank && mCopy.AltOnStart == altOnStart) return;
    mCopy.ToggleTies = toggleTies;
    mCopy.AltOnBank = altOnBank;
    mCopy.AltOnStart = altOnStart;
    FlagTrackRemodel();
}

void ModelerForm::EditTieModel(int slot, std::string_view text) {
    if (slot < 0 || slot > 1) return;
    mCopy.gTieModels[static_cast<size_t>(slot)].File.assign(text);
    FlagTrackRemodel();
}

bool ModelerForm::EditTieSpacing(std::string_view text) {
    double value = 0;
    if (!InRange(text, kTieSpacingRule, value)) return false;
    mCopy.TieSpacing = static_cast<float>(value);
    FlagTrackRemodel();
    return true;
}

bool ModelerForm::EditTieToggle(int index, std::string_view text) {
    double value = 0;
    if (index < 0 || index > 1 || !InRange(text, kTieToggleRule, value)) return false;
    (index == 0 ? mCopy.ToggleCount1 : mCopy.ToggleCount2) = static_cast<int16_t>(std::nearbyint(value));
    FlagTrackRemodel();
    return true;
}

bool ModelerForm::EditTieBank(std::string_view text) {
    double value = 0;
    if (!InRange(text, kTieBankRule, value)) return false;
    mCopy.AltBank = static_cast<float>(value);
    FlagTrackRemodel();
    return true;
}

bool ModelerForm::EditTubeScale(int slot, int axis, std::string_view text) {
    double value = 0;
    if (slot < 0 || slot >= kShownTubeScales || (axis != 0 && axis != 2) || !InRange(text, kTubeScaleRule, value))
        return false;
    Vector3& scale = mCopy.TubeScales[static_cast<size_t>(slot)];
    (axis == 0 ? scale.X : scale.Z) = static_cast<float>(value);
    FlagSupportRemodel();
    return true;
}

void ModelerForm::SetRoundFooters(bool round) {
    mCopy.RoundFooters = round;
    FlagSupportRemodel();
}

void ModelerForm::SetSupportColor(int32_t color) {
    mCopy.SupportColor = color;
    FlagSupportRemodel();
    gRemodelFlags.Recolor = true;
}

void ModelerForm::SetTerrain(bool useTerrain, bool lowDetail) {
    mCopy.UseTerrain = useTerrain;
    mCopy.LowDetailTerrain = lowDetail;
    gRemodelFlags.RebuildGround = true;
}

bool ModelerForm::EditTunnelSoftness(std::string_view text) {
    double value = 0;
    if (!InRange(text, kSoftnessRule, value)) return false;
    mCopy.TunnelSoftness = static_cast<int32_t>(std::nearbyint(value));
    gRemodelFlags.RebuildTunnels = true;
    return true;
}

void ModelerForm::SetTunnelColor(int32_t color) {
    mCopy.TunnelColor = color;
    gRemodelFlags.RebuildTunnels = true;
    gRemodelFlags.Recolor = true;
}

void ModelerForm::SetSquareTunnels(bool square) {
    mCopy.SquareTunnels = square;
    gRemodelFlags.RebuildTunnels = true;
}

void ModelerForm::LoadTrackStylePreset(int style) {
    const bool roundFooters = mCopy.RoundFooters, squareTunnels = mCopy.SquareTunnels;
    ApplyStylePreset(mCopy, style);
    for (TieModel& slot : mCopy.gTieModels) slot.Triangles.clear();
    FlagTrackRemodel();
    if (mCopy.RoundFooters != roundFooters) FlagSupportRemodel();
    if (mCopy.SquareTunnels != squareTunnels) gRemodelFlags.RebuildTunnels = true;
}

void ModelerForm::SetLoaded() {
    mCopy.gTieModels[1].Use = mCopy.gTieModels[1].Use && mCopy.gTieModels[0].Use;
    SetAllRemodelFlags();
}

void ModelerForm::Apply() const {
    ModelerSettings& m = gModelSettings;
    auto copyList = [](std::vector<RailSpec>& to, int32_t& toCount, const std::vector<RailSpec>& from,
                       int32_t count) {
        count = std::clamp<int32_t>(count, 0, static_cast<int32_t>(from.size()));
        to.assign(from.begin(), from.begin() + count);
        to.emplace_back();  // the spare record
        toCount = count;
    };
    copyList(m.gRails, m.gRailCount, mCopy.gRails, mCopy.gRailCount);
    copyList(m.gSpines, m.gSpineCount, mCopy.gSpines, mCopy.gSpineCount);
    for (size_t i = 0; i < m.gTieModels.size(); ++i) {
        TieModel& to = m.gTieModels[i];
        const TieModel& from = mCopy.gTieModels[i];
        // A slot taken up or dropped (the alternate held to the primary at
        // the opening) shows at once, as an edit of the box would.
        if (to.Use != from.Use || to.File != from.File) FlagTrackRemodel();
        to.Triangles.assign(1, TieTriangle{});  // the spare record
        to.TriangleCount = 0;
        to.Use = from.Use;
        to.File = from.File;
    }
    m.TieSpacing = mCopy.TieSpacing;
    m.ToggleTies = mCopy.ToggleTies;
    m.ToggleCount1 = mCopy.ToggleCount1;
    m.ToggleCount2 = mCopy.ToggleCount2;
    m.AltOnBank = mCopy.AltOnBank;
    m.AltBank = mCopy.AltBank;
    m.AltOnStart = mCopy.AltOnStart;
    m.RoundFooters = mCopy.RoundFooters;
    m.TubeScales = mCopy.TubeScales;
    m.UseTerrain = mCopy.UseTerrain;
    m.LowDetailTerrain = mCopy.LowDetailTerrain;
    m.RailDetail = mCopy.RailDetail;
    m.SpineDetail = mCopy.SpineDetail;
    m.SupportColor = mCopy.SupportColor;
    m.TunnelSoftness = mCopy.TunnelSoftness;
    m.TunnelColor = mCopy.TunnelColor;
    m.SquareTunnels = mCopy.SquareTunnels;
}

void ModelerForm::ApplyFormSettings() const { Apply(); }

void ModelerForm::ForceRemodelAll() const {
    Apply();
    SetAllRemodelFlags();
    gTrackModelValid = false;
    gPresetsLoaded = true;
}

void CancelModelerForm() { ClearRemodelFlags(); }
