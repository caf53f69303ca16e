#include "setup/license_page.h"

CDialogPage3::CDialogPage3(HWND frame) : CWizardPage(IDD_PAGE_LICENSE, frame) {}

void CDialogPage3::DoDataExchange() {
  SubclassControl(text_, IDC_PAGE_TEXT);
  BindControl(accept_, IDC_LICENSE_ACCEPT);
  BindControl(decline_, IDC_LICENSE_DECLINE);
}

BOOL CDialogPage3::OnInitDialog() {
  AskFrame(WM_APP_GET_LICENSE);
  decline_.SetCheck(BST_CHECKED);
  return TRUE;
}

LRESULT CDialogPage3::OnLicense(WPARAM wParam, LPARAM) {
  text_.SetText(TextParam(wParam));
  return 0;
}

void CDialogPage3::OnAcceptClicked() { SendToFrame(WM_APP_ENABLE_NEXT); }

void CDialogPage3::OnDeclineClicked() { SendToFrame(WM_APP_DISABLE_NEXT); }

void CDialogPage3::Accept() {
  accept_.SetCheck(BST_CHECKED);
  decline_.SetCheck(BST_UNCHECKED);
  SendToFrame(WM_APP_ENABLE_NEXT);
}

void CDialogPage3::Decline() {
  accept_.SetCheck(BST_UNCHECKED);
  decline_.SetCheck(BST_CHECKED);
  SendToFrame(WM_APP_DISABLE_NEXT);
}

void CDialogPage3::Activate() {
  SendToFrame(WM_APP_ENABLE_BACK);
  SetCloseButton("&Cancel", false);
  SendToFrame(decline_.GetCheck() == BST_CHECKED ? WM_APP_DISABLE_NEXT : WM_APP_ENABLE_NEXT);
  FocusFrame();
}
