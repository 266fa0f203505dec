// The element tools: Reverse, Scale, Pitch, Tilt and Skew.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/element_transforms.h"
#include "tools/finite_coordinates.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"

namespace {

TrackNode Flagged(TrackNode n, bool easing, bool strict, bool third) {
    n.RollEasing = easing;
    n.StrictRoll = strict;
    n.NodeFlag3 = third;
    return n;
}

// Three nodes running along +Z and climbing; the last node's incoming control
// point lies straight behind it (-Z), so the reversed element already leaves
// along -Z and the reversal turns nothing.
std::vector<TrackNode> StraightElement() {
    return {Flagged(Node({0, 0, 0}, {0, 0, -2}, {0, 1, 3}, 0.0f), true, false, false),
            Flagged(Node({0, 4, 10}, {0, 3, 7}, {0, 5, 13}, 0.5f), false, true, true),
            Flagged(Node({0, 6, 20}, {0, 6, 16}, {0, 6, 24}, -0.25f), true, true, false)};
}

// A curving, climbing element with rolls.
std::vector<TrackNode> CurvedElement() {
    return {Node({0, 0, 0}, {0, 0, 0}, {0, 0, -5}, 0.0f), Node({4, 2, -14}, {1, 1, -11}, {7, 3, -17}, 0.3f),
            Node({15, 5, -20}, {11, 4, -19}, {19, 6, -21}, -0.7f), Node({25, 3, -25}, {22, 4, -23}, {28, 2, -27}, 1.1f)};
}

float Dist(const Vector3& a, const Vector3& b) { return VectorDistance(a, b); }

void ExpectFlags(bool path, bool track, bool tubes, bool recolor) {
    const RemodelFlags& f = gRemodelFlags;
    EXPECT_EQ(f.RebuildPath, path);
    EXPECT_EQ(f.RebuildTrack, track);
    EXPECT_EQ(f.RebuildTubes, tubes);
    EXPECT_EQ(f.RebuildFooters, tubes);
    EXPECT_FALSE(f.RebuildGround);
    EXPECT_EQ(f.Recolor, recolor);
    EXPECT_EQ(f.RebuildTunnels, tubes);
    EXPECT_EQ(f.RebuildPrefabs, tubes);
}

}  // namespace

using ElementReverseTest = ToolTest;
using ElementTransformTest = ToolTest;
using ElementSkewTest = ToolTest;

TEST_F(ElementReverseTest, ExactResultOfAStraightReversal) {
    MakeElement(StraightElement());
    ASSERT_TRUE(ReverseOkEnabled());
    ASSERT_TRUE(RunElementReverse());
    ASSERT_EQ(gElementNodeCount, 3);
    // Node 0 is the former last node, at the origin; every point moved by -(0, 6, 20).
    EXPECT_TRUE(Same(gElementNodes[0].Position, MakeVector(0, 0, 0)));
    EXPECT_TRUE(Same(gElementNodes[0].ControlIn, MakeVector(0, 0, 4)));   // its former out
    EXPECT_TRUE(Same(gElementNodes[0].ControlOut, MakeVector(0, 0, -4)));  // its former in
    EXPECT_EQ(gElementNodes[0].Roll, 0.25f);
    EXPECT_TRUE(gElementNodes[0].RollEasing);
    EXPECT_TRUE(gElementNodes[0].StrictRoll);
    EXPECT_FALSE(gElementNodes[0].NodeFlag3);

    EXPECT_TRUE(Same(gElementNodes[1].Position, MakeVector(0, -2, -10)));
    EXPECT_TRUE(Same(gElementNodes[1].ControlIn, MakeVector(0, -1, -7)));
    EXPECT_TRUE(Same(gElementNodes[1].ControlOut, MakeVector(0, -3, -13)));
    EXPECT_EQ(gElementNodes[1].Roll, -0.5f);
    EXPECT_FALSE(gElementNodes[1].RollEasing);
    EXPECT_TRUE(gElementNodes[1].StrictRoll);
    EXPECT_TRUE(gElementNodes[1].NodeFlag3);

    EXPECT_TRUE(Same(gElementNodes[2].Position, MakeVector(0, -6, -20)));
    EXPECT_TRUE(Same(gElementNodes[2].ControlIn, MakeVector(0, -5, -17)));
    EXPECT_TRUE(Same(gElementNodes[2].ControlOut, MakeVector(0, -6, -22)));
    EXPECT_EQ(gElementNodes[2].Roll, 0.0f);
    EXPECT_TRUE(gElementNodes[2].RollEasing);
    EXPECT_FALSE(gElementNodes[2].StrictRoll);

    ExpectFlags(true, true, false, true);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(ElementReverseTest, ATurnedReversalKeepsTheShapeAndLeavesAlongMinusZ) {
    const std::vector<TrackNode> before = CurvedElement();
    MakeElement(before);
    ASSERT_TRUE(RunElementReverse());
    const int n = 4;
    EXPECT_TRUE(Same(gElementNodes[0].Position, MakeVector(0, 0, 0))) << "exactly on the origin";
    // The outgoing control point on the negative Z axis at its former distance.
    const Vector3 out = gElementNodes[0].ControlOut;
    EXPECT_NEAR(out.X, 0.0f, 1e-5f);
    EXPECT_NEAR(out.Y, 0.0f, 1e-5f);
    EXPECT_LT(out.Z, 0.0f);
    EXPECT_NEAR(-out.Z, Dist(before[3].Position, before[3].ControlIn), 1e-5f);
    // A rigid move: every distance between points stays.
    for (int i = 0; i < n; ++i) {
        const TrackNode& now = gElementNodes[i];
        const TrackNode& was = before[n - 1 - i];
        EXPECT_EQ(now.Roll, -was.Roll);
        EXPECT_NEAR(Dist(now.Position, now.ControlIn), Dist(was.Position, was.ControlOut), 1e-4f);
        EXPECT_NEAR(Dist(now.Position, now.ControlOut), Dist(was.Position, was.ControlIn), 1e-4f);
        for (int j = 0; j < n; ++j)
            EXPECT_NEAR(Dist(now.Position, gElementNodes[j].Position), Dist(was.Position, before[n - 1 - j].Position),
                        1e-4f);
    }
    // Reversing twice gives the shape back in its first order (the element's
    // own start direction is lost, but node distances and rolls return).
    ASSERT_TRUE(RunElementReverse());
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(gElementNodes[i].Roll, before[i].Roll);
        for (int j = 0; j < n; ++j)
            EXPECT_NEAR(Dist(gElementNodes[i].Position, gElementNodes[j].Position),
                        Dist(before[i].Position, before[j].Position), 1e-4f);
    }
}

