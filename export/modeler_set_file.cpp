#include "export/modeler_set_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "core/app_state.h"
#include "core/app_version.h"
#include "core/file_dialogs.h"
#include "core/settings_text.h"
#include "export/modeler_form.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

std::string SingleText(float value) {
    if (value == 0.0f) return "0";  // no "-0"
    char text[32];
    auto r = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 7);
    float back = 0.0f;
    std::from_chars(text, r.ptr, back);
    // The few floats that 7 digits do not tell apart get the digits they need.
    if (back != value) r = std::to_chars(text, text + sizeof text, value, std::chars_format::general);
    return std::string(text, r.ptr);
}

namespace {

std::string Key(int index, const char* name) { return std::to_string(index) + name; }

void WriteSingle(const std::string& key, float value) { IniWriteValue(key, SingleText(value)); }

void WriteTubes(const char* total, const char* prefix, const std::vector<RailSpec>& records, int32_t count) {
    count = std::clamp<int32_t>(count, 0, static_cast<int32_t>(records.size()));
    IniWriteValue(total, std::to_string(count));
    const std::string p(prefix);
    for (int32_t i = 0; i < count; ++i) {
        const RailSpec& r = records[static_cast<size_t>(i)];
        WriteSingle(Key(i, (p + "PosX").c_str()), r.PosX);
        WriteSingle(Key(i, (p + "PosY").c_str()), r.PosY);
        WriteSingle(Key(i, (p + "PosZ").c_str()), r.PosZ);
        WriteSingle(Key(i, (p + "Size").c_str()), r.Size);
        IniWriteValue(Key(i, (p + "Shape").c_str()), std::to_string(r.Shape));
    }
}

// A decimal as it stands; one that no float holds reads as a missing key: 0.
float ReadSingle(const std::string& key) {
    const double v = IniReadFloat(key);
    return std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max()) ? static_cast<float>(v) : 0.0f;
}

int32_t ReadIntClamped(const std::string& key, int32_t lo, int32_t hi) {
    return std::clamp(IniReadInt(key), lo, hi);
}

int16_t ReadInt16(const std::string& key) {
    return static_cast<int16_t>(ReadIntClamped(key, std::numeric_limits<int16_t>::min(),
                                               std::numeric_limits<int16_t>::max()));
}

void ReadTubes(const char* total, const char* prefix, std::vector<RailSpec>& records, int32_t& count,
               int16_t maxShape) {
    count = ReadIntClamped(total, 0, kMaxTubeCount);
    records.resize(static_cast<size_t>(count) + 1);  // with the spare record
    records.back() = RailSpec{};
    const std::string p(prefix);
    for (int32_t i = 0; i < count; ++i) {
        RailSpec& r = records[static_cast<size_t>(i)];
        r.PosX = ReadSingle(Key(i, (p + "PosX").c_str()));
        r.PosY = ReadSingle(Key(i, (p + "PosY").c_str()));
        r.PosZ = ReadSingle(Key(i, (p + "PosZ").c_str()));
        r.Size = ReadSingle(Key(i, (p + "Size").c_str()));
        r.Shape = static_cast<int16_t>(ReadIntClamped(Key(i, (p + "Shape").c_str()), 0, maxShape));
    }
}

// One key of the set's list: whether its value is a number, and whether
// every set holds it (the tube depths are missing from older sets).
struct SetKey {
    std::string Name;
    bool Number = true;
    bool Required = true;
};

