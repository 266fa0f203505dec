#include "export/model_export_3ds.h"

#include <algorithm>
#include <cmath>

#include "core/input_checks.h"
#include "export/file_writer_3ds.h"
#include "export/scene_staging_3ds.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "trackdoc/color_functions.h"
#include "trackdoc/track_document.h"

namespace {

const UV3DS kNoUV{};

constexpr int32_t kElementSpineColor = RGB3DS(0, 64, 128);
constexpr int32_t kElementRailColor = RGB3DS(0, 128, 255);
constexpr int32_t kElementTieColor = RGB3DS(255, 255, 255);
constexpr int32_t kFooterColor = RGB3DS(192, 192, 192);
constexpr int32_t kGroundColor = RGB3DS(0, 160, 0);
constexpr int32_t kWaterColor = RGB3DS(0, 0, 255);
constexpr int16_t kWaterTransparency = 75;

// How many entries a loop over a document or model count may visit: never
// more than the array holds.
template <typename Container>
int32_t Bounded(int32_t count, const Container& array) {
    return static_cast<int32_t>(std::clamp<int64_t>(count, 0, static_cast<int64_t>(array.size())));
}

// A non-negative number with at least `digits` digits.
std::string Digits(int32_t value, size_t digits) {
    std::string s = std::to_string(value);
    if (s.size() < digits) s.insert(0, digits - s.size(), '0');
    return s;
}

int WholeHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

int16_t FaceWeld(const ModelFace& face, bool meshSmooth, WeldRule3DS rule) {
    switch (rule) {
        case WeldRule3DS::None: return 0;
        case WeldRule3DS::MeshSmooth: return meshSmooth ? 1 : 0;
        case WeldRule3DS::FaceSmoothing: return static_cast<int16_t>(std::abs(static_cast<int32_t>(face.Smoothing)));
    }
    return 0;
}

// The ground's triangulation (or the water's, laid flat at height 0).
template <typename VertexList, typename PositionOf>
void StageIndexedTriangles(const std::string& name, int32_t material, const LargeVector<GroundTriangle>& triangles,
                           int32_t triangleCount, const VertexList& vertices, int32_t vertexCount,
                           PositionOf position, int16_t weld, bool flatten) {
    const int32_t nt = Bounded(triangleCount, triangles);
    const int32_t nv = Bounded(vertexCount, vertices);
    auto corner = [&](int32_t index) {
        Vector3 p = position(vertices[static_cast<size_t>(index)]);
        if (flatten) p.Y = 0.0f;
        return p;
    };
    Begin3DSMesh(name, material, false, false);
    for (int32_t t = 0; t < nt; ++t) {
        const GroundTriangle& tri = triangles[static_cast<size_t>(t)];
        if (tri.A < 0 || tri.A >= nv || tri.B < 0 || tri.B >= nv || tri.C < 0 || tri.C >= nv) continue;
        Add3DSTriangle(corner(tri.A), corner(tri.B), corner(tri.C), kNoUV, kNoUV, kNoUV, weld);
    }
    Flush3DSMesh();
}

void StageGround() {
    const int32_t material = AddColorMaterial3DS(kGroundColor);
    StageIndexedTriangles("TERA", material, gGroundTriangles, gGroundTriangleCount, gGroundVertices,
                          gGroundVertexCount, [](const GroundVertex& v) { return v.Position; },
                          gGroundSmooth ? 1 : 0, false);
}

void StageWater() {
    const int32_t material = AddColorMaterial3DS(kWaterColor);
    gMaterials3DS[static_cast<size_t>(material)].Transparency = kWaterTransparency;
    StageIndexedTriangles("WATR", material, gGroundTriangles, gWaterTriangleCount, gGroundVertices,
                          gWaterVertexCount, [](const GroundVertex& v) { return v.Position; }, 0, true);
}

// Spines, rails and crossties of one segment with the given materials.
void StageSegment(int32_t s, const TrackModelEntry& entry, int32_t spineMaterial, int32_t railMaterial,
                  int32_t tieMaterial, bool customColors, const TrackSegment* segment) {
    const std::string prefix = "S" + Digits(s, 4);
    if (customColors) spineMaterial = AddColorMaterial3DS(segment->SpineColor);
    const int32_t spines = Bounded(gModelSettings.gSpineCount, entry.Spines);
    for (int32_t k = 0; k < spines; ++k)
        StageModelMesh3DS(prefix + "S" + Digits(k, 2), spineMaterial, entry.Spines[static_cast<size_t>(k)],
                          WeldRule3DS::MeshSmooth);
    if (customColors) railMaterial = AddColorMaterial3DS(segment->RailColor);
    const int32_t rails = Bounded(gModelSettings.gRailCount, entry.Rails);
    for (int32_t k = 0; k < rails; ++k)
        StageModelMesh3DS(prefix + "R" + Digits(k, 2), railMaterial, entry.Rails[static_cast<size_t>(k)],
                          WeldRule3DS::MeshSmooth);
    if (customColors) tieMaterial = AddColorMaterial3DS(segment->TieColor);
    StageFaces3DS("S" + Digits(s, 3) + "T", tieMaterial, entry.TieFaces, entry.TieFaceCount, false,
                  WeldRule3DS::None);
}

void StageMeshList(const char* prefix, int32_t material, const std::vector<ModelMesh>& meshes, int32_t count,
                   WeldRule3DS rule) {
    const int32_t n = Bounded(count, meshes);
    for (int32_t i = 0; i < n; ++i)
        StageModelMesh3DS(prefix + Digits(i, 6), material, meshes[static_cast<size_t>(i)], rule);
}

}  // namespace

