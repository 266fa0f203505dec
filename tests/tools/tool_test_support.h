#pragma once
// Shared helpers of the tool tests: a fixture that resets the documents, the
// model builder and the application state, answers message boxes and counts
// the preview's redraws; and documents made in code.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/scripted_prompts.h"
#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ScriptedPrompts prompts;
    int redraws = 0;  // RemodelChangedParts runs that ended in a redraw
};

TrackNode Node(Vector3 position, Vector3 controlIn, Vector3 controlOut, float roll = 0.0f);

// An open track of straight segments: node i at start + i * step, control
// points a third of a step before and after. Two free nodes and two footers
// lie beside it; the path is not built.
void MakeLineTrack(Vector3 start, Vector3 step, int segments, bool closed = false);
// An element of the given nodes (node 0 is expected at the origin).
void MakeElement(const std::vector<TrackNode>& nodes);

// The highest and lowest path point of the built frames.
float HighestPathPoint();

::testing::AssertionResult Near(const Vector3& a, const Vector3& b, float tolerance = 1e-4f);
bool Same(const Vector3& a, const Vector3& b);  // bit for bit, -0 distinct from 0 not required
bool FlagsClear();

// A path for a file of one test, in a temporary folder of this process's own,
// so test cases running side by side never share a file.
std::string TestTempFile(const std::string& name);
