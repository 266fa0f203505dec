#pragma once
// The text reports of Track > Overview and Element > Overview, built line by
// line with CR LF line ends. A section starts with a header of 79 characters
// ("-----", the title, dashes); every section but the first is preceded by an
// empty line; a value line is its name dotted to 15 characters, ": " and the
// value. Integers and lengths follow the locale's separators (the reports are
// only shown, never written to a file).

#include <string>

// The report buffer the report dialogs keep.
class ReportBuffer {
public:
    void Clear() { text_.clear(); }
    // Appends the text and CR LF; every line, the empty ones too, goes through here.
    void AppendReportLine(const std::string& text);
    void AddLine(const std::string& text) { AppendReportLine(text); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// "-----" + title, dashed to 79 characters.
std::string ReportHeader(const std::string& title);
// The name dotted to 15 characters, then ": " (a longer name is kept whole).
std::string ReportLabel(const std::string& name);

// The file-size line's value when the document's file cannot be read.
inline constexpr const char* kUnknownFileSize = "Unknown (the file could not be read)";

// The whole track report of the open track, appended to the buffer. Reads the
// built path frames as they stand (the caller makes them current).
void BuildOverviewReport(ReportBuffer& report);
// The element report of the open element. Its heights are those of the
// element's own nodes' path: the built path lowered by the lift the model
// builder applied to it (gSpineInfoLift).
void BuildElementReport(ReportBuffer& report);
