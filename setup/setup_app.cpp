#include "setup/setup_app.h"

#include "setup/setupdlg.h"

BOOL CSetupApp::InitInstance() {
  CSetupDlg dialog(nullptr);
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