// The keys of the set in the order of the file, for the counts the buffer's
// totals give.
std::vector<SetKey> SetKeys() {
    std::vector<SetKey> keys;
    const auto tubes = [&keys](const char* total, const char* prefix) {
        keys.push_back({total});
        const int32_t count = ReadIntClamped(total, 0, kMaxTubeCount);
        const std::string p(prefix);
        for (int32_t i = 0; i < count; ++i)
            for (const char* field : {"PosX", "PosY", "PosZ", "Size", "Shape"})
                keys.push_back({Key(i, (p + field).c_str())});
    };
    tubes("SpineTotal", "S");
    tubes("RailTotal", "R");
    for (int slot = 0; slot < 2; ++slot) {
        keys.push_back({Key(slot, "UseTie"), false});
        keys.push_back({Key(slot, "TieModel"), false});
    }
    keys.push_back({"TieSpacing"});
    keys.push_back({"ToggleTies", false});
    keys.push_back({"ToggleCount1"});
    keys.push_back({"ToggleCount2"});
    keys.push_back({"AltOnBank", false});
    keys.push_back({"AltBank"});
    keys.push_back({"AltOnStart", false});
    for (int slot = 0; slot < kShownTubeScales; ++slot) {
        keys.push_back({Key(slot, "TubeScaleX")});
        keys.push_back({Key(slot, "TubeScaleY")});
        keys.push_back({Key(slot, "TubeScaleZ"), true, false});
    }
    for (const char* key : {"RoundFooters", "UseTerrain", "LowDetailTerrain", "SquareTunnels"})
        keys.push_back({key, false});
    for (const char* key : {"TunnelSoftness", "SpineDetail", "RailDetail"}) keys.push_back({key});
    return keys;
}

std::optional<std::string> ReadValue(const std::string& key) {
    std::string value;
    if (!IniReadVariant(key, value)) return std::nullopt;
    return value;
}

bool IsModelerSet() {
    std::string value;
    return IniReadVariant("RailTotal", value) || IniReadVariant("SpineTotal", value);
}

}  // namespace

std::optional<ModelerSetGap> ModelerSetCutShort() {
    const std::string text = IniGetBuffer();
    const size_t lineEnd = text.rfind('\n');
    const size_t whole = lineEnd == std::string::npos ? 0 : lineEnd + 1;
    const bool endsInsideLine = !TrimControlChars(std::string_view(text).substr(whole)).empty();
    // Only the lines that end count; the key of a line cut off is read from the whole text below.
    IniSetBuffer(std::string_view(text).substr(0, whole));
    const std::vector<SetKey> keys = SetKeys();
    std::vector<std::optional<std::string>> values;
    for (const SetKey& key : keys) values.push_back(ReadValue(key.Name));
    IniSetBuffer(text);
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!values[i]) {
            if (endsInsideLine && ReadValue(keys[i].Name)) return ModelerSetGap{ModelerSetGap::CutInLine, keys[i].Name};
            if (keys[i].Required) return ModelerSetGap{ModelerSetGap::NoLine, keys[i].Name};
        } else if (keys[i].Number && values[i]->empty()) {
            return ModelerSetGap{ModelerSetGap::NoValue, keys[i].Name};
        }
    }
    if (endsInsideLine) return ModelerSetGap{ModelerSetGap::CutInLine, std::string()};
    return std::nullopt;
}

std::optional<std::string> ModelerSetPathOutsideCodePage(const ModelerSettings& set) {
    for (const TieModel& tie : set.gTieModels)
        if (!cp::CanHold(cp::TextFromDiskPath(tie.File))) return cp::TextFromDiskPath(tie.File);
    return std::nullopt;
}

std::string ModelerSetPathOutsideText(const std::string& path) {
    return "Could Not Save the Modeler Set!\n\nThe crosstie file " + path + " holds the character \"" +
           cp::FirstCharacterOutside(path).value_or(std::string()) +
           "\", which a modeler set cannot store: its text is single-byte Western European "
           "(ISO 8859-1), as the simulator's files are. Choose a crosstie file whose path has no such character.";
}

