#pragma once
// Writes the staged 3D Studio scene (gMaterials3DS, gObjects3DS, in list
// order) as a .3ds mesh file in the publicly documented chunk format:
//
//   0x4D4D main                                      whole file
//     0x0002 file version                            10   u32 3
//     0x3D3D 3D editor                               whole file - 16
//       0x3D3E mesh version                          10   u32 3
//       0xAFFF material entry, one per material      160 + M (+ 39 + T with a texture)
//       0x0100 master scale                          10   float 39.370079
//       0x4000 named object, one per object          N + 98 + K + 12V + 14F (+ 8U + 8 with HasUV)
//
// (M, T: lengths of the material's name and texture file name; N, K: of the
// object's name and of its material's name; V, U, F: its vertex, texture
// coordinate and face counts.) The entries' own layouts stand beside their
// writers in file_writer_3ds.cpp.
//
// Vertices are written in the file's axis order: a model vertex (X, Y, Z) with
// Y up becomes (X, -Z, Y), each value rounded to 6 decimal places (halves to
// even). Texture coordinates are written as they are.
//
// The file is never half written and an old file is never lost: the bytes go
// to a temporary file beside the target, which is then renamed over it.

#include <cstdint>
#include <functional>
#include <string>

#include "export/chunks_3ds.h"
#include "export/scene_staging_3ds.h"

// The format's lengths are u32: no file may be longer.
inline constexpr uint64_t kMax3DSFileSize = 0xFFFFFFFFull;

// Chunk lengths by the rules above, in 64 bits so that nothing wraps.
uint64_t MaterialEntryLength3DS(const Mat3DS& material);
uint64_t ObjectChunkLength3DS(const Obj3DS& object);
// The same from the lengths and counts alone.
uint64_t ObjectChunkLength3DS(uint64_t nameLength, uint64_t materialNameLength, uint64_t vertices, uint64_t uvs,
                              bool hasUV, uint64_t faces);
// The length of the whole file for the current scene: 32 for the four leading
// chunks, each material entry, 10 for the master scale, each object chunk.
uint64_t Get3DSFileSize();

// A model coordinate as the file stores it: rounded to 6 decimal places,
// halves to even, as a float (-0 written as 0; NaN and infinities unchanged).
float RoundCoordinate3DS(float value);

// The name of the object's material, or "" when its index names no material.
const std::string& ObjectMaterialName3DS(const Obj3DS& object);

// Encodes the current scene into `out`. False, with the reason in `failure`,
// when the file would be longer than maxSize or an object's list holds more
// entries than a u16 count can say.
bool Encode3DSScene(Chunk3DSWriter& out, std::string* failure = nullptr, uint64_t maxSize = kMax3DSFileSize);

// Writes the current scene to the path; the scene is not changed. True when
// the file holds the scene; otherwise false with the reason in `failure` (a
// text for the user), and any file already at the path left as it was.
bool Write3DSFile(const std::string& path, std::string* failure = nullptr, uint64_t maxSize = kMax3DSFileSize);

// Stages and writes in one go: `stage` stages the scene (materials and
// meshes) while every object a flush makes is encoded at once into a scratch
// file beside the target instead of joining gObjects3DS; then the file is put
// together. The bytes are exactly those Write3DSFile writes for the scene that
// `stage` stages, and the failures the same, but neither the scene's objects
// nor the whole file are ever held in memory. The materials stay staged.
bool Write3DSFileStreamed(const std::string& path, const std::function<void()>& stage,
                          std::string* failure = nullptr, uint64_t maxSize = kMax3DSFileSize);

// The texts of the failures.
std::string TooLargeText3DS(uint64_t size, uint64_t maxSize);
// The file could not be written; `error` is the errno the failure left (0: none known).
std::string CannotWriteText3DS(const std::string& path, int error);
std::string TooManyEntriesText3DS(const std::string& objectName);
