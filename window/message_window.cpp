#include "window/message_window.h"

namespace {

// The property under which a window keeps its C++ object.
const char kObjectProperty[] = "BrisklayWindowObject";

HWND NotifyingChild(UINT message, WPARAM wParam, LPARAM lParam) {
  (void)wParam;
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
      return lParam ? reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace

CMessageWindow::~CMessageWindow() { Detach(); }

bool CMessageWindow::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

BOOL CMessageWindow::PreTranslateMessage(MSG*) { return FALSE; }

CMessageWindow* CMessageWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return static_cast<CMessageWindow*>(::GetPropA(hwnd, kObjectProperty));
}

void CMessageWindow::Attach(HWND hwnd) {
  m_hWnd = hwnd;
  if (hwnd) ::SetPropA(hwnd, kObjectProperty, this);
}

void CMessageWindow::Detach() {
  if (m_hWnd && FromHandle(m_hWnd) == this) ::RemovePropA(m_hWnd, kObjectProperty);
  m_hWnd = nullptr;
}

bool CMessageWindow::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = NotifyingChild(message, wParam, lParam);
  if (!child || child == m_hWnd) return false;
  CMessageWindow* target = FromHandle(child);
  if (!target) return false;
  return target->ProcessWindowMessage(REFLECTED(message), wParam, lParam, result);
}

bool WalkPreTranslateTree(HWND top, MSG* msg) {
  for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
    CMessageWindow* target = CMessageWindow::FromHandle(hwnd);
    if (target && target->PreTranslateMessage(msg)) return true;
    if (hwnd == top) break;
  }
  return false;
}
