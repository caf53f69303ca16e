#include "uninstaller/uninstall_dlg.h"

#include <commctrl.h>
#include <objbase.h>

#include <utility>

#include "common/message_box.h"
#include "shell/paths.h"
#include "uninstaller/exit_codes.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/uninstaller_ids.h"
#include "window/placement.h"

CUninstallDlg::CUninstallDlg(const UninstallLog& log, std::string folder, std::string uninstallerPath)
    : CDialog(IDD_UNINSTALL),
      log_(log),
      folder_(std::move(folder)),
      uninstallerPath_(std::move(uninstallerPath)),
      exitCode_(kExitDeclined) {}

CUninstallDlg::~CUninstallDlg() {
  if (!worker_.joinable()) return;
  // Only a window torn down early gets here with the worker going; it must not outlive
  // the members it reports to.
  if (uninstaller_) uninstaller_->RequestStop();
  worker_.join();
}

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
  // A deployment tool that asked for /SILENT has answered the question already.
  const int answer = summaryLog_ ? IDYES
                                 : ShowMessageBox(m_hWnd,
                                                  "Do you really want to remove \"" + ProductName() +
                                                      "\" and all of its components from your computer?",
                                                  Title(), MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) {
    exitCode_ = kExitDeclined;
    EndDialog(IDCANCEL);
    return 0;
  }
  RemovalProgress* progress = this;  // a private base: convertible only in here
  uninstaller_ = std::make_unique<Uninstaller>(log_, folder_, uninstallerPath_, progress);
  worker_ = std::thread([this] { RemoveProduct(); });
  return 0;
}

void CUninstallDlg::OnCancel() {
  if (!uninstaller_ || !worker_.joinable()) return;
  uninstaller_->RequestStop();
  status_.SetWindowText("Stopping...");
}

LRESULT CUninstallDlg::OnRemovalEnded(WPARAM, LPARAM) {
  worker_.join();
  const bool stopped = uninstaller_->Stopped();
  status_.SetWindowText(stopped ? "Stopped." : "Finished.");
  const bool restart = uninstaller_->RestartNeeded();
  std::string summary = stopped ? StoppedSummaryText(ProductName(), leftovers_) : SummaryText(ProductName(), leftovers_);
  if (restart) summary += kRestartNote;
  if (summaryLog_) {
    summaryLog_->Write(summary);
  } else {
    ShowMessageBox(m_hWnd, summary, Title(), leftovers_.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
  }
  exitCode_ = stopped ? kExitIncomplete : RemovalExitCode(!leftovers_.empty(), restart);
  EndDialog(IDOK);
  return 0;
}

void CUninstallDlg::RemoveProduct() {
  // The shell's links are read and its folders found through COM, on this thread too.
  const HRESULT com = CoInitialize(nullptr);
  uninstaller_->Run();
  leftovers_ = uninstaller_->leftovers();
  // A stopped removal keeps the uninstaller for the next run.
  if (!uninstaller_->Stopped()) RemoveUninstallerAfterwards(uninstallerPath_, folder_, &leftovers_);
  if (SUCCEEDED(com)) CoUninitialize();
  ::PostMessageA(m_hWnd, kRemovalEndedMessage, 0, 0);
}

void CUninstallDlg::SetStatus(const std::string& text) { status_.SetWindowText(text); }

void CUninstallDlg::SetRange(int steps) {
  progress_.SendMessage(PBM_SETRANGE32, 0, steps);
  progress_.SendMessage(PBM_SETPOS, 0);
}

void CUninstallDlg::Step() { progress_.SendMessage(PBM_DELTAPOS, 1); }
