// The overview reports line by line, on documents made in code with path
// frames placed by hand.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "model/path_frames.h"
#include "tests/tools/tool_test_support.h"
#include "tools/overview_reports.h"
#include "trackdoc/element_document.h"

namespace {

using OverviewReportTest = ToolTest;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

// Path frames with upright axes at the given points, one list per segment.
void SetPath(const std::vector<std::vector<Vector3>>& segments) {
    gPathMatrixArray.assign(segments.size(), PathSegmentFrames{});
    for (size_t s = 0; s < segments.size(); ++s) {
        for (const Vector3& p : segments[s]) {
            PathFrame f;
            f.Frame = MatrixTranslateV(p);
            gPathMatrixArray[s].Frames.push_back(f);
        }
        gPathMatrixArray[s].FrameCount = static_cast<int32_t>(segments[s].size());
    }
    gSpineInfoSegmentCount = static_cast<int32_t>(segments.size());
}

std::string WriteFileOfSize(const std::string& name, size_t bytes) {
    const std::string path = TestTempFile(name);
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
    return path;
}

const std::string kDashes(79, '-');

std::string Header(const std::string& title) { return "-----" + title + kDashes.substr(5 + title.size()); }

}  // namespace

TEST_F(OverviewReportTest, HeadersAndLabels) {
    EXPECT_EQ(ReportHeader("FILE"), "-----FILE" + std::string(70, '-'));
    EXPECT_EQ(ReportHeader("PREFABRICATED SUPPORTS").size(), 79u);
    EXPECT_EQ(ReportLabel("File Name"), "File Name......: ");
    EXPECT_EQ(ReportLabel("Length of Steel"), "Length of Steel: ");
}

TEST_F(OverviewReportTest, TrackReportLineByLine) {
    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 2);  // 20 m, two free nodes and two footers
    SetPath({{MakeVector(0, 1, 0), MakeVector(10, 5, -2)}, {MakeVector(20, 3, 4)}});
    gDocumentPath = WriteFileOfSize("gw_report_test.vxtrack", 1234);
    const uint8_t version[4] = {1, 2, 3, 4};
    std::copy(version, version + 4, gFileVersion);
    gTrackStyle = 4;
    gTrainCount = 3;
    gCarsPerTrain = 7;
    gRunMode = 1;
    gSegments[0].SegmentType = 1;
    gSegments[1].SegmentType = 2;
    gSegments[1].Tunnel = true;
    gTubes.assign(2, SupportTube{});
    gTubes[0] = {2, 0, 0, 2, 1, 0, 2, 0, 0.0f};  // small tube, free nodes (3, 0, 0) and (-3, 1, 0): sqrt 37 = 6.083 m, 19.956 ft
    gTubeCount = 1;
    gRascGroups[0].ItemCount = 2;
    gRascGroups[0].Items = {{2, 0.2f}, {7, 0.8f}, {}};
    gCatwalks.assign(2, TrackCatwalk{});
    gCatwalkCount = 1;
    gHasTerrain = false;
    gHasWater = true;  // not shown without terrain
    gTreeCount = 2;
    gTrees.assign(3, SceneryTree{});
    gTrees[0].TreeType = 2, gTrees[1].TreeType = 2;
    gObjectCount = 2;
    gObjects.assign(3, SceneryObject{});
    gObjects[0].FileName = "Scenery\\Barn.3ds";
    gObjects[1].FileName = "Hut.3ds";
    gTrackInfo = "First line\r\nSecond";

    ReportBuffer report;
    BuildOverviewReport(report);
    const std::vector<std::string> lines = Lines(report.Text());
    // The whole layout of a sample's report is checked in sample_reports_test.cpp;
    // here the lines that the samples leave at zero or default.
    const std::vector<std::string> expected = {
        Header("FILE"),
        "File Name......: gw_report_test.vxtrack",
        "File Size......: 1234 bytes.",
        "File Version...: 1.2.4.3",
        "",
        Header("TRACK"),
        "Track Style....: Inverted (4 Seat)",
        "Track Length...: 20.00m (65.62ft)",
        "Trains.........: 3",
        "Cars per Train.: 7",
        "Closed Circuit.: No",
        "Run Mode.......: Shuttle",
        "",
        Header("TRACK AREA"),
        "Cubic Area.....: 20.00m (65.62ft) x 4.00m (13.12ft) x 6.00m (19.68ft)",
        "Highest Point..: 5.00m (16.40ft)",
        "Lowest Point...: 1.00m (3.28ft)",
    };
    ASSERT_GT(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
    const std::string text = report.Text();
    for (const char* line : {"Tunnels........: 1\r\n", "Station........: 1\r\nLift...........: 1\r\n",
                             "Small Tube.....: 1        - 6.08m (19.96ft)\r\n",
                             "Catwalks.......: 1        - 0.00m (0.00ft)\r\nFree Nodes.....: 2\r\nFooters........: 2\r\n",
                             "Single.........: 1\r\n", "'A' Shape......: 1\r\n\r\n",
                             "Is Terraformed.: No\r\nHas Water......: No\r\n", "Type B.........: 2\r\n",
                             "Total..........: 2\r\nObject 001.....: Scenery\\Barn.3ds\r\nObject 002.....: Hut.3ds\r\n\r\n",
                             "Length.........: 18 characters.\r\nFirst line\r\nSecond\r\n\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.substr(text.size() - 10), "Second\r\n\r\n");
    std::remove(gDocumentPath.c_str());
}

TEST_F(OverviewReportTest, TerrainObjectsAndMissingFile) {
    gDocumentPath = "C:\\Tracks\\gone-for-good \xE9t\xE9.vxtrack";  // spelled on disk in single bytes
    gHasTerrain = true;
    gHasWater = true;
    gTerrainWidth = gTerrainDepth = 1;
    gTerrainHeights.Resize(1, 1);
    gTerrainHeights(0, 0) = -2.5f;
    gObjectCount = 1000;
    gObjects.assign(1000, SceneryObject{});
    gObjects[998].FileName = "Arbres\\\xC3\xA9rable.3ds";  // as a track's 0xE9 reads
    gEnvironmentName = "Nuit d'\xC3\xA9t\xC3\xA9";

    ReportBuffer report;
    BuildOverviewReport(report);
    const std::vector<std::string> lines = Lines(report.Text());
    const auto at = [&](const std::string& label) {
        for (auto line = lines.rbegin(); line != lines.rend(); ++line)  // the last one: terrain after track
            if (line->rfind(label, 0) == 0) return *line;
        return std::string("(missing) ") + label;
    };
    EXPECT_EQ(at("File Name"), "File Name......: gone-for-good \xC3\xA9t\xC3\xA9.vxtrack");
    EXPECT_EQ(at("File Size"), std::string("File Size......: ") + kUnknownFileSize);
    EXPECT_EQ(at("Has Water"), "Has Water......: Yes");
    EXPECT_EQ(at("Highest Point"), "Highest Point..: -2.50m (-8.20ft)");
    EXPECT_EQ(at("Object 999."), "Object 999.....: Arbres\\\xC3\xA9rable.3ds");
    EXPECT_EQ(at("Object 1000"), "Object 1000.....: ");
    EXPECT_EQ(at("Environment"), "Environment....: Nuit d'\xC3\xA9t\xC3\xA9");
    // An empty document's path: no track, no comments line.
    EXPECT_EQ(at("Cubic Area"), "Cubic Area.....: -1999.00m (-6558.32ft) x -1999.00m (-6558.32ft) x -1999.00m (-6558.32ft)");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], Header("INFORMATION"));
    EXPECT_EQ(lines[lines.size() - 2], "Length.........: 0 characters.");
    EXPECT_EQ(lines.back(), "");
    // The length counts characters, as the file stores them: one byte each.
    gTrackInfo = "\xC3\xA9t\xC3\xA9";
    ReportBuffer described;
    BuildOverviewReport(described);
    EXPECT_NE(described.Text().find("Length.........: 3 characters.\r\n\xC3\xA9t\xC3\xA9\r\n"), std::string::npos);
}

