#pragma once
// Page 5: shown once, after the installation, with its result, the programs to start and
// the files to open. The frame fills it.

#include <string>
#include <utility>

#include "controls/hyperlink.h"
#include "setup/wizard_page.h"

class CDialogPage6 : public CWizardPage {
 public:
  explicit CDialogPage6(HWND frame);

  void SetLink1(const std::string& caption, const std::string& target);
  void SetLink2(const std::string& caption, const std::string& target);
  void SetLink3(const std::string& caption, const std::string& target);
  void SetRunList(const std::string& list);
  void SetOpenList(const std::string& list);
  // After a success that needs a restart, the page says so and starts nothing.
  void ShowResult(bool succeeded, bool restartNeeded = false);
  // The check states of the run box and the open box.
  std::pair<bool, bool> GetChoices() const;
  void ToggleRun();
  void ToggleOpen();

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  void LayOutColumn();
  void HideRunAndOpenLists();

  CWindow result_;
  CWindow run_box_;
  CWindow run_list_;
  CWindow open_box_;
  CWindow open_list_;
  CMyHyperLink links_[3];
  std::string runText_;
  std::string openText_;
  int listsTop_ = 0;  // where the run box starts in the template, in pixels
  int hasRunList = 0;
  int hasOpenList = 0;
};
