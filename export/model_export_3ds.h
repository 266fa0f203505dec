#pragma once
// The export of the built model as a 3D Studio file: one driver for element
// documents and one for tracks. Each empties the scene, adds one colour
// material per part colour, stages every mesh of the chosen parts as named
// objects, writes the file and empties the scene again. The meshes are read as
// the model builder last built them; nothing is built here.
//
// Object names (s segment, k spine or rail, i record, t tunnel), each split
// into parts of at most 10000 faces by the staging:
//   spine k of segment s      "S" & Format(s, "0000") & "S" & Format(k, "00")   S0012S00
//   rail k of segment s       "S" & Format(s, "0000") & "R" & Format(k, "00")   S0012R01
//   crossties of segment s    "S" & Format(s, "000") & "T"                      S012T -> S012T000
//   outer / inner tunnel t    "TNLO" / "TNLI" & Format(t, "0000")               TNLO0003
//   support tube i            "ST" & Format(i, "000000")                        ST000041
//   catwalk i                 "CW" & Format(i, "000000")
//   prefabricated support i   "RN" & Format(i, "000000")
//   footer i                  "SF" & Format(i, "000000")
//   footer of prefab i        "RF" & Format(i, "000000")
//   ground, water             "TERA", "WATR"                                   TERA0000, TERA0001, ...
//
// Weld value (also the smoothing group) of a staged triangle: spines and rails
// 1 when the mesh is Smooth, else 0; crossties, catwalks and water 0; tunnels,
// tubes, prefabricated supports and all footers |face Smoothing|; ground 1
// when gGroundSmooth, else 0.
//
// The drivers trust no count of the document or the model: every loop stops
// at the end of the array it reads, faces past a mesh's list are not read,
// and a ground or water triangle naming a vertex that does not exist is left
// out. Water is exported only when a water model was built.

#include <cstdint>
#include <string>

#include "model/model_meshes.h"

// RGB(r, g, b): a colour with red in the low byte.
constexpr int32_t RGB3DS(int32_t red, int32_t green, int32_t blue) { return red + green * 256 + blue * 65536; }

// Adds a plain colour material: diffuse the colour's own bytes, ambient each
// byte halved (halves to even), specular white, shininess 25, shininess
// strength 5, transparency 0, no texture. Returns its index.
int32_t AddColorMaterial3DS(int32_t colour);

// The inner tunnel colour: each channel of the tunnel colour times 0.25,
// rounded halves to even.
int32_t InnerTunnelColor3DS(int32_t tunnelColour);

// How the weld value of a mesh's triangles is chosen.
enum class WeldRule3DS {
    None,           // 0
    MeshSmooth,     // 1 when the mesh is Smooth
    FaceSmoothing,  // |the face's Smoothing|
};

// Stages faces 0 .. count - 1 (never past the list) as one mesh named `name`.
void StageFaces3DS(const std::string& name, int32_t material, const std::vector<ModelFace>& faces, int32_t count,
                   bool meshSmooth, WeldRule3DS rule);
void StageModelMesh3DS(const std::string& name, int32_t material, const ModelMesh& mesh, WeldRule3DS rule);

// Stage the chosen parts into the current scene, materials first, without
// emptying or writing it (the drivers do that around them).
void StageElementModel3DS(bool track, bool ground);
void StageTrackModel3DS(bool track, bool supports, bool tunnels, bool ground, bool water);

// The drivers. The path is used as given (no extension added). True when the
// file was written; otherwise false, with the text for the user in `failure`,
// and any file already at the path left as it was.
bool ExportElementModel3DS(const std::string& path, bool track, bool ground, std::string* failure = nullptr);
bool ExportTrackModel3DS(const std::string& path, bool track, bool supports, bool tunnels, bool ground, bool water,
                         std::string* failure = nullptr);
