#include "simulator/environment_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <locale.h>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app_state.h"
#include "core/app_version.h"
#include "core/number_formats.h"
#include "core/settings_text.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/stored_paths.h"
#include "simulator/held_folder.h"
#include "trackdoc/file_buffer.h"

EnvironmentValues gEnvironment;

namespace {

std::function<std::tm()> gClock;

std::tm SystemClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

const char* const kSkyboxKeys[6] = {"sim.skyboxfront.texture.path", "sim.skyboxback.texture.path",
                                    "sim.skyboxleft.texture.path",  "sim.skyboxright.texture.path",
                                    "sim.skyboxup.texture.path",    "sim.skyboxdown.texture.path"};
const char* const kStationKeys[9] = {
    "sim.operatorspanel.texture.path", "sim.stationside.texture.path",        "sim.stationfloor.texture.path",
    "sim.stationtrack.texture.path",   "sim.stationrailing.texture.path",     "sim.stationtop.texture.path",
    "sim.stationtopside.texture.path", "sim.stationwaitrailing.texture.path", "sim.stationwaitgate.texture.path"};
const char* const kTrackKeys[8] = {"sim.chain.texture.path",    "sim.antiroll.texture.path",
                                   "sim.chainwheel.texture.path", "sim.trwheel.texture.path",
                                   "sim.lim.texture.path",      "sim.platform.texture.path",
                                   "sim.railingfloor.texture.path", "sim.railing.texture.path"};
const char* const kWoodKeys[11] = {"sim.woody.beams.texture.path",
                                   "sim.woody.catwalks.texture.path",
                                   "sim.supports.roundfooter.texture.path",
                                   "sim.woody.rail.texture.path",
                                   "sim.woody.tie.texture.path",
                                   "sim.ptcbrake.texture.path",
                                   "sim.vertwheel.texture.path",
                                   "sim.woody.tunnel.entry1.texture.path",
                                   "sim.woody.tunnel.side1.texture.path",
                                   "sim.woody.tunnel.entry1inside.texture.path",
                                   "sim.woody.tunnel.side1inside.texture.path"};

std::string ReplaceCommas(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

// Appends key=value; every "," of the line becomes "." as the simulator reads it.
void WriteKey(std::string_view key, std::string_view value) {
    std::string line(key);
    line.push_back('=');
    line.append(value);
    IniWriteLine(ReplaceCommas(std::move(line)));
}

// Appends key=value with the value exactly as it is, commas included: a value
// the writer keeps is written back as it was read.
void WriteKeyAsIs(std::string_view key, std::string_view value) {
    std::string line(key);
    line.push_back('=');
    line.append(value);
    IniWriteLine(line);
}

// A whole number of 1 / 10^decimals as "0.0" with at most `decimals` decimals
// and at least one: 100 at 4 decimals gives "0.01", 0 gives "0.0".
std::string ScaledText(int64_t units, int decimals) {
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const bool negative = units < 0;
    const int64_t magnitude = negative ? -units : units;
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<size_t>(decimals) - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
    return (negative ? "-" : "") + std::to_string(magnitude / scale) + "." + fraction;
}

// True when the text starts with a number (blanks, an optional sign, then a
// digit or "." and a digit).
bool StartsWithNumber(std::string_view text) {
    size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) ++p;
    if (p < text.size() && text[p] == '.') ++p;
    return p < text.size() && text[p] >= '0' && text[p] <= '9';
}

std::optional<bool> SwitchValue(std::string_view value) {
    if (fsys::EqualsIgnoringAsciiCase(value, "true")) return true;
    if (fsys::EqualsIgnoringAsciiCase(value, "false")) return false;
    if (StartsWithNumber(value)) return ParseLeadingNumber(value) != 0.0;
    return std::nullopt;
}

std::optional<std::string> ReadKey(std::string_view key) {
    std::string value;
    if (!IniReadVariant(key, value)) return std::nullopt;
    return value;
}

// A switch: unchanged when the key is missing or holds neither a boolean word nor a number.
void ReadSwitch(std::string_view key, bool& target) {
    if (const auto value = ReadKey(key))
        if (const auto on = SwitchValue(*value)) target = *on;
}

// True when all three channels were found (and the colour taken).
bool ReadColor(std::string_view prefix, int32_t& target) {
    const std::string p(prefix);
    const auto red = ReadKey(p + ".red");
    if (!red) return false;
    const auto green = ReadKey(p + ".green");
    if (!green) return false;
    const auto blue = ReadKey(p + ".blue");
    if (!blue) return false;
    target = ColorFromUnitRGB(EnvValueToSingle(*red), EnvValueToSingle(*green), EnvValueToSingle(*blue));
    return true;
}

// A number capped at `max` and scaled to its slider, to the nearest step; a
// value below 0 reads as 0, and one that is no number leaves the slider alone.
void ReadScaled(std::string_view key, double max, double scale, int32_t& slider) {
    const auto value = ReadKey(key);
    if (!value || !StartsWithNumber(*value)) return;
    double v = ParseLeadingNumber(*value);
    if (v > max) v = max;
    if (v < 0.0) v = 0.0;
    slider = static_cast<int32_t>(std::nearbyint(v * scale));
}

void ReadSunAngle(std::string_view key, int32_t& slider) {
    const auto value = ReadKey(key);
    if (!value) return;
    // Held to a range a float keeps; anything that far out ends at a limit anyway.
    float angle = static_cast<float>(std::clamp(ParseLeadingNumber(*value), -1e6, 1e6));
    if (angle > 180.0f) angle -= 360.0f;
    if (angle < -180.0f) angle += 360.0f;
    if (angle > 180.0f) angle = 180.0f;
    if (angle < -180.0f) angle = -180.0f;
    slider = static_cast<int32_t>(std::nearbyint(angle * 80.0f + 14400.0f));
}

void ReadTexture(std::string_view key, std::string& target) {
    if (const auto value = ReadKey(key)) target = *value;
}

// The header's date in the English names of the "C" locale.
std::string EnglishDateText(const std::tm& time) {
    const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (c == static_cast<locale_t>(nullptr)) return std::string();
    char text[256];
    const size_t n = strftime_l(text, sizeof text, "%A, %B %d, %Y - %I:%M.%S %p", &time, c);
    freelocale(c);
    return std::string(text, n);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLowerText(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

constexpr int kMostNumberedCopies = 10000;

// Every key the reader takes and the writer writes, in lower case.
const std::set<std::string>& EditorKeys() {
    static const std::set<std::string> keys = [] {
        std::vector<std::string> all = {
            "sim.ground.visible", "sim.ground.texture.path", "sim.background.texture.enabled",
            "sim.background.texture.path", "sim.fog.enabled", "sim.fog.density", "sim.background.trees.enabled",
            "sim.shadows.visible", "sim.clouds.enabled", "sim.clouds.visible", "sim.clouds.texture.path",
            "sim.sun.visible", "sim.sun.texture.path", "sim.sun.pos.alpha", "sim.sun.pos.beta", "sim.flares.visible",
            "sim.stationrafters.enabled", "sim.stationrafters.texture.path"};
        for (const char* colour : {"sim.fog", "sim.lighting.globalmodulate", "sim.sky.gradient.top",
                                   "sim.sky.gradient.horz", "sim.sun.diffuse", "sim.sun.specular", "sim.sun.ambient"})
            for (const char* channel : {".red", ".green", ".blue"}) all.push_back(std::string(colour) + channel);
        for (int i = 1; i <= 3; ++i)
            for (const char* part : {".texture.path", ".sizex", ".sizey"})
                all.push_back("sim.tree" + std::to_string(i) + part);
        for (int i = 1; i <= 6; ++i) all.push_back("sim.flare" + std::to_string(i) + ".texture.path");
        all.insert(all.end(), std::begin(kSkyboxKeys), std::end(kSkyboxKeys));
        all.insert(all.end(), std::begin(kStationKeys), std::end(kStationKeys));
        all.insert(all.end(), std::begin(kTrackKeys), std::end(kTrackKeys));
        all.insert(all.end(), std::begin(kWoodKeys), std::end(kWoodKeys));
        std::set<std::string> lower;
        for (const std::string& key : all) lower.insert(AsciiLowerText(key));
        return lower;
    }();
    return keys;
}

// The comment lines of the header the editor writes, which a blank line follows.
const std::string& HeaderRule() {
    static const std::string rule = "# " + std::string(80, '-');
    return rule;
}
constexpr std::string_view kHeaderTitle = "# Gantrywright - Environment Editor v";
constexpr std::string_view kHeaderNote = "# Scenery, sky, sun and textures of a Vortaxis ride";
constexpr std::string_view kHeaderModified = "# Last Modified: ";
constexpr size_t kHeaderCommentLines = 6;

// True when the last lines of `lines` are the header's comment lines: a rule,
// the title with a version of any build, the note, a rule, the date, a rule.
bool EndsInHeader(const std::vector<std::string_view>& lines) {
    if (lines.size() < kHeaderCommentLines) return false;
    const std::string_view* h = lines.data() + lines.size() - kHeaderCommentLines;
    const std::string_view version = h[1].starts_with(kHeaderTitle) ? h[1].substr(kHeaderTitle.size()) : "";
    return h[0] == HeaderRule() && !version.empty() &&
           version.find_first_not_of("0123456789.") == std::string_view::npos && h[2] == kHeaderNote &&
           h[3] == HeaderRule() && h[4].starts_with(kHeaderModified) && h[5] == HeaderRule();
}

// True when the line holds one of the editor's keys as the reader finds them:
// at the line's start, then blanks, then "=".
bool IsEditorKeyLine(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    std::string key(line.substr(0, equals));
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
    return EditorKeys().count(AsciiLowerText(std::move(key))) != 0;
}

// Takes from a file's text the lines the editor neither reads nor writes,
// each without its line end: the first line, which the reader skips, unless
// it is blank or the header's first rule (a file the editor wrote starts with
// its header), and the other lines in the file's order. Left out of these are
// lines of nothing but blanks, the lines of the editor's keys (the reader
// takes the first of each and a save writes the key from what it took) and
// every header of the editor's, its comment lines in their order with only
// such left-out lines between them. A header is taken out as it completes,
// so what is kept holds no header, and the next read of a save keeps the same.
void TakeLinesNotEdited(std::string_view text, EnvironmentValues& values) {
    values.FirstLine.clear();
    values.KeptLines.clear();
    std::vector<std::string_view> kept;
    for (size_t start = 0, n = 0; start < text.size(); ++n) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (TrimControlChars(line).empty()) continue;
        if (n == 0 && line != HeaderRule()) {
            values.FirstLine = line;
            continue;
        }
        if (IsEditorKeyLine(line)) continue;
        kept.push_back(line);
        if (EndsInHeader(kept)) kept.resize(kept.size() - kHeaderCommentLines);
    }
    values.KeptLines.assign(kept.begin(), kept.end());
}

// What one WriteEnvironmentFile did with the textures: the copies it wrote,
// the textures it found but could not copy, and the values whose file it did
// not find.
struct TextureCopies {
    HeldFolder Folder;                 // the environment's folder, held for the whole write
    std::vector<std::string> Written;  // the names of the copies written there
    std::vector<UncopiedTexture> Failed;
    std::vector<std::string> NotFound;
};

// WriteTextureKey; with `copy` false nothing is copied and the key names the
// copy by the name it would take first. Notes in copies (when given) what it
// copied, could not copy or did not find.
void WriteTextureKey(std::string_view key, const std::string& path, const std::string& relativeFolder, bool copy,
                     TextureCopies* copies) {
    if (path.size() < 2) return;
    // Found as the simulator reads the value, so a value it reads a picture
    // from ("Environments\sky.jpg.") keeps naming that picture.
    const std::string source = TexturePathOnDisk(path);
    // The copy carries the name the simulator reads, as its key gives it
    // (commas become points in every key line).
    const std::string fileName = ReplaceCommas(TextureFileNameAsRead(path));
    if (source.empty() || !fsys::FileExists(source) || fileName.empty() || fileName == "." || fileName == "..") {
        // Not found here (or no file name to give a copy): the value may name
        // a file on a disk this system does not have (a drive letter) or one
        // still to come. A key naming the environment's folder would name a
        // copy that was never made and lose the value, so the value stays as
        // it was, and the save says so.
        if (copies) copies->NotFound.push_back(path);
        WriteKeyAsIs(key, path);
        return;
    }
    if (!copy) {
        WriteKey(key, relativeFolder + fileName);
        return;
    }
    const std::string folder = copies ? std::string() : fsys::MapStoredName(gSimPath, relativeFolder);
    bool created = false, unreadable = false;
    errno = EINVAL;  // no folder to copy into
    const auto placed = copies            ? PlaceTextureCopy(source, copies->Folder, fileName, &created, &unreadable)
                        : folder.empty() ? std::nullopt
                                          : PlaceTextureCopy(source, folder, fileName, &created, &unreadable);
    const int error = errno;
    if (!placed) {
        if (copies) copies->Failed.push_back({source, error, unreadable});
        WriteKeyAsIs(key, path);  // no key names a copy that was not made
        return;
    }
    if (copies && created) copies->Written.push_back(*placed);
    WriteKey(key, relativeFolder + *placed);
}

// The folder name under Environments that the keys name, as the simulator
// reads it: commas become points, as every key line has them, and the
// trailing dots and spaces go ("Sunset." is the folder "Sunset").
std::string TextureFolderName(const std::string& name) { return NameAsRead(ReplaceCommas(name)); }

void WriteSwitchOff(const char* key, bool on) {
    if (!on) WriteKey(key, "false");
}

// The environment's text in the settings buffer; with copies, the textures are
// copied into its folder and what was copied is noted there.
void WriteEnvironmentText(const std::string& Name, const EnvironmentValues& v, TextureCopies* copies) {
    const std::string relative = "Environments\\" + TextureFolderName(Name) + "\\";
    auto texture = [&](const char* key, const std::string& path) {
        WriteTextureKey(key, path, relative, copies != nullptr, copies);
    };

    const std::tm now = gClock ? gClock() : SystemClock();
    std::string date = EnvironmentDateText(now);
    if (!EnvFileBytesFromText(date)) date = EnglishDateText(now);
    IniNewBuffer("");
    // The opened file's first line stays first, where the reader skips it.
    if (!v.FirstLine.empty()) IniWriteLine(v.FirstLine);
    IniWriteLine(HeaderRule());
    IniWriteLine(std::string(kHeaderTitle) + AppVersionText());
    IniWriteLine(kHeaderNote);
    IniWriteLine(HeaderRule());
    IniWriteLine(std::string(kHeaderModified) + date);
    IniWriteLine(HeaderRule());
    IniWriteLine("");

    WriteSwitchOff("sim.ground.visible", v.chkRegionGround);
    if (v.chkRegionGround) texture("sim.ground.texture.path", v.txtRegionGround);
    WriteSwitchOff("sim.background.texture.enabled", v.chkRegionPanaramic);
    if (v.chkRegionPanaramic) texture("sim.background.texture.path", v.txtRegionPanaramic);
    for (int i = 0; i < 6; ++i) texture(kSkyboxKeys[i], v.txtRegionSkybox[i]);
    if (v.chkFog) {
        WriteKey("sim.fog.enabled", "true");
        WriteColorKeys("sim.fog", v.lblFogColor);
        WriteKey("sim.fog.density", ScaledText(v.hsFogDensity, 4));
    }
    for (int i = 0; i < 3; ++i) {
        const std::string tree = "sim.tree" + std::to_string(i + 1);
        texture((tree + ".texture.path").c_str(), v.txtTree[i]);
        if (v.chkTreeUseSize[i]) {
            WriteKey(tree + ".sizex", ScaledText(v.hsTreeWidth[i], 2));
            WriteKey(tree + ".sizey", ScaledText(v.hsTreeHeight[i], 2));
        }
    }
    WriteSwitchOff("sim.background.trees.enabled", v.chkTreeDistanceEnable);
    if (v.chkLightingEnable) WriteColorKeys("sim.lighting.globalmodulate", v.lblLightingColor);
    WriteSwitchOff("sim.shadows.visible", v.chkLightingShadows);
    if (v.lblSkyColor[0] != EnvRGB(100, 140, 255)) WriteColorKeys("sim.sky.gradient.top", v.lblSkyColor[0]);
    if (v.lblSkyColor[1] != EnvRGB(255, 255, 255)) WriteColorKeys("sim.sky.gradient.horz", v.lblSkyColor[1]);
    if (!v.chkSkyClouds) {
        WriteKey("sim.clouds.enabled", "false");
        WriteKey("sim.clouds.visible", "false");
    } else {
        texture("sim.clouds.texture.path", v.txtSkyClouds);
    }
    WriteSwitchOff("sim.sun.visible", v.chkSunVisible);
    if (v.chkSunVisible) texture("sim.sun.texture.path", v.txtSun);
    // 0.0125 degrees per step: (value - 14400) x 125 ten-thousandths.
    if (v.hsSunPosition[0] != 18240)
        WriteKey("sim.sun.pos.alpha", ScaledText((int64_t{v.hsSunPosition[0]} - 14400) * 125, 4));
    if (v.hsSunPosition[1] != 25200)
        WriteKey("sim.sun.pos.beta", ScaledText((int64_t{v.hsSunPosition[1]} - 14400) * 125, 4));
    if (v.lblSunColor[0] != EnvRGB(255, 255, 255)) WriteColorKeys("sim.sun.diffuse", v.lblSunColor[0]);
    if (v.lblSunColor[1] != EnvRGB(255, 255, 255)) WriteColorKeys("sim.sun.specular", v.lblSunColor[1]);
    if (v.lblSunColor[2] != EnvRGB(128, 128, 128)) WriteColorKeys("sim.sun.ambient", v.lblSunColor[2]);
    WriteSwitchOff("sim.flares.visible", v.chkSunFlaresVisible);
    if (v.chkSunFlaresVisible)
        for (int i = 0; i < 6; ++i)
            texture(("sim.flare" + std::to_string(i + 1) + ".texture.path").c_str(), v.txtSunFlare[i]);
    for (int i = 0; i < 9; ++i) texture(kStationKeys[i], v.txtStation[i]);
    WriteKey("sim.stationrafters.enabled", v.chkStationRafters ? "true" : "false");
    if (v.chkStationRafters) texture("sim.stationrafters.texture.path", v.txtStation[9]);
    for (int i = 0; i < 8; ++i) texture(kTrackKeys[i], v.txtTrack[i]);
    for (int i = 0; i < 11; ++i) texture(kWoodKeys[i], v.txtWood[i]);
    for (const std::string& line : v.KeptLines) IniWriteLine(line);
}

}  // namespace

void ResetEnvironmentControls() { ResetEnvironmentControls(gEnvironment); }

void ResetEnvironmentControls(EnvironmentValues& values) { values = EnvironmentValues(); }

bool IsEnvironmentNameAllowed(std::string_view Name) { return EnvironmentNameRefusal(Name).empty(); }

std::string EnvironmentNameRefusal(std::string_view Name) {
    if (Name.empty()) return "the environment has no name";
    for (char c : Name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32)
            return "the environment's name cannot be a folder";
    // "", "." or ".." would put the textures into Environments or the simulator's folder.
    if (TextureFolderName(std::string(Name)).empty())
        return "the environment's name leaves no folder name: the simulator drops the dots and spaces at the end "
               "of a folder's name";
    return std::string();
}

std::string NameAsRead(std::string_view name) {
    const size_t last = name.find_last_not_of(". ");
    return last == std::string_view::npos ? std::string() : std::string(name.substr(0, last + 1));
}

std::string TextureValueAsRead(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    std::string read;
    for (size_t start = 0;;) {
        const size_t end = std::min(value.find_first_of("\\/", start), value.size());
        const std::string_view name = value.substr(start, end - start);
        if (name == "." || name == "..") {
            read += name;
        } else {
            const std::string kept = NameAsRead(name);
            if (kept.empty() && !name.empty()) return std::string(value);
            read += kept;
        }
        if (end == value.size()) return read;
        read += value[end];
        start = end + 1;
    }
}

std::string TextureFileNameAsRead(std::string_view value) {
    const std::string read = TextureValueAsRead(value);
    const size_t slash = read.find_last_of("\\/");
    return slash == std::string::npos ? read : read.substr(slash + 1);
}

void SetEnvironmentClock(std::function<std::tm()> clock) { gClock = std::move(clock); }

std::string EnvironmentDateText(const std::tm& time) {
    char text[256];
    const size_t n = std::strftime(text, sizeof text, "%A, %B %d, %Y - %I:%M.%S %p", &time);
    const std::string result(text, n);
    // A locale of a single-byte character set gives its names in that set.
    return cp::IsUtf8(result) ? result : EnvTextFromFileBytes(result);
}

std::string EnvTextFromFileBytes(std::string_view bytes) { return cp::TextFromBytes(bytes); }

std::optional<std::string> EnvFileBytesFromText(std::string_view text) { return cp::BytesFromText(text); }

bool EnvValueToBoolean(std::string_view value) { return SwitchValue(value).value_or(false); }

float EnvValueToSingle(std::string_view value) {
    const double v = std::clamp(ParseLeadingNumber(value), -1e30, 1e30);
    return static_cast<float>(std::nearbyint(v * 1e6) / 1e6);
}

int32_t ColorFromUnitRGB(float r, float g, float b) {
    auto channel = [](float c) {
        if (!(c > 0.0f)) return 0;
        if (c > 1.0f) return 255;
        return static_cast<int>(std::nearbyint(static_cast<double>(c) * 255.0));
    };
    return EnvRGB(channel(r), channel(g), channel(b));
}

std::string EnvChannelText(int channel) {
    // channel / 255 to six decimals; 255 is odd, so no channel falls on a half.
    return ScaledText((int64_t{channel} * 1000000 + 127) / 255, 6);
}

void WriteColorKeys(std::string_view prefix, int32_t colour) {
    const std::string p(prefix);
    WriteKey(p + ".red", EnvChannelText(colour & 0xFF));
    WriteKey(p + ".green", EnvChannelText((colour >> 8) & 0xFF));
    WriteKey(p + ".blue", EnvChannelText((colour >> 16) & 0xFF));
}

std::string TexturePathOnDisk(const std::string& value) {
    const std::string path = TextureValueAsRead(value);
    if (path.empty()) return std::string();
    if (path[0] == '/') return path;
    // A drive letter names a Windows disk, which this system does not have.
    if ((path.size() >= 2 && path[1] == ':') || gSimPath.empty()) return std::string();
    std::error_code ec;
    const std::filesystem::path sim = std::filesystem::absolute(gSimPath, ec);
    return fsys::ResolveStoredName(ec ? gSimPath : sim.string(), path).value_or(std::string());
}

bool CreateFolderChain(const std::string& path) { return fsys::CreateFolders(path); }

std::string NumberedFileName(const std::string& fileName, int n) {
    if (n <= 1) return fileName;
    const size_t dot = fileName.rfind('.');
    const size_t split = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
    return fileName.substr(0, split) + " (" + std::to_string(n) + ")" + fileName.substr(split);
}

namespace {

// A picture read whole into the byte buffer, with who may read it.
struct SourcePicture {
    mode_t Mode = 0;
    gid_t Group = 0;
};

// Reads the picture at `source` into the byte buffer; its mode and group are
// those of the file whose bytes were read.
bool ReadSourcePicture(const std::string& source, SourcePicture& picture) {
    ClearFileBuffer();
    struct stat read {};
    if (!fsys::ReadWholeFile(source, gFileBuffer, fsys::kPictureFile, read)) return false;
    picture.Mode = read.st_mode;
    picture.Group = read.st_gid;
    return true;
}

// True when the regular file `name` of the folder open at folderFd (a link
// not followed) holds the bytes of the byte buffer.
bool HoldsTheSameBytes(int folderFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return false;
    const fsys::HeldDescriptor fd(
        ::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    std::vector<uint8_t> bytes;
    return fd.Get() >= 0 && fsys::ReadOpenFile(fd.Get(), bytes, fsys::kPictureFile) && bytes == gFileBuffer;
}

// The process's umask, read without changing it where the system tells it.
mode_t CurrentUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask & 0777);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Writes the byte buffer as the new file `name` of the folder open at
// folderFd, never through anything of that name: false with errno EEXIST
// where the name is taken (by a link too), else with the reason of the failed
// step, nothing left. Readable by the user alone until the bytes and the name
// are on the disk, then given the source's permission bits less the umask,
// the group's only where the copy's group is the source's.
bool WriteNewCopy(int folderFd, const std::string& name, const SourcePicture& source) {
    fsys::steps::IgnoreFileSizeSignalOnce();  // a copy past the file-size limit fails, the program goes on
    const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    fsys::steps::UnlessKept removeCopy([&] {
        ::close(fd);
        ::unlinkat(folderFd, name.c_str(), 0);
    });
    if (!fsys::steps::WriteAll(fd, gFileBuffer.data(), gFileBuffer.size()) || ::fsync(fd) != 0) return false;
    if (fsys::steps::FlushFolder(folderFd) == fsys::steps::Flush::Failed) return false;
    struct stat copy {};
    mode_t mode = source.Mode & 0777 & ~CurrentUmask();
    if (::fstat(fd, &copy) != 0 || copy.st_gid != source.Group) mode &= ~static_cast<mode_t>(070);
    (void)::fchmod(fd, mode);  // should it fail, the copy stays the user's alone
    removeCopy.Keep();
    ::close(fd);
    return true;
}

// The names the folder open at folderFd holds, by their names in lower case;
// none where it cannot be listed (every name is then tried as it comes).
std::map<std::string, std::vector<std::string>> NamesIn(int folderFd) {
    std::map<std::string, std::vector<std::string>> names;
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    DIR* const dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names[AsciiLowerText(name)].push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool IsPlainFileName(const std::string& fileName) {
    return !fileName.empty() && fileName != "." && fileName != ".." &&
           fileName.find_first_of("/\\") == std::string::npos;
}

// Puts the byte buffer into the held folder as PlaceTextureCopy says.
std::optional<std::string> PlaceBytes(const HeldFolder& folder, const std::string& fileName,
                                      const SourcePicture& source, bool* created) {
    // The folder's entries by their names in lower case, the names as spelled.
    const std::map<std::string, std::vector<std::string>> entries = NamesIn(folder.Fd.Get());
    ReportHeldFolderStep(HeldFolderStep::Listed, folder.Path);
    for (int n = 1; n <= kMostNumberedCopies; ++n) {
        const std::string name = NumberedFileName(fileName, n);
        const auto found = entries.find(AsciiLowerText(name));
        if (found == entries.end()) {
            errno = 0;
            if (WriteNewCopy(folder.Fd.Get(), name, source)) {
                if (created) *created = true;
                return name;
            }
            if (errno != EEXIST) return std::nullopt;  // errno says why
            continue;  // taken since the folder was listed
        }
        std::vector<std::string> spellings = found->second;
        std::sort(spellings.begin(), spellings.end());
        std::stable_partition(spellings.begin(), spellings.end(), [&](const std::string& s) { return s == name; });
        for (const std::string& spelling : spellings)
            if (HoldsTheSameBytes(folder.Fd.Get(), spelling)) return spelling;
    }
    errno = EEXIST;  // every name is taken by other bytes
    return std::nullopt;
}

// The first steps of every texture copy: the flags cleared, the names
// checked (EINVAL), the source read (`unreadable` set where it cannot be).
bool ReadTextureToCopy(const std::string& source, std::initializer_list<std::string> names, SourcePicture& picture,
                       bool* created, bool* unreadable) {
    if (created) *created = false;
    if (unreadable) *unreadable = false;
    for (const std::string& name : names) {
        if (!IsPlainFileName(name)) {
            errno = EINVAL;
            return false;
        }
    }
    errno = 0;
    if (ReadSourcePicture(source, picture)) return true;
    if (unreadable) *unreadable = true;
    return false;
}

}  // namespace

std::optional<std::string> PlaceTextureCopy(const std::string& source, const HeldFolder& folder,
                                            const std::string& fileName, bool* created, bool* unreadable) {
    SourcePicture picture;
    if (!ReadTextureToCopy(source, {fileName}, picture, created, unreadable)) return std::nullopt;
    if (folder.Fd.Get() < 0) {
        errno = folder.Error;
        return std::nullopt;
    }
    return PlaceBytes(folder, fileName, picture, created);
}

std::optional<std::string> PlaceTextureCopy(const std::string& source, const std::string& folder,
                                            const std::string& fileName, bool* created, bool* unreadable) {
    namespace fs = std::filesystem;
    const fs::path path = fs::path(folder).lexically_normal();
    const fs::path where = path.has_filename() ? path : path.parent_path();
    SourcePicture picture;
    if (!ReadTextureToCopy(source, {fileName, where.filename().string()}, picture, created, unreadable))
        return std::nullopt;
    const std::string parentPath = where.parent_path().empty() ? "." : where.parent_path().string();
    const fsys::HeldDescriptor parent(fsys::MakeFoldersToWrite(parentPath));
    if (parent.Get() < 0) return std::nullopt;  // errno says why
    const HeldFolder held = OpenFolderToFill(parent.Get(), parentPath, where.filename().string(), true);
    if (held.Fd.Get() < 0) {
        errno = held.Error;
        return std::nullopt;
    }
    return PlaceBytes(held, fileName, picture, created);
}

std::string TextureCopyFailureReason(int error) {
    switch (error) {
        case kAnotherUsersFolderError: return "The environment's folder belongs to another user.";
        case kReplacedFolderError: return "The environment's folder was replaced by another while it was opened.";
        default: return fsys::WriteFailureReason(error);
    }
}

void WriteTextureKey(std::string_view key, const std::string& path, const std::string& relativeFolder) {
    WriteTextureKey(key, path, relativeFolder, true, nullptr);
}

std::string EnvironmentFileText(const std::string& Name, const EnvironmentValues& values) {
    const std::string saved = IniGetBuffer();
    WriteEnvironmentText(Name, values, nullptr);
    std::string text = cp::BytesOrMarks(IniGetBuffer());
    IniSetBuffer(saved);
    return text;
}

std::optional<std::string> TextOutsideCodePage(const std::string& Name, const EnvironmentValues& values) {
    if (!EnvFileBytesFromText(Name)) return Name;
    const std::string saved = IniGetBuffer();
    WriteEnvironmentText(Name, values, nullptr);
    const std::string text = IniGetBuffer();
    IniSetBuffer(saved);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = std::string_view(text).substr(start, end - start);
        if (!EnvFileBytesFromText(line)) {
            const size_t equals = line.find('=');
            return std::string(equals == std::string_view::npos ? line : line.substr(equals + 1));
        }
        start = end + 2;
    }
    return std::nullopt;
}

bool WriteEnvironmentFile(const std::string& Name) { return WriteEnvironmentFile(Name, gEnvironment); }

std::string EnvironmentFilePath(const std::string& Name) {
    if (!IsEnvironmentNameAllowed(Name) || gSimPath.empty()) return std::string();
    return fsys::MapStoredName(gSimPath, "Environments\\" + Name + ".env");
}

std::string EnvironmentTextureFolder(const std::string& Name) {
    if (!IsEnvironmentNameAllowed(Name) || gSimPath.empty()) return std::string();
    return fsys::WithTrailingSeparator(fsys::MapStoredName(gSimPath, "Environments\\" + TextureFolderName(Name)));
}

bool WriteEnvironmentFile(const std::string& Name, const EnvironmentValues& values,
                          std::vector<UncopiedTexture>* uncopied, std::vector<std::string>* notFound) {
    if (uncopied) uncopied->clear();
    if (notFound) notFound->clear();
    const std::string file = EnvironmentFilePath(Name);
    if (file.empty() || TextOutsideCodePage(Name, values)) return false;
    // The Environments folder and the environment's own, made where missing
    // and held for the whole write: the copies are made in the folder judged.
    const std::filesystem::path folder = std::filesystem::path(EnvironmentTextureFolder(Name)).parent_path();
    const std::string environments = folder.parent_path().string();
    TextureCopies copies;
    const fsys::HeldDescriptor environmentsFd(fsys::MakeFoldersToWrite(environments));
    if (environmentsFd.Get() >= 0) {
        copies.Folder = OpenFolderToFill(environmentsFd.Get(), environments, folder.filename().string(), true);
    } else {
        copies.Folder.Error = errno;
        copies.Folder.Path = folder.string();
    }
    WriteEnvironmentText(Name, values, &copies);
    bool ok = copies.Failed.empty();
    if (!ok) errno = copies.Failed.front().Error;
    if (ok) {
        const auto bytes = EnvFileBytesFromText(IniGetBuffer());
        ok = bytes.has_value();
        if (ok) {
            IniSetBuffer(*bytes);
            ok = IniSaveFile(file, fsys::kEnvironmentFile);
        }
    }
    const int error = errno;  // the failed write's reason, which the editor shows
    if (!ok) {
        // Nothing names the copies of a write that did not happen, nor the folder it made.
        for (const std::string& copy : copies.Written) ::unlinkat(copies.Folder.Fd.Get(), copy.c_str(), 0);
        RemoveMadeFolder(environmentsFd.Get(), copies.Folder);
        if (uncopied) *uncopied = copies.Failed;
    }
    if (notFound) *notFound = std::move(copies.NotFound);
    errno = error;
    return ok;
}

bool ReadEnvironmentFile(const std::string& Path) { return ReadEnvironmentFile(Path, gEnvironment); }

bool ReadEnvironmentFile(const std::string& Path, EnvironmentValues& values) {
    if (!IniLoadFile(Path, fsys::kEnvironmentFile)) return false;
    ReadEnvironmentBuffer(values);
    return true;
}

void ReadEnvironmentText(std::string_view text, EnvironmentValues& values) {
    IniSetBuffer(text);
    ReadEnvironmentBuffer(values);
}

void ReadEnvironmentBuffer(EnvironmentValues& values) {
    IniSetBuffer(EnvTextFromFileBytes(IniGetBuffer()));
    EnvironmentValues v;
    ReadSwitch("sim.ground.visible", v.chkRegionGround);
    ReadTexture("sim.ground.texture.path", v.txtRegionGround);
    ReadSwitch("sim.background.texture.enabled", v.chkRegionPanaramic);
    ReadTexture("sim.background.texture.path", v.txtRegionPanaramic);
    for (int i = 0; i < 6; ++i) ReadTexture(kSkyboxKeys[i], v.txtRegionSkybox[i]);
    ReadSwitch("sim.fog.enabled", v.chkFog);
    ReadColor("sim.fog", v.lblFogColor);
    ReadScaled("sim.fog.density", 1.0, 10000.0, v.hsFogDensity);
    for (int i = 0; i < 3; ++i) {
        const std::string tree = "sim.tree" + std::to_string(i + 1);
        ReadTexture(tree + ".texture.path", v.txtTree[i]);
        ReadScaled(tree + ".sizex", 100.0, 100.0, v.hsTreeWidth[i]);
        ReadScaled(tree + ".sizey", 100.0, 100.0, v.hsTreeHeight[i]);
        v.chkTreeUseSize[i] = v.hsTreeWidth[i] != 800 || v.hsTreeHeight[i] != 1100;
    }
    ReadSwitch("sim.background.trees.enabled", v.chkTreeDistanceEnable);
    // Lighting is on when the colour as held is not white: a save writes it
    // back only then, so what is read is what a save keeps.
    if (ReadColor("sim.lighting.globalmodulate", v.lblLightingColor) && v.lblLightingColor != EnvRGB(255, 255, 255))
        v.chkLightingEnable = true;
    ReadSwitch("sim.shadows.visible", v.chkLightingShadows);
    ReadColor("sim.sky.gradient.top", v.lblSkyColor[0]);
    ReadColor("sim.sky.gradient.horz", v.lblSkyColor[1]);
    if (ReadKey("sim.clouds.enabled"))
        ReadSwitch("sim.clouds.enabled", v.chkSkyClouds);
    else
        ReadSwitch("sim.clouds.visible", v.chkSkyClouds);
    ReadTexture("sim.clouds.texture.path", v.txtSkyClouds);
    ReadSwitch("sim.sun.visible", v.chkSunVisible);
    ReadTexture("sim.sun.texture.path", v.txtSun);
    ReadSunAngle("sim.sun.pos.alpha", v.hsSunPosition[0]);
    ReadSunAngle("sim.sun.pos.beta", v.hsSunPosition[1]);
    ReadColor("sim.sun.diffuse", v.lblSunColor[0]);
    ReadColor("sim.sun.specular", v.lblSunColor[1]);
    ReadColor("sim.sun.ambient", v.lblSunColor[2]);
    ReadSwitch("sim.flares.visible", v.chkSunFlaresVisible);
    for (int i = 0; i < 6; ++i) ReadTexture("sim.flare" + std::to_string(i + 1) + ".texture.path", v.txtSunFlare[i]);
    for (int i = 0; i < 9; ++i) ReadTexture(kStationKeys[i], v.txtStation[i]);
    ReadSwitch("sim.stationrafters.enabled", v.chkStationRafters);
    ReadTexture("sim.stationrafters.texture.path", v.txtStation[9]);
    for (int i = 0; i < 8; ++i) ReadTexture(kTrackKeys[i], v.txtTrack[i]);
    for (int i = 0; i < 11; ++i) ReadTexture(kWoodKeys[i], v.txtWood[i]);
    TakeLinesNotEdited(IniGetBuffer(), v);
    values = std::move(v);
}
