#pragma once
// Shared helpers of the model tests: a prompts recorder, a busy-window
// recorder, documents made in code and a fixture that resets the program-wide
// state of the document and the model builder.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/busy_window.h"
#include "platform/prompts.h"
#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

struct ShownMessage {
    std::string Text;
    std::string Title;
    MsgIcon Icon = MsgIcon::None;
};

class RecordingPrompts final : public Prompts {
public:
    std::vector<ShownMessage> Messages;
    MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons, MsgIcon icon) override {
        Messages.push_back({text, title, icon});
        return MsgResult::OK;
    }
    bool FileDialog(FileDialogRequest&) override { return false; }
    bool ShellOpen(const std::string&) override { return false; }
};

// Records what the builders tell the busy window: "show", "info:<text>",
// "unload"; marker steps are only counted (and may run a callback).
class RecordingBusyWindow final : public BuildProgress {
public:
    std::vector<std::string> Events;
    int Markers = 0;
    std::function<void()> OnMarker;

    void Show() override { Events.push_back("show"); }
    void UpdateInfo(const std::string& text) override { Events.push_back("info:" + text); }
    void UpdateMarker() override {
        ++Markers;
        if (OnMarker) OnMarker();
    }
    void ForceUnload() override { Events.push_back("unload"); }
    std::vector<std::string> Texts() const;
};

// Resets the documents, the model settings, flags and arrays, and the
// application state the builders read; installs the two recorders.
class ModelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    RecordingPrompts prompts;
    RecordingBusyWindow busy;
};

// The folder of the program's data in the build tree (with the crosstie objects).
std::string TestDataFolder();
// A fresh empty folder for one test.
std::string MakeTempFolder();

TrackNode Node(Vector3 position, Vector3 controlIn, Vector3 controlOut, float roll = 0.0f);

// A track document: nodes in a straight line along -Z from the origin, each
// segment `length` long with its control points at a third and two thirds.
void MakeStraightTrack(int segments, float length, bool closed = false, int style = 0);
// A level closed circle of the given radius, counter-clockwise seen from
// above, in `segments` equal arcs.
void MakeCircleTrack(int segments, float radius, int style = 0);
// Sets the document kind and the segment records' defaults.
void FinishTrackSegments();

// A spine copy with straight segments along -Z of exactly these lengths,
// frames sampled evenly (Distance k * L / 999), each frame rolled by `roll`.
void MakeSyntheticPath(const std::vector<float>& lengths, float roll = 0.0f, bool closed = false);

// The rings a sweep lays along a segment of this length: d = 0, s, 2s, ...
// (single additions) up to L + s, s = L / n.
int SweepRingCount(float length, float detail);
// The strips with area among them: rings past the end of the last segment of
// an open track repeat the last ring within it, and a second ring past the end
// of any other segment repeats the first (the next segment's first frame).
int SweepStripCount(float length, float detail, bool lastOfOpenTrack);
// The ties placed along a segment of this length.
int TieCount(float length, float spacing);

// Loads one triangle into a tie slot: corners at height y.
void SetTieTriangle(int slot, float y);
