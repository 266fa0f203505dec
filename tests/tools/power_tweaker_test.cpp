// Track > Power Tweaker without a window: the summary of the selection, the
// pages filled from the first selected segment and written into every
// selected one, the unit conversions both ways, the generic panel's flags,
// and the result kept through a save and a reload.

#include <filesystem>

#include "core/app_state.h"
#include "core/number_formats.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/power_tweaker.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

constexpr double kKmh = 0.277777791023254;
constexpr double kG = 9.816650390625;

class PowerTweakerTest : public ToolTest {
protected:
    void MakeTrack(const std::vector<int>& types) {
        MakeLineTrack({0, 10, 0}, {0, 0, -10}, static_cast<int>(types.size()));
        for (size_t i = 0; i < types.size(); ++i) gSegments[i].SegmentType = types[i];
        ClearSegmentSelection();
    }
    static void Select(std::initializer_list<int> segments) {
        for (int i : segments) gSegmentSelected[static_cast<size_t>(i)] = true;
    }
    // The index of a page control by its name.
    static int Control(int type, const std::string& name) {
        const std::vector<TweakControl>& controls = TweakPageControls(type);
        for (size_t i = 0; i < controls.size(); ++i)
            if (name == controls[i].Name) return static_cast<int>(i);
        ADD_FAILURE() << name;
        return -1;
    }
    const TweakControlState& State(const std::string& name) const {
        return form.Page.Controls[static_cast<size_t>(Control(form.Page.Type, name))];
    }
    PowerTweakerForm form;
};

}  // namespace

TEST_F(PowerTweakerTest, SummaryOfTheSelection) {
    MakeTrack({0, 1, 1, 2, 7});
    form.Load();
    EXPECT_EQ(form.Selection.SelectionType, 6);
    EXPECT_EQ(form.Selection.SelectedCount, 0);
    EXPECT_EQ(form.Selection.FirstSelected, -1);
    EXPECT_STREQ(GetSelectionTypeName(6), "None");
    EXPECT_STREQ(TweakPageTitle(6), " No Segments Selected");
    EXPECT_FALSE(form.OkEnabled());

    Select({2, 1});
    form.Load();
    EXPECT_EQ(form.Selection.SelectionType, SegmentStation);
    EXPECT_EQ(form.Selection.SelectedCount, 2);
    EXPECT_EQ(form.Selection.FirstSelected, 1);
    EXPECT_STREQ(TweakPageTitle(1), " Segment Type: Station");
    EXPECT_TRUE(form.OkEnabled());

    Select({3});
    form.Load();
    EXPECT_EQ(form.Selection.SelectionType, 5);
    EXPECT_STREQ(GetSelectionTypeName(5), "Multiple");
    EXPECT_STREQ(TweakPageTitle(5), " Segment Type: Multiple Types");
    EXPECT_FALSE(form.OkEnabled());
    EXPECT_FALSE(form.Generic.Tunnel || form.Generic.CustomColor) << "the generic panel stays unfilled";

    ClearSegmentSelection();
    Select({4});  // a stored type outside 0 to 4 has no page of its own
    form.Load();
    EXPECT_EQ(form.Selection.SelectionType, 5);
    EXPECT_FALSE(form.OkEnabled());
}

