#include "window/dialog.h"

#include "window/app.h"
#include "window/subclassed_window.h"

namespace {

// Messages whose result a dialog procedure returns directly instead of in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : template_id_(templateId), parent_(parent) {}

CDialog::~CDialog() { DestroyWindow(); }

HWND CDialog::CreateFromTemplate(HWND parent) {
  return ::CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(template_id_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::DoModal() {
  modal_ = true;
  ended_ = false;
  result_ = IDCANCEL;
  HWND owner = parent_;
  if (!CreateFromTemplate(owner)) return -1;
  bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  if (!ended_) {
    ShowWindow(SW_SHOW);
    MSG msg;
    while (!ended_) {
      BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
      if (got == 0) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got < 0) break;
      if (WalkPreTranslateTree(m_hWnd, &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  if (ownerWasEnabled) {
    ::EnableWindow(owner, TRUE);
    ::SetActiveWindow(owner);
  }
  DestroyWindow();
  return result_;
}

bool CDialog::Create(HWND parent) {
  modal_ = false;
  if (parent) parent_ = parent;
  return CreateFromTemplate(parent_) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (m_hWnd) ShowWindow(SW_HIDE);
  // Wakes the modal loop even when no further message is waiting.
  ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

bool CDialog::DestroyWindow() {
  if (!m_hWnd) return false;
  HWND hwnd = m_hWnd;
  return ::DestroyWindow(hwnd) != FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (!m_hWnd || !IsInputMessage(msg->message)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, msg);
}

void CDialog::OnOK() {
  if (modal_) EndDialog(IDOK);
}

void CDialog::OnCancel() {
  if (modal_) EndDialog(IDCANCEL);
}

void CDialog::GotoDlgCtrl(HWND control) const {
  if (control) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void CDialog::BindControl(CWindow& member, int id) const { member.m_hWnd = ::GetDlgItem(m_hWnd, id); }

bool CDialog::SubclassControl(CSubclassedWindow& control, int id) const {
  return control.SubclassDlgItem(id, m_hWnd);
}

bool CDialog::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      result = 0;
      return true;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      result = 0;
      return true;
    }
  }
  return false;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  bool handled = ReflectNotification(message, wParam, lParam, result) ||
                 ProcessWindowMessage(message, wParam, lParam, result);
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Attach(hwnd);
    dialog->DoDataExchange();
    return dialog->OnInitDialog();
  }
  CDialog* dialog = static_cast<CDialog*>(FromHandle(hwnd));
  if (!dialog) return FALSE;
  if (message == WM_NCDESTROY) {
    LRESULT ignored = 0;
    dialog->ProcessWindowMessage(message, wParam, lParam, ignored);
    dialog->Detach();
    return FALSE;
  }
  return dialog->HandleMessage(message, wParam, lParam);
}
