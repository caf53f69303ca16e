#include "window/window.h"

#include <vector>

std::string CWindow::GetWindowText() const {
  if (!m_hWnd) return "";
  int length = ::GetWindowTextLengthA(m_hWnd);
  if (length <= 0) return "";
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
  return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void CWindow::SetWindowText(const std::string& text) const {
  if (m_hWnd) ::SetWindowTextA(m_hWnd, text.c_str());
}

void CWindow::ShowWindow(int command) const {
  if (m_hWnd) ::ShowWindow(m_hWnd, command);
}

bool CWindow::IsWindowVisible() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }

void CWindow::EnableWindow(bool enable) const {
  if (m_hWnd) ::EnableWindow(m_hWnd, enable ? TRUE : FALSE);
}

bool CWindow::IsWindowEnabled() const { return m_hWnd && ::IsWindowEnabled(m_hWnd); }

void CWindow::SetFocus() const {
  if (m_hWnd) ::SetFocus(m_hWnd);
}

CWindow CWindow::GetDlgItem(int id) const { return m_hWnd ? ::GetDlgItem(m_hWnd, id) : nullptr; }

CWindow CWindow::GetParent() const { return m_hWnd ? ::GetParent(m_hWnd) : nullptr; }

int CWindow::GetDlgCtrlID() const { return m_hWnd ? ::GetDlgCtrlID(m_hWnd) : 0; }

void CWindow::SetFont(HFONT font, bool redraw) const {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

HFONT CWindow::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

LONG CWindow::GetStyle() const { return m_hWnd ? ::GetWindowLongA(m_hWnd, GWL_STYLE) : 0; }

void CWindow::ModifyStyle(LONG remove, LONG add) const {
  if (!m_hWnd) return;
  ::SetWindowLongA(m_hWnd, GWL_STYLE, (GetStyle() & ~remove) | add);
}

RECT CWindow::GetClientRect() const {
  RECT rect{};
  if (m_hWnd) ::GetClientRect(m_hWnd, &rect);
  return rect;
}

RECT CWindow::GetWindowRect() const {
  RECT rect{};
  if (m_hWnd) ::GetWindowRect(m_hWnd, &rect);
  return rect;
}

RECT CWindow::GetRectInParent() const {
  RECT rect = GetWindowRect();
  HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (parent) ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void CWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
  if (m_hWnd) ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

void CWindow::MoveWindow(const RECT& rect, bool repaint) const {
  if (m_hWnd)
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 repaint ? TRUE : FALSE);
}

void CWindow::Invalidate(bool erase) const {
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE);
}

void CWindow::UpdateWindow() const {
  if (m_hWnd) ::UpdateWindow(m_hWnd);
}

int CWindow::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }

void CWindow::SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }

UINT_PTR CWindow::SetTimer(UINT_PTR id, UINT elapseMs) const {
  return m_hWnd ? ::SetTimer(m_hWnd, id, elapseMs, nullptr) : 0;
}

void CWindow::KillTimer(UINT_PTR id) const {
  if (m_hWnd) ::KillTimer(m_hWnd, id);
}

LRESULT CWindow::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return m_hWnd ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

LRESULT CWindow::SendText(UINT message, const std::string& wText, LPARAM lParam) const {
  return SendMessage(message, reinterpret_cast<WPARAM>(wText.c_str()), lParam);
}

LRESULT CWindow::SendTexts(UINT message, const std::string& wText, const std::string& lText) const {
  return SendMessage(message, reinterpret_cast<WPARAM>(wText.c_str()),
                     reinterpret_cast<LPARAM>(lText.c_str()));
}

std::string TextParam(WPARAM param) {
  const char* text = reinterpret_cast<const char*>(param);
  return text ? std::string(text) : std::string();
}

std::string TextParam(LPARAM param) { return TextParam(static_cast<WPARAM>(param)); }
