// The installation's side of "Uninstall.log": created empty in the temporary folder, then
// one append per record. Each record is pushed to the disk before the next step, so the
// log on disk is whole up to its last record whenever the installation stops.

#include <cstdio>

#include "engine/install_engine.h"
#include "formats/uninstall_log.h"

bool InstallEngine::CreateUninstallLog() {
  std::string temp = TempFolder();
  if (temp.empty()) {
    ReportError("Couldn't create uninstall log file!");
    return false;
  }
  logPath_ = temp + "Uninstall.log";
  loggedFiles_ = 0;
  loggedRegistryValues_ = 0;
  if (!log_.Create(logPath_)) {
    ReportError("Couldn't create uninstall log file!");
    return false;
  }
  return true;
}

template <typename Write>
bool InstallEngine::AppendToLog(const char* failureMessage, Write write) {
  FILE* log = log_.ForAppend();
  if (log == nullptr) {
    ReportError(failureMessage, "Unhandled Exception Error");
    return false;
  }
  const bool written = write(log);
  return log_.Flush() && written;
}

void InstallEngine::AppendPostInitInfo(uint32_t fileCount, uint32_t registryCount) {
  UninstallLogHeader header{};
  SetBufferText(header.cName, productName_);
  header.clrOut = clrOut_;
  header.clrIn = clrIn_;
  header.dwFiles = fileCount;
  header.dwReg = registryCount;
  header.bAllUsers = allUsers_ ? 1 : 0;
  AppendToLog("Couldn't append to uninstall log file!\nError in post initializing.",
              [&](FILE* log) { return WriteUninstallLogHeader(header, log); });
}

void InstallEngine::AppendFileInfo(FileEntry entry) {
  entry.StartMenuShortcut = (entry.StartMenuShortcut != 0 && startMenuOption_) ? 1 : 0;
  entry.DesktopShortcut = (entry.DesktopShortcut != 0 && desktopOption_) ? 1 : 0;
  if (AppendToLog("Couldn't append to uninstall log file!\nError in writing file info.",
                  [&](FILE* log) { return WriteFileEntry(entry, log); })) {
    ++loggedFiles_;
  }
}

void InstallEngine::AppendRegistryInfo(RegistryEntry entry) {
  if (AppendToLog("Couldn't append to uninstall log file!\nError in writing registry info.",
                  [&](FILE* log) { return WriteRegistryEntry(entry, log); })) {
    ++loggedRegistryValues_;
  }
}

void InstallEngine::RewriteLogCounts() {
  // Entries skipped at the replace question or lost to a failed append leave the data
  // file's counts too high; the uninstaller reads exactly as many records as they say.
  // The header is rewritten through a handle of its own; later records reopen the log.
  log_.Close();
  FILE* log = std::fopen(logPath_.c_str(), "r+b");
  if (log == nullptr) return;
  RewriteUninstallLogCounts(loggedFiles_, loggedRegistryValues_, log);
  std::fclose(log);
}

void InstallEngine::CloseUninstallLog() { log_.Close(); }

void InstallEngine::RemoveUninstallLog() {
  log_.Close();
  if (!logPath_.empty()) std::remove(logPath_.c_str());
}
