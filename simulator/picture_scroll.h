#pragma once
// Which part of a picture a viewer shows along one axis when the picture is
// larger than the window: the first picture pixel in view, held so that the
// window never shows past the picture's end. Every pixel can be brought into
// view; a picture no larger than the window does not scroll.

struct PictureScroll {
    // The picture's and the window's extent along the axis, in pixels (the
    // position is held to the new room).
    void SetExtent(int picture, int window);
    // Moves to `position` (held to 0..Max()); true when the view changed.
    bool ScrollTo(int position);
    bool ScrollBy(int delta);
    // The largest position: the picture's end at the window's end.
    int Max() const { return Picture > Window ? Picture - Window : 0; }

    int Picture = 0;
    int Window = 0;
    int Position = 0;
};
