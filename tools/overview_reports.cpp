#include "tools/overview_reports.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/app_state.h"
#include "core/number_formats.h"
#include "model/path_frames.h"
#include "platform/code_page.h"
#include "tools/track_statistics.h"
#include "trackdoc/track_document.h"

namespace {

constexpr size_t kHeaderWidth = 79;
constexpr size_t kLabelWidth = 15;

std::string Lengths3(const Vector3& v) {
    return FormatMetersFeet(v.X) + " x " + FormatMetersFeet(v.Y) + " x " + FormatMetersFeet(v.Z);
}

// The document's name as the program's text, also when the disk spells it in
// single bytes (the report is shown as UTF-8 as a whole).
std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return cp::TextFromDiskName(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string FileSizeText(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), error);
    if (error) return kUnknownFileSize;
    return FormatInteger(static_cast<int32_t>(std::min<std::uintmax_t>(size, INT32_MAX))) + " bytes.";
}

std::string VersionText() {
    const uint8_t* v = gFileVersion;
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[3]) + "." + std::to_string(v[2]);
}

std::string ObjectLabel(int32_t number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return std::string("Object ") + digits + ".....: ";
}

class Report {
public:
    explicit Report(ReportBuffer& buffer) : b_(buffer) {}
    void Section(const char* title) {
        if (!first_) b_.AppendReportLine("");
        first_ = false;
        b_.AppendReportLine(ReportHeader(title));
    }
    void Value(const char* name, const std::string& value) { b_.AppendReportLine(ReportLabel(name) + value); }
    void Line(const std::string& text) { b_.AppendReportLine(text); }

private:
    ReportBuffer& b_;
    bool first_ = true;
};

}  // namespace

void ReportBuffer::AppendReportLine(const std::string& text) {
    text_ += text;
    text_ += "\r\n";
}

std::string ReportHeader(const std::string& title) {
    std::string line = "-----" + title;
    if (line.size() < kHeaderWidth) line.append(kHeaderWidth - line.size(), '-');
    return line;
}

std::string ReportLabel(const std::string& name) {
    std::string label = name;
    if (label.size() < kLabelWidth) label.append(kLabelWidth - label.size(), '.');
    return label + ": ";
}