std::string ModelerSetCutShortText(const std::string& path, const ModelerSetGap& gap) {
    std::string what;
    switch (gap.What) {
        case ModelerSetGap::NoLine: what = "has no line for " + gap.Key + ": it may have been cut short"; break;
        case ModelerSetGap::NoValue: what = "has no value for " + gap.Key + ": it may have been cut short"; break;
        case ModelerSetGap::CutInLine:
            what = (gap.Key.empty() ? "ends inside a line" : "ends inside its line for " + gap.Key) +
                   ": it has been cut short";
            break;
    }
    return "Could Not Load the Modeler Set!\n\nThe file " + path + " " + what + ". Nothing was changed.";
}

std::string BuildModelerSetText(const ModelerSettings& set) {
    IniNewBuffer("");
    IniWriteComment("Gantrywright v" + AppVersionText());
    IniWriteComment("Settings of the modeler: rails, spines, crossties, supports, terrain and extras.");
    IniWriteComment("Open it in Modeler > Create Model... with the Open button of the Track Style panel.");
    IniWriteComment("-Moderler Set-");

    IniAddSection("Spines");
    WriteTubes("SpineTotal", "S", set.gSpines, set.gSpineCount);
    IniAddSection("Rails");
    WriteTubes("RailTotal", "R", set.gRails, set.gRailCount);

    IniAddSection("Crossties");
    for (int slot = 0; slot < 2; ++slot) {
        IniWriteBool(Key(slot, "UseTie"), set.gTieModels[static_cast<size_t>(slot)].Use);
        IniWriteValue(Key(slot, "TieModel"), cp::TextFromDiskPath(set.gTieModels[static_cast<size_t>(slot)].File));
    }
    WriteSingle("TieSpacing", set.TieSpacing);
    IniWriteBool("ToggleTies", set.ToggleTies);
    IniWriteValue("ToggleCount1", std::to_string(set.ToggleCount1));
    IniWriteValue("ToggleCount2", std::to_string(set.ToggleCount2));
    IniWriteBool("AltOnBank", set.AltOnBank);
    WriteSingle("AltBank", set.AltBank);
    IniWriteBool("AltOnStart", set.AltOnStart);

    IniAddSection("Supports");
    for (int slot = 0; slot < kShownTubeScales; ++slot) {
        const Vector3& scale = set.TubeScales[static_cast<size_t>(slot)];
        WriteSingle(Key(slot, "TubeScaleX"), scale.X);
        WriteSingle(Key(slot, "TubeScaleY"), scale.Y);
        WriteSingle(Key(slot, "TubeScaleZ"), scale.Z);
    }
    IniWriteBool("RoundFooters", set.RoundFooters);

    IniAddSection("Terrain");
    IniWriteBool("UseTerrain", set.UseTerrain);
    IniWriteBool("LowDetailTerrain", set.LowDetailTerrain);

    IniAddSection("Extras");
    IniWriteBool("SquareTunnels", set.SquareTunnels);
    IniWriteValue("TunnelSoftness", std::to_string(set.TunnelSoftness));
    WriteSingle("SpineDetail", set.SpineDetail);
    WriteSingle("RailDetail", set.RailDetail);
    return IniGetBuffer();
}

