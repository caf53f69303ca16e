#pragma once
// Where a top-level window opens: centred on the work area (the screen less the task bar)
// of the monitor that holds it, or that holds another window it belongs with.

#include <windows.h>

// The window's rectangle moved so that it is centred in `workArea`. A window larger than
// the work area keeps its top-left corner inside it, so its caption stays reachable.
RECT CentredInWorkArea(const RECT& window, const RECT& workArea);

// Moves `window` (size and z-order kept) to the centre of the work area of the monitor
// nearest to `reference`, or nearest to the window itself when `reference` is null.
void CentreOnWorkArea(HWND window, HWND reference = nullptr);
