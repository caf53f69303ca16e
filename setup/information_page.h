#pragma once
// Page 1: the product's information text and up to three links.

#include <string>

#include "common/app_messages.h"
#include "controls/hyperlink.h"
#include "setup/read_only_text.h"
#include "setup/wizard_page.h"

class CDialogPage2 : public CWizardPage {
 public:
  explicit CDialogPage2(HWND frame);
  void Activate();

  BEGIN_MSG_MAP(CDialogPage2)
    HANDLE_MESSAGE(WM_APP_INFORMATION, OnInformation)
    HANDLE_MESSAGE(WM_APP_LINK1, OnLink1)
    HANDLE_MESSAGE(WM_APP_LINK2, OnLink2)
    HANDLE_MESSAGE(WM_APP_LINK3, OnLink3)
    CHAIN_MSG_MAP(CWizardPage)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  struct Link {
    std::string caption;
    std::string target;
  };
  LRESULT OnInformation(WPARAM wParam, LPARAM lParam);
  LRESULT OnLink1(WPARAM wParam, LPARAM lParam);
  LRESULT OnLink2(WPARAM wParam, LPARAM lParam);
  LRESULT OnLink3(WPARAM wParam, LPARAM lParam);

  CReadOnlyText text_;
  CMyHyperLink link_controls_[3];
  Link links_[3];
};

// Shows a link with its caption and target, or hides it when the caption is empty.
void ShowLinkOrHide(CMyHyperLink& control, const std::string& caption, const std::string& target);
