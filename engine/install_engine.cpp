#include "engine/install_engine.h"

#include <objbase.h>

#include <cstdio>


namespace {

std::string SystemFolderText(UINT (WINAPI* query)(LPSTR, UINT)) {
  char buffer[MAX_PATH] = {};
  UINT length = query(buffer, MAX_PATH);
  return (length == 0 || length >= MAX_PATH) ? std::string() : std::string(buffer, length);
}

}  // namespace

InstallEngine::InstallEngine(InstallHost* host, const InstallPlan& plan)
    : host_(host),
      resourceModule_(plan.resourceModule),
      productName_(plan.productName),
      product_(plan.product),
      externalData_(plan.externalData),
      basePath_(plan.basePath),
      totalSizeHigh_(plan.totalSizeHigh),
      totalSizeLow_(plan.totalSizeLow),
      destination_(plan.destination),
      startMenuOption_(plan.startMenuShortcuts),
      desktopOption_(plan.desktopShortcuts),
      allUsers_(plan.allUsers),
      clrIn_(plan.clrIn),
      clrOut_(plan.clrOut),
      expectedDataFileCrc_(plan.dataFileCrc),
      expectedSetupDataCrc_(plan.setupDataCrc) {
  windowsFolder_ = SystemFolderText(GetWindowsDirectoryA);
  systemFolder_ = SystemFolderText(GetSystemDirectoryA);
}

bool InstallEngine::Install() {
  abort_ = 0;
  outcome_ = InstallOutcome::kInstalled;
  lastParentFolder_.clear();
  SetStatus("Initializing...");
  host_->SetProgressPosition(0);
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
  // Refined by the run itself where it knows better (a cancel, a damaged payload).
  if (abort_) outcome_ = InstallOutcome::kFailedAndUndone;
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

void InstallEngine::ReportError(const std::string& text, const std::string& caption) {
  host_->ReportError(text, caption);
}

void InstallEngine::Warn(const std::string& text) { host_->Warn(text); }

void InstallEngine::SetStatus(const std::string& text) { host_->SetStatusText(text); }

std::string InstallEngine::TempFolder() {
  char buffer[MAX_PATH] = {};
  DWORD length = GetTempPathA(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(buffer, length);
}
