// Outlines, flattening, metrics and tessellated solids of the 3D letters,
// without a rendering context.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "platform/fonts/glyph_mesh.h"
#include "platform/fonts/glyph_outlines.h"

using namespace fonts;

namespace {

double DistanceToSegment(Point2 p, Point2 a, Point2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double DistanceToPolyline(Point2 p, const Contour& line) {
    double best = 1e300;
    for (size_t i = 0; i + 1 < line.size(); ++i) best = std::min(best, DistanceToSegment(p, line[i], line[i + 1]));
    return best;
}

// Nonzero winding number of a point against all contours.
int Winding(Point2 p, const std::vector<Contour>& contours) {
    int w = 0;
    for (const Contour& c : contours) {
        for (size_t i = 0, n = c.size(); i < n; ++i) {
            const Point2 a = c[i], b = c[(i + 1) % n];
            if (a.y <= p.y) {
                if (b.y > p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) > 0) ++w;
            } else if (b.y <= p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) < 0) {
                --w;
            }
        }
    }
    return w;
}

double TriangleArea(Point2 a, Point2 b, Point2 c) {
    return ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
}

class BoldFace : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        font = new OutlineFont();
        opened = font->Open(FontRequest{"Arial", 700, false});
    }
    static void TearDownTestSuite() {
        delete font;
        font = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(opened) << "no bold sans-serif outline font found"; }
    static OutlineFont* font;
    static bool opened;
};
OutlineFont* BoldFace::font = nullptr;
bool BoldFace::opened = false;

}  // namespace

TEST(GlyphFlattening, QuadraticStaysWithinTolerance) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(-1.0, 1.0);
    for (double tol : {0.05, 0.01, 1.0 / 2048}) {
        for (int k = 0; k < 20; ++k) {
            const Point2 p0{coord(rng), coord(rng)}, c{coord(rng), coord(rng)}, p1{coord(rng), coord(rng)};
            Contour line{p0};
            FlattenQuadratic(p0, c, p1, tol, line);
            EXPECT_EQ(line.back().x, p1.x);
            EXPECT_EQ(line.back().y, p1.y);
            for (int i = 0; i <= 400; ++i) {
                const double t = i / 400.0, u = 1 - t;
                const Point2 q{u * u * p0.x + 2 * u * t * c.x + t * t * p1.x, u * u * p0.y + 2 * u * t * c.y + t * t * p1.y};
                ASSERT_LE(DistanceToPolyline(q, line), tol * (1 + 1e-9)) << "t=" << t << " tol=" << tol;
            }
        }
    }
}

TEST(GlyphFlattening, CubicStaysWithinTolerance) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coord(-1.0, 1.0);
    for (double tol : {0.05, 0.002}) {
        for (int k = 0; k < 20; ++k) {
            const Point2 p0{coord(rng), coord(rng)}, c0{coord(rng), coord(rng)}, c1{coord(rng), coord(rng)},
                p1{coord(rng), coord(rng)};
            Contour line{p0};
            FlattenCubic(p0, c0, c1, p1, tol, line);
            EXPECT_EQ(line.back().x, p1.x);
            for (int i = 0; i <= 400; ++i) {
                const double t = i / 400.0, u = 1 - t;
                const double a = u * u * u, b = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
                const Point2 q{a * p0.x + b * c0.x + cc * c1.x + d * p1.x, a * p0.y + b * c0.y + cc * c1.y + d * p1.y};
                ASSERT_LE(DistanceToPolyline(q, line), tol * (1 + 1e-9));
            }
        }
    }
}

TEST(GlyphFlattening, StraightCurveIsOneChordAndFinerToleranceGivesMorePoints) {
    Contour line{{0, 0}};
    FlattenQuadratic({0, 0}, {0.5, 0.5}, {1, 1}, 1e-6, line);
    EXPECT_EQ(line.size(), 2u);
    Contour coarse{{0, 0}}, fine{{0, 0}};
    FlattenQuadratic({0, 0}, {0.5, 1}, {1, 0}, 0.01, coarse);
    FlattenQuadratic({0, 0}, {0.5, 1}, {1, 0}, 0.0001, fine);
    EXPECT_LT(coarse.size(), fine.size());
    // A degenerate tolerance must not make the curve endless.
    Contour capped{{0, 0}};
    FlattenQuadratic({0, 0}, {0.5, 1}, {1, 0}, 0.0, capped);
    EXPECT_LE(capped.size(), 1025u);
}

