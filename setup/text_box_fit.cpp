#include "setup/text_box_fit.h"

#include <algorithm>

namespace {

// Pixels an edit control keeps free beside its text, apart from its margins: room for
// the caret at the end of the widest line.
constexpr int kCaretRoom = 2;

SIZE FrameSize(HWND box) {
  RECT window, client;
  ::GetWindowRect(box, &window);
  ::GetClientRect(box, &client);
  return SIZE{(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
}

bool HasStyle(HWND box, LONG style) { return (::GetWindowLongA(box, GWL_STYLE) & style) != 0; }

}  // namespace

TextBlockSize MeasureTextBlock(HWND box, const std::string& text) {
  TextBlockSize size;
  HDC dc = ::GetDC(box);
  if (!dc) return size;
  HGDIOBJ previous = nullptr;
  if (HFONT font = reinterpret_cast<HFONT>(::SendMessageA(box, WM_GETFONT, 0, 0))) previous = ::SelectObject(dc, font);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  size.lineHeight = metrics.tmHeight;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    SIZE extent{0, 0};
    ::GetTextExtentPoint32A(dc, text.c_str() + start, static_cast<int>(end - start), &extent);
    size.widestLine = std::max<int>(size.widestLine, extent.cx);
    ++size.lineCount;
    start = end + 2;
  }
  if (previous) ::SelectObject(dc, previous);
  ::ReleaseDC(box, dc);
  return size;
}

int BoxHeightForLines(HWND box, int lines, int lineHeight, bool horizontalBar) {
  int frame = FrameSize(box).cy;
  // The frame measured now holds a horizontal bar if one is shown.
  if (HasStyle(box, WS_HSCROLL)) frame -= ::GetSystemMetrics(SM_CYHSCROLL);
  return lines * lineHeight + frame + (horizontalBar ? ::GetSystemMetrics(SM_CYHSCROLL) : 0);
}

void ShowScrollBarsAsNeeded(HWND box, const std::string& text) {
  const TextBlockSize size = MeasureTextBlock(box, text);
  RECT window;
  ::GetWindowRect(box, &window);
  SIZE frame = FrameSize(box);
  if (HasStyle(box, WS_HSCROLL)) frame.cy -= ::GetSystemMetrics(SM_CYHSCROLL);
  if (HasStyle(box, WS_VSCROLL)) frame.cx -= ::GetSystemMetrics(SM_CXVSCROLL);
  const DWORD margins = static_cast<DWORD>(::SendMessageA(box, EM_GETMARGINS, 0, 0));
  const int textRoom = LOWORD(margins) + HIWORD(margins) + kCaretRoom;
  const int width = (window.right - window.left) - frame.cx - textRoom;
  const int height = (window.bottom - window.top) - frame.cy;

  // Each bar takes room from the other direction, so one may bring the other.
  bool vertical = size.lineCount * size.lineHeight > height;
  bool horizontal = size.widestLine > width - (vertical ? ::GetSystemMetrics(SM_CXVSCROLL) : 0);
  if (!vertical && horizontal) vertical = size.lineCount * size.lineHeight > height - ::GetSystemMetrics(SM_CYHSCROLL);
  ::ShowScrollBar(box, SB_VERT, vertical);
  ::ShowScrollBar(box, SB_HORZ, horizontal);
}
