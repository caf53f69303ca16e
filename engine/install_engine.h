#pragma once
// The installation itself: a run of steps, each one change to the machine that can take
// itself back (engine/steps/), from the first folder to the Add/Remove Programs entry. A
// run that fails, or that the user cancels before its point of no return, undoes every
// step it did, in reverse. The installation dialog owns one engine, runs Install() on its
// worker thread and forwards the user's confirmed cancel to RequestAbort(); the engine
// reaches back to the dialog only through InstallHost.
//
// What the run reads (the data file's entries, the registry entries) and what it builds
// from them lives in one file per part: data_file_walk.cpp, file_installation.cpp,
// shortcuts.cpp, registry_entry.cpp, path_macros.cpp, uninstaller_deployment.cpp.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "engine/install_host.h"
#include "engine/install_outcome.h"
#include "engine/install_plan.h"
#include "compress/inflating_reader.h"
#include "engine/install_progress.h"
#include "engine/shortcut_folders.h"
#include "engine/steps/backup_folder.h"
#include "engine/steps/step_list.h"
#include "engine/steps/written_paths.h"
#include "engine/uninstall_log_writer.h"
#include "formats/data_file.h"
#include "formats/uninstall_log.h"
#include "shell/private_folder.h"

class InstallEngine {
 public:
  InstallEngine(InstallHost* host, const InstallPlan& plan);
  InstallEngine(const InstallEngine&) = delete;
  InstallEngine& operator=(const InstallEngine&) = delete;

  // ---- The run ----
  // The whole installation on the calling thread. True when it is complete.
  bool Install();
  // How the last Install() ended.
  InstallOutcome Outcome() const { return outcome_; }
  // Any thread: the user's confirmed cancel, honoured at the next step boundary. False,
  // and without effect, once the run is past its point of no return.
  bool RequestAbort();
  bool IsAborted() const { return state_ == kCancelRequested; }
  // Every change is done: the run completes whatever the user asks now.
  bool PastPointOfNoReturn() const { return state_ == kPastNoReturn; }
  // The finish page's lists: one "name.ext - path\r\n" line per entry.
  void GetLists(std::string* runList, std::string* openList) const;

  // ---- Parts a test may drive one at a time ----
  bool CreateUninstallLog();
  const std::string& UninstallLogPath() const { return log_.Path(); }
  // The log's records so far, on disk for a test to read.
  bool PushUninstallLog() { return log_.Push(); }
  // Logs and sets one registry value; false when the run must stop.
  bool ApplyRegistryEntry(RegistryEntry entry);
  // False, with the path unchanged, when the expanded path would not fit `capacity`
  // bytes with its terminator.
  bool ExpandPathMacros(char* path, std::size_t capacity) const;
  void CloseRunningProgram(const std::string& name);

  // Whether the run upgrades (or repairs) an installed version of the product in its folder.
  bool Upgrades() const { return earlier_.has_value(); }
  // Where an existing library's replacement waits while the user is asked about it.
  const std::string& LibraryScratchPath() const { return libraryScratchPath_; }
  int ProgressRange() const { return progress_.Range(); }
  bool StartMenuFolderUsed() const { return startMenuFolderUsed_; }
  const std::string& WindowsFolder() const { return windowsFolder_; }
  const std::string& SystemFolder() const { return systemFolder_; }

 private:
  // Where the run keeps what it writes before it is installed: the uninstall log until the
  // end, a library's replacement while the user is asked. Removed with its contents at the
  // end of the run.
  bool MakeScratchFolder();
  enum RunState { kRunning, kCancelRequested, kPastNoReturn };

  // The run up to its point of no return; false when it must be undone.
  bool Run();
  void UndoEverything();
  bool PassPointOfNoReturn();
  // Runs one step; false when the run must stop (it failed, or a cancel came).
  bool Perform(std::unique_ptr<Step> step);
  // The run cannot go on; what is done is undone.
  bool Failed();
  bool Stopping() const { return failed_ || state_ == kCancelRequested; }
  void ReportError(const std::string& text, const std::string& caption = "Error");
  void ReportLogFailure(const char* what);

