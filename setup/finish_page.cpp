#include "setup/finish_page.h"

#include "resources/resource_ids.h"
#include "setup/information_page.h"

namespace {
const char kSucceededText[] = "   Thank you!\n\n\n   Setup has finished installing the software on your computer.";
const char kAbortedText[] =
    "   Setup aborted!\n\n\n   Unfortunately, the installation has been aborted. You can try installing later...";

// Fills a list and checks its box, or hides both when the list is empty; returns 1 when
// the list is in use.
int ShowListOrHide(CWindow box, CWindow list, const std::string& text) {
  if (text.empty()) {
    box.ShowWindow(SW_HIDE);
    list.ShowWindow(SW_HIDE);
    return 0;
  }
  box.SetCheck(BST_CHECKED);
  list.SetWindowText(text);
  return 1;
}

void Toggle(CWindow box) { box.SetCheck(box.GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); }
}  // namespace

CDialogPage6::CDialogPage6(HWND frame) : CWizardPage(IDD_PAGE_FINISH, frame) {}

void CDialogPage6::DoDataExchange() {
  BindControl(result_, IDC_RESULT_TEXT);
  BindControl(run_box_, IDC_RUN_BOX);
  BindControl(run_list_, IDC_RUN_LIST);
  BindControl(open_box_, IDC_OPEN_BOX);
  BindControl(open_list_, IDC_OPEN_LIST);
  SubclassControl(links_[0], IDC_FINISH_LINK1);
  SubclassControl(links_[1], IDC_FINISH_LINK2);
  SubclassControl(links_[2], IDC_FINISH_LINK3);
}

BOOL CDialogPage6::OnInitDialog() {
  for (CMyHyperLink& link : links_) {
    link.SetFitToText(1);
    link.SetCursorResource(IDC_LINK_HAND);
  }
  return TRUE;
}

void CDialogPage6::SetLink1(const std::string& caption, const std::string& target) {
  ShowLinkOrHide(links_[0], caption, target);
}

void CDialogPage6::SetLink2(const std::string& caption, const std::string& target) {
  ShowLinkOrHide(links_[1], caption, target);
}

void CDialogPage6::SetLink3(const std::string& caption, const std::string& target) {
  ShowLinkOrHide(links_[2], caption, target);
}

void CDialogPage6::SetRunList(const std::string& list) { hasRunList = ShowListOrHide(run_box_, run_list_, list); }

void CDialogPage6::SetOpenList(const std::string& list) {
  hasOpenList = ShowListOrHide(open_box_, open_list_, list);
}

void CDialogPage6::ShowResult(bool succeeded) {
  if (succeeded) {
    result_.SetWindowText(kSucceededText);
  } else {
    for (CMyHyperLink& link : links_) link.ShowWindow(SW_HIDE);
    for (CWindow control : {run_box_, open_box_, run_list_, open_list_}) control.ShowWindow(SW_HIDE);
    // Nothing may be started or opened after an abort, whatever the boxes held.
    hasRunList = 0;
    hasOpenList = 0;
    run_box_.SetCheck(BST_UNCHECKED);
    open_box_.SetCheck(BST_UNCHECKED);
    result_.SetWindowText(kAbortedText);
  }
  FocusFrame();
}

std::pair<bool, bool> CDialogPage6::GetChoices() const {
  return {run_box_.GetCheck() == BST_CHECKED, open_box_.GetCheck() == BST_CHECKED};
}

void CDialogPage6::ToggleRun() {
  if (hasRunList) Toggle(run_box_);
}

void CDialogPage6::ToggleOpen() {
  if (hasOpenList) Toggle(open_box_);
}