int32_t AddColorMaterial3DS(int32_t colour) {
    float unit[3];
    ColorToUnitRGB(unit, colour);
    uint8_t diffuse[3], ambient[3];
    for (int i = 0; i < 3; ++i) {
        diffuse[i] = static_cast<uint8_t>(std::floor(static_cast<double>(unit[i]) * 255.0));
        ambient[i] = static_cast<uint8_t>(WholeHalfEven(diffuse[i] * 0.5));
    }
    return Add3DSMaterial(Color3DS{ambient[0], ambient[1], ambient[2]}, Color3DS{diffuse[0], diffuse[1], diffuse[2]},
                          Color3DS{255, 255, 255}, 25, 5, 0, "");
}

int32_t InnerTunnelColor3DS(int32_t tunnelColour) {
    const ColorRGB c = SplitRGB(tunnelColour);
    return RGB3DS(WholeHalfEven(c.Red * 0.25), WholeHalfEven(c.Green * 0.25), WholeHalfEven(c.Blue * 0.25));
}

void StageFaces3DS(const std::string& name, int32_t material, const std::vector<ModelFace>& faces, int32_t count,
                   bool meshSmooth, WeldRule3DS rule) {
    const int32_t n = Bounded(count, faces);
    Begin3DSMesh(name, material, false, false);
    for (int32_t f = 0; f < n; ++f) {
        const ModelFace& face = faces[static_cast<size_t>(f)];
        Add3DSTriangle(face.V1, face.V2, face.V3, kNoUV, kNoUV, kNoUV, FaceWeld(face, meshSmooth, rule));
    }
    Flush3DSMesh();
}

void StageModelMesh3DS(const std::string& name, int32_t material, const ModelMesh& mesh, WeldRule3DS rule) {
    StageFaces3DS(name, material, mesh.Faces, mesh.FaceCount, mesh.Smooth, rule);
}

