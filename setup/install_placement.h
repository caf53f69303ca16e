#pragma once
// Where the installation dialog goes over the background window: clear of the picture.

#include <windows.h>

// A picture centred or at the right and at the bottom leaves the top-left free: the
// dialog goes to (50, 100). Otherwise it goes to the bottom-right corner, 50 pixels from
// both edges. `dialogClient` is the size of the dialog's client area.
POINT InstallDialogPosition(bool backgroundCreated, int horizontalMode, int verticalMode, SIZE screen,
                            SIZE dialogClient);
