#pragma once
// Modeler settings sets (.gtwrms): the modeler dialog's working copy saved as
// a key=value text through the settings-text engine, and read back into it.
//
// The file, CR LF lines: three comment lines (the program and its version,
// then two of ours), ";-Moderler Set-", then the sections Spines (SpineTotal,
// then 0SPosX, 0SPosY, 0SPosZ, 0SSize, 0SShape, 1SPosX, ...), Rails (RailTotal,
// 0RPosX ...), Crossties (0UseTie, 0TieModel, 1UseTie, 1TieModel, TieSpacing,
// ToggleTies, ToggleCount1, ToggleCount2, AltOnBank, AltBank, AltOnStart),
// Supports (0TubeScaleX, 0TubeScaleY, 0TubeScaleZ, ... for slots 0 to 9,
// RoundFooters), Terrain (UseTerrain, LowDetailTerrain) and Extras
// (SquareTunnels, TunnelSoftness, SpineDetail, RailDetail), each section
// after an empty line. Decimals as SingleText; whole numbers in plain
// decimal; booleans True and False; file paths as they stand.
//
// The file is single-byte text in the simulator's code page (ISO 8859-1,
// platform/code_page.h); the engine's buffer holds the program's text while a
// set is built or read. A crosstie path with a character the code page lacks
// is refused before anything is written. A path read back is found on disk
// in the program's UTF-8 spelling or in the file's single bytes.
//
// A set must hold every key of the list above for the counts it gives (the
// depths 0TubeScaleZ to 9TubeScaleZ aside, which older sets lack), each key
// that holds a number with a value, and end with a line end, as every line
// of a set is written: one that does not, cut short, is refused as a whole
// and nothing of it is applied.
//
// Reading finds keys regardless of case and section, and takes every value
// as it was written (the presets' ToggleCount1=0 and AltBank=0 come back as
// 0): the dialog shows a value outside a box's range in red and keeps OK
// disabled until it is corrected, and the builders hold the spacings they
// use to their ranges. Only what cannot be held is changed: the counts are
// held to 0 to 32 and the shapes to their options, a whole number to its
// field, and a decimal that no float holds reads as 0. A set without the
// depth keys (0TubeScaleZ to 9TubeScaleZ) keeps the copy's depths; colours
// and crosstie triangles are not in the file.

#include <optional>
#include <string>

#include "model/modeler_settings.h"

inline constexpr const char* kModelerSetFilter = "Gantrywright Modeler Set (*.gtwrms)|*.gtwrms";
inline constexpr const char* kModelerSetExt = "gtwrms";
inline constexpr const char* kSaveModelerSetTitle = "Save Modeler Set...";
inline constexpr const char* kOpenModelerSetTitle = "Open Modeler Set...";
inline constexpr const char* kModelerSetErrorTitle = "Error!";

// A 32-bit float rounded to 7 significant digits, trailing zeros dropped,
// "." as decimal point whatever the locale: 0.07, -0.6, 1.5. A float that
// does not read back from its 7 digits (3.1415927) gets the shortest text
// that does, so a set keeps every value exactly.
std::string SingleText(float value);

// Builds the set's text in the engine's buffer (gIniBuffer) and returns it.
std::string BuildModelerSetText(const ModelerSettings& set);
// Where a set in the engine's buffer is cut short: the first key of the
// set's list (in the file's order) without a line that ends, or whose line
// has no value where a number belongs; or, when every key is whole, a last
// line that has no line end (a text that ends in blanks after its last line
// end is whole).
struct ModelerSetGap {
    enum Kind { NoLine, NoValue, CutInLine } What;
    std::string Key;  // empty for a last line that holds none of the keys
};
// nullopt when the set is whole.
std::optional<ModelerSetGap> ModelerSetCutShort();
// Reads the set in the engine's buffer into `set`, as described above. False,
// `set` untouched, when the buffer holds neither RailTotal nor SpineTotal or
// is cut short (ModelerSetCutShort).
bool ReadModelerSetBuffer(ModelerSettings& set);

// The crosstie path (as the program's text) that the file's code page cannot
// hold; nullopt when the set can be written.
std::optional<std::string> ModelerSetPathOutsideCodePage(const ModelerSettings& set);
// The messages of a refused save and of a set cut short.
std::string ModelerSetPathOutsideText(const std::string& path);
std::string ModelerSetCutShortText(const std::string& path, const ModelerSetGap& gap);

// The whole file; false when it could not be written (an old file stays) or
// holds a path the code page lacks (nothing is written).
bool WriteModelerSetFile(const std::string& path, const ModelerSettings& set);
// Loads the file's single-byte text into the engine's buffer as the program's
// text; false, the buffer untouched, when it cannot be read.
bool LoadModelerSetFile(const std::string& path);
// False, `set` untouched, when the file cannot be read or is not a whole set.
bool ReadModelerSetFile(const std::string& path, ModelerSettings& set);

// The dialog's "Save": the save dialog, then the file. A crosstie path the
// file cannot store is reported in an "Error!" box before the dialog, and
// nothing is written. Both dialogs start
// in the folder of the program's other file dialogs (gSaveDir, gOpenDir: the
// simulator's folder or the user's), not among the program's own data, and
// propose no name.
// A file that cannot be written is reported in an "Error!" box with the
// reason (fsys::WriteFailureReason).
void SaveModelerSet(const ModelerSettings& set, void* owner);
// The dialog's "Open": the open dialog, then the file into `set`. True when a
// set was read; a file that cannot be read (with the reason: one larger than a
// modeler settings set can be, ...), is no set or is cut short (the key named
// in the message) is reported in an "Error!" box and changes nothing.
bool OpenModelerSet(ModelerSettings& set, void* owner);
