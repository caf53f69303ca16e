#pragma once
// The uninstaller's window: the product's caption band, a status line and a progress bar.
// Once shown it asks for confirmation, removes the product and tells what stayed.

#include <string>

#include "controls/colored_static.h"
#include "formats/uninstall_log.h"
#include "uninstaller/uninstaller.h"
#include "window/dialog.h"

class CUninstallDlg : public CDialog, private RemovalProgress {
 public:
  // `log` must outlive the dialog.
  CUninstallDlg(const UninstallLog& log, std::string folder, std::string uninstallerPath);

  // One of UninstallExitCode, valid after DoModal.
  int ExitCode() const { return exitCode_; }

  BEGIN_MSG_MAP(CUninstallDlg)
    MESSAGE_HANDLER(kStartMessage, OnStart)
    CHAIN_MSG_MAP(CDialog)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  // Nothing may interrupt a removal half done.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  static constexpr UINT kStartMessage = WM_APP + 100;

  LRESULT OnStart(WPARAM wParam, LPARAM lParam);
  std::string ProductName() const;
  std::string Title() const;
  Leftovers RemoveProduct();

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
};
