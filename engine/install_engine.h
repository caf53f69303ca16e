#pragma once
// The installation itself: everything that changes the machine, from the uninstall log to
// the uninstaller's Add/Remove Programs entry. The installation dialog owns one engine,
// runs Install() on its worker thread and forwards the user's confirmed cancel to
// RequestAbort(); the engine reaches back to the dialog only through InstallHost.
//
// The operations share the state below; each group of them lives in its own file.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/backup_store.h"
#include "engine/install_host.h"
#include "engine/install_outcome.h"
#include "engine/install_plan.h"
#include "engine/uninstall_log_file.h"
#include "formats/data_file.h"
#include "shell/shared_files.h"
#include "shell/shell_links.h"

class InstallEngine {
 public:
  InstallEngine(InstallHost* host, const InstallPlan& plan);
  InstallEngine(const InstallEngine&) = delete;
  InstallEngine& operator=(const InstallEngine&) = delete;

  // ---- The run ----
  // The whole installation on the calling thread. True when it ended without abort.
  bool Install();
  // How the last Install() ended.
  InstallOutcome Outcome() const { return outcome_; }
  // Any thread: the user's confirmed cancel. Honoured at the next check point.
  void RequestAbort() { abort_ = 1; }
  bool IsAborted() const { return abort_ != 0; }
  // The finish page's lists: one "name.ext - path\r\n" line per entry.
  void GetLists(std::string* runList, std::string* openList) const;

  // ---- Uninstall log (uninstall_log_writer.cpp) ----
  bool CreateUninstallLog();
  void AppendPostInitInfo(uint32_t fileCount, uint32_t registryCount);
  void AppendFileInfo(FileEntry entry);
  void AppendRegistryInfo(RegistryEntry entry);
  // Makes the header's counts those of the records actually written.
  void RewriteLogCounts();
  // Lets go of the log, which stays whole on disk, before others read or move it.
  void CloseUninstallLog();
  const std::string& UninstallLogPath() const { return logPath_; }

  // ---- Payload (payload_extraction.cpp) ----
  void ExtractPayload();
  void ExtractSetupData(const std::string& destination);
  static bool QueryFileSize(const std::string& path, uint32_t* high, uint32_t* low);
  void AdvanceProgress(uint32_t bytes);

  // ---- Data file walk (data_file_walk.cpp) ----
  void WalkDataFile(const std::string& dataFilePath);
  void ReadRegistryEntries(FILE* dataFile);

  // ---- File installation (file_installation.cpp) ----
  bool InstallEntry(FILE* dataFile);
  // The entry's content (SizeLow bytes from the data file) into `target`, which then gets
  // the entry's time stamps.
  bool WriteContent(const std::string& target, FILE* dataFile, const FileEntry& entry);
  bool SkipContent(FILE* dataFile, uint32_t length);
  void CloseRunningProgram(const std::string& name);
  static bool FileExists(const std::string& path);
  static bool GetLibraryVersion(const std::string& path, DWORD* major, DWORD* minor, DWORD* build);

  // ---- Path macros and folders (path_macros.cpp) ----
  // False, with the path unchanged, when the expanded path would not fit `capacity`
  // bytes with its terminator.
  bool ExpandPathMacros(char* path, std::size_t capacity) const;
  bool CreateFolders(const std::string& path, bool isFile);

  // ---- Shortcuts (shortcuts.cpp) ----
  // An empty shortcutName or description is filled with name, as the caller's record.
  bool CreateShortcut(const std::string& name, const std::string& target, std::string* shortcutName,
                      std::string* description, bool startMenu, bool desktop, bool startup);
  bool RemoveShortcut(const std::string& shortcutName, bool startMenu, bool desktop, bool startup);

  // ---- Registry (registry_entry.cpp) ----
  void ApplyRegistryEntry(RegistryEntry entry);

  // ---- Rollback (rollback.cpp) ----
  void Rollback();
  void UninstallFiles();
  void UndoSharedFileCounts();
  void RemoveFolders();