bool ReadModelerSetBuffer(ModelerSettings& set) {
    if (!IsModelerSet() || ModelerSetCutShort()) return false;
    std::string value;

    ReadTubes("SpineTotal", "S", set.gSpines, set.gSpineCount, SpineSquare);
    ReadTubes("RailTotal", "R", set.gRails, set.gRailCount, RailWood);

    for (int slot = 0; slot < 2; ++slot) {
        TieModel& tie = set.gTieModels[static_cast<size_t>(slot)];
        tie.Use = IniReadBool(Key(slot, "UseTie"));
        const std::string file = cp::DiskPathOf(IniReadString(Key(slot, "TieModel")));
        if (file != tie.File) tie.TriangleCount = 0;
        tie.File = file;
    }
    set.TieSpacing = ReadSingle("TieSpacing");
    set.ToggleTies = IniReadBool("ToggleTies");
    set.ToggleCount1 = ReadInt16("ToggleCount1");
    set.ToggleCount2 = ReadInt16("ToggleCount2");
    set.AltOnBank = IniReadBool("AltOnBank");
    set.AltBank = ReadSingle("AltBank");
    set.AltOnStart = IniReadBool("AltOnStart");

    for (int slot = 0; slot < kShownTubeScales; ++slot) {
        Vector3& scale = set.TubeScales[static_cast<size_t>(slot)];
        scale.X = ReadSingle(Key(slot, "TubeScaleX"));
        scale.Y = ReadSingle(Key(slot, "TubeScaleY"));  // kept for the file's sake; no builder reads it
        if (IniReadVariant(Key(slot, "TubeScaleZ"), value)) scale.Z = ReadSingle(Key(slot, "TubeScaleZ"));
    }
    set.RoundFooters = IniReadBool("RoundFooters");
    set.UseTerrain = IniReadBool("UseTerrain");
    set.LowDetailTerrain = IniReadBool("LowDetailTerrain");
    set.SquareTunnels = IniReadBool("SquareTunnels");
    set.TunnelSoftness = IniReadInt("TunnelSoftness");
    set.SpineDetail = ReadSingle("SpineDetail");
    set.RailDetail = ReadSingle("RailDetail");
    return true;
}

bool WriteModelerSetFile(const std::string& path, const ModelerSettings& set) {
    // The file is single-byte text of the simulator's code page.
    const auto bytes = cp::BytesFromText(BuildModelerSetText(set));
    if (!bytes) return false;
    IniSetBuffer(*bytes);
    return IniSaveFile(path, fsys::kModelerSetFile);
}

bool LoadModelerSetFile(const std::string& path) {
    if (!IniLoadFile(path, fsys::kModelerSetFile)) return false;
    IniSetBuffer(cp::TextFromBytes(IniGetBuffer()));
    return true;
}

bool ReadModelerSetFile(const std::string& path, ModelerSettings& set) {
    return LoadModelerSetFile(path) && ReadModelerSetBuffer(set);
}

void SaveModelerSet(const ModelerSettings& set, void* owner) {
    if (const auto path = ModelerSetPathOutsideCodePage(set)) {
        MsgBox(ModelerSetPathOutsideText(*path), kModelerSetErrorTitle, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    std::string fileName, fileTitle;
    int32_t filterIndex = 1, flags = 0;
    if (!ShowSaveFileDialog(fileName, fileTitle, true, kModelerSetFilter, filterIndex, gSaveDir,
                            kSaveModelerSetTitle, kModelerSetExt, owner, flags))
        return;
    errno = 0;
    if (!WriteModelerSetFile(fileName, set)) {
        const std::string reason = fsys::WriteFailureReason(errno);
        MsgBox("Could Not Save the Modeler Set!\n\nThe file " + fileName + " could not be written." +
                   (reason.empty() ? "" : " " + reason),
               kModelerSetErrorTitle, MsgButtons::OK, MsgIcon::Exclamation);
    }
}

bool OpenModelerSet(ModelerSettings& set, void* owner) {
    std::string fileName, fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (!ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, kModelerSetFilter, filterIndex, gOpenDir,
                            kOpenModelerSetTitle, kModelerSetExt, owner, flags))
        return false;
    errno = 0;
    if (!LoadModelerSetFile(fileName)) {
        const std::string reason = fsys::ReadFailureReason(errno, fsys::kModelerSetFile);
        MsgBox("Could Not Load the Modeler Set!\n\nThe file " + fileName + " could not be read." +
                   (reason.empty() ? "" : " " + reason),
               kModelerSetErrorTitle, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    if (!IsModelerSet()) {
        MsgBox("Could Not Load the Modeler Set!\n\nThe file " + fileName + " is not a modeler set.",
               kModelerSetErrorTitle, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    if (const auto gap = ModelerSetCutShort()) {
        MsgBox(ModelerSetCutShortText(fileName, *gap), kModelerSetErrorTitle, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    return ReadModelerSetBuffer(set);
}
