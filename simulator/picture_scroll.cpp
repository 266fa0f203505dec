#include "simulator/picture_scroll.h"

#include <algorithm>

void PictureScroll::SetExtent(int picture, int window) {
    Picture = std::max(0, picture);
    Window = std::max(0, window);
    ScrollTo(Position);
}

bool PictureScroll::ScrollTo(int position) {
    const int held = std::clamp(position, 0, Max());
    const bool changed = held != Position;
    Position = held;
    return changed;
}

bool PictureScroll::ScrollBy(int delta) {
    const long long to = static_cast<long long>(Position) + delta;
    return ScrollTo(static_cast<int>(std::clamp<long long>(to, 0, Max())));
}
