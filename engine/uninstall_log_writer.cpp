// The installation's side of "Uninstall.log": created empty in the temporary folder, then
// one append per record. Every append opens and closes the file, so the log on disk is
// whole up to its last record whenever the installation stops.

#include <cstdio>
#include <cstring>

#include "engine/install_engine.h"
#include "formats/uninstall_log.h"

namespace {

struct LogFile {
  explicit LogFile(const std::string& path, const char* mode) : file(std::fopen(path.c_str(), mode)) {}
  ~LogFile() {
    if (file != nullptr) std::fclose(file);
  }
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  // Pushes buffered bytes out, so a full disk shows as a failed record.
  bool Close() {
    bool ok = std::fclose(file) == 0;
    file = nullptr;
    return ok;
  }
  FILE* file;
};

}  // namespace

bool InstallEngine::CreateUninstallLog() {
  std::string temp = TempFolder();
  if (temp.empty()) {
    ShowMessage("Couldn't create uninstall log file!", "Error", MB_ICONERROR);
    return false;
  }
  logPath_ = temp + "Uninstall.log";
  loggedFiles_ = 0;
  loggedRegistryValues_ = 0;
  LogFile log(logPath_, "wb");
  if (log.file == nullptr || !log.Close()) {
    ShowMessage("Couldn't create uninstall log file!", "Error", MB_ICONERROR);
    return false;
  }
  return true;
}

template <typename Write>
bool InstallEngine::AppendToLog(const char* failureMessage, Write write) {
  LogFile log(logPath_, "a+b");
  if (log.file == nullptr) {
    ShowMessage(failureMessage, "Unhandled Exception Error", MB_ICONERROR);
    return false;
  }
  bool written = write(log.file);
  return log.Close() && written;
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
  LogFile log(logPath_, "r+b");
  if (log.file == nullptr) return;
  RewriteUninstallLogCounts(loggedFiles_, loggedRegistryValues_, log.file);
}
