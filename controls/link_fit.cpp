#include "controls/link_fit.h"

RECT FitLinkRect(const RECT& rect, SIZE border, SIZE text, LONG style) {
  const LONG needWidth = text.cx + border.cx;
  const LONG needHeight = text.cy + border.cy;
  RECT fitted = rect;

  if (style & SS_CENTERIMAGE) {
    const LONG shrink = ((fitted.bottom - fitted.top) - needHeight) / 2;
    fitted.top += shrink;
    fitted.bottom -= shrink;
  } else {
    fitted.bottom = fitted.top + needHeight;
  }

  // The alignment is the static's type, not single bits: SS_SIMPLE, for one, shares
  // both bits of SS_CENTER and SS_RIGHT yet is left-aligned.
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
      const LONG shrink = ((fitted.right - fitted.left) - needWidth) / 2;
      fitted.left += shrink;
      fitted.right -= shrink;
      break;
    }
    case SS_RIGHT:
      fitted.left = fitted.right - needWidth;
      break;
    default:
      fitted.right = fitted.left + needWidth;
      break;
  }
  return fitted;
}
