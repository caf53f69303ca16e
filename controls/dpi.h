#pragma once
// Pixel sizes of the custom-drawn parts are designed for 96 dots per inch; the program
// declares itself aware of the system's DPI, so it scales them itself to what the
// screen uses.

#include <windows.h>

// The system's dots per inch (96 when it cannot be read).
int SystemDpi();

// `pixels` at 96 DPI, in pixels at `dpi`, rounded to the nearest; 0 stays 0 and any
// non-zero size stays at least one pixel long.
int ScaleForDpi(int pixels, int dpi);
inline int ScaleForDpi(int pixels) { return ScaleForDpi(pixels, SystemDpi()); }
