#pragma once
// The text of Vortaxis > Overview: the versions of the simulator's three
// programs and the number of its content files of each kind.

#include <string>

// The report under the simulator folder simPath (ending in the path
// separator), every line ended by CR LF. Counts are formatted with
// FormatInteger in the locale in effect. A program of the simulator that
// exists but cannot be read shows "-File Not Read-" and the reason
// (fsys::ReadFailureReason) in place of its version.
std::string BuildReport(const std::string& simPath);

// Appends the text and CR LF to the report.
void AppendLine(std::string& report, const std::string& text);

// A FileVersion as the report shows it: "," becomes "." and blanks go ("1, 0, 2, 3" -> "1.0.2.3").
std::string ReportVersionText(const std::string& fileVersion);
