#pragma once
// What the modeler dialog (frmModeler) does apart from its window: its working
// copy of the model settings, the ranges and key rules of its boxes, what each
// edit stores and which rebuild flags it sets, the track-style presets, the
// enabling rules of the crosstie page, and OK and Force Remodel All.
//
// The working copy changes only through the user's edits, a preset and a
// loaded settings set. Showing a value in a box stores nothing: the boxes show
// decimals rounded to two places, and the copy keeps the exact values, so
// opening the dialog and pressing OK leaves the settings and the rebuild flags
// exactly as they were.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/numeric_input.h"
#include "model/modeler_settings.h"

// The dialog's texts.
inline constexpr const char* kModelerTitle = "Modeler";
inline constexpr const char* kModelerHelpTopic = "m_modeler";
inline constexpr std::array<const char*, 6> kModelerTabCaptions = {"Rails", "Spine", "Crossties",
                                                                   "Supports", "Terrain", "Extras"};
inline constexpr std::array<const char*, 10> kTrackStyleCaptions = {
    "Steel Looping", "Corkscrew", "Inverted 2seat", "Twisted Steel", "Inverted 4seat",
    "Hyper 2seat",   "Floorless", "Standup",        "Hyper 4seat",   "Wooden"};
inline constexpr std::array<const char*, 10> kTubeScaleCaptions = {
    "Small Tube:", "Medium Tube:", "Large Tube:", "X-Large Tube:", "XX-Large Tube:",
    "'L' Beam:",   "'H' Beam:",    "4x4 Wood:",   "1x4 Wood:",     "2x2 Wood:"};
inline constexpr const char* kTieBrowseTitle = "Select Crosstie Model...";
inline constexpr const char* kTieBrowseFilter = "Formcaster Files (*.fcobject)|*.fcobject";
inline constexpr const char* kTieBrowseExt = "fcobject";

// The numeric boxes' ranges and keys.
inline constexpr uc::NumericBoxRule kCountRule{0, 32, false, false};         // txtNumRails, txtNumSpines
inline constexpr uc::NumericBoxRule kPositionRule{-10, 10, true, true};      // txtRailPos, txtSpinePos
inline constexpr uc::NumericBoxRule kSizeRule{0.01, 10, false, true};        // txtRailSize, txtSpineSize
inline constexpr uc::NumericBoxRule kDetailRule{0.1, 3.0, false, true};      // txtRailDetail, txtSpineDetail
inline constexpr uc::NumericBoxRule kTieSpacingRule{0.1, 10, false, true};   // txtTieSpacing
inline constexpr uc::NumericBoxRule kTieToggleRule{1, 50, false, false};     // txtTieToggle
inline constexpr uc::NumericBoxRule kTieBankRule{0.1, 179.9, false, true};   // txtTieBank
inline constexpr uc::NumericBoxRule kTubeScaleRule{0.01, 10, false, true};   // txtTubeScaleX, txtTubeScaleZ
inline constexpr uc::NumericBoxRule kSoftnessRule{8, 64, false, false};      // txtTunnelSoftness
inline constexpr int32_t kMaxTubeCount = 32;                                  // rails or spines
inline constexpr int kShownTubeScales = 10;                                   // slot 10 is not shown

// The two tube lists of the Rails and Spine pages.
enum class TubeList { Rails, Spines };

// The rebuild-flag groups of the dialog's edits (gRemodelFlags).
// Track: track and crossties, support tubes and catwalks, prefabricated supports.
void FlagTrackRemodel();
// Support: support tubes and catwalks, footers, prefabricated supports.
void FlagSupportRemodel();

// The texts of a list's entries: "Rail Model 01" ... or "Spine Model 01" ...
std::string TubeEntryText(TubeList list, int index);

// Which controls of the crosstie page may be used, from the two use boxes
// and the options "Toggle:" and "Use Alternate when Banking is Over:". A
// toggle or bank value is in use, and so open to editing and checked against
// its range, only while its option is ticked; the presets' 0 toggle counts
// and 0 bank angle stand in their disabled boxes as they are.
struct CrosstieEnabling {
    bool PrimaryModel = false;    // primary model box, browse button and label; spacing box and label
    bool AlternateUse = false;    // the alternate's use box
    bool UntickAlternate = false; // the alternate's use box is unticked (and the alternate unused)
    bool AlternateModel = false;  // alternate model box, browse button and label
    bool Extras = false;          // the three option boxes
    bool Toggle = false;          // both toggle boxes and their labels
    bool Bank = false;            // the bank box and its label
};
CrosstieEnabling CrosstiePageEnabling(bool usePrimary, bool useAlternate, bool toggleTies = false,
                                      bool altOnBank = false);

