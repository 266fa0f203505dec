#include "simulator/installation_report.h"

#include <cerrno>
#include <cstdint>

#include "core/number_formats.h"
#include "platform/file_system.h"
#include "platform/stored_paths.h"
#include "simulator/app_file_info.h"

namespace {

constexpr const char* kPictures = "*.tga;*.jpg;*.gif;*.bmp";

std::string VersionLine(const std::string& label, const std::string& path) {
    FileVersionFields fields;
    if (!GetFileVersionFields(path, fields)) return label + "-File Not Found-";
    // A program that could not be read (too large, no permission) says why
    // rather than showing as one without version information.
    if (const int error = errno; error != 0)
        return label + "-File Not Read- " + fsys::ReadFailureReason(error, fsys::kProgramFile);
    return label + "v" + ReportVersionText(fields.FileVersion);
}

// A content folder of the simulator, its name matched without regard to case.
std::string CountLine(const std::string& label, const std::string& simPath, const char* folderName,
                      const char* patterns) {
    const std::string folder = fsys::ResolveStoredName(simPath, folderName).value_or(simPath + folderName);
    int32_t count = 0;
    CountFiles(folder, patterns, count);
    return label + FormatInteger(count);
}

}  // namespace

void AppendLine(std::string& report, const std::string& text) { report += text + "\r\n"; }

std::string ReportVersionText(const std::string& fileVersion) {
    std::string text;
    for (char c : fileVersion) {
        if (c == ',') {
            text.push_back('.');
        } else if (c != ' ') {
            text.push_back(c);
        }
    }
    return text;
}

std::string BuildReport(const std::string& simPath) {
    std::string report;
    AppendLine(report, "-----VERSION-------------------------------------------------------------------");
    AppendLine(report, VersionLine("Simulator.......: ", simPath + "VortaxisSimulator.exe"));
    AppendLine(report, VersionLine("Editor..........: ", simPath + "VortaxisEditor.exe"));
    AppendLine(report, VersionLine("Terraformer.....: ", simPath + "VortaxisTerraformer.exe"));
    AppendLine(report, "");
    AppendLine(report, "-----FILE COUNTS---------------------------------------------------------------");
    AppendLine(report, CountLine("Tracks..........: ", simPath, "Tracks", "*.vxtrack"));
    AppendLine(report, CountLine("Track EXEs......: ", simPath, "Tracks", "*.exe"));
    AppendLine(report, CountLine("Objects.........: ", simPath, "Objects", "*.3ds"));
    AppendLine(report, CountLine("Object Textures.: ", simPath, "Objects", kPictures));
    AppendLine(report, CountLine("Car Textures....: ", simPath, "CarTextures", kPictures));
    AppendLine(report, CountLine("Terrain Textures: ", simPath, "TeraTextures", kPictures));
    AppendLine(report, CountLine("Environments....: ", simPath, "Environments", "*.env"));
    AppendLine(report, CountLine("Env. Textures...: ", simPath, "Environments", kPictures));
    AppendLine(report, CountLine("Elements........: ", simPath, "Elements", "*.vxelem"));
    AppendLine(report, "");
    return report;
}
