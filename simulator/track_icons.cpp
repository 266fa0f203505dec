#include "simulator/track_icons.h"

#include <algorithm>
#include <cmath>

#include <stb_image_write.h>

namespace {

struct Rgb {
    float R, G, B;
};

struct Point {
    float X, Y;
};

float DistanceToSegment(Point p, Point a, Point b) {
    const float dx = b.X - a.X, dy = b.Y - a.Y;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = a.X + t * dx - p.X, ey = a.Y + t * dy - p.Y;
    return std::sqrt(ex * ex + ey * ey);
}

float DistanceToLine(Point p, const std::vector<Point>& line) {
    float best = 1e9f;
    for (size_t i = 1; i < line.size(); ++i) best = std::min(best, DistanceToSegment(p, line[i - 1], line[i]));
    return best;
}

// A pixel canvas in unit coordinates (0..1 across and down), painted by
// coverage of strokes: nearer than half the width is covered, with a pixel of
// soft edge.
class Canvas {
public:
    explicit Canvas(int size) : size_(size), rgba_(static_cast<size_t>(size) * size * 4, 0) {}

    void Stroke(const std::vector<Point>& line, float width, Rgb color) {
        const float half = width * size_ / 2.0f;
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                const Point p{(x + 0.5f) / size_, (y + 0.5f) / size_};
                const float d = DistanceToLine(p, line) * size_;
                Blend(x, y, std::clamp(half + 0.5f - d, 0.0f, 1.0f), color);
            }
        }
    }

    std::vector<uint8_t> Pixels() && { return std::move(rgba_); }

private:
    void Blend(int x, int y, float coverage, Rgb c) {
        if (coverage <= 0) return;
        uint8_t* px = &rgba_[(static_cast<size_t>(y) * size_ + x) * 4];
        const float a0 = px[3] / 255.0f;
        const float a = coverage + a0 * (1 - coverage);
        auto mix = [&](uint8_t old, float value) {
            return static_cast<uint8_t>(std::lround((value * 255 * coverage + old * a0 * (1 - coverage)) / a));
        };
        px[0] = mix(px[0], c.R);
        px[1] = mix(px[1], c.G);
        px[2] = mix(px[2], c.B);
        px[3] = static_cast<uint8_t>(std::lround(a * 255));
    }

    int size_;
    std::vector<uint8_t> rgba_;
};

// The centre line of the track: a drop into a valley and up over a hill.
Point TrackPoint(float t) {
    return {0.08f + 0.84f * t, 0.55f - 0.28f * std::sin(t * 2.0f * 3.14159265f - 0.6f) * (0.6f + 0.4f * t)};
}

void DrawTrack(Canvas& canvas, Rgb color) {
    constexpr int kSteps = 48;
    std::vector<Point> left, right;
    for (int i = 0; i <= kSteps; ++i) {
        const float t = static_cast<float>(i) / kSteps;
        const Point a = TrackPoint(std::max(0.0f, t - 0.01f)), b = TrackPoint(std::min(1.0f, t + 0.01f));
        float nx = -(b.Y - a.Y), ny = b.X - a.X;
        const float n = std::sqrt(nx * nx + ny * ny);
        nx /= n;
        ny /= n;
        const Point c = TrackPoint(t);
        left.push_back({c.X + nx * 0.06f, c.Y + ny * 0.06f});
        right.push_back({c.X - nx * 0.06f, c.Y - ny * 0.06f});
    }
    const Rgb dark{color.R * 0.45f, color.G * 0.45f, color.B * 0.45f};
    for (int i = 2; i < kSteps; i += 5) canvas.Stroke({left[i], right[i]}, 0.045f, dark);  // crossties
    canvas.Stroke(left, 0.07f, dark);
    canvas.Stroke(right, 0.07f, dark);
    canvas.Stroke(left, 0.04f, color);
    canvas.Stroke(right, 0.04f, color);
}

void DrawLogo(Canvas& canvas) {
    std::vector<Point> ring;
    for (int i = 0; i <= 64; ++i) {
        const float a = i / 64.0f * 2.0f * 3.14159265f;
        ring.push_back({0.5f + 0.4f * std::cos(a), 0.5f + 0.4f * std::sin(a)});
    }
    const Rgb orange{0.95f, 0.55f, 0.1f}, navy{0.1f, 0.15f, 0.4f};
    canvas.Stroke(ring, 0.1f, navy);
    canvas.Stroke(ring, 0.06f, orange);
    canvas.Stroke({{0.3f, 0.3f}, {0.5f, 0.72f}, {0.7f, 0.3f}}, 0.12f, navy);
    canvas.Stroke({{0.3f, 0.3f}, {0.5f, 0.72f}, {0.7f, 0.3f}}, 0.07f, orange);
}

extern "C" void WritePngBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> DrawTrackIcon(int icon, int size) {
    size = std::clamp(size, 1, 512);
    Canvas canvas(size);
    static constexpr Rgb kColors[4] = {{0.15f, 0.4f, 0.95f}, {0.9f, 0.15f, 0.12f}, {0.15f, 0.7f, 0.25f},
                                       {0.55f, 0.55f, 0.58f}};
    if (icon >= 0 && icon < 4) {
        DrawTrack(canvas, kColors[icon]);
    } else {
        DrawLogo(canvas);
    }
    return std::move(canvas).Pixels();
}

std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& rgba, int width, int height) {
    std::vector<uint8_t> png;
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4) return png;
    if (!stbi_write_png_to_func(WritePngBytes, &png, width, height, 4, rgba.data(), width * 4)) png.clear();
    return png;
}
