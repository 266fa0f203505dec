#pragma once
// The Move tool apart from its window: the direction vectors of its buttons,
// the Auto-Center vector, and one opening of the tool as a session that
// applies moves one click at a time and ends with Done.
//
// Each applied move marks the document changed at once, so no move can be
// lost by opening another file or leaving the program. With "Update Model
// Every Move" clear, the model (and with it the path frames) is rebuilt only at
// Done; the boundary test of the moves in between adds the moves made since
// the last rebuild to the frames' points.

#include "tools/tool_form.h"
#include "trackdoc/math3d.h"

inline constexpr NumericBoxSpec kMoveAmountBox{0.1, 100.0, false, true, "10"};

// The direction buttons 0 to 6: North, South, East, West, Up, Down, Auto-Center.
enum MoveDirection { MoveNorth = 0, MoveSouth, MoveEast, MoveWest, MoveUp, MoveDown, MoveAutoCenter };
inline constexpr int kMoveDirectionCount = 7;
inline constexpr const char* kMoveDirectionCaptions[kMoveDirectionCount] = {
    "North", "South", "East", "West", "Up", "Down", "Auto-Center"};

// The move of buttons 0 to 5 by d metres (north is -Z, east +X, up +Y).
Vector3 MoveDirectionVector(int direction, float d);
// The move that centres the track's nodes on the origin in X and Z: the
// middle of the smallest box around the node positions (control points are not
// looked at), negated. The box starts from the first node.
Vector3 AutoCenterVector();

struct TrackMoveOptions {
    bool MoveSupports = true;  // "Move Supports and Footers with Track"
    bool UpdateModel = true;   // "Update Model Every Move"
};

enum class MoveResult {
    Applied,  // the track moved
    Refused,  // the boundary test failed, or a coordinate would not be finite: message shown, nothing changed
    Busy,     // a model build is running: nothing done
};

class TrackMoveSession {
public:
    // A move by v: the scene-boundary test, the translation, the changed mark,
    // then either the rebuild at once or a pending one for Done.
    MoveResult ApplyMove(const Vector3& v, const TrackMoveOptions& options);
    // A click on direction button 0 to 6 with the amount box's value.
    MoveResult Click(int direction, double amount, const TrackMoveOptions& options);
    // Done (also the close box, and whatever closes the tool for another
    // command): the pending rebuild, or the flags cleared when none is pending.
    // The changed mark was set by each move already.
    void Done();

    bool ModelStale() const { return modelStale_; }
    bool TrackMoved() const { return trackMoved_; }

private:
    bool modelStale_ = false;  // moves applied whose model rebuild has not run yet
    bool trackMoved_ = false;  // at least one move applied since the tool opened
    Vector3 pending_;          // the sum of the moves since the path frames were last built
};