TEST_F(PowerTweakerTest, UnitsShownAndStoredWithTheirFactors) {
    MakeTrack({2});
    gSegments[0].Lift.MotorSpeed = 10.1f;  // 36.36 km/h
    gSegments[0].Lift.MotorAccel = static_cast<float>(0.5 * kG);
    gSegments[0].Lift.MotorDecel = 1.0f;  // 0.1018.. g
    gSegments[0].Lift.LiftStyle = 1;
    gSegments[0].Lift.RightRailing = true;
    Select({0});
    form.Load();
    EXPECT_EQ(State("txtLMotor(0)").Text, "36");
    EXPECT_EQ(State("txtLMotor(1)").Text, "0.5");
    EXPECT_EQ(State("txtLMotor(2)").Text, "0.1");
    EXPECT_EQ(State("optLStyle").State, 1);
    EXPECT_EQ(State("chkLRailing(0)").State, 0);
    EXPECT_EQ(State("chkLRailing(1)").State, 1);
    EXPECT_STREQ(TweakUnitLabel(TweakUnit::Kmh), "kmph");
    EXPECT_STREQ(TweakUnitLabel(TweakUnit::Seconds), "secs");

    // Untouched boxes write the exact stored values back; typed ones convert.
    form.SetBoxText(Control(2, "txtLMotor(2)"), "0.25");
    form.SetControlState(Control(2, "optLStyle"), 0);
    form.Apply();
    EXPECT_EQ(gSegments[0].Lift.MotorSpeed, 10.1f);
    EXPECT_EQ(gSegments[0].Lift.MotorAccel, static_cast<float>(0.5 * kG));
    EXPECT_EQ(gSegments[0].Lift.MotorDecel, static_cast<float>(0.25 * kG));
    EXPECT_EQ(gSegments[0].Lift.LiftStyle, 0);
    EXPECT_TRUE(gSegments[0].Lift.RightRailing);

    float v = -1;
    ASSERT_TRUE(TweakBoxValue(TweakUnit::Kmh, "36", v));
    EXPECT_EQ(v, static_cast<float>(36 * kKmh));
    ASSERT_TRUE(TweakBoxValue(TweakUnit::Kmh, " 12.5 ", v));
    EXPECT_EQ(v, static_cast<float>(12.5 * kKmh));
    ASSERT_TRUE(TweakBoxValue(TweakUnit::Number, "-5", v)) << "only times may not be negative";
    EXPECT_EQ(v, -5.0f);
    EXPECT_FALSE(TweakBoxValue(TweakUnit::Number, "1e300", v)) << "no float holds it";
    EXPECT_EQ(v, -5.0f);
    EXPECT_EQ(TweakBoxText(TweakUnit::Kmh, static_cast<float>(2.5 * kKmh)), "2") << "halves to even";
    EXPECT_EQ(TweakBoxText(TweakUnit::G, static_cast<float>(0.125 * kG)), "0.12");
    EXPECT_EQ(TweakBoxText(TweakUnit::Number, 0.75f), "0.75");
    EXPECT_EQ(TweakBoxText(TweakUnit::Seconds, 1234.5f), "1235");
}

