#include "controls/gradient_fill.h"

#include "controls/gradient_bands.h"
#include "window/gdi.h"

void FillHorizontalGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to) {
  for (const GradientBand& band : GradientBands(rect.left, rect.right - rect.left, from, to)) {
    if (band.end <= band.start) continue;
    const RECT bandRect{band.start, rect.top, band.end, rect.bottom};
    FillSolidRect(dc, bandRect, band.colour);
  }
}

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to) {
  for (const GradientBand& band : GradientBands(rect.top, rect.bottom - rect.top, from, to)) {
    if (band.end <= band.start) continue;
    const RECT bandRect{rect.left, band.start, rect.right, band.end};
    FillSolidRect(dc, bandRect, band.colour);
  }
}
