#pragma once
// Page 2: the licence, which must be accepted before Next is enabled.

#include "common/app_messages.h"
#include "resources/resource_ids.h"
#include "setup/read_only_text.h"
#include "setup/wizard_page.h"

class CDialogPage3 : public CWizardPage {
 public:
  explicit CDialogPage3(HWND frame);
  void Activate();
  void Accept();
  void Decline();

  BEGIN_MSG_MAP(CDialogPage3)
    HANDLE_MESSAGE(WM_APP_LICENSE, OnLicense)
    HANDLE_COMMAND_ID(IDC_LICENSE_ACCEPT, OnAcceptClicked)
    HANDLE_COMMAND_ID(IDC_LICENSE_DECLINE, OnDeclineClicked)
    CHAIN_MSG_MAP(CWizardPage)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  LRESULT OnLicense(WPARAM wParam, LPARAM lParam);
  void OnAcceptClicked();
  void OnDeclineClicked();

  CReadOnlyText text_;
  CWindow accept_;
  CWindow decline_;
};
