#include "setup/wizard_page.h"

#include "common/app_messages.h"
#include "setup/alt_key_filter.h"

namespace {

bool AltIsDown() { return (::GetKeyState(VK_MENU) & 0x8000) != 0; }

}  // namespace

CWizardPage::CWizardPage(UINT templateId, HWND frame) : CDialog(templateId, frame), frame_(frame) {}

BOOL CWizardPage::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) return TRUE;
  if (pass_space_to_frame_ && msg->message == WM_KEYDOWN && msg->wParam == VK_SPACE) return FramePreTranslate(msg);
  // The mnemonics arrive as WM_SYSKEYDOWN and WM_SYSCHAR; other messages pass.
  bool altMnemonic = (msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSCHAR) && AltIsDown() &&
                     IsFrameMnemonic(static_cast<unsigned>(msg->wParam));
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