void StageElementModel3DS(bool track, bool ground) {
    if (track) {
        const int32_t spine = AddColorMaterial3DS(kElementSpineColor);
        const int32_t rail = AddColorMaterial3DS(kElementRailColor);
        const int32_t tie = AddColorMaterial3DS(kElementTieColor);
        const int32_t segments = Bounded(gSpineInfoSegmentCount, gTrackModel);
        for (int32_t s = 0; s < segments; ++s)
            StageSegment(s, gTrackModel[static_cast<size_t>(s)], spine, rail, tie, false, nullptr);
    }
    if (ground) StageGround();
}

void StageTrackModel3DS(bool track, bool supports, bool tunnels, bool ground, bool water) {
    if (track) {
        const int32_t spine = AddColorMaterial3DS(gSpineColor);
        const int32_t rail = AddColorMaterial3DS(gRailColor);
        const int32_t tie = AddColorMaterial3DS(gTieColor);
        const int32_t segments = std::min(Bounded(gSegmentCount, gSegments), Bounded(gSegmentCount, gTrackModel));
        for (int32_t s = 0; s < segments; ++s) {
            const TrackSegment& segment = gSegments[static_cast<size_t>(s)];
            StageSegment(s, gTrackModel[static_cast<size_t>(s)], spine, rail, tie, segment.CustomColors, &segment);
        }
    }
    if (tunnels) {
        const int32_t outer = AddColorMaterial3DS(gModelSettings.TunnelColor);
        const int32_t inner = AddColorMaterial3DS(InnerTunnelColor3DS(gModelSettings.TunnelColor));
        const int32_t nOuter = Bounded(gTunnelModelCount, gTunnelOuterModels);
        for (int32_t t = 0; t < nOuter; ++t)
            StageModelMesh3DS("TNLO" + Digits(t, 4), outer, gTunnelOuterModels[static_cast<size_t>(t)],
                              WeldRule3DS::FaceSmoothing);
        const int32_t nInner = Bounded(gTunnelModelCount, gTunnelInnerModels);
        for (int32_t t = 0; t < nInner; ++t)
            StageModelMesh3DS("TNLI" + Digits(t, 4), inner, gTunnelInnerModels[static_cast<size_t>(t)],
                              WeldRule3DS::FaceSmoothing);
    }
    if (supports) {
        const int32_t support = AddColorMaterial3DS(gModelSettings.SupportColor);
        const int32_t footer = AddColorMaterial3DS(kFooterColor);
        StageMeshList("ST", support, gTubeModels, gTubeCount, WeldRule3DS::FaceSmoothing);
        StageMeshList("CW", support, gCatwalkModels, gCatwalkCount, WeldRule3DS::None);
        StageMeshList("RN", support, gPrefabModels, gPrefabModelCount, WeldRule3DS::FaceSmoothing);
        StageMeshList("SF", footer, gFooterModels, gFooterCount, WeldRule3DS::FaceSmoothing);
        StageMeshList("RF", footer, gPrefabFooterModels, gPrefabModelCount, WeldRule3DS::FaceSmoothing);
    }
    if (ground) StageGround();
    // The document's water flag alone is not enough: without terrain (or with
    // the terrain switched off) no water model is built and the ground is the
    // flat square, which must not come out flooded.
    if (ground && water && gHasWater && gHasWaterModel) StageWater();
}

// The exports write while they stage: the objects go to the file as they are
// made, never all held in memory (with the file's bytes on top).
bool ExportElementModel3DS(const std::string& path, bool track, bool ground, std::string* failure) {
    Reset3DSScene();
    const bool written = Write3DSFileStreamed(path, [&] { StageElementModel3DS(track, ground); }, failure);
    Reset3DSScene();
    return written;
}

bool ExportTrackModel3DS(const std::string& path, bool track, bool supports, bool tunnels, bool ground, bool water,
                         std::string* failure) {
    Reset3DSScene();
    const bool written =
        Write3DSFileStreamed(path, [&] { StageTrackModel3DS(track, supports, tunnels, ground, water); }, failure);
    Reset3DSScene();
    return written;
}
