#pragma once
// A fingerprint of the model arrays: per kind of model its entry count, face
// (or triangle) total and a 64-bit hash of every meaningful value (vertices
// and normals bit for bit, counts, smoothing, colours), spare faces left out.
// Two builds that draw and export the same model have the same fingerprint;
// the benchmarks and the tests compare builds with it.

#include <cstdint>
#include <string>
#include <vector>

struct ModelPartPrint {
    std::string Name;
    int64_t Entries = 0;
    int64_t Faces = 0;
    uint64_t Hash = 0;
};

// One line per kind: track, tubes, catwalks, footers, prefabs, prefab footers,
// tunnel outer, tunnel inner, ground, water.
std::vector<ModelPartPrint> ModelFingerprint();

// FNV-1a over bytes, continuing from `hash` (the offset basis to start).
inline constexpr uint64_t kFingerprintBasis = 14695981039346656037ull;
uint64_t FingerprintBytes(const void* data, size_t size, uint64_t hash = kFingerprintBasis);

// "name entries faces hash" lines, for reports.
std::string FingerprintText(const std::vector<ModelPartPrint>& print);