TEST_F(ElementReverseTest, NoDirectionAtTheLastNodeMeansOnlyTheTranslation) {
    std::vector<TrackNode> nodes = CurvedElement();
    nodes[3].ControlIn = nodes[3].Position;  // d = 0: both angles 0
    MakeElement(nodes);
    ASSERT_TRUE(RunElementReverse());
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Same(gElementNodes[i].Position, VectorFromTo(nodes[3].Position, nodes[3 - i].Position)));
}

// The camelback hill stretched to 200 % in Y ends, once reversed, straight up
// (its former first node leaves at 45 degrees, which the first reversal turns
// upright): its heading must come from the element, not from rounding, or the
// second reversal lays the hill on its side. A hand-made element in a slanted
// upright plane, ending straight down, lands in the plane x = 0.
TEST_F(ElementReverseTest, AnElementEndingStraightUpStaysInItsPlane) {
    ASSERT_TRUE(LoadElementFile(std::string(GW_SAMPLES_DIR) + "camelback.vxelem"));
    ElementScaleOptions taller;
    taller.Percent[1] = 200;
    ASSERT_TRUE(RunElementScale(taller));
    const auto maxOutOfPlane = [] {
        float most = 0.0f;
        for (int32_t i = 0; i < gElementNodeCount; ++i) {
            const TrackNode& n = gElementNodes[i];
            for (const Vector3& p : {n.Position, n.ControlIn, n.ControlOut}) most = std::max(most, std::fabs(p.X));
        }
        return most;
    };
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(RunElementReverse());
        EXPECT_LT(maxOutOfPlane(), 1e-4f) << "reversal " << round;
    }

    // Upright plane along (3, 0, -4), ending straight down at (6, 5, -8).
    const auto along = [](float s, float y) { return MakeVector(0.6f * s, y, -0.8f * s); };
    MakeElement({Node({0, 0, 0}, {0, 0, 0}, along(3, 0)), Node(along(10, 5), along(10, 8), along(10, 2))});
    ASSERT_TRUE(RunElementReverse());
    EXPECT_LT(maxOutOfPlane(), 1e-4f);
    EXPECT_TRUE(Near(gElementNodes[0].ControlOut, MakeVector(0, 0, -3))) << "leaves along -Z";
    EXPECT_TRUE(Near(gElementNodes[1].Position, MakeVector(0, -10, 5))) << "the level way back turned down";

    // An arch in the upright plane at 30 degrees, leaving and ending 1e-5 off
    // vertical, its end leaning away from its start. The level part of such an
    // end ten metres out is largely the rounding of its coordinates: each
    // reversal still keeps the arch in its plane and leaves exactly along -Z.
    const auto arch = [](float s, float y) { return MakeVector(0.5f * s, y, -0.8660254f * s); };
    MakeElement({Node({0, 0, 0}, {0, 0, 0}, arch(3e-5f, 3)), Node(arch(10, 0), arch(10.00003f, 3), arch(9.99997f, -3))});
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(RunElementReverse());
        EXPECT_LT(maxOutOfPlane(), 1e-4f) << "reversal " << round;
        EXPECT_TRUE(Near(gElementNodes[0].ControlOut, MakeVector(0, 0, -3), 1e-5f)) << "reversal " << round;
    }
}

