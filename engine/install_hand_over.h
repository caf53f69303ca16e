#pragma once
// What the wizard hands to the installation dialog when the user confirms Finish, and the
// one call that creates the dialog, hands it over in the dialog's order and starts it.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/dialog_install.h"

struct InstallHandOver {
  std::string productName;
  COLORREF clrOut = 0;
  COLORREF clrIn = 0;
  uint32_t totalSizeHigh = 0;
  uint32_t totalSizeLow = 0;
  bool externalData = false;
  std::string basePath;
  std::string destination;
  uint32_t dataFileCrc = 0;
  uint32_t setupDataCrc = 0;
  bool allUsers = false;
  bool startMenuShortcuts = false;
  bool desktopShortcuts = false;
};

// The running installation dialog owned by `owner`, or null when its window could not be
// made. `resourceModule` carries the "Setup" resources; null is the program itself.
std::unique_ptr<CDialogInstall> OpenInstallDialog(HWND owner, const InstallHandOver& handOver,
                                                  HMODULE resourceModule = nullptr);
