#pragma once
// Glyph outlines of an outline font, flattened into polygons, with the
// metrics of each glyph's cell. The em square of the font maps to 1.0.
// Faces come from FreeType and are found through fontconfig; nothing here
// needs a display or a rendering context.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fonts {

struct Point2 {
    double x = 0;
    double y = 0;
};
using Contour = std::vector<Point2>;  // closed: the last point joins the first

// Placement of a glyph in its character cell, in em units: the black box
// (the smallest box around the outline), its upper-left corner relative to
// the cell's origin on the baseline, and the advance to the next cell.
struct GlyphMetricsFloat {
    float BlackBoxX = 0;
    float BlackBoxY = 0;
    float GlyphOriginX = 0;
    float GlyphOriginY = 0;
    float CellIncX = 0;
    float CellIncY = 0;
};

struct GlyphOutline {
    std::vector<Contour> Contours;
    GlyphMetricsFloat Metrics;
    // TrueType outlines have the filled area on the right of each contour's
    // direction (outer contours clockwise); PostScript outlines on the left.
    bool FilledOnRight = true;
};

// A font as a program asks for one: a face name and a weight (400 normal, 700 bold).
struct FontRequest {
    std::string Face = "Arial";
    int Weight = 700;
    bool Italic = false;
};

// The file of the best installed match for a request, or "" when there is none.
std::string FindFontFile(const FontRequest& request);

// The Unicode character of a code of the Western (Windows-1252) character set.
// Codes that the set leaves undefined map to themselves.
uint32_t AnsiToUnicode(uint8_t code);

// Appends the points of a quadratic or cubic Bezier curve from p0 (which the
// caller has already added) up to and including the end point, so that no
// point of the curve is further than tolerance from the chords.
void FlattenQuadratic(Point2 p0, Point2 c, Point2 p1, double tolerance, Contour& out);
void FlattenCubic(Point2 p0, Point2 c0, Point2 c1, Point2 p1, double tolerance, Contour& out);

// Signed area of a closed contour (positive when counter-clockwise, y up).
double SignedArea(const Contour& contour);

class OutlineFont {
public:
    OutlineFont();
    ~OutlineFont();
    OutlineFont(const OutlineFont&) = delete;
    OutlineFont& operator=(const OutlineFont&) = delete;

    bool Open(const std::string& path);
    bool Open(const FontRequest& request);
    bool IsOpen() const;
    std::string FamilyName() const;
    std::string StyleName() const;
    int UnitsPerEm() const;

    // The outline and metrics of the glyph of a Windows-1252 character code.
    // deviation: the largest distance, in em units, of the flattened outline
    // from the true curves; 0 or less means one design unit of the font.
    GlyphOutline Glyph(uint8_t code, double deviation) const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};

}  // namespace fonts
