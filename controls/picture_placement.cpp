#include "controls/picture_placement.h"

namespace {

// Rounds down also for a picture wider than the window, so a centred picture that does
// not fit overhangs by the extra pixel on the near side.
int HalfRoundedDown(int value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

}  // namespace

int PictureOffset(int mode, int clientExtent, int pictureExtent, int margin) {
  switch (mode) {
    case 0: return margin;
    case 1: return HalfRoundedDown(clientExtent - pictureExtent);
    case 2: return clientExtent - pictureExtent - margin;
    default: return 0;
  }
}

bool StretchesPicture(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight) {
  return pictureWidth > screenWidth && pictureHeight > screenHeight;
}
