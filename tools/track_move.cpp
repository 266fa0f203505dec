#include "tools/track_move.h"

#include <algorithm>
#include <cstdint>

#include "core/document_changed.h"
#include "model/build_pipeline.h"
#include "model/rebuild_flags.h"
#include "platform/prompts.h"
#include "tools/finite_coordinates.h"
#include "tools/scene_boundary.h"
#include "tools/track_transforms.h"
#include "trackdoc/track_document.h"

Vector3 MoveDirectionVector(int direction, float d) {
    switch (direction) {
        case MoveNorth: return MakeVector(0.0f, 0.0f, -d);
        case MoveSouth: return MakeVector(0.0f, 0.0f, d);
        case MoveEast: return MakeVector(d, 0.0f, 0.0f);
        case MoveWest: return MakeVector(-d, 0.0f, 0.0f);
        case MoveUp: return MakeVector(0.0f, d, 0.0f);
        case MoveDown: return MakeVector(0.0f, -d, 0.0f);
        default: return Vector3{};
    }
}

Vector3 AutoCenterVector() {
    const int32_t n = std::clamp<int32_t>(gNodeCount, 0, static_cast<int32_t>(gNodes.size()));
    if (n == 0) return Vector3{};
    float minX = gNodes[0].Position.X, maxX = minX;
    float minZ = gNodes[0].Position.Z, maxZ = minZ;
    for (int32_t i = 1; i < n; ++i) {
        const Vector3& p = gNodes[i].Position;
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minZ = std::min(minZ, p.Z);
        maxZ = std::max(maxZ, p.Z);
    }
    return MakeVector(static_cast<float>(-(double(minX) + maxX) / 2.0), 0.0f,
                      static_cast<float>(-(double(minZ) + maxZ) / 2.0));
}

MoveResult TrackMoveSession::ApplyMove(const Vector3& v, const TrackMoveOptions& options) {
    if (IsModelBuilding()) return MoveResult::Busy;
    // The frames are those of the last rebuild. While moves are pending they
    // lag the track by exactly those moves; once the frames match the track
    // again (a rebuild ran meanwhile) nothing lags.
    if (TrackPathFramesCurrent()) {
        pending_ = Vector3{};
    } else if (!modelStale_) {
        pending_ = Vector3{};
        if (!EnsureTrackPathCurrent()) return MoveResult::Busy;
    }
    const Vector3 shift = VectorAdd(pending_, v);
    if (!PathStaysInScene([&](const Vector3& p) { return VectorAdd(p, shift); })) {
        MsgBox(kMoveBoundaryText, kSceneBoundaryTitle, MsgButtons::OK, MsgIcon::Information);
        return MoveResult::Refused;
    }
    if (!TranslateTrack(v, options.MoveSupports)) {
        NotFiniteNotice("move", "track");
        return MoveResult::Refused;
    }
    trackMoved_ = true;
    SetDocumentChanged();
    if (options.UpdateModel) {
        SetRemodelFlagsKeepGround();
        RemodelChangedParts();
        // The rebuild took in every move so far.
        modelStale_ = false;
        pending_ = Vector3{};
    } else {
        modelStale_ = true;
        pending_ = shift;
    }
    return MoveResult::Applied;
}

MoveResult TrackMoveSession::Click(int direction, double amount, const TrackMoveOptions& options) {
    if (direction == MoveAutoCenter) return ApplyMove(AutoCenterVector(), options);
    if (direction < 0 || direction >= MoveAutoCenter) return MoveResult::Refused;
    return ApplyMove(MoveDirectionVector(direction, static_cast<float>(amount)), options);
}

void TrackMoveSession::Done() {
    if (modelStale_) {
        SetRemodelFlagsKeepGround();
        RemodelChangedParts();
        modelStale_ = false;
        pending_ = Vector3{};
    } else {
        ClearRemodelFlags();
    }
    // Every move marked the document changed when it was applied; marking it
    // again here would flag a document saved since then as unsaved.
}
