#include "setup/summary_page.h"

#include "resources/resource_ids.h"
#include "setup/text_box_fit.h"

CDialogPage5::CDialogPage5(HWND frame) : CWizardPage(IDD_PAGE_SUMMARY, frame) {}

void CDialogPage5::DoDataExchange() { SubclassControl(text_, IDC_PAGE_TEXT); }

BOOL CDialogPage5::OnInitDialog() {
  AskFrame(WM_APP_GET_FILE_LIST);
  char directory[MAX_PATH] = "";
  ::GetWindowsDirectoryA(directory, MAX_PATH);
  inputs_.WindowsDirectory = directory;
  directory[0] = '\0';
  ::GetSystemDirectoryA(directory, MAX_PATH);
  inputs_.SystemDirectory = directory;
  return TRUE;
}

LRESULT CDialogPage5::OnFileList(WPARAM wParam, LPARAM) {
  inputs_.FileList = TextParam(wParam);
  return 0;
}

LRESULT CDialogPage5::OnShortcutLists(WPARAM wParam, LPARAM lParam) {
  inputs_.StartMenuList = TextParam(wParam);
  inputs_.DesktopList = TextParam(lParam);
  return 0;
}

LRESULT CDialogPage5::OnDestination(WPARAM wParam, LPARAM) {
  inputs_.Destination = TextParam(wParam);
  return 0;
}

void CDialogPage5::Activate() {
  SendToFrame(WM_APP_DISABLE_NEXT);
  SetCloseButton("&Finish", true);
  AskFrame(WM_APP_GET_SHORTCUT_LISTS);
  AskFrame(WM_APP_GET_DESTINATION);
  BuildSummary();
  FocusFrame();
}

void CDialogPage5::BuildSummary() {
  const std::string summary = BuildSummaryText(inputs_);
  text_.SetText(summary);
  ShowScrollBarsAsNeeded(text_, summary);
}
