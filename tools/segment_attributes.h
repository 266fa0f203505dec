#pragma once
// The Track menu's Tunneler, Spine Changer and Tube Exchanger: each changes one
// attribute of many records at once without moving anything.

#include <array>
#include <cstdint>
#include <string>

// ---- Tunneler ---------------------------------------------------------------

// The four "Never Add Tunnels to ..." boxes, for the segment types 1 (station)
// to 4 (brake) in order.
struct TunnelerOptions {
    std::array<bool, 4> NeverTunnel = {true, false, false, false};
};
inline constexpr std::array<const char*, 4> kNeverTunnelCaptions = {
    "Never Add Tunnels to Station Segments", "Never Add Tunnels to Lift Segments",
    "Never Add Tunnels to Transport Segments", "Never Add Tunnels to Brake Segments"};

enum class TunnelAction { Toggle = 0, TunnelAll = 1, Remove = 2 };
inline constexpr std::array<const char*, 3> kTunnelActionCaptions = {"Toggle Tunnels", "Tunnel All",
                                                                     "Remove Tunnels"};

// True for a segment of type 1 to 4 whose box is ticked; normal segments never.
bool TunnelExcluded(int32_t segmentType, const TunnelerOptions& options);
// The action over every segment: Toggle clears a tunnel or sets one where the
// segment is not excluded; Tunnel All sets it on every segment but the
// excluded, which lose theirs; Remove clears it everywhere.
void ApplyTunnelAction(TunnelAction action, const TunnelerOptions& options);
// An action button: the action, Recolor and RebuildTunnels, the changed mark.
bool RunTunneler(TunnelAction action, const TunnelerOptions& options);

// ---- Spine Changer ----------------------------------------------------------

inline constexpr const char* kNoSpineStylesText = "There are no different spine style's for this style of track.";
inline constexpr std::array<const char*, 3> kSpineApplicationCaptions = {
    "Entire Track", "Entire Track, Except Selected Segments", "Only Selected Segments"};

// The captions of the three style options for a track style; an empty caption
// is a hidden option. No option at all means kNoSpineStylesText and OK disabled.
std::array<std::string, 3> SpineStyleCaptions(int32_t trackStyle);
bool HasSpineStyles(int32_t trackStyle);

enum class SegmentApplication { EntireTrack = 0, ExceptSelected = 1, OnlySelected = 2 };

// The number of selected segments among 0 .. gSegmentCount - 1.
int32_t SelectedSegmentCount();
// Whether segment s is changed under an application choice.
bool SegmentApplies(SegmentApplication application, bool selected);
// OK: SpineStyle = 4 * styleOption on every segment the choice names; the
// changed mark and no rebuild flag.
bool RunSpineChanger(int styleOption, SegmentApplication application);

// ---- Tube Exchanger ---------------------------------------------------------

inline constexpr int kTubeListSize = 10;
// The entry and the tube type code of a list position (0 .. 9).
std::string TubeListEntry(int position);
int32_t TubeListCode(int position);
// OK is enabled exactly while the two positions differ.
bool TubeExchangeOkEnabled(int fromPosition, int toPosition);
// Every tube of the from-type becomes the to-type; the number of tubes changed.
int32_t ExchangeTubes(int32_t fromCode, int32_t toCode);
// OK: the exchange, RebuildTubes, the changed mark (also when no tube matched).
bool RunTubeExchanger(int fromPosition, int toPosition);
