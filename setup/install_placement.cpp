#include "setup/install_placement.h"

POINT InstallDialogPosition(bool backgroundCreated, int horizontalMode, int verticalMode, SIZE screen,
                            SIZE dialogClient) {
  constexpr int kMargin = 50;
  const bool pictureLeavesTopLeft =
      backgroundCreated && (horizontalMode == 1 || horizontalMode == 2) && verticalMode == 2;
  if (pictureLeavesTopLeft) return POINT{50, 100};
  return POINT{screen.cx - dialogClient.cx - kMargin, screen.cy - dialogClient.cy - kMargin};
}
