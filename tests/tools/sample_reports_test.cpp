// The overview reports of the shipped samples, checked by hand: counts from
// the samples' makeup, beam lengths from their A-frames (a free node on top,
// two footers on the floor either side), file sizes from the disk, the
// element's heights those of its own nodes (0 to 11 m).

#include <string>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "tests/tools/tool_test_support.h"
#include "tools/overview_reports.h"
#include "tools/scene_boundary.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_file.h"

namespace {

using SampleReportTest = ToolTest;

std::string TrackReport(const char* sample) {
    gDocumentPath = std::string(GW_SAMPLES_DIR) + sample;
    EXPECT_TRUE(LoadTrackFile(gDocumentPath));
    gDocumentType = DocumentTrack;
    EXPECT_TRUE(EnsureTrackPathCurrent());
    ReportBuffer report;
    BuildOverviewReport(report);
    return report.Text();
}

std::string Line(const std::string& text, const std::string& label) {
    const size_t at = text.find("\r\n" + label);
    if (at == std::string::npos) return "(missing) " + label;
    return text.substr(at + 2, text.find("\r\n", at + 2) - at - 2);
}

const std::string kD(79, '-');

}  // namespace

TEST_F(SampleReportTest, Circuit) {
    // A-frames: sqrt(16^2 + 5^2), sqrt(17^2 + 2^2 + 5^2), sqrt(6.5^2 + 3.5^2), each twice: 83.956 m.
    const std::string expected =
        "-----FILE" + kD.substr(9) + "\r\n"
        "File Name......: circuit.vxtrack\r\n"
        "File Size......: 3351 bytes.\r\n"
        "File Version...: 1.4.0.0\r\n"
        "\r\n"
        "-----TRACK" + kD.substr(10) + "\r\n"
        "Track Style....: Steel Looping\r\n"
        "Track Length...: 275.12m (902.62ft)\r\n"
        "Trains.........: 1\r\n"
        "Cars per Train.: 5\r\n"
        "Closed Circuit.: Yes\r\n"
        "Run Mode.......: Continuous\r\n"
        "\r\n"
        "-----TRACK AREA" + kD.substr(15) + "\r\n"
        "Cubic Area.....: 88.84m (291.46ft) x 18.07m (59.27ft) x 68.75m (225.55ft)\r\n"
        "Highest Point..: 19.38m (63.59ft)\r\n"
        "Lowest Point...: 1.31m (4.31ft)\r\n"
        "\r\n"
        "-----LAYOUT" + kD.substr(11) + "\r\n"
        "Inversions.....: 0\r\n"
        "Tunnels........: 1\r\n"
        "Lift Hills.....: 1\r\n"
        "\r\n"
        "-----SEGMENTS" + kD.substr(13) + "\r\n"
        "Total..........: 12\r\n"
        "Normal.........: 9\r\n"
        "Station........: 1\r\n"
        "Lift...........: 1\r\n"
        "Transport......: 0\r\n"
        "Brake..........: 1\r\n"
        "\r\n"
        "-----SUPPORTS" + kD.substr(13) + "\r\n"
        "Total Beams....: 6\r\n"
        "Length of Steel: 83.96m (275.44ft)\r\n"
        "Length of Wood.: 0.00m (0.00ft)\r\n"
        "Small Tube.....: 0        - 0.00m (0.00ft)\r\n"
        "Medium Tube....: 0        - 0.00m (0.00ft)\r\n"
        "Large Tube.....: 6        - 83.96m (275.44ft)\r\n"
        "X-Large Tube...: 0        - 0.00m (0.00ft)\r\n"
        "XX-Large Tube..: 0        - 0.00m (0.00ft)\r\n"
        "L-Beam Tube....: 0        - 0.00m (0.00ft)\r\n"
        "H-Beam Tube....: 0        - 0.00m (0.00ft)\r\n"
        "4x4 Beam.......: 0        - 0.00m (0.00ft)\r\n"
        "2x2 Beam.......: 0        - 0.00m (0.00ft)\r\n"
        "1x4 Beam.......: 0        - 0.00m (0.00ft)\r\n"
        "\r\n"
        "-----ADDITIONAL SUPPORTS" + kD.substr(24) + "\r\n"
        "Catwalks.......: 0        - 0.00m (0.00ft)\r\n"
        "Free Nodes.....: 3\r\n"
        "Footers........: 6\r\n"
        "\r\n"
        "-----PREFABRICATED SUPPORTS" + kD.substr(27) + "\r\n"
        "Total..........: 9\r\n"
        "Track Nodes....: 0\r\n"
        "Single.........: 9\r\n"
        "Complex........: 0\r\n"
        "Inverted.......: 0\r\n"
        "90deg Bank.....: 0\r\n"
        "Small Inverted.: 0\r\n"
        "'A' Shape......: 0\r\n"
        "\r\n"
        "-----TERRAIN" + kD.substr(12) + "\r\n"
        "Is Terraformed.: No\r\n"
        "Has Water......: No\r\n"
        "Highest Point..: 0.00m (0.00ft)\r\n"
        "Lowest Point...: 0.00m (0.00ft)\r\n"
        "\r\n"
        "-----SCENERY" + kD.substr(12) + "\r\n"
        "Environment....: Default\r\n"
        "Total Trees....: 0\r\n"
        "Type A.........: 0\r\n"
        "Type B.........: 0\r\n"
        "Type C.........: 0\r\n"
        "\r\n"
        "-----3D OBJECTS" + kD.substr(15) + "\r\n"
        "Total..........: 0\r\n"
        "\r\n"
        "-----INFORMATION" + kD.substr(16) + "\r\n"
        "Length.........: 87 characters.\r\n"
        "Sample circuit: station, chain lift, a turning drop, an airtime hill and a block brake.\r\n"
        "\r\n";
    EXPECT_EQ(TrackReport("circuit.vxtrack"), expected);
}