  // ---- Uninstaller (uninstaller_deployment.cpp) ----
  void DeployUninstaller();
  bool ExtractUninstaller(const std::string& destination);
  void RegisterUninstaller(const std::string& uninstallerPath);

  // State the dialog and the tests look at.
  const std::string& DataFilePath() const { return dataFilePath_; }
  int ProgressRange() const { return progressRange_; }
  bool StartMenuFolderUsed() const { return bStartMenuFolder_; }
  const std::string& WindowsFolder() const { return windowsFolder_; }
  const std::string& SystemFolder() const { return systemFolder_; }

 private:
  class InflateProgress;
  void ReportError(const std::string& text, const std::string& caption = "Error");
  void Warn(const std::string& text);
  void SetStatus(const std::string& text);
  void PrepareProgress(double megabytes);
  static std::string TempFolder();
  // Appends one record through `write`; false (record lost) when the log cannot be opened
  // or the record not written whole.
  template <typename Write>
  bool AppendToLog(const char* failureMessage, Write write);
  // Calls `handle` for every file record of the log, after taking the header's all-users
  // flag; false when the log cannot be opened.
  template <typename Handle>
  bool ForEachLoggedFile(Handle handle);
  // The folder for links of `kind`; empty, after telling why, when the shell cannot name it.
  std::string ShortcutFolderOf(ShortcutKind kind);
  bool KeepBackupOfExistingFile(const std::string& target);
  static bool SetTimeStamps(FILE* file, const FileEntry& entry);
  void CreateParentFolders(const std::string& target);
  // Adds this product as a user of a file in the system or Windows folder.
  void CountSharedFileUser(const std::string& target, bool existedBefore);
  // Whether the log of an earlier installation of this product in the destination names
  // `target`.
  bool EarlierInstallationLogged(const std::string& target);
  // The block buffer of WriteContent and SkipContent, made on first use and kept for the
  // run; null when it cannot be allocated.
  char* ContentBuffer();
  void RemoveCreatedFolders();
  void RemoveUninstallLog();
  void RemoveLeftoverTemporaryFiles();

  InstallHost* host_;
  HMODULE resourceModule_;
  std::atomic<int> abort_{0};
  InstallOutcome outcome_ = InstallOutcome::kInstalled;

  std::string productName_;
  ProductFacts product_;
  bool externalData_ = false;
  std::string basePath_;
  std::string dataFilePath_;
  int progressRange_ = 0;
  double progress_ = 0.0;
  uint32_t totalSizeHigh_ = 0;
  uint32_t totalSizeLow_ = 0;
  std::string windowsFolder_;
  std::string systemFolder_;
  std::string destination_;
  std::string runList_;
  std::string openList_;
  bool startMenuOption_ = false;
  bool desktopOption_ = false;
  bool allUsers_ = false;
  uint32_t registryCount_ = 0;
  std::string logPath_;
  UninstallLogFile log_;
  bool bStartMenuFolder_ = false;
  uint32_t clrIn_ = 0;
  uint32_t clrOut_ = 0;
  uint32_t computedDataFileCrc_ = 0;
  uint32_t computedSetupDataCrc_ = 0;
  uint32_t expectedDataFileCrc_ = 0;
  uint32_t expectedSetupDataCrc_ = 0;

  // Records that reached the log whole, for the header's counts.
  uint32_t loggedFiles_ = 0;
  uint32_t loggedRegistryValues_ = 0;
  // Folders this run created, in creation order, so a rollback can take them away again.
  std::vector<std::string> createdFolders_;
  // The parent folder of the last file written, known to exist.
  std::string lastParentFolder_;
  // Users this run added to files in the shared folders, so a rollback can take them away.
  std::vector<SharedFileCountChange> sharedCountChanges_;
  // Lower-case targets of that earlier log, read on first need.
  std::optional<std::set<std::string>> earlierTargets_;
  // Copies of the files this run overwrites, so a rollback can bring them back.
  BackupStore backups_;
  std::unique_ptr<char[]> contentBuffer_;
};
