#pragma once
// The application object of Uninstall.exe: finds the installation folder and its log,
// runs the uninstaller's window, and ends with one of UninstallExitCode. Started as the
// temporary copy that removes the uninstaller, it does only that.

#include "window/app.h"

class CUninstallApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
