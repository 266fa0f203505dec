#pragma once
// The display-free half of segment picking: reading OpenGL's selection hit
// records, sizing their buffer, and turning a mouse point into viewport pixels.

#include <cstddef>
#include <cstdint>

// The selection name of everything that is not a track segment; segment i is
// drawn under the name i.
inline constexpr uint32_t NotPickableName = 9999;

// The segment whose hit lies nearest the eye, or -1. `hits` is what
// glRenderMode(GL_RENDER) returned (a negative count is not read); each record
// holds its name count, minimum and maximum depth and the names, the last of
// which is the drawn primitive's name. The smaller minimum depth wins, compared
// unsigned; on equal depths the earlier record stays. A nearest name of
// NotPickableName or above gives -1. Records that would run past `words` are
// not read.
int32_t NearestPickedSegment(const uint32_t* buffer, size_t words, int32_t hits);

// Words of a selection buffer that holds every hit record a frame can write
// when it changes the name `nameChanges` times: a record is written at most
// once per name change plus once when the selection pass ends, four words each
// with one name on the stack. Never less than the customary 2048 words.
size_t PickBufferWords(int64_t nameChanges);

// A mouse point in window units mapped to the viewport's pixels, for displays
// that scale windows (the viewport is sized in pixels): each coordinate
// scaled by pixels / units and rounded to the nearest pixel. A window size
// below 1 leaves the coordinate as it is.
struct ViewportPoint {
    int32_t X = 0;
    int32_t Y = 0;
};
ViewportPoint ScaleMouseToViewport(double x, double y, double windowWidth, double windowHeight, int32_t viewportWidth,
                                   int32_t viewportHeight);
