#pragma once
// A thin, honest wrapper over an HWND: no ownership, no state beyond the handle. Copying
// it copies the handle. Every call on a null or destroyed handle is harmless.

#include <windows.h>

#include <string>

class CWindow {
 public:
  HWND m_hWnd = nullptr;

  CWindow() = default;
  CWindow(HWND hwnd) : m_hWnd(hwnd) {}  // NOLINT: converting on purpose, like the handle
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }
  bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd) != FALSE; }

  // Texts of any length; an absent window reads as "".
  std::string GetWindowText() const;
  void SetWindowText(const std::string& text) const;

  void ShowWindow(int command) const;
  bool IsWindowVisible() const;
  void EnableWindow(bool enable) const;
  bool IsWindowEnabled() const;
  void SetFocus() const;

  CWindow GetDlgItem(int id) const;
  CWindow GetParent() const;
  int GetDlgCtrlID() const;

  void SetFont(HFONT font, bool redraw = true) const;
  HFONT GetFont() const;

  LONG GetStyle() const;
  void ModifyStyle(LONG remove, LONG add) const;

  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  // The window's rectangle in its parent's client coordinates.
  RECT GetRectInParent() const;
  void SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const;
  void MoveWindow(const RECT& rect, bool repaint = true) const;

  void Invalidate(bool erase = true) const;
  void UpdateWindow() const;

  // Buttons: BST_CHECKED / BST_UNCHECKED.
  int GetCheck() const;
  void SetCheck(int state) const;

  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) const;
  void KillTimer(UINT_PTR id) const;

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Sends a text in wParam and/or lParam; the receiver copies it during the call.
  LRESULT SendText(UINT message, const std::string& wText, LPARAM lParam = 0) const;
  LRESULT SendTexts(UINT message, const std::string& wText, const std::string& lText) const;
};

// Copies a text carried in a message parameter; a null pointer reads as "".
std::string TextParam(WPARAM param);
std::string TextParam(LPARAM param);
