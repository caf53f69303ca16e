#include "controls/caption_fit.h"

#include <algorithm>
#include <climits>

namespace {

constexpr UINT kCaptionFormat = DT_NOPREFIX;

// The widest line's width and the lines' height: a caption may hold line breaks.
SIZE TextExtent(HDC dc, HFONT font, const std::string& text) {
  HGDIOBJ previous = font ? ::SelectObject(dc, font) : nullptr;
  RECT extent{0, 0, 0, 0};
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &extent, kCaptionFormat | DT_CALCRECT);
  if (previous) ::SelectObject(dc, previous);
  return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

bool Fits(SIZE extent, int width, int height) { return extent.cx <= width && extent.cy <= height; }

}  // namespace

bool ShrinkFontToFit(HDC dc, HFONT font, const std::string& text, int width, int height, CFont* fitted) {
  fitted->DeleteObject();
  LOGFONTA logFont;
  if (!font || ::GetObjectA(font, sizeof logFont, &logFont) != sizeof logFont || width <= 0 || height <= 0) {
    return false;
  }
  const SIZE extent = TextExtent(dc, font, text);
  if (Fits(extent, width, height)) return false;
  const LONG fontHeight = logFont.lfHeight;
  const LONG charWidth = logFont.lfWidth;
  const long long widthShare = 100LL * width / std::max<LONG>(extent.cx, 1);
  const long long heightShare = 100LL * height / std::max<LONG>(extent.cy, 1);
  const int start = static_cast<int>(std::min({widthShare, heightShare, 100LL}));
  // Glyph sizes do not scale exactly with the font's size, so shrink until it fits.
  for (int percent = start; percent > 0; percent -= 2) {
    logFont.lfHeight = fontHeight * percent / 100;
    logFont.lfWidth = charWidth * percent / 100;
    if (logFont.lfHeight == 0) logFont.lfHeight = fontHeight < 0 ? -1 : 1;
    if (!fitted->CreateFontIndirect(logFont)) return false;
    if (Fits(TextExtent(dc, fitted->Handle(), text), width, height)) return true;
  }
  return fitted->Handle() != nullptr;
}

bool ShrinkFontToWidth(HDC dc, HFONT font, const std::string& text, int width, CFont* fitted) {
  return ShrinkFontToFit(dc, font, text, width, INT_MAX, fitted);
}

void DrawFittedCaption(HDC dc, HFONT font, const std::string& text, RECT area) {
  CFont smaller;
  // A one-line caption (a product name) also keeps its descenders inside the area; text
  // with line breaks may run below it, as before.
  const bool oneLine = text.find_first_of("\r\n") == std::string::npos;
  const int height = oneLine ? area.bottom - area.top : INT_MAX;
  HFONT drawing = ShrinkFontToFit(dc, font, text, area.right - area.left, height, &smaller) ? smaller.Handle() : font;
  HGDIOBJ previous = drawing ? ::SelectObject(dc, drawing) : nullptr;
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, kCaptionFormat);
  if (previous) ::SelectObject(dc, previous);
}