TEST_F(OverviewReportTest, ElementReportShowsTheElementsOwnHeights) {
    MakeElement({Node({0, 0, 0}, {0, 0, 2}, {0, 0, -2}), Node({0, -3, -10}, {0, -3, -8}, {0, -3, -12})});
    ExtractElementSpine();  // lifted by 4 m: the lowest node ends at y = 1
    BuildPathMatrixArray();
    ReportBuffer report;
    BuildElementReport(report);
    const std::vector<std::string> lines = Lines(report.Text());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], Header("ELEMENT"));
    EXPECT_EQ(lines[1].substr(0, 16), "Element Length: ");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], Header("ELEMENT AREA"));
    EXPECT_EQ(lines[5], "Highest Point..: 0.00m (0.00ft)");
    EXPECT_EQ(lines[6], "Lowest Point...: -3.00m (-9.84ft)");
    EXPECT_EQ(lines[7], "");
    const std::string area = lines[4];

    // The same element higher up: its own heights change, its size does not.
    for (int i = 0; i < 2; ++i) {
        gElementNodes[i].Position.Y += 10, gElementNodes[i].ControlIn.Y += 10, gElementNodes[i].ControlOut.Y += 10;
    }
    ExtractElementSpine();
    BuildPathMatrixArray();
    report.Clear();
    BuildElementReport(report);
    const std::vector<std::string> raised = Lines(report.Text());
    ASSERT_EQ(raised.size(), 8u);
    EXPECT_EQ(raised[4], area);
    EXPECT_EQ(raised[5], "Highest Point..: 10.00m (32.81ft)");
    EXPECT_EQ(raised[6], "Lowest Point...: 7.00m (22.97ft)");
}
