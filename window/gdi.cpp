#include "window/gdi.h"

bool CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName) {
  DeleteObject();
  font_ = ::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                        outPrecision, clipPrecision, quality, pitchAndFamily, faceName);
  return font_ != nullptr;
}

bool CFont::CreateFontIndirect(const LOGFONTA& logFont) {
  DeleteObject();
  font_ = ::CreateFontIndirectA(&logFont);
  return font_ != nullptr;
}

bool CFont::GetLogFont(LOGFONTA* logFont) const {
  return font_ && ::GetObjectA(font_, sizeof(LOGFONTA), logFont) == sizeof(LOGFONTA);
}

void CFont::DeleteObject() {
  if (font_) ::DeleteObject(font_);
  font_ = nullptr;
}

CPaintDC::CPaintDC(HWND hwnd) : hwnd_(hwnd), paint_{}, dc_(::BeginPaint(hwnd, &paint_)) {}

CPaintDC::~CPaintDC() { ::EndPaint(hwnd_, &paint_); }

CClientDC::CClientDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}

CClientDC::~CClientDC() {
  if (dc_) ::ReleaseDC(hwnd_, dc_);
}

void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour) {
  COLORREF previous = ::SetBkColor(dc, colour);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc, previous);
}
