#include "window/subclassed_window.h"

CSubclassedWindow::~CSubclassedWindow() { UnsubclassWindow(); }

bool CSubclassedWindow::SubclassWindow(HWND hwnd) {
  if (!hwnd || m_hWnd || FromHandle(hwnd)) return false;
  Attach(hwnd);
  PreSubclassWindow();
  original_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  return original_ != nullptr;
}

bool CSubclassedWindow::SubclassDlgItem(int id, HWND parent) {
  return SubclassWindow(::GetDlgItem(parent, id));
}

HWND CSubclassedWindow::UnsubclassWindow() {
  HWND hwnd = m_hWnd;
  if (!hwnd) return nullptr;
  if (original_ && ::IsWindow(hwnd))
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  original_ = nullptr;
  Detach();
  return hwnd;
}

BOOL CSubclassedWindow::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

LRESULT CSubclassedWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!original_) return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
  return ::CallWindowProcA(original_, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CSubclassedWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CSubclassedWindow*>(FromHandle(hwnd));
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC original = self->original_;
    self->UnsubclassWindow();
    return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (self->ProcessWindowMessage(message, wParam, lParam, result)) return result;
  return self->DefaultProc(message, wParam, lParam);
}