TEST(GlyphOutlines, WesternCodesMapToUnicode) {
    EXPECT_EQ(AnsiToUnicode('A'), 0x41u);
    EXPECT_EQ(AnsiToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(AnsiToUnicode(0x99), 0x2122u);
    EXPECT_EQ(AnsiToUnicode(0x9F), 0x178u);
    EXPECT_EQ(AnsiToUnicode(0x81), 0x81u);
    EXPECT_EQ(AnsiToUnicode(0xE9), 0xE9u);
    EXPECT_EQ(AnsiToUnicode(0xFF), 0xFFu);
}

TEST(GlyphOutlines, MissingFontFileDoesNotOpen) {
    OutlineFont f;
    EXPECT_FALSE(f.Open(std::string("/nonexistent/face.ttf")));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(f.Glyph('A', 0).Contours.empty());
    EXPECT_FALSE(f.Open(std::string()));
}

TEST_F(BoldFace, FoundThroughFontconfigWithTheMetricsOfTheNamedFace) {
    EXPECT_TRUE(std::filesystem::exists(FindFontFile(FontRequest{"Arial", 700, false})));
    EXPECT_EQ(font->FamilyName(), "Liberation Sans");
    EXPECT_EQ(font->StyleName(), "Bold");
    EXPECT_EQ(font->UnitsPerEm(), 2048);
    // Advances of the bold face in em units.
    EXPECT_FLOAT_EQ(font->Glyph('A', 0).Metrics.CellIncX, 1479.0f / 2048);
    EXPECT_FLOAT_EQ(font->Glyph(' ', 0).Metrics.CellIncX, 569.0f / 2048);
    EXPECT_FLOAT_EQ(font->Glyph('W', 0).Metrics.CellIncX, 1933.0f / 2048);
    EXPECT_FLOAT_EQ(font->Glyph('8', 0).Metrics.CellIncY, 0.0f);
}

TEST_F(BoldFace, MetricsDescribeTheOutline) {
    for (int code : {65, 79, 103, 106, 37, 0x80}) {
        const GlyphOutline g = font->Glyph(static_cast<uint8_t>(code), 0);
        ASSERT_FALSE(g.Contours.empty()) << int(code);
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (const Contour& c : g.Contours)
            for (const Point2& p : c) {
                minX = std::min(minX, p.x);
                maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y);
                maxY = std::max(maxY, p.y);
            }
        const double unit = 1.0 / 2048;
        EXPECT_NEAR(g.Metrics.GlyphOriginX, minX, 1.5 * unit) << int(code);
        EXPECT_NEAR(g.Metrics.GlyphOriginY, maxY, 1.5 * unit) << int(code);
        EXPECT_NEAR(g.Metrics.BlackBoxX, maxX - minX, 3 * unit) << int(code);
        EXPECT_NEAR(g.Metrics.BlackBoxY, maxY - minY, 3 * unit) << int(code);
    }
    const GlyphOutline g = font->Glyph('g', 0);
    EXPECT_LT(g.Metrics.GlyphOriginY - g.Metrics.BlackBoxY, 0.0f) << "a descender reaches below the baseline";
}

TEST_F(BoldFace, SpaceHasNoOutlineButAnAdvance) {
    const GlyphOutline g = font->Glyph(' ', 0);
    EXPECT_TRUE(g.Contours.empty());
    EXPECT_GT(g.Metrics.CellIncX, 0.0f);
    EXPECT_EQ(g.Metrics.BlackBoxX, 0.0f);
    GlyphSolid solid;
    ASSERT_TRUE(BuildGlyphSolid(g, 0.2f, solid));
    EXPECT_TRUE(solid.Empty());
}

