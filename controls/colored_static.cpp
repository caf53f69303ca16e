#include "controls/colored_static.h"

#include <string>

#include "controls/caption_fit.h"
#include "controls/dpi.h"
#include "controls/gradient_fill.h"

CColoredStatic::CColoredStatic()
    : gradientFrom(::GetSysColor(COLOR_ACTIVECAPTION)),
      gradientTo(::GetSysColor(COLOR_BTNFACE)),
      backgroundColor(::GetSysColor(COLOR_WINDOW)),
      textColor(::GetSysColor(COLOR_WINDOWTEXT)),
      backgroundBrush(::CreateSolidBrush(backgroundColor)) {
  captionFont.CreateFont(ScaleForDpi(14), ScaleForDpi(7), 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
}

CColoredStatic::~CColoredStatic() {
  // The control must stop using the brush and font before they go.
  UnsubclassWindow();
  if (backgroundBrush) ::DeleteObject(backgroundBrush);
}

void CColoredStatic::Redraw() { Invalidate(true); }

void CColoredStatic::SetBackgroundColor(COLORREF colour) {
  backgroundColor = colour;
  if (backgroundBrush) ::DeleteObject(backgroundBrush);
  backgroundBrush = ::CreateSolidBrush(colour);
  Redraw();
}

void CColoredStatic::SetTextColor(COLORREF colour) {
  textColor = colour;
  Redraw();
}

void CColoredStatic::SetGradientColors(COLORREF from, COLORREF to) {
  gradientFrom = from;
  gradientTo = to;
  Redraw();
}

void CColoredStatic::SetGradientFrom(COLORREF from) {
  gradientFrom = from;
  Redraw();
}

void CColoredStatic::SetGradientTo(COLORREF to) {
  gradientTo = to;
  Redraw();
}

void CColoredStatic::SetCaptionFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                                    BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* faceName) {
  // Callers give the size for 96 DPI.
  captionFont.CreateFont(ScaleForDpi(height), ScaleForDpi(width), escapement, orientation, weight, italic, underline, strikeOut, charSet,
                         outPrecision, clipPrecision, quality, pitchAndFamily, faceName);
}

// The text never wraps: a caption wider than the control is drawn smaller; "&" is shown as
// itself.
void CColoredStatic::PaintCaption(HDC dc) {
  RECT client = GetClientRect();
  if (gradient_)
    FillHorizontalGradient(dc, client, gradientFrom, gradientTo);
  else if (!transparent_)
    FillSolidRect(dc, client, backgroundColor);
  ::SetTextColor(dc, textColor);
  ::SetBkMode(dc, TRANSPARENT);
  DrawFittedCaption(dc, captionFont.Handle(), GetWindowText(), client);
}

LRESULT CColoredStatic::OnPaint(WPARAM, LPARAM) {
  CPaintDC dc(m_hWnd);
  PaintCaption(dc);
  return 0;
}

// Renders into a caller's context (printing, captures) exactly as on screen.
LRESULT CColoredStatic::OnPrintClient(WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  const int saved = ::SaveDC(dc);
  PaintCaption(dc);
  ::RestoreDC(dc, saved);
  return 0;
}

LRESULT CColoredStatic::OnEraseBackground(WPARAM wParam, LPARAM, bool& handled) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  if (transparent_)
    ::SetBkMode(dc, TRANSPARENT);
  else
    ::SetBkColor(dc, backgroundColor);
  handled = false;
  return 0;
}

LRESULT CColoredStatic::OnCtlColor(WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  if (gradient_) {
    // Whatever the static just drew of its own is painted over by the banner.
    Redraw();
    return reinterpret_cast<LRESULT>(::GetStockObject(HOLLOW_BRUSH));
  }
  ::SetTextColor(dc, textColor);
  if (transparent_) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(HOLLOW_BRUSH));
  }
  ::SetBkMode(dc, OPAQUE);
  ::SetBkColor(dc, backgroundColor);
  return reinterpret_cast<LRESULT>(backgroundBrush);
}
