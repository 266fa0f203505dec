#include "tools/terrain_poly_reducer.h"

#include <algorithm>
#include <cmath>

#include "core/number_formats.h"
#include "tools/finite_coordinates.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int32_t kMinSize = 32;
constexpr int32_t kMaxSize = 512;

bool SizeInRange(double value) { return value >= kMinSize && value <= kMaxSize; }

// The spacing that keeps an axis's extent, old points x old spacing.
float KeptSpacing(int32_t oldPoints, float oldSpacing, int32_t newPoints) {
    const double extent = double(oldPoints) * oldSpacing;
    if (!(extent > 0.0) || !std::isfinite(extent)) return static_cast<float>(1024.0 / newPoints);
    return static_cast<float>(extent / newPoints);
}

}  // namespace

int64_t TerrainPolyCount(int64_t width, int64_t depth) {
    if (width < 2 || depth < 2) return 0;
    return 2 * (width - 1) * (depth - 1);
}

std::string CurrentTerrainGridText() {
    return std::to_string(gTerrainWidth) + " x " + std::to_string(gTerrainDepth);
}

std::string CurrentTerrainPolysText() { return FormatInteger64(TerrainPolyCount(gTerrainWidth, gTerrainDepth)); }

int32_t ProposedTerrainWidth() { return std::max<int32_t>(gTerrainWidth, 0) / 2; }
int32_t ProposedTerrainDepth() { return std::max<int32_t>(gTerrainDepth, 0) / 2; }

TerrainCountTexts TerrainCountsFor(double width, double depth) {
    if (!SizeInRange(width) || !SizeInRange(depth)) return {"-", "-"};
    const auto w = static_cast<int64_t>(std::nearbyint(width));
    const auto d = static_cast<int64_t>(std::nearbyint(depth));
    const int64_t now = TerrainPolyCount(w, d);
    return {FormatInteger64(now), FormatInteger64(TerrainPolyCount(gTerrainWidth, gTerrainDepth) - now)};
}

float TerrainStep(int32_t oldPoints, int32_t newPoints) {
    if (newPoints <= 0) return 0.0f;
    return static_cast<float>(std::round(double(oldPoints) / newPoints * 1e6) / 1e6);
}

int32_t TerrainSourceIndex(int32_t a, float step, int32_t oldPoints) {
    if (oldPoints <= 0) return 0;
    // The step is rounded to 6 decimals: a product that falls just short of a
    // whole number by that rounding still takes that point.
    const double at = std::floor(double(a) * step + 1e-3);
    return static_cast<int32_t>(std::clamp(at, 0.0, double(oldPoints - 1)));
}

bool ReduceTerrain(int32_t width, int32_t depth) {
    if (!SizeInRange(width) || !SizeInRange(depth)) return false;
    const int32_t oldW = std::max<int32_t>(gTerrainWidth, 0), oldD = std::max<int32_t>(gTerrainDepth, 0);
    // An extent near the largest float spread over fewer points needs a
    // spacing past it: nothing changes then.
    const float spacingX = KeptSpacing(oldW, gTerrainSpacingX, width);
    const float spacingZ = KeptSpacing(oldD, gTerrainSpacingZ, depth);
    if (!std::isfinite(spacingX) || !std::isfinite(spacingZ)) return false;
    const float stepX = TerrainStep(oldW, width), stepZ = TerrainStep(oldD, depth);
    TerrainHeightGrid grid;
    grid.Resize(width, depth);
    const TerrainHeightGrid& old = gTerrainHeights;
    for (int32_t b = 0; b < depth; ++b) {
        for (int32_t a = 0; a < width; ++a) {
            if (oldW == 0 || oldD == 0) continue;
            const int32_t i = TerrainSourceIndex(a, stepX, oldW), j = TerrainSourceIndex(b, stepZ, oldD);
            // A grid holding fewer points than its size says reads 0 there.
            if (i < old.Columns && j < old.Rows) grid(a, b) = old(i, j);
        }
    }
    gTerrainSpacingX = spacingX;
    gTerrainSpacingZ = spacingZ;
    gTerrainHeights = std::move(grid);
    gTerrainWidth = width;
    gTerrainDepth = depth;
    return true;
}

bool RunTerrainPolyReducer(int32_t width, int32_t depth) {
    if (!SizeInRange(width) || !SizeInRange(depth)) return false;
    if (!ReduceTerrain(width, depth)) {
        NotFiniteNotice("reduction", "track");
        return false;
    }
    FinishToolEdit(FindToolDialog("frmTTerrainPolyReducer")->Flags);
    return true;
}