TEST_F(BoldFace, ContoursAreClosedWithoutRepeatedPoints) {
    const GlyphOutline o = font->Glyph('O', 0);
    ASSERT_EQ(o.Contours.size(), 2u) << "outer ring and counter";
    for (const Contour& c : o.Contours) {
        ASSERT_GE(c.size(), 3u);
        for (size_t i = 0; i < c.size(); ++i) {
            const Point2 a = c[i], b = c[(i + 1) % c.size()];
            EXPECT_GT(std::hypot(a.x - b.x, a.y - b.y), 0.0);
        }
    }
    // Opposite directions: the counter is a hole.
    EXPECT_LT(SignedArea(o.Contours[0]) * SignedArea(o.Contours[1]), 0.0);
    // Finer deviation, more points; a coarse one gives fewer.
    size_t fine = 0, coarse = 0;
    for (const Contour& c : o.Contours) fine += c.size();
    for (const Contour& c : font->Glyph('O', 0.02).Contours) coarse += c.size();
    EXPECT_LT(coarse, fine);
}

TEST_F(BoldFace, TessellationCoversExactlyTheFilledArea) {
    // Letters whose contours do not overlap: the filled area is the sum of
    // the contours' signed areas.
    for (int code : {65, 66, 79, 56, 37, 103, 64}) {
        const GlyphOutline g = font->Glyph(static_cast<uint8_t>(code), 0);
        double filled = 0;
        for (const Contour& c : g.Contours) filled += SignedArea(c);
        filled = std::fabs(filled);
        std::vector<Point2> tris;
        ASSERT_TRUE(TessellateContours(g.Contours, tris)) << code;
        ASSERT_EQ(tris.size() % 3, 0u);
        double area = 0;
        for (size_t i = 0; i < tris.size(); i += 3) {
            const double a = TriangleArea(tris[i], tris[i + 1], tris[i + 2]);
            EXPECT_GE(a, -1e-12) << "every triangle faces +z";
            area += a;
        }
        EXPECT_NEAR(area, filled, filled * 1e-6) << code;
    }
}

TEST_F(BoldFace, TrianglesCoverEveryInsidePointOnce) {
    // Includes composed letters whose parts overlap (the ring of 0xC5 on its A).
    for (int code : {65, 37, 64, 0xC5, 0xC7, 0x80}) {
        const GlyphOutline g = font->Glyph(static_cast<uint8_t>(code), 0);
        std::vector<Point2> tris;
        ASSERT_TRUE(TessellateContours(g.Contours, tris)) << code;
        const GlyphMetricsFloat& m = g.Metrics;
        int inside = 0;
        for (int i = 0; i < 50; ++i) {
            for (int j = 0; j < 50; ++j) {
                const Point2 p{m.GlyphOriginX + (i + 0.437) / 50 * m.BlackBoxX,
                               m.GlyphOriginY - (j + 0.391) / 50 * m.BlackBoxY};
                int covered = 0;
                for (size_t k = 0; k < tris.size(); k += 3) {
                    const double a = TriangleArea(tris[k], tris[k + 1], tris[k + 2]);
                    if (a <= 0) continue;
                    if (TriangleArea(tris[k], tris[k + 1], p) >= 0 && TriangleArea(tris[k + 1], tris[k + 2], p) >= 0 &&
                        TriangleArea(tris[k + 2], tris[k], p) >= 0)
                        ++covered;
                }
                const bool filled = Winding(p, g.Contours) != 0;
                inside += filled;
                EXPECT_EQ(covered, filled ? 1 : 0) << "code " << code << " at " << p.x << ", " << p.y;
            }
        }
        EXPECT_GT(inside, 100) << code;
    }
}

