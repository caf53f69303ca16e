#include "setup/about_dlg.h"

#include "resources/resource_ids.h"
#include "window/app.h"
#include "window/placement.h"

namespace {
const char kContactTarget[] = "mailto:brisklay@example.org";
const char kLibraryTarget[] = "http://www.zlib.net/";
}  // namespace

std::string VersionHistoryText() { return LoadStringText(IDS_HISTORY_RECENT) + LoadStringText(IDS_HISTORY_EARLY); }

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}

void CAboutDlg::DoDataExchange() {
  SubclassControl(history_, IDC_HISTORY);
  SubclassControl(contact_link_, IDC_CONTACT_LINK);
  SubclassControl(library_link_, IDC_LIBRARY_LINK);
}

BOOL CAboutDlg::OnInitDialog() {
  contact_link_.SetTarget(kContactTarget);
  contact_link_.SetCursorResource(IDC_LINK_HAND);
  library_link_.SetTarget(kLibraryTarget);
  library_link_.SetCursorResource(IDC_LINK_HAND);
  history_.SetText(VersionHistoryText());
  CentreOnWorkArea(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
  // OK, not the history: a first focus in a text box would select it all.
  GotoDlgCtrl(GetDlgItem(IDOK));
  return FALSE;
}