void BuildOverviewReport(ReportBuffer& buffer) {
    using FI = std::string (*)(int32_t);
    const FI fi = FormatInteger;
    Report r(buffer);

    r.Section("FILE");
    r.Value("File Name", FileNameOf(gDocumentPath));
    r.Value("File Size", FileSizeText(gDocumentPath));
    r.Value("File Version", VersionText());

    r.Section("TRACK");
    r.Value("Track Style", CoasterStyleName(gTrackStyle));
    r.Value("Track Length", FormatMetersFeet(GetTrackLength()));
    r.Value("Trains", fi(gTrainCount));
    r.Value("Cars per Train", fi(gCarsPerTrain));
    r.Value("Closed Circuit", YesNoText(gClosedCircuit));
    r.Value("Run Mode", RunModeText(gRunMode));

    r.Section("TRACK AREA");
    Vector3 size;
    GetTrackExtents(size);
    float lowest = 0.0f, highest = 0.0f;
    GetTrackHeightRange(lowest, highest);
    r.Value("Cubic Area", Lengths3(size));
    r.Value("Highest Point", FormatMetersFeet(highest));
    r.Value("Lowest Point", FormatMetersFeet(lowest));

    r.Section("LAYOUT");
    r.Value("Inversions", fi(CountInversions()));
    r.Value("Tunnels", fi(CountTunnelRuns()));
    r.Value("Lift Hills", fi(CountLiftHills()));

    r.Section("SEGMENTS");
    r.Value("Total", fi(gSegmentCount));
    const char* const kSegmentNames[] = {"Normal", "Station", "Lift", "Transport", "Brake"};
    for (int32_t type = 0; type < 5; ++type) r.Value(kSegmentNames[type], fi(CountSegmentsOfType(type)));

    r.Section("SUPPORTS");
    r.Value("Total Beams", fi(gTubeCount));
    r.Value("Length of Steel", FormatMetersFeet(GetSteelBeamLength()));
    r.Value("Length of Wood", FormatMetersFeet(GetWoodBeamLength()));
    const struct {
        const char* Name;
        int32_t Type;
    } kBeams[] = {{"Small Tube", 2},    {"Medium Tube", 0},   {"Large Tube", 1},   {"X-Large Tube", 5},
                  {"XX-Large Tube", 6}, {"L-Beam Tube", 3},   {"H-Beam Tube", 4},  {"4x4 Beam", 7},
                  {"2x2 Beam", 9},      {"1x4 Beam", 8}};
    for (const auto& beam : kBeams) r.Value(beam.Name, GetBeamTypeSummary(beam.Type));

    r.Section("ADDITIONAL SUPPORTS");
    r.Value("Catwalks", GetCatwalkSummary());
    r.Value("Free Nodes", fi(gFreeNodeCount));
    r.Value("Footers", fi(gFooterCount));

    r.Section("PREFABRICATED SUPPORTS");
    r.Value("Total", fi(CountPrefabSupports()));
    const struct {
        const char* Name;
        int32_t Style;
    } kPrefabs[] = {{"Track Nodes", 0}, {"Single", 2},         {"Complex", 3},  {"Inverted", 4},
                    {"90deg Bank", 5},  {"Small Inverted", 6}, {"'A' Shape", 7}};
    for (const auto& prefab : kPrefabs) r.Value(prefab.Name, fi(CountPrefabSupportsOfType(prefab.Style)));

    r.Section("TERRAIN");
    r.Value("Is Terraformed", YesNoText(gHasTerrain));
    if (gHasTerrain) {
        r.Value("Has Water", YesNoText(gHasWater));
        r.Value("Highest Point", FormatMetersFeet(GetTerrainMaxHeight()));
        r.Value("Lowest Point", FormatMetersFeet(GetTerrainMinHeight()));
    } else {
        r.Value("Has Water", "No");
        r.Value("Highest Point", "0.00m (0.00ft)");
        r.Value("Lowest Point", "0.00m (0.00ft)");
    }

    r.Section("SCENERY");
    r.Value("Environment", EnvironmentNameOrDefault());
    r.Value("Total Trees", fi(gTreeCount));
    r.Value("Type A", fi(CountItemsOfKind(1)));
    r.Value("Type B", fi(CountItemsOfKind(2)));
    r.Value("Type C", fi(CountItemsOfKind(3)));

    r.Section("3D OBJECTS");
    r.Value("Total", fi(gObjectCount));
    const int32_t objects = std::clamp<int32_t>(gObjectCount, 0, static_cast<int32_t>(gObjects.size()));
    for (int32_t i = 0; i < objects; ++i) r.Line(ObjectLabel(i + 1) + gObjects[i].FileName);

    r.Section("INFORMATION");
    r.Value("Length", fi(static_cast<int32_t>(cp::ByteCount(gTrackInfo))) + " characters.");
    if (!gTrackInfo.empty()) r.Line(gTrackInfo);
    r.Line("");
}

void BuildElementReport(ReportBuffer& buffer) {
    buffer.AddLine(ReportHeader("ELEMENT"));
    buffer.AddLine("Element Length: " + FormatMetersFeet(GetElementLength()));
    buffer.AddLine("");
    buffer.AddLine(ReportHeader("ELEMENT AREA"));
    Vector3 size;
    GetTrackExtents(size);
    float lowest = 0.0f, highest = 0.0f;
    GetTrackHeightRange(lowest, highest);
    const auto own = [](float height) { return static_cast<float>(double(height) - gSpineInfoLift); };
    buffer.AddLine(ReportLabel("Cubic Area") + Lengths3(size));
    buffer.AddLine(ReportLabel("Highest Point") + FormatMetersFeet(own(highest)));
    buffer.AddLine(ReportLabel("Lowest Point") + FormatMetersFeet(own(lowest)));
    buffer.AddLine("");
}
