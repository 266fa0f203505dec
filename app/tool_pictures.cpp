#include "app/tool_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr int N = ToolPictureImage::kSize;

// The palette of the pictures (opaque colours, 0xAARRGGBB).
constexpr uint32_t kInk = 0xFF202020;         // outlines
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kPaper = 0xFFF4F4EC;
constexpr uint32_t kFolder = 0xFFF2C94C;
constexpr uint32_t kFolderDark = 0xFFC79A22;
constexpr uint32_t kBlue = 0xFF2F63C4;
constexpr uint32_t kLightBlue = 0xFF8DB4EE;
constexpr uint32_t kPaleBlue = 0xFFC9DCF8;
constexpr uint32_t kRed = 0xFFD43A2F;
constexpr uint32_t kGreen = 0xFF2F9E44;
constexpr uint32_t kLightGreen = 0xFF7CCB62;
constexpr uint32_t kDarkGreen = 0xFF1E6B2D;
constexpr uint32_t kSilver = 0xFFB4B4B8;
constexpr uint32_t kSteel = 0xFF6E7078;
constexpr uint32_t kOrange = 0xFFEB8A23;
constexpr uint32_t kYellow = 0xFFF7DA2E;
constexpr uint32_t kBrown = 0xFF8A5A2B;
constexpr uint32_t kPurple = 0xFF8A4FC4;
constexpr uint32_t kLine = 0xFF6A6A6A;

struct Pt {
    float x, y;
};

class Canvas {
public:
    ToolPictureImage image;

    void Set(int x, int y, uint32_t c) {
        if (x < 0 || y < 0 || x >= N || y >= N) return;
        image.Pixels[static_cast<size_t>(y * N + x)] = c;
    }
    void Clear(int x, int y) { Set(x, y, 0); }

