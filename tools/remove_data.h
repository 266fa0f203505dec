#pragma once
// Track > Remove Data apart from its window: the check boxes with their
// linked enabling and ticking rules, and OK's removal of the checked kinds of
// data in a fixed order.
//
// Every box starts unchecked and enabled. Setting a box's value, whether the
// user clicks it or code sets it, runs that box's rules: a checked master
// disables the boxes of its group, and some boxes tick others (the track ticks
// the prefabricated supports and the orphan beams, all free nodes tick the
// catwalks and orphan beams, ...). Unchecking never unticks what checking
// ticked.
//
// OK reads the values whether a box is enabled or not; a checked master skips
// its group's other boxes. After removing the track, prefabricated supports,
// free nodes or footers it also drops the tubes and catwalks left naming
// records that are gone, so the document never keeps a reference past a count.

#include <array>
#include <cstdint>

enum class RemoveBox : int {
    Track, CustomColors, Tunnels,                                     // chkRemTrack 0 .. 2
    Terrain,                                                          // chkRemTera
    Trees, TreesA, TreesB, TreesC,                                    // chkRemTree 0 .. 3
    Objects,                                                          // chkRemObjs
    Environment,                                                      // chkRemEnvc
    FreeNodes, UnusedFreeNodes,                                       // chkRemFren 0, 1
    Footers, UnusedFooters,                                           // chkRemFund 0, 1
    Catwalks,                                                         // chkRemCatw
    Prefabs, PrefabTrackNodes, PrefabSimple, PrefabComplex, PrefabInverted, Prefab90degBank,
    PrefabSmallInverted, PrefabAShape,                                // chkRemRasc 0 .. 7
    Beams, SteelBeams, WoodBeams, SmallTubes, MediumTubes, LargeTubes, XLargeTubes, XXLargeTubes,
    LBeams, HBeams, Wood4x4, Wood2x2, Wood1x4,                        // chkRemTube 0 .. 12
    OrphanBeams,                                                      // chkRemOrfand
    Comments,                                                         // chkRemInfo
    Count
};

inline constexpr int kRemoveBoxCount = static_cast<int>(RemoveBox::Count);

// The boxes of a control array: its first box and index i within it.
inline RemoveBox TrackBox(int i) { return static_cast<RemoveBox>(static_cast<int>(RemoveBox::Track) + i); }
inline RemoveBox TreeBox(int i) { return static_cast<RemoveBox>(static_cast<int>(RemoveBox::Trees) + i); }
inline RemoveBox RascBox(int i) { return static_cast<RemoveBox>(static_cast<int>(RemoveBox::Prefabs) + i); }
inline RemoveBox TubeBox(int i) { return static_cast<RemoveBox>(static_cast<int>(RemoveBox::Beams) + i); }

// The box's caption, as the dialog shows it.
const char* RemoveBoxCaption(RemoveBox box);

// The six panels: their titles and the boxes each holds, in their order.
struct RemovePanel {
    const char* Title;
    std::array<RemoveBox, 14> Boxes;
    int BoxCount;
};
const std::array<RemovePanel, 6>& RemoveDataPanels();

inline constexpr const char* kRemoveSelectAllCaption = "Select All";
inline constexpr const char* kRemoveUnselectAllCaption = "Unselect All";

class RemoveDataForm {
public:
    // 1 checked, anything else unchecked.
    int Value(RemoveBox box) const { return values_[Index(box)]; }
    bool Checked(RemoveBox box) const { return Value(box) == 1; }
    bool Enabled(RemoveBox box) const { return enabled_[Index(box)]; }

    // Sets the value and runs the box's rules (a Click).
    void SetValue(RemoveBox box, int value);
    // The user's click on an enabled box: its value turns over, then its rules.
    // A click on a disabled box does nothing.
    void Click(RemoveBox box);
    // Every box set to the value in the dialog's fixed order, each with its rules
    // (Select All: 1, Unselect All: 0).
    void SetAllRemoveChecks(int value);

private:
    static int Index(RemoveBox box) { return static_cast<int>(box); }
    void RunRules(RemoveBox box);
    void EnableRange(RemoveBox first, RemoveBox last, bool enabled);

    std::array<int, kRemoveBoxCount> values_{};
    std::array<bool, kRemoveBoxCount> enabled_ = [] {
        std::array<bool, kRemoveBoxCount> a{};
        a.fill(true);
        return a;
    }();
};

// Removes every tree of the type; the others keep their order.
void RemoveTreesOfType(int32_t treeType);

// OK: removes the checked kinds of data in the fixed order (track, terrain,
// trees, objects, environment, comments, catwalks, prefabricated supports,
// tubes, free nodes, footers, orphan beams), then the references left naming
// nothing, then sets every rebuild flag and marks the document changed, even
// when nothing was checked.
void RunRemoveData(const RemoveDataForm& form);
