#pragma once
// Everything the wizard decides before an installation starts: what the engine is told
// once, when it is made, and never again.

#include <windows.h>

#include <cstdint>
#include <string>

#include "formats/product_facts.h"

struct InstallPlan {
  std::string productName;
  // Version, publisher and addresses for the Add/Remove Programs entry; empty when the
  // setup carries none.
  ProductFacts product;
  // Caption colours, kept in the uninstall log for the uninstaller's window.
  uint32_t clrOut = 0;
  uint32_t clrIn = 0;
  // The bytes the payload's files hold, for the progress bar.
  uint32_t totalSizeHigh = 0;
  uint32_t totalSizeLow = 0;
  // The payload sits beside the program as basePath + ".exe.archive.bin" rather than in it.
  bool externalData = false;
  std::string basePath;
  std::string destination;
  // What the builder computed; the extracted payload must match both.
  uint32_t dataFileCrc = 0;
  uint32_t setupDataCrc = 0;
  bool allUsers = false;
  bool startMenuShortcuts = false;
  bool desktopShortcuts = false;
  // A running program of the product is closed after a warning, or, when a deployment
  // tool asked for it (/CLOSEAPPLICATIONS), without one.
  bool warnBeforeClosingPrograms = true;
  // The installation dialog's Cancel, close box and Escape; a deployment tool that must
  // not see its run cancelled takes them away (/NOCANCEL).
  bool userMayCancel = true;
  // The module whose "Setup" resources hold the payload and the uninstaller; null is the
  // program itself.
  HMODULE resourceModule = nullptr;
};
