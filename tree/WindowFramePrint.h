// A window's frame drawn into any device context, for copies of a whole window (WM_PRINT): the system
// draws the frame of a window only on the window itself.
#pragma once

#include <windows.h>

namespace tarvola {

// The border (3-D client edge or flat) and the scroll bars (arrows, track and thumb at the bar's position)
// of window, around client; bounds is the whole window. Both in window coordinates.
void PrintWindowFrame(HDC dc, HWND window, const RECT& bounds, const RECT& client);

} // namespace tarvola
