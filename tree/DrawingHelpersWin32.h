// The drawing helpers that work on device contexts: wide text output by lines, alpha blending of the
// 32-bit DIB sections selected into two device contexts, and colours for the image list calls.
#pragma once

#include "forms/Graphics.h"
#include "tree/AlphaBlend.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvola {

constexpr TColor clDefault = 0x20000000;

// The RGB of a colour with system colours resolved; clNone gives CLR_NONE and clDefault CLR_DEFAULT.
COLORREF GetRGBColor(TColor value);

// Draws (or with DT_CALCRECT measures) Text with the single-line wide output calls, line by line unless
// DT_SINGLELINE. Honours DT_LEFT/DT_CENTER/DT_RIGHT, DT_VCENTER, DT_NOCLIP and DT_RTLREADING. With
// DT_CALCRECT, R.Bottom becomes the last line's bottom and, with AdjustRight, R.Right the left plus the
// widest line. Returns the line height.
int UnicodeDrawText(HDC dc, std::wstring_view text, RECT& r, UINT format, bool adjustRight);

// Blends R of the source's DIB section onto the destination's at Target (bmConstantAlphaAndColor: the
// destination's R with the colour Bias). Clipped to both bitmaps. A device context without a DIB section
// is left alone; a DIB section of another depth than 32 bits is an assertion failure.
void AlphaBlendRect(HDC source, HDC destination, const RECT& r, POINT target, TBlendMode mode,
                    int constantAlpha, int bias);

// A bitmap's pixels as 32-bit colours (0x00RRGGBB), top row first; empty when the system cannot read them.
// The bitmap must not be selected into a device context.
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height);

} // namespace tarvola
