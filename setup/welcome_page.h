#pragma once
// Page 0: names the product.

#include "common/app_messages.h"
#include "setup/wizard_page.h"

class CDialogPage1 : public CWizardPage {
 public:
  explicit CDialogPage1(HWND frame);
  void Activate();

  BEGIN_MSG_MAP(CDialogPage1)
    HANDLE_MESSAGE(WM_APP_PRODUCT_NAME, OnProductName)
    CHAIN_MSG_MAP(CWizardPage)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  LRESULT OnProductName(WPARAM wParam, LPARAM lParam);
  CWindow install_text_;
  CWindow click_text_;
};

// The two sentences that name the product.
std::string WelcomeInstallText(const std::string& productName);
std::string WelcomeClickText(const std::string& productName);
