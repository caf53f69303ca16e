#include "engine/install_engine.h"

#include <objbase.h>

#include <cstdio>

#include "common/message_box.h"

namespace {

std::string SystemFolderText(UINT (WINAPI* query)(LPSTR, UINT)) {
  char buffer[MAX_PATH] = {};
  UINT length = query(buffer, MAX_PATH);
  return (length == 0 || length >= MAX_PATH) ? std::string() : std::string(buffer, length);
}

}  // namespace

InstallEngine::InstallEngine(InstallHost* host) : host_(host) {
  windowsFolder_ = SystemFolderText(GetWindowsDirectoryA);
  systemFolder_ = SystemFolderText(GetSystemDirectoryA);
}

void InstallEngine::SetSetupInfo(const std::string& productName, uint32_t clrOut, uint32_t clrIn,
                                 uint32_t totalSizeHigh, uint32_t totalSizeLow, bool externalData,
                                 const std::string& basePath) {
  productName_ = productName;
  clrOut_ = clrOut;
  clrIn_ = clrIn;
  totalSizeHigh_ = totalSizeHigh;
  totalSizeLow_ = totalSizeLow;
  externalData_ = externalData;
  basePath_ = basePath;
  SetStatus("Initializing...");
  host_->SetProgressPosition(0);
}

void InstallEngine::SetLogColors(uint32_t clrOut, uint32_t clrIn) {
  clrOut_ = clrOut;
  clrIn_ = clrIn;
}

void InstallEngine::SetDestination(const std::string& folder) { destination_ = folder; }

void InstallEngine::SetChecksums(uint32_t dataFileCrc, uint32_t setupDataCrc) {
  expectedDataFileCrc_ = dataFileCrc;
  expectedSetupDataCrc_ = setupDataCrc;
}

void InstallEngine::SetAllUsers(bool allUsers) { allUsers_ = allUsers; }

void InstallEngine::SetShortcutOptions(bool startMenu, bool desktop) {
  startMenuOption_ = startMenu;
  desktopOption_ = desktop;
}

bool InstallEngine::Install() {
  abort_ = 0;
  lastParentFolder_.clear();
  if (!CreateUninstallLog()) {
    abort_ = 1;
    return false;
  }
  // The shell link objects of the shortcuts need COM on this thread.
  HRESULT com = CoInitialize(nullptr);
  ExtractPayload();
  if (!abort_) {
    DeployUninstaller();
    // The uninstaller's link may have replaced one of the same name; with the installation
    // complete, nothing will be rolled back any more.
    backups_.DiscardAll();
  } else {
    RemoveLeftoverTemporaryFiles();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  contentBuffer_.reset();
  return !abort_;
}

void InstallEngine::RemoveLeftoverTemporaryFiles() {
  // A cancel after the registry phase keeps the installed files; what was kept only to
  // undo them has no use any more.
  backups_.DiscardAll();
  RemoveUninstallLog();
}

void InstallEngine::GetLists(std::string* runList, std::string* openList) const {
  *runList = runList_;
  *openList = openList_;
}

int InstallEngine::ShowMessage(const std::string& text, const std::string& caption, unsigned flags) {
  return ShowMessageBox(host_->OwnerWindow(), text, caption, flags);
}

void InstallEngine::ShowError(const std::string& text) { ShowMessage(text, "Error", MB_ICONERROR); }

void InstallEngine::ShowWarning(const std::string& text) { ShowMessage(text, "Warning", MB_ICONEXCLAMATION); }

void InstallEngine::SetStatus(const std::string& text) { host_->SetStatusText(text); }

std::string InstallEngine::TempFolder() {
  char buffer[MAX_PATH] = {};
  DWORD length = GetTempPathA(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(buffer, length);
}
