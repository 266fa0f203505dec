#include "model/footer_models.h"

#include <algorithm>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/busy_window.h"
#include "model/model_budget.h"
#include "model/modeler_settings.h"
#include "model/outline_sweep.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

// The footers the document really holds: its count, but never past its records.
int32_t UsableFooterCount() { return std::clamp<int32_t>(gFooterCount, 0, static_cast<int32_t>(gFooters.size())); }

}  // namespace

void GetGroundLevelAt(const Vector3& position, float& bottom, float& top) {
    top = static_cast<float>(double(GetGroundHeightAt(position)) + kFooterAboveGround);
    bottom = gHasWater ? kFooterWaterBottom : 0.0f;
}

float AppendFooterBlock(ModelMesh& mesh, const Vector3& position, float size, float turn, bool round) {
    float bottom = 0.0f, top = 0.0f;
    GetGroundLevelAt(position, bottom, top);
    float height = static_cast<float>(double(top) - bottom);
    if (!(height >= kFooterAboveGround)) height = kFooterAboveGround;

    const Matrix4 place = MatrixMultiply(MatrixTranslateV(MakeVector(position.X, bottom, position.Z)),
                                         MatrixRotateY(turn));
    const float h = static_cast<float>(size / 2.0), q = static_cast<float>(size / 4.0);
    Vector3 top8[8], base8[8];
    int n;
    if (round) {
        const float xz[8][2] = {{q, h}, {h, q}, {h, -q}, {q, -h}, {-q, -h}, {-h, -q}, {-h, q}, {-q, h}};
        n = 8;
        for (int i = 0; i < n; ++i) {
            top8[i] = MakeVector(xz[i][0], height, xz[i][1]);
            base8[i] = MakeVector(xz[i][0], 0.0f, xz[i][1]);
        }
    } else {
        const float xz[4][2] = {{h, h}, {h, -h}, {-h, -h}, {-h, h}};
        n = 4;
        for (int i = 0; i < n; ++i) {
            top8[i] = MakeVector(xz[i][0], height, xz[i][1]);
            base8[i] = MakeVector(xz[i][0], 0.0f, xz[i][1]);
        }
    }
    MapOutline(place, top8, n, top8);
    MapOutline(place, base8, n, base8);
    mesh.Smooth = round;
    // The octagon is drawn smooth as a whole: its cap carries its own normal
    // at every corner, so that it is lit like a flat face.
    AppendOutlineSweep(mesh, top8, base8, n, round ? kOctagonCap : kQuadCap, true, false,
                       OutlineSweepStyle{round, round});
    return bottom;
}

void ModelFooter(int32_t index) {
    if (index < 0 || index >= UsableFooterCount() || index >= static_cast<int32_t>(gFooterModels.size())) return;
    const TrackFooter& footer = gFooters[index];
    const float size = footer.CustomSize ? footer.Size : kFooterStandardSize;
    const float turn = footer.CustomRotation ? footer.Rotation : 0.0f;
    ModelMesh& mesh = gFooterModels[index];
    mesh.FaceCount = 0;
    AppendFooterBlock(mesh, footer.Position, size, turn, BuildSettings().RoundFooters);
}

void CreateFooterModels() {
    const int32_t count = gDocumentType == DocumentTrack ? UsableFooterCount() : 0;
    gFooterModels.assign(static_cast<size_t>(count) + 1, ModelMesh{});
    BatchMarker marker;
    const int32_t built = std::min(count, gModelBudgetLimits.Footers);  // the rest stay empty
    for (int32_t i = 0; i < built; ++i) {
        ModelFooter(i);
        marker.Step();
    }
}
