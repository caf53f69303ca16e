#include "setup/information_page.h"

#include "resources/resource_ids.h"

void ShowLinkOrHide(CMyHyperLink& control, const std::string& caption, const std::string& target) {
  if (caption.empty()) {
    control.ShowWindow(SW_HIDE);
    return;
  }
  control.SetWindowText(caption);
  control.SetTarget(target);
}

CDialogPage2::CDialogPage2(HWND frame) : CWizardPage(IDD_PAGE_INFORMATION, frame) {}

void CDialogPage2::DoDataExchange() {
  SubclassControl(text_, IDC_PAGE_TEXT);
  SubclassControl(link_controls_[0], IDC_INFO_LINK1);
  SubclassControl(link_controls_[1], IDC_INFO_LINK2);
  SubclassControl(link_controls_[2], IDC_INFO_LINK3);
}

BOOL CDialogPage2::OnInitDialog() {
  for (CMyHyperLink& link : link_controls_) {
    link.SetFitToText(1);
    link.SetCursorResource(IDC_LINK_HAND);
  }
  AskFrame(WM_APP_GET_INFORMATION);
  AskFrame(WM_APP_GET_LINK1);
  AskFrame(WM_APP_GET_LINK2);
  AskFrame(WM_APP_GET_LINK3);
  for (int i = 0; i < 3; ++i) ShowLinkOrHide(link_controls_[i], links_[i].caption, links_[i].target);
  return TRUE;
}

LRESULT CDialogPage2::OnInformation(WPARAM wParam, LPARAM) {
  text_.SetText(TextParam(wParam));
  return 0;
}

LRESULT CDialogPage2::OnLink1(WPARAM wParam, LPARAM lParam) {
  links_[0] = {TextParam(wParam), TextParam(lParam)};
  return 0;
}

LRESULT CDialogPage2::OnLink2(WPARAM wParam, LPARAM lParam) {
  links_[1] = {TextParam(wParam), TextParam(lParam)};
  return 0;
}

LRESULT CDialogPage2::OnLink3(WPARAM wParam, LPARAM lParam) {
  links_[2] = {TextParam(wParam), TextParam(lParam)};
  return 0;
}

void CDialogPage2::Activate() {
  SendToFrame(WM_APP_ENABLE_BACK);
  SendToFrame(WM_APP_ENABLE_NEXT);
  SetCloseButton("&Cancel", false);
  FocusFrame();
}