// The dialog's working copy and its edits. Every Edit... takes the box's text
// and stores its value only while it lies in the box's range (false
// otherwise: the box is red and the copy keeps its value); whole numbers are
// rounded halves to even. Stored edits set the flags of their row.
class ModelerForm {
public:
    // CopySettingsToForm: the copy starts as gModelSettings without crosstie triangles.
    ModelerForm();

    const ModelerSettings& Copy() const { return mCopy; }
    ModelerSettings& Copy() { return mCopy; }
    int32_t Count(TubeList list) const;
    // The list's record; nullptr when index is outside the count.
    const RailSpec* Record(TubeList list, int index) const;

    // The count box. A new count keeps the first records, and records beyond
    // it stay in the copy while the dialog is open, so retyping a count (3 to
    // 1 to 12) drops nothing; records the list gains for the first time are
    // empty. Every record within the count gets a size of at least 0.01.
    // True when the count is in range (track flags).
    bool EditCount(TubeList list, std::string_view text);
    // X (axis 0), Y (1) or Z (2), size and shape of the selected record; a
    // selection outside the list stores nothing, but a value in range sets the
    // track flags all the same.
    bool EditPosition(TubeList list, int selected, int axis, std::string_view text);
    bool EditSize(TubeList list, int selected, std::string_view text);
    void SetShape(TubeList list, int selected, int16_t shape);
    // RailDetail or SpineDetail (path, track and crossties, tunnels).
    bool EditDetail(TubeList list, std::string_view text);

    // The two use boxes and the three option boxes (ToggleTies, AltOnBank,
    // AltOnStart), stored together; a change flags the track. The alternate
    // is used only with the primary, as its box shows.
    void SetTieUse(bool usePrimary, bool useAlternate);
    void SetTieOptions(bool toggleTies, bool altOnBank, bool altOnStart);
    // The model file of slot 0 or 1, any text (track).
    void EditTieModel(int slot, std::string_view text);
    bool EditTieSpacing(std::string_view text);
    bool EditTieToggle(int index, std::string_view text);
    bool EditTieBank(std::string_view text);

    // X (axis 0) or Z (axis 2) of tube-scale slot 0 to 9 (support).
    bool EditTubeScale(int slot, int axis, std::string_view text);
    void SetRoundFooters(bool round);                 // support
    void SetSupportColor(int32_t color);              // support, colouring
    void SetTerrain(bool useTerrain, bool lowDetail); // ground
    bool EditTunnelSoftness(std::string_view text);   // tunnels
    void SetTunnelColor(int32_t color);               // tunnels, colouring
    void SetSquareTunnels(bool square);               // tunnels

    // A track-style button (0 to 9; 10 to 12 share the wooden preset): the
    // preset's rails, spine, crosstie slots and rules, footers and tunnel
    // shape; flags the track, and the footers or tunnels when their shape changed.
    void LoadTrackStylePreset(int style);
    // After a settings set was read into the copy: every rebuild flag.
    void SetLoaded();

    // OK: the copy back into gModelSettings. The lists take the copy's
    // records up to their counts (and one empty spare); both crosstie slots'
    // loaded triangles are dropped, so that the next build reads the model
    // files again (an edited file included). The flags stay for the caller's
    // rebuild.
    void ApplyFormSettings() const;
    // Force Remodel All: the copy back as OK does, every rebuild flag, the
    // track model invalid, presets counted as loaded.
    void ForceRemodelAll() const;

private:
    std::vector<RailSpec>& List(TubeList list);
    const std::vector<RailSpec>& List(TubeList list) const;
    int32_t& CountRef(TubeList list);
    void Apply() const;

    ModelerSettings mCopy;
};

// Cancel: the copy is dropped and the rebuild flags cleared.
void CancelModelerForm();
