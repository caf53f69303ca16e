#pragma once
// Small owners of GDI objects and device contexts: each frees what it holds when it goes.

#include <windows.h>

#include <string>

class CFont {
 public:
  CFont() = default;
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;
  ~CFont() { DeleteObject(); }

  bool CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                  BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                  BYTE quality, BYTE pitchAndFamily, const char* faceName);
  bool CreateFontIndirect(const LOGFONTA& logFont);
  bool GetLogFont(LOGFONTA* logFont) const;
  void DeleteObject();
  HFONT Handle() const { return font_; }
  operator HFONT() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// BeginPaint / EndPaint.
class CPaintDC {
 public:
  explicit CPaintDC(HWND hwnd);
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  ~CPaintDC();
  HDC Handle() const { return dc_; }
  operator HDC() const { return dc_; }
  const PAINTSTRUCT& Paint() const { return paint_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

// GetDC / ReleaseDC.
class CClientDC {
 public:
  explicit CClientDC(HWND hwnd);
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;
  ~CClientDC();
  HDC Handle() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Fills `rect` with one colour, leaving the DC's background colour as it was.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour);
