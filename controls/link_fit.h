#pragma once
// Where a link control goes when it is fitted to its text: the arithmetic alone, so every
// alignment can be checked without a window.

#include <windows.h>

// `rect` is the control's window rectangle in its parent's coordinates, `border` what its
// frame adds to the client area (window size minus client size), `text` the extent of
// its text. The control keeps its left edge, its right edge (SS_RIGHT) or its centre
// (SS_CENTER); vertically its top, or its centre with SS_CENTERIMAGE. Centring halves are
// truncated toward zero, as the control has always been placed.
RECT FitLinkRect(const RECT& rect, SIZE border, SIZE text, LONG style);
