#include "setup/welcome_page.h"

#include "resources/resource_ids.h"

std::string WelcomeInstallText(const std::string& productName) {
  return "   This program will install \"" + productName + "\" on your computer.";
}

std::string WelcomeClickText(const std::string& productName) {
  return "   Click \"Next\" to install \"" + productName + "\".";
}

CDialogPage1::CDialogPage1(HWND frame) : CWizardPage(IDD_PAGE_WELCOME, frame) { pass_space_to_frame_ = true; }

void CDialogPage1::DoDataExchange() {
  BindControl(install_text_, IDC_WELCOME_INSTALL);
  BindControl(click_text_, IDC_WELCOME_CLICK);
}

BOOL CDialogPage1::OnInitDialog() {
  AskFrame(WM_APP_GET_PRODUCT_NAME);
  return TRUE;
}

LRESULT CDialogPage1::OnProductName(WPARAM wParam, LPARAM) {
  std::string name = TextParam(wParam);
  install_text_.SetWindowText(WelcomeInstallText(name));
  click_text_.SetWindowText(WelcomeClickText(name));
  return 0;
}

void CDialogPage1::Activate() {
  SendToFrame(WM_APP_DISABLE_BACK);
  SendToFrame(WM_APP_ENABLE_NEXT);
  SetCloseButton("&Cancel", false);
  FocusFrame();
}
