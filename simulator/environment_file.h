#pragma once
// The simulator's environment files (.env): text files of "sim." keys in the
// simulator's Environments folder, with their textures copied into a folder of
// the environment's own beside them.
//
// The values of one environment live in one record whose fields carry the
// names of the environment editor's controls; the editor binds its controls to
// gEnvironment. ResetEnvironmentControls, WriteEnvironmentFile and
// ReadEnvironmentFile work on gEnvironment (the overloads on any record).
//
// Every value the writer writes reads back unchanged: colour channels, fog
// density and tree sizes are read to the nearest step, not rounded down.
// Values the format leaves out (the fog colour while fog is off, a tree's size
// while its custom size is off, ...) read back as their defaults.
//
// A file is single-byte text from its first byte to its last, in the code page
// the program shows the simulator's texts in (ISO 8859-1: each byte is the
// character of its code). The values and names in memory are the program's
// text (UTF-8), as the windows and the file system take them; the reader and
// the writer convert whole files.

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A colour: red in the low byte, then green, then blue.
constexpr int32_t EnvRGB(int red, int green, int blue) { return red | (green << 8) | (blue << 16); }

struct EnvironmentValues {
    bool chkRegionGround = true;
    std::string txtRegionGround;
    bool chkRegionPanaramic = true;
    std::string txtRegionPanaramic;
    std::array<std::string, 6> txtRegionSkybox;  // North, South, East, West, Up, Down
    bool chkFog = false;
    int32_t lblFogColor = EnvRGB(128, 128, 128);
    int32_t hsFogDensity = 100;  // density x 10000, 0..10000
    bool chkLightingEnable = false;
    int32_t lblLightingColor = EnvRGB(255, 255, 255);
    bool chkLightingShadows = true;
    std::array<std::string, 3> txtTree;
    std::array<bool, 3> chkTreeUseSize{false, false, false};
    std::array<int32_t, 3> hsTreeWidth{800, 800, 800};      // width x 100, 0..10000
    std::array<int32_t, 3> hsTreeHeight{1100, 1100, 1100};  // height x 100, 0..10000
    bool chkTreeDistanceEnable = true;
    std::array<int32_t, 2> lblSkyColor{EnvRGB(100, 140, 255), EnvRGB(255, 255, 255)};  // atmosphere, horizon
    bool chkSkyClouds = true;
    std::string txtSkyClouds;
    bool chkSunVisible = true;
    std::string txtSun;
    // Altitude and heading, 80 steps per degree: 0 is -180, 14400 is 0, 28800 is +180 degrees.
    std::array<int32_t, 2> hsSunPosition{18240, 25200};
    // Sun light (diffuse), reflection (specular), shadow (ambient).
    std::array<int32_t, 3> lblSunColor{EnvRGB(255, 255, 255), EnvRGB(255, 255, 255), EnvRGB(128, 128, 128)};
    bool chkSunFlaresVisible = true;
    std::array<std::string, 6> txtSunFlare;
    std::array<std::string, 10> txtStation;  // 9 is the rafters
    bool chkStationRafters = false;
    std::array<std::string, 8> txtTrack;
    std::array<std::string, 11> txtWood;
    // The first line of the file read, which the reader skips, as it stood
    // there without its line end; a save writes it first again, so it stays
    // where the reader skips it, and its own header after it. Empty when that
    // line is blank, when it is the first line of the header the editor writes
    // (a file the editor wrote starts with its header), and for a new
    // environment: the header is then the file's first line.
    std::string FirstLine;
    // The other lines of the file read that the editor neither reads nor
    // writes (a key of the simulator's that has no control here, a comment,
    // any other text), each as it stood in the file without its line end;
    // written unchanged after the editor's own lines. Not kept: the header
    // the editor writes (its lines in their order, wherever it stands), blank
    // lines, and the editor's keys.
    std::vector<std::string> KeptLines;

    bool operator==(const EnvironmentValues&) const = default;
};

// The environment being edited.
extern EnvironmentValues gEnvironment;

// Sets every value of gEnvironment to its default.
void ResetEnvironmentControls();
void ResetEnvironmentControls(EnvironmentValues& values);