TEST_F(SampleReportTest, ShuttleAndLakeside) {
    const std::string shuttle = TrackReport("shuttle.vxtrack");
    EXPECT_EQ(Line(shuttle, "File Size"), "File Size......: 2480 bytes.");
    EXPECT_EQ(Line(shuttle, "Track Style"), "Track Style....: Hyper Coaster (2 Seat)");
    EXPECT_EQ(Line(shuttle, "Run Mode"), "Run Mode.......: Shuttle");
    EXPECT_EQ(Line(shuttle, "Closed Circuit"), "Closed Circuit.: No");
    // All on z = -90; from x = -75 to just short of the last node at x = 52, y 1.5 to 35.
    EXPECT_EQ(Line(shuttle, "Cubic Area"), "Cubic Area.....: 126.99m (416.62ft) x 33.47m (109.82ft) x 0.00m (0.00ft)");
    EXPECT_EQ(Line(shuttle, "Lowest Point"), "Lowest Point...: 1.50m (4.92ft)");
    EXPECT_EQ(Line(shuttle, "Transport"), "Transport......: 2");
    // sqrt(5^2 + 31^2 + 5^2) and sqrt(5^2 + 27^2 + 5^2), each twice: 119.414 m.
    EXPECT_EQ(Line(shuttle, "Large Tube"), "Large Tube.....: 4        - 119.41m (391.77ft)");
    EXPECT_EQ(Line(shuttle, "Total.........."), "Total..........: 7");
    EXPECT_NE(shuttle.find("PREFABRICATED SUPPORTS" + kD.substr(27) + "\r\nTotal..........: 6\r\n"), std::string::npos);

    const std::string lakeside = TrackReport("lakeside.vxtrack");
    EXPECT_EQ(Line(lakeside, "Lift Hills"), "Lift Hills.....: 1");  // segments 3 and 4 make one run
    EXPECT_EQ(Line(lakeside, "Lift......."), "Lift...........: 2");
    EXPECT_EQ(Line(lakeside, "Is Terraformed"), "Is Terraformed.: Yes");
    EXPECT_EQ(Line(lakeside, "Has Water"), "Has Water......: Yes");
    // The lake: 0.5 m less a 5 m hollow, in quarter metres.
    EXPECT_NE(lakeside.find("Lowest Point...: -4.50m (-14.76ft)\r\n\r\n-----SCENERY"), std::string::npos);
    EXPECT_EQ(Line(lakeside, "Total Beams"), "Total Beams....: 0");
}

TEST_F(SampleReportTest, CamelbackElement) {
    gDocumentPath = std::string(GW_SAMPLES_DIR) + "camelback.vxelem";
    ASSERT_TRUE(LoadElementFile(gDocumentPath));
    gDocumentType = DocumentElement;
    BuildTrackModel(false, true, true);
    ReportBuffer report;
    BuildElementReport(report);
    EXPECT_EQ(report.Text(),
              "-----ELEMENT" + kD.substr(12) + "\r\n"
              "Element Length: 53.05m (174.05ft)\r\n"
              "\r\n"
              "-----ELEMENT AREA" + kD.substr(17) + "\r\n"
              "Cubic Area.....: 0.00m (0.00ft) x 11.00m (36.09ft) x 47.99m (157.43ft)\r\n"
              "Highest Point..: 11.00m (36.09ft)\r\n"
              "Lowest Point...: 0.00m (0.00ft)\r\n"
              "\r\n");
}
