#include "controls/caption_fit.h"

namespace {

constexpr UINT kCaptionFormat = DT_NOPREFIX;

// The widest line's width: a caption may hold line breaks.
int TextWidth(HDC dc, HFONT font, const std::string& text) {
  HGDIOBJ previous = font ? ::SelectObject(dc, font) : nullptr;
  RECT extent{0, 0, 0, 0};
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &extent, kCaptionFormat | DT_CALCRECT);
  if (previous) ::SelectObject(dc, previous);
  return extent.right - extent.left;
}

}  // namespace

bool ShrinkFontToWidth(HDC dc, HFONT font, const std::string& text, int width, CFont* fitted) {
  fitted->DeleteObject();
  LOGFONTA logFont;
  if (!font || ::GetObjectA(font, sizeof logFont, &logFont) != sizeof logFont || width <= 0) return false;
  int textWidth = TextWidth(dc, font, text);
  if (textWidth <= width) return false;
  const LONG height = logFont.lfHeight;
  const LONG charWidth = logFont.lfWidth;
  // Glyph widths do not scale exactly with the font's size, so shrink until it fits.
  for (int percent = 100 * width / textWidth; percent > 0; percent -= 2) {
    logFont.lfHeight = height * percent / 100;
    logFont.lfWidth = charWidth * percent / 100;
    if (logFont.lfHeight == 0) logFont.lfHeight = height < 0 ? -1 : 1;
    if (!fitted->CreateFontIndirect(logFont)) return false;
    if (TextWidth(dc, fitted->Handle(), text) <= width) return true;
  }
  return fitted->Handle() != nullptr;
}

void DrawFittedCaption(HDC dc, HFONT font, const std::string& text, RECT area) {
  CFont smaller;
  HFONT drawing = ShrinkFontToWidth(dc, font, text, area.right - area.left, &smaller) ? smaller.Handle() : font;
  HGDIOBJ previous = drawing ? ::SelectObject(dc, drawing) : nullptr;
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, kCaptionFormat);
  if (previous) ::SelectObject(dc, previous);
}