// Writes the values as the environment called Name: gSimPath/Environments/<Name>.env,
// its textures copied into the environment's folder (EnvironmentTextureFolder;
// see PlaceTextureCopy: a file already there is never replaced). A texture is
// looked for as the simulator reads its value (TexturePathOnDisk) and its
// copy takes the file name the simulator reads; the key then names the copy.
// A value whose file is not found here (a drive letter, a missing file) is
// written back as it was, and listed in `notFound` (when given). The file is
// replaced through a temporary file and a rename. False, nothing written or
// copied, when the name is refused (see IsEnvironmentNameAllowed) or a name or
// value holds a character the file's code page lacks (see
// TextOutsideCodePage); false too when the file cannot be written.
//
// A texture that is found but cannot be copied (the folder cannot be made or
// written, it or the link of its name belongs to another user, the disk is
// full, the texture cannot be read) fails the write: the file is not written,
// the copies this write made are removed again (and so is the folder, where
// this write made it and it is empty), and `uncopied` (when given) lists the
// textures with why each failed (TextureCopyFailureReason); errno is then the
// first one's. Otherwise a failed write leaves the reason in errno. The
// environment's folder is held from the first look to the last copy
// (held_folder.h), the copies made as PlaceTextureCopy makes them.
struct UncopiedTexture {
    std::string Path;         // on disk
    int Error = 0;            // the errno of the read, folder creation or write that failed; 0 unknown
    bool Unreadable = false;  // the texture itself could not be read
};
bool WriteEnvironmentFile(const std::string& Name);
bool WriteEnvironmentFile(const std::string& Name, const EnvironmentValues& values,
                          std::vector<UncopiedTexture>* uncopied = nullptr,
                          std::vector<std::string>* notFound = nullptr);

// The file WriteEnvironmentFile writes for Name, and the folder it copies the
// textures into: under gSimPath's Environments folder, each name matched to an
// existing one without regard to letter case ("sunset" writes an existing
// "Sunset.env"). The folder is named as the simulator reads the keys that
// name it: commas become points, trailing dots and spaces are dropped
// ("Sunset." copies into "Sunset"). Empty without a simulator folder or for a
// refused name.
std::string EnvironmentFilePath(const std::string& Name);
std::string EnvironmentTextureFolder(const std::string& Name);

// False, the values untouched, when no file can be read at Path; otherwise
// resets the values, applies the keys the file holds and returns true. World
// lighting is on when its colour, as read, is not white (a colour of 0.9999
// or 2 reads as white and lighting off, as a save then writes it).
bool ReadEnvironmentFile(const std::string& Path);
bool ReadEnvironmentFile(const std::string& Path, EnvironmentValues& values);

// Reads the values from the engine's buffer (gIniBuffer) holding a file's
// bytes, or from a file's bytes put there, as ReadEnvironmentFile reads a file.
void ReadEnvironmentBuffer(EnvironmentValues& values);
void ReadEnvironmentText(std::string_view text, EnvironmentValues& values);

// The bytes WriteEnvironmentFile saves for these values under Name, without
// copying anything: a texture found names its copy by the file name the
// simulator reads, one not found keeps its value (a character the code page
// lacks is written "?" here).
std::string EnvironmentFileText(const std::string& Name, const EnvironmentValues& values);

// The name, or the first texture value, that holds a character the file's
// code page lacks; nullopt when the file can hold them all.
std::optional<std::string> TextOutsideCodePage(const std::string& Name, const EnvironmentValues& values);

// A file's single-byte text as the program's text, and back; the way back is
// nullopt when the text holds a character the code page lacks (or is no UTF-8).
std::string EnvTextFromFileBytes(std::string_view bytes);
std::optional<std::string> EnvFileBytesFromText(std::string_view text);

// A name that stays inside the Environments folder: no "/" or "\", no control
// characters, and something left of its folder's name once commas become
// points and its trailing dots and spaces are dropped (not "", ".", "..",
// " .", ...).
bool IsEnvironmentNameAllowed(std::string_view Name);
// Why a name is refused, in lower case to follow a message's own words
// ("the environment's name cannot be a folder"); empty when it is allowed.
std::string EnvironmentNameRefusal(std::string_view Name);

// One name of a path as Windows reads it: without its trailing dots and
// spaces ("Sunset. " is "Sunset"); empty when nothing else is left.
std::string NameAsRead(std::string_view name);
// A texture value as the simulator reads it: up to a zero byte, every name
// without its trailing dots and spaces ("Environments.\sky.jpg ." is
// "Environments\sky.jpg"); "." and ".." stay. A name of nothing but dots and
// spaces leaves the value as it is (cut at the zero byte).
std::string TextureValueAsRead(std::string_view value);
// The file name of a texture value as the simulator reads it: after its last
// "\" or "/".
std::string TextureFileNameAsRead(std::string_view value);

