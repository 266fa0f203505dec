#pragma once
// Every coordinate a tool of the Track or Element menu writes is a finite
// number. A point pushed past the largest single-precision number (a
// coordinate near it scaled up or turned, a shear by a height of almost
// nothing) would become "inf" or "nan", be saved so and read back so. The
// tools work out their results into copies, look at them here, and put them
// into the document only when every coordinate is finite; otherwise they
// change nothing and say so with NotFiniteNotice.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

bool AllFinite(const Vector3& p);
bool AllFinite(const Matrix4& m);
// A node's position and both control points (its roll is not a coordinate).
bool AllFinite(const TrackNode& node);
// A footer's position.
bool AllFinite(const TrackFooter& footer);
// A scenery object's transform.
bool AllFinite(const SceneryObject& object);

// The first `count` records of a list (all of them when count is below 0).
template <typename T>
bool AllFinite(const std::vector<T>& records, int64_t count = -1) {
    const size_t n = count < 0 ? records.size() : std::min(records.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i)
        if (!AllFinite(records[i])) return false;
    return true;
}

inline constexpr const char* kNotFiniteTitle = "Notice!";
// The notice of a tool that refused: `action` names what was asked ("scale",
// "skew"), `document` what it works on ("track", "element").
std::string NotFiniteText(const std::string& action, const std::string& document);
void NotFiniteNotice(const std::string& action, const std::string& document);
