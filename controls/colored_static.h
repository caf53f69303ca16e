#pragma once
// A static text control painted as a banner: a left-to-right colour gradient across the
// whole control with the control's text over it in the caption font. With the gradient
// off the text stands on the plain background colour, or on nothing when transparent.

#include <windows.h>

#include "window/gdi.h"
#include "window/subclassed_window.h"

class CColoredStatic : public CStatic {
 public:
  CColoredStatic();
  ~CColoredStatic() override;

  void SetBackgroundColor(COLORREF colour);
  void SetTextColor(COLORREF colour);
  // Take effect at the next repaint.
  void SetTransparent(int transparent) { transparent_ = transparent; }
  void SetGradient(int gradient) { gradient_ = gradient; }
  int GetGradient() const { return gradient_; }

  void SetGradientColors(COLORREF from, COLORREF to);
  void SetGradientFrom(COLORREF from);
  void SetGradientTo(COLORREF to);

  void SetCaptionFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                      BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                      BYTE quality, BYTE pitchAndFamily, const char* faceName);

  COLORREF GetGradientFrom() const { return gradientFrom; }
  COLORREF GetGradientTo() const { return gradientTo; }
  COLORREF GetTextColor() const { return textColor; }
  COLORREF GetBackgroundColor() const { return backgroundColor; }
  HFONT GetCaptionFont() const { return captionFont; }

  BEGIN_MSG_MAP(CColoredStatic)
    HANDLE_MESSAGE(WM_PAINT, OnPaint)
    HANDLE_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    HANDLE_MESSAGE_OR_PASS(WM_ERASEBKGND, OnEraseBackground)
    HANDLE_REFLECTED_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColor)
  END_MSG_MAP()

 private:
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);
  // The background (gradient, plain colour or nothing), then the text in the caption font.
  void PaintCaption(HDC dc);
  void Redraw();

  COLORREF gradientFrom;
  COLORREF gradientTo;
  COLORREF backgroundColor;
  COLORREF textColor;
  HBRUSH backgroundBrush;
  int transparent_ = 0;
  int gradient_ = 0;
  CFont captionFont;
};
