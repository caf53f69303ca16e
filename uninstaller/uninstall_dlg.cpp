#include "uninstaller/uninstall_dlg.h"

#include <commctrl.h>

#include <utility>

#include "common/message_box.h"
#include "uninstaller/exit_codes.h"
#include "uninstaller/paths.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/uninstaller_ids.h"
#include "window/placement.h"

CUninstallDlg::CUninstallDlg(const UninstallLog& log, std::string folder, std::string uninstallerPath)
    : CDialog(IDD_UNINSTALL),
      log_(log),
      folder_(std::move(folder)),
      uninstallerPath_(std::move(uninstallerPath)),
      exitCode_(kExitDeclined) {}

std::string CUninstallDlg::ProductName() const { return BufferText(log_.Header.cName); }

std::string CUninstallDlg::Title() const { return "Uninstall " + ProductName(); }

void CUninstallDlg::DoDataExchange() {
  SubclassControl(captionBand_, IDC_UNINSTALL_CAPTION);
  BindControl(status_, IDC_UNINSTALL_STATUS);
  BindControl(progress_, IDC_UNINSTALL_PROGRESS);
}

BOOL CUninstallDlg::OnInitDialog() {
  SetWindowText(Title());
  captionBand_.SetCaptionFont(30, 12, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
  captionBand_.SetWindowText(ProductName());
  captionBand_.SetGradientColors(log_.Header.clrIn, log_.Header.clrOut);
  captionBand_.SetGradient(1);
  status_.SetWindowText("Waiting for your confirmation...");
  CentreOnWorkArea(m_hWnd);
  // The question comes once the window is on the screen.
  PostMessageA(m_hWnd, kStartMessage, 0, 0);
  return TRUE;
}

LRESULT CUninstallDlg::OnStart(WPARAM, LPARAM) {
  const int answer = ShowMessageBox(m_hWnd,
                                    "Do you really want to remove \"" + ProductName() +
                                        "\" and all of its components from your computer?",
                                    Title(), MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) {
    exitCode_ = kExitDeclined;
    EndDialog(IDCANCEL);
    return 0;
  }
  const Leftovers leftovers = RemoveProduct();
  status_.SetWindowText("Finished.");
  ShowMessageBox(m_hWnd, SummaryText(ProductName(), leftovers), Title(),
                 leftovers.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
  exitCode_ = leftovers.empty() ? kExitRemoved : kExitIncomplete;
  EndDialog(IDOK);
  return 0;
}

Leftovers CUninstallDlg::RemoveProduct() {
  Uninstaller uninstaller(log_, folder_, uninstallerPath_, this);
  uninstaller.Run();
  Leftovers leftovers = uninstaller.leftovers();
  // An uninstaller started from anywhere else leaves its own file alone.
  if (!SamePath(uninstallerPath_, JoinPath(folder_, "Uninstall.exe"))) return leftovers;
  switch (ArrangeSelfRemoval(uninstallerPath_, folder_)) {
    case SelfRemoval::kStarted:
      break;
    case SelfRemoval::kAtRestart:
      leftovers.Add(uninstallerPath_, "removed at the next restart");
      break;
    case SelfRemoval::kImpossible:
      leftovers.Add(uninstallerPath_, "couldn't be deleted");
      break;
  }
  return leftovers;
}

void CUninstallDlg::SetStatus(const std::string& text) {
  status_.SetWindowText(text);
  status_.UpdateWindow();
}

void CUninstallDlg::SetRange(int steps) {
  progress_.SendMessage(PBM_SETRANGE32, 0, steps);
  progress_.SendMessage(PBM_SETPOS, 0);
}

void CUninstallDlg::Step() {
  progress_.SendMessage(PBM_DELTAPOS, 1);
  progress_.UpdateWindow();
}
