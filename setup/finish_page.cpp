#include "setup/finish_page.h"

#include <vector>

#include "resources/resource_ids.h"
#include "setup/information_page.h"
#include "setup/text_box_fit.h"

namespace {
const char kSucceededText[] = "   Thank you!\n\n\n   Setup has finished installing the software on your computer.";
const char kRestartText[] =
    "   Thank you!\n\n   Setup has installed the software on your computer.\n"
    "   The installation completes at the next restart of Windows.";
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

// Spacing of the page's column of controls, in dialog units.
constexpr int kBoxToList = 2;
constexpr int kListToNext = 4;
constexpr int kListsToLinks = 3;
constexpr int kLinkStep = 12;

int DialogUnitsDown(HWND page, int units) {
  RECT rect{0, 0, 0, units};
  ::MapDialogRect(page, &rect);
  return rect.bottom;
}

void MoveTo(CWindow control, int top, int height = -1) {
  const RECT rect = control.GetRectInParent();
  const int cy = height < 0 ? rect.bottom - rect.top : height;
  control.SetWindowPos(nullptr, rect.left, top, rect.right - rect.left, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Visible(CWindow control) { return (control.GetStyle() & WS_VISIBLE) != 0; }

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
  listsTop_ = run_box_.GetRectInParent().top;
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

void CDialogPage6::SetRunList(const std::string& list) {
  hasRunList = ShowListOrHide(run_box_, run_list_, list);
  runText_ = list;
  LayOutColumn();
}

void CDialogPage6::SetOpenList(const std::string& list) {
  hasOpenList = ShowListOrHide(open_box_, open_list_, list);
  openText_ = list;
  LayOutColumn();
}

// Stacks the shown check boxes, their lists and the links from the top of the run box
// down: each list as tall as its lines, as far as the page has room, and nothing hidden
// leaves a gap.
void CDialogPage6::LayOutColumn() {
  struct Section {
    CWindow box, list;
    const std::string* text;
  };
  std::vector<Section> sections;
  if (hasRunList) sections.push_back({run_box_, run_list_, &runText_});
  if (hasOpenList) sections.push_back({open_box_, open_list_, &openText_});
  int shownLinks = 0;
  for (CMyHyperLink& link : links_) shownLinks += Visible(link) ? 1 : 0;

  const int top = listsTop_;
  const int pageBottom = GetClientRect().bottom;
  const int boxToList = DialogUnitsDown(m_hWnd, kBoxToList);
  const int listToNext = DialogUnitsDown(m_hWnd, kListToNext);
  const int linkStep = DialogUnitsDown(m_hWnd, kLinkStep);
  const int linksHeight = shownLinks * linkStep + (shownLinks ? DialogUnitsDown(m_hWnd, kListsToLinks) : 0);

  int fixed = 0;
  for (const Section& section : sections) {
    const RECT box = section.box.GetRectInParent();
    fixed += (box.bottom - box.top) + boxToList + listToNext;
  }
  const int roomPerList =
      sections.empty() ? 0 : (pageBottom - top - fixed - linksHeight) / static_cast<int>(sections.size());

  int y = top;
  for (const Section& section : sections) {
    MoveTo(section.box, y);
    const RECT box = section.box.GetRectInParent();
    y += (box.bottom - box.top) + boxToList;
    const TextBlockSize size = MeasureTextBlock(section.list, *section.text);
    const RECT list = section.list.GetRectInParent();
    const bool wide = size.widestLine > (list.right - list.left) - ::GetSystemMetrics(SM_CXVSCROLL);
    int lines = size.lineCount;
    while (lines > 1 && BoxHeightForLines(section.list, lines, size.lineHeight, wide) > roomPerList) --lines;
    const int height = BoxHeightForLines(section.list, lines, size.lineHeight, wide);
    MoveTo(section.list, y, height);
    ShowScrollBarsAsNeeded(section.list, *section.text);
    y += height + listToNext;
  }
  if (!sections.empty()) y += DialogUnitsDown(m_hWnd, kListsToLinks) - listToNext;
  for (CMyHyperLink& link : links_) {
    if (!Visible(link)) continue;
    MoveTo(link, y);
    y += linkStep;
  }
}

void CDialogPage6::ShowResult(bool succeeded, bool restartNeeded) {
  if (succeeded && !restartNeeded) {
    result_.SetWindowText(kSucceededText);
  } else if (succeeded) {
    // Until the restart the programs would run with the files they are to replace.
    HideRunAndOpenLists();
    result_.SetWindowText(kRestartText);
  } else {
    for (CMyHyperLink& link : links_) link.ShowWindow(SW_HIDE);
    // Nothing may be started or opened after an abort, whatever the boxes held.
    HideRunAndOpenLists();
    result_.SetWindowText(kAbortedText);
  }
  FocusFrame();
}

void CDialogPage6::HideRunAndOpenLists() {
  for (CWindow control : {run_box_, open_box_, run_list_, open_list_}) control.ShowWindow(SW_HIDE);
  hasRunList = 0;
  hasOpenList = 0;
  run_box_.SetCheck(BST_UNCHECKED);
  open_box_.SetCheck(BST_UNCHECKED);
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
