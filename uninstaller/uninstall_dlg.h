#pragma once
// The uninstaller's window: the product's caption band, a status line and a progress bar.
// Once shown it asks for confirmation, removes the product and tells what stayed.
//
// The removal runs on a worker thread, so the window keeps answering while a file or a
// server takes its time. Closing the window then stops the removal after the item in hand.

#include <memory>
#include <string>
#include <thread>

#include "common/run_log.h"
#include "controls/colored_static.h"
#include "formats/uninstall_log.h"
#include "uninstaller/uninstaller.h"
#include "window/dialog.h"

class CUninstallDlg : public CDialog, private RemovalProgress {
 public:
  // `log` must outlive the dialog.
  CUninstallDlg(const UninstallLog& log, std::string folder, std::string uninstallerPath);
  ~CUninstallDlg() override;

  // /SILENT: the removal starts without the question, and its closing summary goes to
  // `runLog` instead of a message box. Set before DoModal.
  void ReportToLogOnly(RunLog* runLog) { summaryLog_ = runLog; }

  // One of UninstallExitCode, valid after DoModal.
  int ExitCode() const { return exitCode_; }

  BEGIN_MSG_MAP(CUninstallDlg)
    HANDLE_MESSAGE(kStartMessage, OnStart)
    HANDLE_MESSAGE(kRemovalEndedMessage, OnRemovalEnded)
    CHAIN_MSG_MAP(CDialog)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  // Enter does nothing; Esc and the close box ask a running removal to stop.
  void OnOK() override {}
  void OnCancel() override;

 private:
  static constexpr UINT kStartMessage = WM_APP + 100;
  // Posted by the worker as its last act.
  static constexpr UINT kRemovalEndedMessage = WM_APP + 101;

  LRESULT OnStart(WPARAM wParam, LPARAM lParam);
  LRESULT OnRemovalEnded(WPARAM wParam, LPARAM lParam);
  std::string ProductName() const;
  std::string Title() const;
  // On the worker thread.
  void RemoveProduct();

  // RemovalProgress: called on the worker thread, reaching the controls by messages.
  void SetStatus(const std::string& text) override;
  void SetRange(int steps) override;
  void Step() override;

  const UninstallLog& log_;
  std::string folder_;
  std::string uninstallerPath_;
  int exitCode_;
  CColoredStatic captionBand_;
  CWindow status_;
  CWindow progress_;
  std::unique_ptr<Uninstaller> uninstaller_;
  Leftovers leftovers_;
  RunLog* summaryLog_ = nullptr;
  std::thread worker_;
};