  // data_file_walk.cpp
  bool WalkDataFile();
  // The payload could not be read on: says why (its damage, or a record that ends early).
  bool PayloadReadFailed();
  std::string PayloadFailureText() const;
  bool PayloadProvenWhole();
  // file_installation.cpp
  bool InstallEntry();
  // `contentFile`: where the content was set aside, or empty to take it from the payload.
  bool InstallFile(const FileEntry& entry, const std::string& target, const std::string& contentFile);
  bool ReplaceLibrary(const std::string& target, const std::string& payloadCopy);
  bool SetContentAside(uint32_t length, const std::string& path);
  // The content of the entry being installed, piece by piece, from the payload or from
  // where it was set aside.
  std::function<bool(uint32_t, const char**, std::size_t*)> ContentFromPayload();
  std::function<bool(uint32_t, const char**, std::size_t*)> ContentFromFile(FILE* file);
  bool CountSharedFileUser(const std::string& target, bool existedBefore);
  bool EarlierInstallationLogged(const std::string& target);
  char* ContentBuffer();
  // path_macros.cpp
  bool CreateFolders(const std::string& folder);
  bool CreateParentFolders(const std::string& target);
  // shortcuts.cpp
  bool MakeShortcuts(const FileEntry& entry, const std::string& name, const std::string& target);
  bool CreateShortcut(ShortcutKind kind, const std::string& name, const std::string& target,
                      const std::string& description);
  // uninstaller_deployment.cpp
  bool DeployUninstaller();
  // earlier_version.cpp
  void FindEarlierVersion();
  bool RemoveEarlierVersionLeftovers();
  bool RemoveStaleFile(const FileEntry& record);
  bool RemoveStaleShortcuts(const FileEntry& record);
  bool RemoveStaleFolders(const std::vector<std::string>& candidates);
  bool RemoveStaleValue(const RegistryEntry& record);
  // The earlier version's shared files (with their counts) and registered servers that
  // this version does not install stay for the uninstaller to take away: their records join
  // this run's log.
  bool CarryEarlierFilesForTheUninstaller();
  void KeepEarlierFile(const std::string& path, const std::string& reason);
  void WarnAboutKeptEarlierFiles();

  InstallHost* host_;
  const InstallPlan plan_;
  std::string windowsFolder_;
  std::string systemFolder_;
  std::atomic<int> state_{kRunning};
  bool failed_ = false;
  bool damagedPayload_ = false;
  InstallOutcome outcome_ = InstallOutcome::kInstalled;

  InstallProgress progress_;
  UninstallLogWriter log_;
  ShortcutFolders shortcutFolders_;
  BackupFolder backups_;
  WrittenPaths written_;
  StepList steps_;

  // The payload, inflated while the files are written; set while the run reads it.
  InflatingReader* payload_ = nullptr;
  PrivateFolder scratch_;
  std::string libraryScratchPath_;
  std::string runList_;
  std::string openList_;
  bool startMenuFolderUsed_ = false;
  // The parent folder of the last file written, known to exist.
  std::string lastParentFolder_;
  // Lower-case targets of an earlier log of this product in the destination, read on
  // first need.
  std::optional<std::set<std::string>> earlierTargets_;
  // The log of the installed version this run upgrades: its Add/Remove Programs entry
  // names the destination, and the log there is of this product. None for a fresh run.
  std::optional<UninstallLog> earlier_;
  // Keys (as the log merge compares paths) of this run's file records, kept for upgrades.
  std::set<std::string> loggedPaths_;
  // Lower-case paths of the links this run made, which an earlier version's must not undo.
  std::set<std::string> createdLinks_;
  // Files of the earlier version that stay, each with why.
  std::vector<std::string> keptEarlierFiles_;
  // The block buffer of the file contents, made on first use and kept for the run.
  std::unique_ptr<char[]> contentBuffer_;
};
