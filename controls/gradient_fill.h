#pragma once
// Paints the 255-band gradient into a device context.

#include <windows.h>

// Left edge `from`, right edge toward `to`.
void FillHorizontalGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to);
// Top edge `from`, bottom edge toward `to`.
void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to);