TEST_F(BoldFace, SolidHasFrontBackAndOutwardSides) {
    const GlyphOutline g = font->Glyph('B', 0);
    GlyphSolid solid;
    ASSERT_TRUE(BuildGlyphSolid(g, 0.2f, solid));
    size_t edges = 0;
    for (const Contour& c : g.Contours) edges += c.size();
    EXPECT_EQ(solid.Sides.size(), edges);
    ASSERT_EQ(solid.Front.size(), solid.Back.size());
    for (size_t i = 0; i < solid.Front.size(); ++i) {
        const MeshTriangle& f = solid.Front[i];
        const MeshTriangle& b = solid.Back[i];
        EXPECT_EQ(f.normal.z, 1.0f);
        EXPECT_EQ(b.normal.z, -1.0f);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(f.v[k].z, 0.0f);
            EXPECT_EQ(b.v[k].z, -0.2f);
        }
        // The back triangle is the front one mirrored in winding.
        const double af = TriangleArea({f.v[0].x, f.v[0].y}, {f.v[1].x, f.v[1].y}, {f.v[2].x, f.v[2].y});
        const double ab = TriangleArea({b.v[0].x, b.v[0].y}, {b.v[1].x, b.v[1].y}, {b.v[2].x, b.v[2].y});
        EXPECT_NEAR(af, -ab, 1e-12);
    }
    for (const MeshQuad& q : solid.Sides) {
        EXPECT_NEAR(std::hypot(q.normal.x, q.normal.y), 1.0, 1e-6);
        EXPECT_EQ(q.normal.z, 0.0f);
        // The quad's own winding agrees with its normal.
        const Vec3f e1{q.v[1].x - q.v[0].x, q.v[1].y - q.v[0].y, q.v[1].z - q.v[0].z};
        const Vec3f e2{q.v[2].x - q.v[1].x, q.v[2].y - q.v[1].y, q.v[2].z - q.v[1].z};
        const double cx = e1.y * e2.z - e1.z * e2.y, cy = e1.z * e2.x - e1.x * e2.z;
        EXPECT_GT(cx * q.normal.x + cy * q.normal.y, 0.0);
        // A step along the normal from the edge's middle leaves the letter; a step against it enters.
        const double mx = (q.v[0].x + q.v[2].x) / 2, my = (q.v[0].y + q.v[2].y) / 2, step = 2e-4;
        EXPECT_EQ(Winding({mx + q.normal.x * step, my + q.normal.y * step}, g.Contours), 0);
        EXPECT_NE(Winding({mx - q.normal.x * step, my - q.normal.y * step}, g.Contours), 0);
        // Front edge at z = 0, back edge at -0.2.
        float zmin = 0, zmax = -1;
        for (const Vec3f& v : q.v) {
            zmin = std::min(zmin, v.z);
            zmax = std::max(zmax, v.z);
        }
        EXPECT_EQ(zmin, -0.2f);
        EXPECT_EQ(zmax, 0.0f);
    }
}

TEST_F(BoldFace, FlatLettersHaveOnlyAFront) {
    GlyphSolid solid;
    ASSERT_TRUE(BuildGlyphSolid(font->Glyph('A', 0), 0.0f, solid));
    EXPECT_FALSE(solid.Front.empty());
    EXPECT_TRUE(solid.Back.empty());
    EXPECT_TRUE(solid.Sides.empty());
}

TEST(GlyphMesh, PostScriptOrientedOutlineGetsOutwardSides) {
    // A unit square drawn counter-clockwise with the filled area on its left.
    GlyphOutline g;
    g.Contours = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    g.FilledOnRight = false;
    GlyphSolid solid;
    ASSERT_TRUE(BuildGlyphSolid(g, 0.5f, solid));
    ASSERT_EQ(solid.Sides.size(), 4u);
    EXPECT_NEAR(solid.Sides[0].normal.y, -1.0, 1e-6) << "the bottom edge faces down";
    EXPECT_NEAR(solid.Sides[1].normal.x, 1.0, 1e-6) << "the right edge faces right";
    double area = 0;
    for (const MeshTriangle& t : solid.Front)
        area += TriangleArea({t.v[0].x, t.v[0].y}, {t.v[1].x, t.v[1].y}, {t.v[2].x, t.v[2].y});
    EXPECT_NEAR(area, 1.0, 1e-9);
}

TEST(GlyphMesh, SelfOverlappingContoursFillByNonzeroWinding) {
    // Two squares overlapping by half, both clockwise: the union is filled once.
    const std::vector<Contour> contours{{{0, 0}, {0, 1}, {1, 1}, {1, 0}}, {{0.5, 0}, {0.5, 1}, {1.5, 1}, {1.5, 0}}};
    std::vector<Point2> tris;
    ASSERT_TRUE(TessellateContours(contours, tris));
    double area = 0;
    for (size_t i = 0; i < tris.size(); i += 3) area += TriangleArea(tris[i], tris[i + 1], tris[i + 2]);
    EXPECT_NEAR(area, 1.5, 1e-9);
}