TEST_F(ElementReverseTest, NeedsTwoNodes) {
    MakeElement({Node({0, 0, 0}, {0, 0, 1}, {0, 0, -1}, 0.4f)});
    EXPECT_FALSE(ReverseOkEnabled());
    EXPECT_FALSE(RunElementReverse());
    EXPECT_EQ(gElementNodes[0].Roll, 0.4f);
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(gDocumentChanged);
    MakeElement({});
    EXPECT_FALSE(ReverseOkEnabled());
    EXPECT_FALSE(RunElementReverse());
}

TEST_F(ElementTransformTest, ScaleIsPerAxisAboutTheOrigin) {
    MakeElement(CurvedElement());
    ElementScaleOptions options;
    options.Percent[0] = 50;
    options.Percent[1] = 300;
    options.Percent[2] = 1000;
    ASSERT_TRUE(RunElementScale(options));
    EXPECT_TRUE(Same(gElementNodes[0].Position, MakeVector(0, 0, 0)));
    EXPECT_TRUE(Same(gElementNodes[2].Position, MakeVector(7.5f, 15, -200)));
    EXPECT_TRUE(Same(gElementNodes[1].ControlOut, MakeVector(3.5f, 9, -170)));
    EXPECT_EQ(gElementNodes[2].Roll, -0.7f);
    ExpectFlags(true, true, false, false);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(ElementTransformTest, PitchTurnsAboutXOnUnitVectors) {
    MakeElement({Node({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), Node({0, 0, 1}, {1, 1, 0}, {0, 1, 1})});
    ASSERT_TRUE(RunElementPitch(90));
    // y' = y cos a - z sin a, z' = y sin a + z cos a.
    EXPECT_TRUE(Near(gElementNodes[0].ControlIn, MakeVector(1, 0, 0), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[0].ControlOut, MakeVector(0, 0, 1), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[1].Position, MakeVector(0, -1, 0), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[1].ControlOut, MakeVector(0, -1, 1), 1e-6f));
    ExpectFlags(true, true, true, true);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(ElementTransformTest, TiltTurnsAboutZOnUnitVectors) {
    MakeElement({Node({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), Node({0, 0, 1}, {1, 1, 0}, {0, 1, 1})});
    ASSERT_TRUE(RunElementTilt(90));
    // x' = x cos a - y sin a, y' = x sin a + y cos a.
    EXPECT_TRUE(Near(gElementNodes[0].ControlIn, MakeVector(0, 1, 0), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[0].ControlOut, MakeVector(-1, 0, 0), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[1].Position, MakeVector(0, 0, 1), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[1].ControlIn, MakeVector(-1, 1, 0), 1e-6f));
    ASSERT_TRUE(RunElementTilt(-90));
    EXPECT_TRUE(Near(gElementNodes[0].ControlIn, MakeVector(1, 0, 0), 1e-6f));
}

TEST_F(ElementTransformTest, AFullTurnOrNoTurnLeavesTheElement) {
    const std::vector<TrackNode> before = CurvedElement();
    MakeElement(before);
    ASSERT_TRUE(RunElementPitch(360));
    ASSERT_TRUE(RunElementPitch(-360));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(Near(gElementNodes[i].Position, before[i].Position, 1e-4f));
    MakeElement(before);
    gDocumentChanged = false;
    ClearRemodelFlags();
    ASSERT_TRUE(RunElementTilt(0));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(Same(gElementNodes[i].ControlOut, before[i].ControlOut));
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(gRemodelFlags.RebuildPath);
}

TEST_F(ElementSkewTest, ShiftsEachPointByItsOwnHeightShare) {
    // Heights 0, 5 and 10: h = 10.
    MakeElement({Node({0, 0, 0}, {0, 0, 1}, {0, 2, -3}), Node({1, 5, -10}, {1, 4, -7}, {1, 6, -13}),
                 Node({2, 10, -20}, {2, 10, -17}, {2, 12, -23})});
    EXPECT_EQ(ElementHeightRange(), 10.0);
    ElementSkewOptions options;
    options.RightLeft = 4;
    options.FrontBack = -2;
    ASSERT_TRUE(RunElementSkew(options));
    EXPECT_TRUE(Same(gElementNodes[0].Position, MakeVector(0, 0, 0))) << "the first node stays";
    EXPECT_TRUE(Near(gElementNodes[0].ControlOut, MakeVector(0.8f, 2, -3.4f), 1e-6f)) << "by its own height";
    EXPECT_TRUE(Near(gElementNodes[1].Position, MakeVector(3, 5, -11), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[1].ControlIn, MakeVector(2.6f, 4, -7.8f), 1e-6f));
    EXPECT_TRUE(Near(gElementNodes[2].Position, MakeVector(6, 10, -22), 1e-6f)) << "the top moves by the full value";
    EXPECT_TRUE(Near(gElementNodes[2].ControlOut, MakeVector(6.8f, 12, -25.4f), 1e-6f));
    ExpectFlags(true, true, false, false);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(ElementSkewTest, AFlatElementIsNotSkewedAndSaysWhy) {
    const std::vector<TrackNode> flat = {Node({0, 0, 0}, {0, 0, 1}, {0, 0, -3}), Node({1, 0, -10}, {1, 0, -7}, {1, 0, -13})};
    MakeElement(flat);
    ElementSkewOptions options;
    options.FrontBack = 3;
    EXPECT_FALSE(RunElementSkew(options));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, kSkewFlatText);
    EXPECT_EQ(prompts.Messages[0].Title, "Notice!");
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(Same(gElementNodes[i].Position, flat[i].Position));
        EXPECT_TRUE(Same(gElementNodes[i].ControlOut, flat[i].ControlOut));
        EXPECT_TRUE(std::isfinite(gElementNodes[i].ControlOut.Z));
    }
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(gDocumentChanged);
    // Pressed flat and pitched by a full turn: heights of some 1e-13 m are no height.
    MakeElement(flat);
    ASSERT_TRUE(RunElementPitch(360));
    const std::vector<TrackNode> turned = gElementNodes;
    ASSERT_GT(ElementHeightRange(), 0.0);
    gDocumentChanged = false;
    ClearRemodelFlags();
    options.RightLeft = 50;
    EXPECT_FALSE(RunElementSkew(options));
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Text, kSkewFlatText);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(Same(gElementNodes[i].ControlIn, turned[i].ControlIn));
    EXPECT_FALSE(gDocumentChanged);
    prompts.Messages.resize(1);

    // No skew asked: nothing to divide, the OK goes through as usual.
    EXPECT_TRUE(RunElementSkew(ElementSkewOptions{}));
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_EQ(prompts.Messages.size(), 1u);
}

// Two nodes 1.4e-45 m or 5 micrometres apart in height with control points
// 1e6 m above and below: ten metres apart that is flat; on one spot it is a
// height, but the shear would put the control points at "inf", so nothing
// changes either.
TEST_F(ElementSkewTest, AShearByAlmostNoHeightChangesNothingAndSaysSo) {
    const struct {
        float y, z;
        std::string text;
    } cases[] = {{1.4e-45f, -10.0f, kSkewFlatText},
                 {5e-6f, -10.0f, kSkewFlatText},
                 {1.4e-45f, 0.0f, NotFiniteText("skew", "element")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << " " << c.z);
        const std::vector<TrackNode> nodes = {Node({0, 0, 0}, {0, -1e6f, 0}, {0, 1e6f, 0}),
                                              Node({0, c.y, c.z}, {0, -1e6f, c.z}, {0, 1e6f, c.z})};
        MakeElement(nodes);
        prompts.Messages.clear();
        ElementSkewOptions options;
        options.RightLeft = 50;
        EXPECT_FALSE(RunElementSkew(options));
        ASSERT_EQ(prompts.Messages.size(), 1u);
        EXPECT_EQ(prompts.Messages[0].Text, c.text);
        EXPECT_EQ(prompts.Messages[0].Title, "Notice!");
        for (int i = 0; i < 2; ++i) EXPECT_TRUE(Same(gElementNodes[i].ControlOut, nodes[i].ControlOut));
        EXPECT_TRUE(FlagsClear());
        EXPECT_FALSE(gDocumentChanged);
    }
}
