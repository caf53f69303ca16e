#include "controls/dpi.h"

namespace {
constexpr int kDesignDpi = 96;
}

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

int ScaleForDpi(int pixels, int dpi) {
  if (pixels == 0) return 0;
  const int scaled = ::MulDiv(pixels, dpi, kDesignDpi);
  if (scaled == 0) return pixels > 0 ? 1 : -1;
  return scaled;
}
