#pragma once
// The desktop's system colours by their classic index (0 scroll bar, 1 desktop,
// 2 active caption, 3 inactive caption, 4 menu, 5 window, 6 window frame,
// 7 menu text, 8 window text, 9 caption text, 10 active border, 11 inactive
// border, 12 application workspace, 13 highlight, 14 highlight text, 15 button
// face, 16 button shadow, ...): the colours of the classic desktop scheme, as
// 0x00BBGGRR. Any other index gives 0.

#include <cstdint>

int32_t GetSysColor(int index);
