#pragma once
// Page 4 (only with a licence): what the installation is about to do.

#include <string>

#include "common/app_messages.h"
#include "setup/summary_text.h"
#include "setup/read_only_text.h"
#include "setup/wizard_page.h"

class CDialogPage5 : public CWizardPage {
 public:
  explicit CDialogPage5(HWND frame);
  void Activate();

  BEGIN_MSG_MAP(CDialogPage5)
    HANDLE_MESSAGE(WM_APP_FILE_LIST, OnFileList)
    HANDLE_MESSAGE(WM_APP_SHORTCUT_LISTS, OnShortcutLists)
    HANDLE_MESSAGE(WM_APP_DESTINATION, OnDestination)
    CHAIN_MSG_MAP(CWizardPage)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  LRESULT OnFileList(WPARAM wParam, LPARAM lParam);
  LRESULT OnShortcutLists(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestination(WPARAM wParam, LPARAM lParam);
  void BuildSummary();

  CReadOnlyText text_;
  SummaryInputs inputs_;
};