TEST_F(PowerTweakerTest, TwoStationsGetTheLowerIndexsValues) {
    MakeTrack({0, 1, 0, 1});
    StationBlock& a = gSegments[1].Station;
    a.WaitTime[0] = 1500.0f;
    a.WaitTime[1] = 12.4f;
    a.Entrance = 1;
    a.NoRoof = 1;
    a.PreBrake = true;
    a.PreBrakeSpeedLimit = 10.1f;
    gSegments[3].Station.WaitTime[0] = 20.0f;
    gSegments[3].Station.Hidden = true;
    Select({1, 3});
    form.Load();
    EXPECT_EQ(State("txtSWaitTime(0)").Text, "1500") << "no thousands separator to misread";
    EXPECT_EQ(State("txtSWaitTime(1)").Text, "12");
    EXPECT_EQ(State("optSEntrance").State, 1);
    EXPECT_EQ(State("chkSHidden").State, 0);
    form.SetBoxText(Control(1, "txtSWaitTime(2)"), "1000");
    form.Apply();
    for (int i : {1, 3}) {
        const StationBlock& s = gSegments[static_cast<size_t>(i)].Station;
        EXPECT_EQ(s.WaitTime[0], 1500.0f) << i;
        EXPECT_EQ(s.WaitTime[1], 12.4f) << i;
        EXPECT_EQ(s.WaitTime[2], 1000.0f) << i;
        EXPECT_EQ(s.Entrance, 1) << i;
        EXPECT_EQ(s.NoRoof, 1) << i;
        EXPECT_FALSE(s.Hidden) << i;
        EXPECT_TRUE(s.PreBrake) << i;
        EXPECT_EQ(s.PreBrakeSpeedLimit, 10.1f) << i;
    }
    EXPECT_TRUE(gRemodelFlags.Recolor);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(PowerTweakerTest, StoredBytesWithoutAnOptionAreKept) {
    MakeTrack({1, 3});
    gSegments[0].Station.Entrance = 7;
    gSegments[0].Station.NoRoof = 3;
    gSegments[1].Transport.TransportStyle = 200;
    Select({0});
    form.Load();
    EXPECT_EQ(State("optSEntrance").State, -1) << "no option selected";
    EXPECT_EQ(State("chkSNoRoof").State, -1) << "neither checked nor clear";
    form.Apply();
    EXPECT_EQ(gSegments[0].Station.Entrance, 7);
    EXPECT_EQ(gSegments[0].Station.NoRoof, 3);

    ClearSegmentSelection();
    Select({1});
    form.Load();
    EXPECT_EQ(State("optTStyle").State, -1);
    form.SetControlState(0, 1);  // the user picks "L.I.M."
    form.Apply();
    EXPECT_EQ(gSegments[1].Transport.TransportStyle, 1);
}

TEST_F(PowerTweakerTest, GenericPanelFlagsAndColours) {
    MakeTrack({0, 0, 0});
    gSpineColor = 11;
    gRailColor = 12;
    gTieColor = 13;
    gSegments[0].SpineColor = 100;  // not custom: the swatches show the track's colours
    gSegments[2].CustomColors = true;
    gSegments[2].SpineColor = 21;
    gSegments[2].RailColor = 22;
    gSegments[2].TieColor = 23;
    Select({0, 2});
    form.Load();
    EXPECT_EQ(form.Generic.Colors, (std::array<int32_t, 3>{11, 12, 13}));
    EXPECT_FALSE(gRemodelFlags.RebuildPath) << "nothing turned checked while filling";
    EXPECT_TRUE(form.Page.Controls.empty()) << "Normal: no page fields";

    form.Apply();  // "Custom Color" unchecked: the flag cleared, the colours kept
    EXPECT_FALSE(gSegments[2].CustomColors);
    EXPECT_EQ(gSegments[2].SpineColor, 21);
    EXPECT_EQ(gSegments[0].SpineColor, 100);
    EXPECT_TRUE(gRemodelFlags.Recolor);
    EXPECT_FALSE(gRemodelFlags.RebuildPath);

    ClearRemodelFlags();
    gSegments[0].Tunnel = true;
    form.Load();  // filling the tunnel box turns it checked: the remodel is flagged
    EXPECT_TRUE(form.Generic.Tunnel);
    EXPECT_TRUE(gRemodelFlags.RebuildPath && gRemodelFlags.RebuildTrack && gRemodelFlags.Recolor &&
                gRemodelFlags.RebuildTunnels);
    EXPECT_FALSE(gRemodelFlags.RebuildTubes || gRemodelFlags.RebuildGround);

    ClearRemodelFlags();
    form.PickColor(1, 0x00FF00);  // the rails swatch checks "Custom Color"
    EXPECT_TRUE(form.Generic.CustomColor);
    EXPECT_TRUE(gRemodelFlags.RebuildTunnels);
    form.Apply();
    for (int i : {0, 2}) {
        const TrackSegment& s = gSegments[static_cast<size_t>(i)];
        EXPECT_TRUE(s.CustomColors && s.Tunnel) << i;
        EXPECT_EQ(s.SpineColor, 11) << i;
        EXPECT_EQ(s.RailColor, 0x00FF00) << i;
        EXPECT_EQ(s.TieColor, 13) << i;
    }
    EXPECT_FALSE(gSegments[1].Tunnel);
}

TEST_F(PowerTweakerTest, BrakeSettingsSurviveSaveAndReload) {
    MakeTrack({4, 4, 0});
    gSegments[0].Brake.BrakeSpeedLimit = 10.1f;
    gSegments[0].Brake.TriggerPosition = 0.25f;
    Select({0, 1});
    form.Load();
    EXPECT_EQ(State("txtBTriggerPos").Text, "0.25");
    form.SetBoxText(Control(4, "txtBBrake(2)"), "0.8");
    form.SetControlState(Control(4, "chkBCompleteStop"), 1);
    form.SetTunnel(true);
    form.Apply();
    const std::filesystem::path file = std::filesystem::path(TestTempFile("gw_power_tweaker_test.vxtrack"));
    ASSERT_TRUE(SaveTrackFile(file.string()));
    ClearTrackDocument();
    ASSERT_TRUE(LoadTrackFile(file.string()));
    std::filesystem::remove(file);
    for (int i : {0, 1}) {
        const TrackSegment& s = gSegments[static_cast<size_t>(i)];
        EXPECT_EQ(s.Brake.BrakeSpeedLimit, 10.1f) << i;
        EXPECT_EQ(s.Brake.TriggerPosition, 0.25f) << i;
        EXPECT_EQ(s.Brake.BrakeDecel, static_cast<float>(0.8 * kG)) << i;
        EXPECT_TRUE(s.Brake.CompleteStop) << i;
        EXPECT_TRUE(s.Tunnel) << i;
    }
    EXPECT_FALSE(gSegments[2].Tunnel);
}

TEST_F(PowerTweakerTest, TypedTextIsRefusedUnlessItIsWrittenAsShown) {
    MakeTrack({1});
    gSegments[0].Station.WaitTime[0] = 30.0f;
    gSegments[0].Station.MainBrakeDecel = 2.0f;
    Select({0});
    const TrackSegment before = gSegments[0];
    // Not a number, empty, a negative time, beyond a float, a number with words after it.
    const std::pair<const char*, const char*> bad[] = {{"txtSWaitTime(0)", "abc"}, {"txtSWaitTime(1)", ""},
                                                       {"txtSWaitTime(2)", "-5"}, {"txtSWaitTime(3)", "1e40"},
                                                       {"txtMainBrake", "12.5 xyz"}};
    for (const auto& [name, text] : bad) {
        form.Load();
        ASSERT_TRUE(form.OkEnabled());
        form.SetBoxText(Control(1, name), text);
        EXPECT_FALSE(form.BoxValid(Control(1, name))) << name << " " << text;
        EXPECT_FALSE(form.OkEnabled()) << name;
        form.Apply();  // a key that reaches OK anyway writes nothing
        EXPECT_FALSE(gDocumentChanged) << name;
        EXPECT_EQ(gSegments[0].Station.WaitTime[3], before.Station.WaitTime[3]);
        EXPECT_EQ(gSegments[0].Station.MainBrakeDecel, before.Station.MainBrakeDecel);
    }
    // Corrected, each is written as it is shown.
    form.Load();
    for (const auto& [name, text] : {std::pair{"txtSWaitTime(0)", "0"}, {"txtSWaitTime(1)", "1e3"},
                                     {"txtSWaitTime(3)", "12.5"}, {"txtMainBrake", " 0.5 "}})
        form.SetBoxText(Control(1, name), text);
    ASSERT_TRUE(form.OkEnabled());
    form.Apply();
    EXPECT_EQ(gSegments[0].Station.WaitTime[0], 0.0f);
    EXPECT_EQ(gSegments[0].Station.WaitTime[1], 1000.0f);
    EXPECT_EQ(gSegments[0].Station.WaitTime[3], 12.5f);
    EXPECT_EQ(gSegments[0].Station.MainBrakeDecel, static_cast<float>(0.5 * kG));
    EXPECT_TRUE(gDocumentChanged);
}
