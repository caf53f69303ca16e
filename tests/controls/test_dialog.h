#pragma once
// A dialog holding plain statics for the tests to bind controls to, and a way to render a
// window into memory and read its pixels.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tests/controls/test_dialog_ids.h"
#include "window/dialog.h"

// One visible top-level window for the whole run, at (100, 100) on the screen. Each test's
// dialog is a child of it: under Wine without a window manager, hiding a top-level window
// waits two seconds for a manager that never answers, and a child costs nothing.
HWND TestHostWindow();

// Shown at (200, 200) on the screen.
class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(IDD_CONTROLS_TEST) {
    Create(TestHostWindow());
    ::SetWindowPos(m_hWnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow();
  }
  HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
};

// What a window draws of its client area when asked to print it onto `background`.
class ClientRender {
 public:
  ClientRender(HWND window, COLORREF background);
  COLORREF Pixel(int x, int y) const;  // as a COLORREF
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  std::vector<uint32_t> pixels_;  // top-down, 0x00RRGGBB
};

// Delivers every message already posted to this thread.
void PumpMessages();
