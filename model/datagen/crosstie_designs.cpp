#include "model/datagen/crosstie_designs.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

// Bars are boxes between two points of the tie's x-y plane, `width` thick in
// that plane and `depth` along the track.
struct Bar {
    float X1, Y1, X2, Y2;
    float Width;
};

void AddBar(TieObjectBrush& brush, const Bar& bar, float depth) {
    const double dx = double(bar.X2) - bar.X1, dy = double(bar.Y2) - bar.Y1;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double ux = len > 0.0 ? dx / len : 1.0, uy = len > 0.0 ? dy / len : 0.0;
    const double vx = -uy * bar.Width / 2.0, vy = ux * bar.Width / 2.0;  // across the bar, in the plane
    const double hz = depth / 2.0;

    const int32_t base = static_cast<int32_t>(brush.Vertices.size());
    // Corner i: end (bit 2), side of the bar (bit 0), front or back (bit 1).
    for (int i = 0; i < 8; ++i) {
        const double ex = (i & 4) ? bar.X2 : bar.X1, ey = (i & 4) ? bar.Y2 : bar.Y1;
        const double sv = (i & 1) ? 1.0 : -1.0, sz = (i & 2) ? 1.0 : -1.0;
        brush.Vertices.push_back(Vector3{static_cast<float>(ex + sv * vx), static_cast<float>(ey + sv * vy),
                                         static_cast<float>(sz * hz)});
    }
    const double cx = (double(bar.X1) + bar.X2) / 2.0, cy = (double(bar.Y1) + bar.Y2) / 2.0;
    static constexpr int kQuads[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                         {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& q : kQuads) {
        // Two triangles per side, wound so that their normals point out of the bar.
        const Vector3& p0 = brush.Vertices[base + q[0]];
        const Vector3& p2 = brush.Vertices[base + q[2]];
        const Vector3 mid{static_cast<float>((double(p0.X) + p2.X) / 2.0), static_cast<float>((double(p0.Y) + p2.Y) / 2.0),
                          static_cast<float>((double(p0.Z) + p2.Z) / 2.0)};
        const Vector3 n = TriangleNormal(brush.Vertices[base + q[0]], brush.Vertices[base + q[1]],
                                         brush.Vertices[base + q[2]]);
        const double outward = n.X * (mid.X - cx) + n.Y * (mid.Y - cy) + n.Z * double(mid.Z);
        if (outward >= 0.0) {
            brush.Faces.push_back({base + q[0], base + q[1], base + q[2]});
            brush.Faces.push_back({base + q[2], base + q[3], base + q[0]});
        } else {
            brush.Faces.push_back({base + q[2], base + q[1], base + q[0]});
            brush.Faces.push_back({base + q[0], base + q[3], base + q[2]});
        }
    }
}

TieObject Design(const char* name, std::initializer_list<Bar> bars, float depth) {
    TieObject object;
    object.Brushes.emplace_back();
    object.Brushes.back().Name = name;
    for (const Bar& bar : bars) AddBar(object.Brushes.back(), bar, depth);
    return object;
}

// Mirrors a design top to bottom, for the inverted styles whose spine runs above the rails.
TieObject Flipped(TieObject object) {
    for (TieObjectBrush& brush : object.Brushes) {
        for (Vector3& v : brush.Vertices) v.Y = -v.Y;
        for (auto& f : brush.Faces) std::swap(f[1], f[2]);
    }
    return object;
}

constexpr float kSteelDepth = 0.08f;
constexpr float kWoodDepth = 0.2f;

// Steel looping: two arms from under the rails (x = +-0.5) to a saddle on the
// round spine (y = -0.3, half-width 0.2).
TieObject SteelLooping() {
    return Design("tie00",
                  {{-0.5f, -0.07f, -0.13f, -0.16f, 0.06f}, {0.5f, -0.07f, 0.13f, -0.16f, 0.06f},
                   {-0.16f, -0.12f, 0.16f, -0.12f, 0.05f}},
                  kSteelDepth);
}

// Corkscrew and the inverted two-seater: arms from the rails (x = +-0.6) to a
// spine 0.85 below (above) the track centre.
TieObject Corkscrew(const char* name) {
    return Design(name,
                  {{-0.6f, -0.07f, -0.13f, -0.68f, 0.06f}, {0.6f, -0.07f, 0.13f, -0.68f, 0.06f},
                   {-0.17f, -0.66f, 0.17f, -0.66f, 0.05f}, {-0.6f, -0.09f, 0.6f, -0.09f, 0.04f}},
                  kSteelDepth);
}

// Twisted steel: a light plate from rail to rail over the box spine (y = -0.5,
// half-width 0.3), and a heavier frame right round the box for every seventh tie.
TieObject TwistedLight(const char* name) {
    return Design(name,
                  {{-0.6f, -0.07f, -0.27f, -0.19f, 0.06f}, {0.6f, -0.07f, 0.27f, -0.19f, 0.06f},
                   {-0.3f, -0.18f, 0.3f, -0.18f, 0.04f}},
                  kSteelDepth);
}

TieObject TwistedFrame(const char* name) {
    return Design(name,
                  {{-0.6f, -0.07f, -0.27f, -0.19f, 0.06f}, {0.6f, -0.07f, 0.27f, -0.19f, 0.06f},
                   {-0.34f, -0.18f, 0.34f, -0.18f, 0.04f}, {-0.33f, -0.18f, -0.33f, -0.82f, 0.06f},
                   {0.33f, -0.18f, 0.33f, -0.82f, 0.06f}, {-0.36f, -0.83f, 0.36f, -0.83f, 0.06f}},
                  kSteelDepth);
}

// Hyper coaster: a triangular truss down to the small third tube (y = -1.0),
// alternating between a V of two struts and a post with two braces.
TieObject HyperV() {
    return Design("tie05a",
                  {{-0.5f, -0.07f, -0.04f, -0.95f, 0.05f}, {0.5f, -0.07f, 0.04f, -0.95f, 0.05f},
                   {-0.5f, -0.09f, 0.5f, -0.09f, 0.04f}},
                  kSteelDepth);
}

TieObject HyperPost() {
    return Design("tie05b",
                  {{-0.5f, -0.09f, 0.5f, -0.09f, 0.04f}, {0.0f, -0.1f, 0.0f, -0.94f, 0.05f},
                   {-0.47f, -0.1f, -0.02f, -0.5f, 0.04f}, {0.47f, -0.1f, 0.02f, -0.5f, 0.04f}},
                  kSteelDepth);
}

// Wooden coaster: a sleeper under the two rail blocks (which reach 0.2 below
// the rail points at x = +-0.6 to +-0.8) and a post below each rail.
TieObject Wooden() {
    return Design("tie06",
                  {{-1.0f, -0.28f, 1.0f, -0.28f, 0.16f}, {-0.7f, -0.36f, -0.7f, -0.9f, 0.16f},
                   {0.7f, -0.36f, 0.7f, -0.9f, 0.16f}},
                  kWoodDepth);
}

}  // namespace

TieObject CrosstieDesign(const std::string& fileName) {
    if (fileName == "vxtmTie00.fcobject") return SteelLooping();
    if (fileName == "vxtmTie01.fcobject") return Corkscrew("tie01");
    if (fileName == "vxtmTie02.fcobject") return Flipped(Corkscrew("tie02"));
    if (fileName == "vxtmTie03.fcobject") return TwistedLight("tie03");
    if (fileName == "vxtmTie03b.fcobject") return TwistedFrame("tie03b");
    if (fileName == "vxtmTie04.fcobject") return Flipped(TwistedLight("tie04"));
    if (fileName == "vxtmTie04b.fcobject") return Flipped(TwistedFrame("tie04b"));
    if (fileName == "vxtmTie05a.fcobject") return HyperV();
    if (fileName == "vxtmTie05b.fcobject") return HyperPost();
    if (fileName == "vxtmTie06.fcobject") return Wooden();
    return TieObject{};
}