// The clock of the header's "Last Modified" line: the local time to write.
// An empty function restores the system clock.
void SetEnvironmentClock(std::function<std::tm()> clock);
// "Sunday, December 06, 2026 - 08:32.20 AM" in the day and month names and the
// morning and afternoon designators of the current locale (LC_TIME), as the
// program's text. The file's header takes the English names instead when the
// locale's are not in the file's code page.
std::string EnvironmentDateText(const std::tm& time);

// "true" and "false" in any case; a number is true when it is not 0; any other
// text is false.
bool EnvValueToBoolean(std::string_view value);
// The decimal number at the start of the text ("." as the decimal point, leading
// blanks skipped, 0 when there is none) rounded to 6 decimals.
float EnvValueToSingle(std::string_view value);
// Each channel held to 0..1, times 255, to the nearest whole number.
int32_t ColorFromUnitRGB(float r, float g, float b);
// Appends prefix.red, prefix.green and prefix.blue, each channel / 255 to six decimals.
void WriteColorKeys(std::string_view prefix, int32_t colour);
// Copies the texture that path names (TexturePathOnDisk) into the
// environment's folder (PlaceTextureCopy) and appends the key with
// relativeFolder & the name of the copy; when the texture is not found or
// cannot be copied, with path as it is. A path of fewer than 2 characters
// writes nothing.
void WriteTextureKey(std::string_view key, const std::string& path, const std::string& relativeFolder);

// Puts the file at source into folder under fileName without ever replacing a
// file: the folder's file of that name (in any letter case) when it holds the
// same bytes, else a copy under the first free name of fileName,
// "<stem> (2)<ext>", "<stem> (3)<ext>", ... Returns the name in the folder as
// spelled there (`created` tells whether a copy was written); nullopt when the
// source cannot be read (`unreadable` tells), the folder cannot be made or
// used or no copy can be written, with errno saying why (0 when the system
// gave no reason; TextureCopyFailureReason says it).
// The folder is made and opened in its parent, which is made and opened as
// the way to a write allows (fsys::MakeFoldersToWrite), and judged as an
// environment's folder (held_folder.h): another user's folder or link there
// gets no copy (kAnotherUsersFolderError).
// The copy is made in the folder held open, never through a link: a name
// taken by anything, a link among them, counts as taken, and the next name is
// tried. It is made readable by its owner alone, its bytes written and
// flushed and its name flushed, and only then given the source's permission
// bits less the umask, the group's bits only where the copy's group is the
// source's: no one reads the copy who could not read the source. A file found
// with the same bytes is read through the held folder, a link not followed.
std::optional<std::string> PlaceTextureCopy(const std::string& source, const std::string& folder,
                                            const std::string& fileName, bool* created = nullptr,
                                            bool* unreadable = nullptr);
// The same into a folder held already (OpenFolderToFill); errno the folder's
// Error where it is not open.
struct HeldFolder;
std::optional<std::string> PlaceTextureCopy(const std::string& source, const HeldFolder& folder,
                                            const std::string& fileName, bool* created = nullptr,
                                            bool* unreadable = nullptr);
// Why a texture's copy was not written, from the errno PlaceTextureCopy left:
// "The environment's folder belongs to another user.", "The environment's
// folder was replaced by another while it was opened.", else the system's
// reason as a save gives it (fsys::WriteFailureReason).
std::string TextureCopyFailureReason(int error);
// The n-th name PlaceTextureCopy tries (n from 1): "sky.jpg", "sky (2).jpg", ...
std::string NumberedFileName(const std::string& fileName, int n);
// The path on disk of a texture as the environment's boxes hold it, read as
// the simulator reads it (TextureValueAsRead): an absolute path as it is, any
// other relative to the simulator folder (gSimPath, made absolute) with its
// names matched as stored names (platform/stored_paths.h), letter case
// ignored. Empty when nothing is found there, for a path with a drive letter
// ("C:\Pics\sky.jpg") and for one whose ".." leaves the simulator folder.
// The editor's writer, its rows and the organizer all find textures by this.
std::string TexturePathOnDisk(const std::string& path);
// Creates the missing folders of the path; true when it exists afterwards.
bool CreateFolderChain(const std::string& path);

// The channel of a colour as the file writes it: "0.0" to "1.0", at most six decimals.
std::string EnvChannelText(int channel);
