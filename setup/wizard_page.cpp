#include "setup/wizard_page.h"

#include "common/app_messages.h"

namespace {

bool IsFrameMnemonic(WPARAM key) {
  switch (key) {
    case 'B':
    case 'C':
    case 'F':
    case 'N':
    case 'b':
    case 'c':
    case 'f':
    case 'n':
      return true;
    default:
      return false;
  }
}

bool AltIsDown() { return (::GetKeyState(VK_MENU) & 0x8000) != 0; }

}  // namespace

CWizardPage::CWizardPage(UINT templateId, HWND frame) : CDialog(templateId, frame), frame_(frame) {}

BOOL CWizardPage::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) return TRUE;
  if (pass_space_to_frame_ && msg->message == WM_KEYDOWN && msg->wParam == VK_SPACE) return FramePreTranslate(msg);
  // The mnemonics arrive as WM_SYSKEYDOWN and WM_SYSCHAR; other messages pass.
  bool altMnemonic = (msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSCHAR) && AltIsDown() &&
                     IsFrameMnemonic(msg->wParam);
  if (altMnemonic) return FramePreTranslate(msg);
  return CDialog::PreTranslateMessage(msg);
}

BOOL CWizardPage::FramePreTranslate(MSG* msg) const {
  CMessageWindow* frame = FromHandle(frame_);
  return frame ? frame->PreTranslateMessage(msg) : FALSE;
}

LRESULT CWizardPage::SendToFrame(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(frame_, message, wParam, lParam);
}

LRESULT CWizardPage::AskFrame(UINT message) const {
  return SendToFrame(message, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CWizardPage::SetCloseButton(const char* caption, bool showMarker) const {
  SendToFrame(WM_APP_SET_CLOSE_BUTTON, reinterpret_cast<WPARAM>(caption), showMarker ? 1 : 0);
}

void CWizardPage::FocusFrame() const { ::SetFocus(frame_); }
