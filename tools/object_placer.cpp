#include "tools/object_placer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "core/document_changed.h"
#include "platform/prompts.h"
#include "tools/finite_coordinates.h"
#include "tools/object_files.h"
#include "tools/scene_boundary.h"
#include "tools/track_statistics.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

float Between(double lo, double hi, double r) { return static_cast<float>((hi - lo) * r + lo); }

// The height band is about the ground, so it applies only where there is
// terrain. Its heights are measured from the water surface at 0 m (where
// ground under water reads as the surface): "Do Not Place Above" keeps the
// copies off the high ground, "Do Not Place Below" out of the water and off
// its edge. Terrain without water has nothing down there to keep away from and
// may lie anywhere, flat at 0 m included, so the lower limit needs water.
bool InHeightBand(const ObjectPlacerOptions& o, const Vector3& p) {
    if (!gHasTerrain) return true;
    const float ground = GetGroundHeightAt(p);
    if (o.NoPlaceAbove && ground > o.Above) return false;
    if (o.NoPlaceBelow && gHasWater && ground < o.Below) return false;
    return true;
}

// One random position of the area that passes the height band and the
// keep-away test (against `track`, when kept away); false when kPlacementTries
// draws found none.
bool PickPlacement(const ObjectPlacerOptions& o, const TrackSampleGrid* track, float distance, Vector3& position) {
    const double x0 = std::min(o.Area[0], o.Area[2]), x1 = std::max(o.Area[0], o.Area[2]);
    const double z0 = std::min(o.Area[1], o.Area[3]), z1 = std::max(o.Area[1], o.Area[3]);
    for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
        const float x = Between(x0, x1, NextRandom());
        const float z = Between(z0, z1, NextRandom());
        const Vector3 p = MakeVector(x, 0.0f, z);
        if (!InHeightBand(o, p)) continue;
        if (track && IsNearTrack(*track, distance, p)) continue;
        position = p;
        return true;
    }
    return false;
}

}  // namespace

bool ObjectFileValid(const std::string& text) {
    if (text.empty()) return false;
    const auto stored = StoredObjectName(text);
    return stored && ObjectNameStorable(*stored) && ObjectFileExists(*stored);
}

int32_t PlacerCopies(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int32_t>(std::clamp(std::nearbyint(value), 0.0, 1000000.0));
}

int32_t AddObjectRecord() {
    const int32_t n = std::max<int32_t>(gObjectCount, 0);
    gObjects.resize(static_cast<size_t>(n) + 2);  // the new record and the spare
    gObjects[n] = SceneryObject{};
    gObjects[n + 1] = SceneryObject{};
    gObjectCount = n + 1;
    return n;
}

Matrix4 PlacedObjectTransform(const Vector3& scale, const Vector3& radians, const Vector3& position) {
    Matrix4 s = MatrixIdentity();
    s(0, 0) = scale.X;
    s(1, 1) = scale.Y;
    s(2, 2) = scale.Z;
    const Matrix4 turn =
        MatrixMultiply(MatrixMultiply(MatrixRotateX(radians.X), MatrixRotateY(radians.Y)), MatrixRotateZ(radians.Z));
    return MatrixSetTranslation(MatrixMultiply(turn, s), position);
}

int32_t PlaceSceneryObjects(const ObjectPlacerOptions& o) {
    const float distance = o.KeepAway ? static_cast<float>(o.SpaceTrack) : 0.0f;
    // The path points near each draw are found in a grid built once for all copies.
    std::optional<TrackSampleGrid> track;
    if (distance > 0.0f) {
        EnsureTrackPathCurrent();
        track.emplace(distance);
    }
    // The copies are worked out first and added only when every transform is
    // finite (ground read from terrain heights that are not).
    std::vector<SceneryObject> copies;
    for (int32_t copy = 0; copy < o.Count; ++copy) {
        Vector3 position;
        if (!PickPlacement(o, track ? &*track : nullptr, distance, position)) break;
        if (o.OnGroundOnly) position.Y = GetGroundHeightAt(position);
        Vector3 scale = MakeVector(1.0f, 1.0f, 1.0f);
        if (o.Scale) {
            scale.X = Between(o.ScaleMin[0], o.ScaleMax[0], NextRandom());
            scale.Y = Between(o.ScaleMin[1], o.ScaleMax[1], NextRandom());
            scale.Z = Between(o.ScaleMin[2], o.ScaleMax[2], NextRandom());
        }
        Vector3 turn;
        if (o.Rotate) {
            turn.X = Between(DegToRad(o.RotateMin[0]), DegToRad(o.RotateMax[0]), NextRandom());
            turn.Y = Between(DegToRad(o.RotateMin[1]), DegToRad(o.RotateMax[1]), NextRandom());
            turn.Z = Between(DegToRad(o.RotateMin[2]), DegToRad(o.RotateMax[2]), NextRandom());
        }
        SceneryObject placed;
        placed.FileName = o.FileName;
        placed.Transform = PlacedObjectTransform(scale, turn, position);
        copies.push_back(std::move(placed));
    }
    if (!AllFinite(copies)) return -1;
    for (SceneryObject& placed : copies) gObjects[AddObjectRecord()] = std::move(placed);
    return static_cast<int32_t>(copies.size());
}

std::string PlacedShortText(int32_t placed, int32_t requested) {
    return "Only " + std::to_string(placed) + " of " + std::to_string(requested) +
           " objects could be placed: no free spot was found for the others.";
}

bool RunObjectPlacer(const ObjectPlacerOptions& options) {
    if (!ObjectNameStorable(options.FileName)) {
        MsgBox(ObjectNameNotStorableText(options.FileName), kPlacerShortTitle, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    const int32_t placed = PlaceSceneryObjects(options);
    if (placed < 0) {
        NotFiniteNotice("placement", "track");
        return false;
    }
    if (placed < options.Count)
        MsgBox(PlacedShortText(placed, options.Count), kPlacerShortTitle, MsgButtons::OK, MsgIcon::Exclamation);
    if (placed == 0) return false;
    SetDocumentChanged();
    return true;
}