    void Fill(int x0, int y0, int x1, int y1, uint32_t c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, uint32_t c) {
        Line(x0, y0, x1, y0, c);
        Line(x0, y1, x1, y1, c);
        Line(x0, y0, x0, y1, c);
        Line(x1, y0, x1, y1, c);
    }
    // A filled box with an ink outline.
    void Box(int x0, int y0, int x1, int y1, uint32_t fill, uint32_t outline = kInk) {
        Fill(x0, y0, x1, y1, fill);
        Frame(x0, y0, x1, y1, outline);
    }
    void Line(int x0, int y0, int x1, int y1, uint32_t c) {
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void ThickLine(int x0, int y0, int x1, int y1, uint32_t c) {
        Line(x0, y0, x1, y1, c);
        Line(x0 + 1, y0, x1 + 1, y1, c);
        Line(x0, y0 + 1, x1, y1 + 1, c);
    }
    // Pixels whose centres lie inside the polygon (even-odd rule).
    void Polygon(std::initializer_list<Pt> points, uint32_t fill) {
        const std::vector<Pt> p(points);
        for (int y = 0; y < N; ++y) {
            const float cy = y + 0.5f;
            std::vector<float> xs;
            for (size_t i = 0; i < p.size(); ++i) {
                const Pt a = p[i], b = p[(i + 1) % p.size()];
                if ((a.y <= cy && b.y > cy) || (b.y <= cy && a.y > cy))
                    xs.push_back(a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t i = 0; i + 1 < xs.size(); i += 2)
                for (int x = 0; x < N; ++x)
                    if (x + 0.5f >= xs[i] && x + 0.5f <= xs[i + 1]) Set(x, y, fill);
        }
    }
    void Outline(std::initializer_list<Pt> points, uint32_t c) {
        const std::vector<Pt> p(points);
        for (size_t i = 0; i < p.size(); ++i) {
            const Pt a = p[i], b = p[(i + 1) % p.size()];
            Line(static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(b.x), static_cast<int>(b.y), c);
        }
    }
    void Disc(float cx, float cy, float r, uint32_t c) {
        for (int y = 0; y < N; ++y)
            for (int x = 0; x < N; ++x) {
                const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                if (dx * dx + dy * dy <= r * r) Set(x, y, c);
            }
    }
    // A ring between two radii, limited to the angles from a0 to a1 (degrees,
    // counter-clockwise from +x with y pointing up).
    void Ring(float cx, float cy, float r0, float r1, uint32_t c, float a0 = 0, float a1 = 360) {
        for (int y = 0; y < N; ++y)
            for (int x = 0; x < N; ++x) {
                const float dx = x + 0.5f - cx, dy = cy - (y + 0.5f);
                const float d2 = dx * dx + dy * dy;
                if (d2 < r0 * r0 || d2 > r1 * r1) continue;
                float a = std::atan2(dy, dx) * 57.29578f;
                if (a < 0) a += 360;
                if ((a0 <= a1 && a >= a0 && a <= a1) || (a0 > a1 && (a >= a0 || a <= a1))) Set(x, y, c);
            }
    }
    // Rows of characters: '.' leaves the pixel, every other character is looked up.
    void Pattern(int left, int top, std::initializer_list<const char*> rows,
                 std::initializer_list<std::pair<char, uint32_t>> palette) {
        int y = top;
        for (const char* row : rows) {
            for (int x = 0; row[x] != '\0'; ++x) {
                for (const auto& [key, colour] : palette)
                    if (row[x] == key) Set(left + x, y, colour);
            }
            ++y;
        }
    }
};

void Page(Canvas& c, int x0, int y0, int x1, int y1) {
    c.Polygon({{x0 + 0.0f, y0 + 0.0f}, {x1 - 3.0f, y0 + 0.0f}, {x1 + 1.0f, y0 + 4.0f}, {x1 + 1.0f, y1 + 1.0f},
               {x0 + 0.0f, y1 + 1.0f}},
              kPaper);
    c.Line(x0, y0, x1 - 3, y0, kInk);
    c.Line(x1 - 3, y0, x1, y0 + 3, kInk);
    c.Line(x1, y0 + 3, x1, y1, kInk);
    c.Line(x0, y1, x1, y1, kInk);
    c.Line(x0, y0, x0, y1, kInk);
    c.Line(x1 - 3, y0, x1 - 3, y0 + 3, kInk);
    c.Line(x1 - 3, y0 + 3, x1, y0 + 3, kInk);
}

void Folder(Canvas& c, int dx, int dy) {
    c.Fill(1 + dx, 3 + dy, 6 + dx, 4 + dy, kFolderDark);
    c.Box(1 + dx, 4 + dy, 13 + dx, 13 + dy, kFolderDark);
    c.Polygon({{3.0f + dx, 7.0f + dy}, {15.0f + dx, 7.0f + dy}, {13.0f + dx, 14.0f + dy}, {1.0f + dx, 14.0f + dy}},
              kFolder);
    c.Outline({{3.0f + dx, 7.0f + dy}, {15.0f + dx, 7.0f + dy}, {13.0f + dx, 13.0f + dy}, {1.0f + dx, 13.0f + dy}},
              kInk);
}

void Floppy(Canvas& c, int x0, int y0, int size) {
    const int x1 = x0 + size - 1, y1 = y0 + size - 1;
    c.Box(x0, y0, x1, y1, kBlue);
    c.Box(x0 + 3, y0, x1 - 3, y0 + size / 2 - 2, kWhite);
    c.Fill(x0 + 3, y1 - size / 3 + 1, x1 - 3, y1 - 1, kSilver);
    c.Fill(x1 - 5, y1 - size / 3 + 2, x1 - 4, y1 - 1, kSteel);
}

void ArrowHead(Canvas& c, Pt tip, Pt base1, Pt base2, uint32_t colour) {
    c.Polygon({tip, base1, base2}, colour);
}

void ScalePicture(Canvas& c, uint32_t accent) {
    // A dashed large square, a small solid one and an arrow growing from it.
    for (int i = 1; i <= 14; i += 2) {
        c.Set(i, 1, kLine);
        c.Set(14, i, kLine);
        c.Set(1, i, kLine);
        c.Set(i, 14, kLine);
    }
    c.Box(2, 9, 7, 14, accent);
    c.ThickLine(6, 9, 11, 4, kInk);
    ArrowHead(c, {13.5f, 1.5f}, {8.5f, 3.0f}, {12.0f, 6.5f}, kInk);
}

void TrackPiece(Canvas& c, int y) {
    c.Line(0, y, 15, y, kSteel);
    c.Line(0, y + 2, 15, y + 2, kSteel);
    for (int x = 1; x < 16; x += 3) c.Line(x, y, x, y + 2, kBrown);
}

ToolPictureImage Draw(ToolPicture picture) {
    Canvas c;
    switch (picture) {
        case ToolPicture::Open:
            Folder(c, 0, 0);
            break;
        case ToolPicture::Save:
            Floppy(c, 1, 1, 14);
            break;
        case ToolPicture::SaveAs:
            Floppy(c, 0, 0, 12);
            c.ThickLine(14, 6, 8, 12, kOrange);
            c.Line(15, 7, 9, 13, kInk);
            c.Line(13, 5, 7, 11, kInk);
            c.Set(7, 14, kInk);
            c.Set(7, 13, kInk);
            c.Set(8, 14, kInk);
            break;
        case ToolPicture::CreateModel:
            c.Polygon({{2, 6}, {6, 2}, {14, 2}, {10, 6}}, kPaleBlue);
            c.Polygon({{10, 6}, {14, 2}, {14, 10}, {10, 14}}, kBlue);
            c.Fill(2, 6, 10, 14, kLightBlue);
            c.Outline({{2, 6}, {6, 2}, {14, 2}, {14, 10}, {10, 14}, {2, 14}}, kInk);
            c.Line(2, 6, 10, 6, kInk);
            c.Line(10, 6, 14, 2, kInk);
            c.Line(10, 6, 10, 14, kInk);
            break;
        case ToolPicture::Settings: {
            c.Disc(8, 8, 5.2f, kSteel);
            const float teeth[8][2] = {{8, 1.7f}, {8, 14.3f}, {1.7f, 8}, {14.3f, 8},
                                       {3.5f, 3.5f}, {12.5f, 3.5f}, {3.5f, 12.5f}, {12.5f, 12.5f}};
            for (const auto& t : teeth) c.Disc(t[0], t[1], 1.8f, kSteel);
            c.Disc(8, 8, 3.6f, kSilver);
            c.Disc(8, 8, 1.8f, 0);
            break;
        }
        case ToolPicture::HelpContents:
            c.Disc(8, 8, 7.5f, kBlue);
            c.Pattern(5, 3,
                      {".xxxx.", "xx..xx", "....xx", "...xx.", "..xx..", "..xx..", "......", "..xx..", "..xx.."},
                      {{'x', kWhite}});
            break;
        case ToolPicture::VortaxisFixLocation:
            Folder(c, 0, 1);
            c.Disc(11.5f, 4.5f, 3.6f, kRed);
            c.Polygon({{8.6f, 6.0f}, {14.4f, 6.0f}, {11.5f, 11.5f}}, kRed);
            c.Disc(11.5f, 4.5f, 1.3f, kWhite);
            break;
        case ToolPicture::VortaxisFileAssociation:
            Page(c, 1, 0, 10, 13);
            for (int y = 5; y <= 9; y += 2) c.Line(3, y, 7, y, kLine);
            c.Ring(9.5f, 11.0f, 2.0f, 3.2f, kBlue);
            c.Ring(12.5f, 8.0f, 2.0f, 3.2f, kGreen);
            break;
        case ToolPicture::TrackOverview:
            c.Box(2, 2, 13, 15, kPaper);
            c.Box(5, 0, 10, 3, kSilver);
            for (int y = 6; y <= 12; y += 2) {
                c.Set(4, y, kBlue);
                c.Line(6, y, 11, y, kLine);
            }
            break;
        case ToolPicture::TrackPowerTweaker:
            c.Polygon({{9, 0}, {3, 9}, {7.5f, 9}, {5, 16}, {13, 6}, {8.5f, 6}, {11.5f, 0}}, kYellow);
            c.Outline({{9, 0}, {3, 9}, {7, 9}, {5, 15}, {13, 6}, {8, 6}, {11, 0}}, kInk);
            break;
        case ToolPicture::TrackColorizer:
            c.Box(1, 2, 4, 13, kRed);
            c.Box(6, 2, 9, 13, kGreen);
            c.Box(11, 2, 14, 13, kBlue);
            break;
        case ToolPicture::TrackRemoveData:
            Page(c, 2, 0, 12, 15);
            for (int y = 4; y <= 12; y += 2) c.Line(4, y, 9, y, kLine);
            c.ThickLine(6, 7, 13, 14, kRed);
            c.ThickLine(13, 7, 6, 14, kRed);
            break;
        case ToolPicture::TrackMove:
            c.Fill(7, 3, 8, 12, kInk);
            c.Fill(3, 7, 12, 8, kInk);
            ArrowHead(c, {8, 0}, {4.5f, 4}, {11.5f, 4}, kInk);
            ArrowHead(c, {8, 16}, {4.5f, 12}, {11.5f, 12}, kInk);
            ArrowHead(c, {0, 8}, {4, 4.5f}, {4, 11.5f}, kInk);
            ArrowHead(c, {16, 8}, {12, 4.5f}, {12, 11.5f}, kInk);
            break;
        case ToolPicture::TrackScale:
            ScalePicture(c, kLightBlue);
            break;
        case ToolPicture::TrackRotate:
            c.Ring(8, 8.5f, 4.0f, 6.0f, kBlue, 100, 20);
            ArrowHead(c, {15.5f, 9.5f}, {10.0f, 9.5f}, {13.2f, 5.0f}, kBlue);
            c.Disc(8, 8.5f, 1.5f, kInk);
            break;
        case ToolPicture::TrackMirror:
            for (int y = 0; y < 16; y += 3) c.Fill(7, y, 8, y + 1, kLine);
            c.Polygon({{6, 3}, {6, 13}, {0.5f, 13}}, kBlue);
            c.Outline({{6, 3}, {6, 13}, {1, 13}}, kInk);
            c.Outline({{9, 3}, {9, 13}, {14, 13}}, kInk);
            break;
        case ToolPicture::TrackTunneler:
            c.Disc(8, 13, 7.5f, kBrown);
            c.Fill(0, 13, 15, 15, 0);
            c.Disc(8, 13, 4.2f, kInk);
            c.Fill(0, 13, 15, 15, 0);
            TrackPiece(c, 13);
            break;
        case ToolPicture::TrackShuttleBuilder:
            c.Fill(3, 5, 12, 6, kGreen);
            ArrowHead(c, {0, 5.5f}, {4, 1.5f}, {4, 9.5f}, kGreen);
            ArrowHead(c, {16, 5.5f}, {12, 1.5f}, {12, 9.5f}, kGreen);
            TrackPiece(c, 12);
            break;
        case ToolPicture::TrackBackwardsRebuilder:
            c.Ring(8, 7, 3.5f, 5.5f, kGreen, 0, 180);
            c.Fill(2, 7, 4, 13, kGreen);
            c.Fill(12, 7, 13, 9, kGreen);
            ArrowHead(c, {12.5f, 14.5f}, {9, 9}, {16, 9}, kGreen);
            break;
        case ToolPicture::TrackObjectRenamer:
            c.Polygon({{1, 4}, {10, 4}, {15, 8}, {10, 12}, {1, 12}}, kFolder);
            c.Outline({{1, 4}, {10, 4}, {14, 8}, {10, 12}, {1, 12}}, kInk);
            c.Disc(11, 8, 1.2f, kWhite);
            c.Pattern(3, 6, {"x.x.x", "xxx.x", "x.xxx"}, {{'x', kInk}});
            break;
        case ToolPicture::TrackObjectPlacer:
            c.Polygon({{8, 0}, {14.5f, 11}, {1.5f, 11}}, kGreen);
            c.Polygon({{8, 2}, {11, 7}, {5, 7}}, kLightGreen);
            c.Outline({{8, 0}, {14, 11}, {1, 11}}, kDarkGreen);
            c.Fill(7, 12, 8, 15, kBrown);
            break;
        case ToolPicture::TrackSupportFlanger:
            c.Fill(6, 2, 9, 13, kSilver);
            c.Frame(6, 2, 9, 13, kSteel);
            c.Box(2, 0, 13, 2, kOrange);
            c.Box(2, 13, 13, 15, kOrange);
            break;
        case ToolPicture::TrackSupportOptimizer:
            TrackPiece(c, 0);
            c.ThickLine(7, 3, 2, 14, kSteel);
            c.ThickLine(8, 3, 12, 12, kSteel);
            c.Line(4, 10, 11, 10, kSteel);
            c.ThickLine(8, 12, 10, 14, kGreen);
            c.ThickLine(10, 14, 14, 8, kGreen);
            break;
        case ToolPicture::TrackSupportWizard:
            c.ThickLine(2, 13, 9, 6, kInk);
            c.Set(2, 14, kInk);
            c.Line(11, 0, 11, 8, kOrange);
            c.Line(7, 4, 15, 4, kOrange);
            c.Line(8, 1, 14, 7, kYellow);
            c.Line(14, 1, 8, 7, kYellow);
            c.Disc(11.5f, 4.5f, 1.6f, kYellow);
            break;
        case ToolPicture::TrackTubeExchange:
            c.Box(1, 1, 14, 4, kSilver, kSteel);
            c.Box(1, 11, 14, 14, kOrange, kBrown);
            c.Fill(4, 6, 4, 9, kInk);
            ArrowHead(c, {4.5f, 5}, {2, 7.5f}, {7, 7.5f}, kInk);
            c.Fill(11, 6, 11, 9, kInk);
            ArrowHead(c, {11.5f, 11}, {9, 8.5f}, {14, 8.5f}, kInk);
            break;
        case ToolPicture::TrackTerrainPolyReducer:
            c.Polygon({{0, 15}, {5, 4}, {9, 9}, {12, 3}, {16, 15}}, kLightGreen);
            c.Outline({{0, 15}, {5, 4}, {9, 9}, {12, 3}, {15, 15}}, kDarkGreen);
            c.Line(5, 4, 5, 15, kDarkGreen);
            c.Line(9, 9, 3, 15, kDarkGreen);
            c.Line(9, 9, 12, 15, kDarkGreen);
            c.Line(12, 3, 12, 15, kDarkGreen);
            break;
        case ToolPicture::TrackNodeSmoother: {
            Pt prev{1, 13};
            for (int i = 1; i <= 16; ++i) {
                const float t = i / 16.0f, u = 1 - t;
                const Pt p{u * u * u * 1 + 3 * u * u * t * 4 + 3 * u * t * t * 11 + t * t * t * 14,
                           u * u * u * 13 + 3 * u * u * t * 1 + 3 * u * t * t * 15 + t * t * t * 3};
                c.ThickLine(static_cast<int>(prev.x), static_cast<int>(prev.y), static_cast<int>(p.x),
                            static_cast<int>(p.y), kBlue);
                prev = p;
            }
            c.Box(0, 12, 2, 14, kWhite);
            c.Box(6, 6, 8, 8, kWhite);
            c.Box(12, 2, 14, 4, kWhite);
            break;
        }
        case ToolPicture::ElementOverview: {
            c.Box(2, 2, 13, 15, kPaper);
            c.Box(5, 0, 10, 3, kSilver);
            c.Ring(8, 14, 5, 6.2f, kPurple, 0, 180);
            c.Line(4, 6, 11, 6, kLine);
            break;
        }
        case ToolPicture::ElementReverse:
            c.Fill(1, 4, 11, 5, kPurple);
            ArrowHead(c, {16, 4.5f}, {11, 0.5f}, {11, 8.5f}, kPurple);
            c.Fill(4, 11, 14, 12, kInk);
            ArrowHead(c, {0, 11.5f}, {5, 7.5f}, {5, 15.5f}, kInk);
            break;
        case ToolPicture::ElementScale:
            ScalePicture(c, kPurple);
            break;
        case ToolPicture::ElementPitch:
            c.Line(1, 14, 15, 14, kLine);
            c.ThickLine(1, 13, 13, 3, kPurple);
            c.Ring(1.5f, 14.5f, 6.0f, 7.0f, kInk, 5, 38);
            break;
        case ToolPicture::ElementTilt:
            c.ThickLine(1, 11, 13, 5, kSteel);
            c.ThickLine(2, 14, 14, 8, kSteel);
            for (int i = 0; i < 4; ++i) c.Line(3 + 3 * i, 11 - i * 3 / 2, 4 + 3 * i, 13 - i * 3 / 2, kBrown);
            c.Ring(8, 9, 6, 7, kPurple, 60, 120);
            break;
        case ToolPicture::ElementSkew:
            c.Polygon({{5, 2}, {16, 2}, {11, 14}, {0, 14}}, kPaleBlue);
            c.Outline({{5, 2}, {15, 2}, {10, 13}, {0, 13}}, kInk);
            c.Line(10, 13, 0, 13, kInk);
            break;
    }
    return c.image;
}

int Luminance(uint32_t c) {
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return (r * 299 + g * 587 + b * 114) / 1000;
}

}  // namespace

ToolPictureImage DrawToolPicture(ToolPicture picture) { return Draw(picture); }

ToolPictureImage DisabledToolPicture(const ToolPictureImage& normal) {
    ToolPictureImage out;
    auto opaque = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < N && y < N && (normal.At(x, y) >> 24) != 0;
    };
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            uint32_t& px = out.Pixels[static_cast<size_t>(y * N + x)];
            if (opaque(x, y)) {
                const uint32_t g = static_cast<uint32_t>(112 + Luminance(normal.At(x, y)) * 96 / 255);
                px = 0xFF000000u | (g << 16) | (g << 8) | g;
            } else if (opaque(x - 1, y - 1)) {
                px = 0xFFFFFFFFu;
            }
        }
    return out;
}
