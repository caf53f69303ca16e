#pragma once
// The application object of Uninstall.exe: finds the installation folder and its log,
// runs the uninstaller's window (or, with /S, removes without one), and ends with one of
// UninstallExitCode. Started as the
// temporary copy that removes the uninstaller, it does only that.

#include "window/app.h"

class RunLog;
struct UninstallSwitches;

class CUninstallApp : public CWinApp {
 public:
  BOOL InitInstance() override;

 private:
  // The removal as the switches ask for it; returns one of UninstallExitCode.
  int Uninstall(const UninstallSwitches& switches, RunLog* runLog);
};
