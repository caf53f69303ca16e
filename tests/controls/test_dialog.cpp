#include "tests/controls/test_dialog.h"

HWND TestHostWindow() {
  static HWND host = [] {
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_CLIPCHILDREN, 100, 100, 900, 600, nullptr,
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
  }();
  return host;
}

ClientRender::ClientRender(HWND window, COLORREF background) {
  RECT client;
  ::GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  HBRUSH brush = ::CreateSolidBrush(background);
  ::FillRect(dc, &client, brush);
  ::DeleteObject(brush);
  ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  const uint32_t* source = static_cast<const uint32_t*>(bits);
  pixels_.assign(source, source + static_cast<size_t>(width_) * height_);
  ::SelectObject(dc, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

COLORREF ClientRender::Pixel(int x, int y) const {
  const uint32_t pixel = pixels_[static_cast<size_t>(y) * width_ + x];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}
