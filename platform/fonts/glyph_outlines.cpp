#include "platform/fonts/glyph_outlines.h"

#include <algorithm>
#include <cmath>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H

namespace fonts {

namespace {

// Windows-1252 codes 0x80 to 0x9F; 0 marks the five codes the set leaves open.
constexpr uint16_t kAnsiHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

double Distance(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

int SegmentsFor(double secondDifference, double factor, double tolerance) {
    // Linear interpolation at n equal steps of t strays at most
    // max|B''| / (8 n^2) from the curve.
    const double n = std::ceil(std::sqrt(factor * secondDifference / tolerance));
    if (!(n >= 1)) return 1;
    return static_cast<int>(std::min(n, 1024.0));
}

struct Builder {
    std::vector<Contour> contours;
    double scale = 1;
    double tolerance = 1;
    Point2 last;

    Point2 P(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }
    void Close() {
        if (contours.empty()) return;
        Contour& c = contours.back();
        if (c.size() > 1 && Distance(c.front(), c.back()) == 0) c.pop_back();
        if (c.size() < 3) contours.pop_back();
    }
    void Add(Point2 p) {
        Contour& c = contours.back();
        if (c.empty() || Distance(c.back(), p) > 0) c.push_back(p);
        last = p;
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* b = static_cast<Builder*>(user);
    b->Close();
    b->contours.emplace_back();
    b->Add(b->P(to));
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto* b = static_cast<Builder*>(user);
    b->Add(b->P(to));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* b = static_cast<Builder*>(user);
    Contour pts;
    FlattenQuadratic(b->last, b->P(control), b->P(to), b->tolerance, pts);
    for (const Point2& p : pts) b->Add(p);
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* b = static_cast<Builder*>(user);
    Contour pts;
    FlattenCubic(b->last, b->P(c1), b->P(c2), b->P(to), b->tolerance, pts);
    for (const Point2& p : pts) b->Add(p);
    return 0;
}

}  // namespace

uint32_t AnsiToUnicode(uint8_t code) {
    if (code >= 0x80 && code <= 0x9F) {
        const uint16_t u = kAnsiHigh[code - 0x80];
        return u ? u : code;
    }
    return code;
}

void FlattenQuadratic(Point2 p0, Point2 c, Point2 p1, double tolerance, Contour& out) {
    const double dd = std::hypot(p0.x - 2 * c.x + p1.x, p0.y - 2 * c.y + p1.y);
    const int n = SegmentsFor(dd, 0.25, tolerance);
    for (int i = 1; i < n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        out.push_back({u * u * p0.x + 2 * u * t * c.x + t * t * p1.x, u * u * p0.y + 2 * u * t * c.y + t * t * p1.y});
    }
    out.push_back(p1);
}

void FlattenCubic(Point2 p0, Point2 c0, Point2 c1, Point2 p1, double tolerance, Contour& out) {
    const double dd0 = std::hypot(p0.x - 2 * c0.x + c1.x, p0.y - 2 * c0.y + c1.y);
    const double dd1 = std::hypot(c0.x - 2 * c1.x + p1.x, c0.y - 2 * c1.y + p1.y);
    const int n = SegmentsFor(std::max(dd0, dd1), 0.75, tolerance);
    for (int i = 1; i < n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
        out.push_back({a * p0.x + b * c0.x + cc * c1.x + d * p1.x, a * p0.y + b * c0.y + cc * c1.y + d * p1.y});
    }
    out.push_back(p1);
}

double SignedArea(const Contour& contour) {
    double twice = 0;
    for (size_t i = 0, n = contour.size(); i < n; ++i) {
        const Point2& a = contour[i];
        const Point2& b = contour[(i + 1) % n];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

std::string FindFontFile(const FontRequest& request) {
    // A configuration of our own, released afterwards: the lookup leaves no
    // state behind and does not depend on who else uses fontconfig.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return {};
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.Face.c_str()));
    // A sans-serif face stands in when the named one is not installed.
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.Weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::string path;
    if (match) {
        FcChar8* file = nullptr;
        FcBool outline = FcFalse;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            (FcPatternGetBool(match, FC_OUTLINE, 0, &outline) != FcResultMatch || outline))
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return path;
}

struct OutlineFont::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Impl() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

OutlineFont::OutlineFont() : mImpl(std::make_unique<Impl>()) {}
OutlineFont::~OutlineFont() = default;

bool OutlineFont::Open(const std::string& path) {
    mImpl = std::make_unique<Impl>();
    if (path.empty() || FT_Init_FreeType(&mImpl->library) != 0) return false;
    if (FT_New_Face(mImpl->library, path.c_str(), 0, &mImpl->face) != 0) {
        mImpl->face = nullptr;
        return false;
    }
    // Only scalable outline faces have the curves that the glyphs are made from.
    if (!FT_IS_SCALABLE(mImpl->face) || mImpl->face->units_per_EM == 0) {
        FT_Done_Face(mImpl->face);
        mImpl->face = nullptr;
        return false;
    }
    FT_Select_Charmap(mImpl->face, FT_ENCODING_UNICODE);
    return true;
}

bool OutlineFont::Open(const FontRequest& request) { return Open(FindFontFile(request)); }

bool OutlineFont::IsOpen() const { return mImpl && mImpl->face; }

std::string OutlineFont::FamilyName() const {
    return IsOpen() && mImpl->face->family_name ? mImpl->face->family_name : "";
}

std::string OutlineFont::StyleName() const {
    return IsOpen() && mImpl->face->style_name ? mImpl->face->style_name : "";
}

int OutlineFont::UnitsPerEm() const { return IsOpen() ? mImpl->face->units_per_EM : 0; }

GlyphOutline OutlineFont::Glyph(uint8_t code, double deviation) const {
    GlyphOutline glyph;
    if (!IsOpen()) return glyph;
    FT_Face face = mImpl->face;
    const FT_UInt index = FT_Get_Char_Index(face, AnsiToUnicode(code));
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return glyph;
    const double scale = 1.0 / face->units_per_EM;
    glyph.Metrics.CellIncX = static_cast<float>(face->glyph->advance.x * scale);
    glyph.Metrics.CellIncY = static_cast<float>(face->glyph->advance.y * scale);
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return glyph;
    FT_Outline& outline = face->glyph->outline;
    if (outline.n_contours <= 0) return glyph;

    Builder b;
    b.scale = scale;
    b.tolerance = deviation > 0 ? deviation : scale;
    FT_Outline_Funcs funcs{};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    if (FT_Outline_Decompose(&outline, &funcs, &b) != 0) return glyph;
    b.Close();
    glyph.Contours = std::move(b.contours);
    glyph.FilledOnRight = FT_Outline_Get_Orientation(&outline) != FT_ORIENTATION_POSTSCRIPT;

    FT_BBox box{};
    FT_Outline_Get_BBox(&outline, &box);
    glyph.Metrics.BlackBoxX = static_cast<float>((box.xMax - box.xMin) * scale);
    glyph.Metrics.BlackBoxY = static_cast<float>((box.yMax - box.yMin) * scale);
    glyph.Metrics.GlyphOriginX = static_cast<float>(box.xMin * scale);
    glyph.Metrics.GlyphOriginY = static_cast<float>(box.yMax * scale);
    return glyph;
}

}  // namespace fonts
