#pragma once
// The busy window shown while the model is built. The builders talk to it only
// through this interface: the program installs the window (frmWorking, in
// gw_model_wx) at start-up, tests install a recorder, and without either a
// silent implementation answers.
//
// UpdateMarker is the one point at which a build lets the window system
// deliver pending events; UpdateInfo only changes the text.

#include <cstdint>
#include <string>

class BuildProgress {
public:
    virtual ~BuildProgress() = default;
    // Shows the window modeless beside the main window (created afresh when it
    // was unloaded).
    virtual void Show() = 0;
    // Shows the stage text; the new text is painted at the latest by the next UpdateMarker.
    virtual void UpdateInfo(const std::string& text) = 0;
    // Moves the marker one step and serves the window system's pending events.
    virtual void UpdateMarker() = 0;
    // Closes the window even though the user may not close it.
    virtual void ForceUnload() = 0;
};

BuildProgress& BusyWindow();
void SetBusyWindow(BuildProgress* window);  // nullptr restores the silent default

// The marker that runs to and fro along the busy window's strip: from 0 with a
// step of +2 it runs 2, 4, ..., 96, then back 94, ..., 0, and so on.
struct BusyMarker {
    int16_t Position = 0;
    int16_t Step = 2;
    void Advance();
};

// The strip's scale: the marker stays visible for positions 0 to this value.
inline constexpr int kBusyMarkerRange = 96;

// Moves the busy marker after every `every`-th record of a builder's loop
// (tubes, catwalks and footers step it after every 50th).
class BatchMarker {
public:
    explicit BatchMarker(int16_t every = 50) : every_(every) {}
    void Step() {
        if (++count_ >= every_) {
            count_ = 0;
            BusyWindow().UpdateMarker();
        }
    }

private:
    int16_t every_;
    int16_t count_ = 0;
};
