#pragma once
// Removes an installed product as its uninstall log describes it: COM servers are
// unregistered, files and their shortcuts deleted, folders removed deepest first when
// empty, registry values deleted with the keys they leave empty, then the Add/Remove
// Programs entry, "Uninstall.lnk", the Start Menu program folder and the log. A file that
// has changed since the installation stays, like anything that cannot be removed; all of
// it is collected for the closing message.
//
// The uninstaller's own file and the installation folder can only go once this process
// has ended (self_removal.h).
//
// Run() may go on another thread than the one that asks it to stop: the removal then ends
// after the item in hand, lists what is left, and keeps a log of just that, with the
// uninstaller and its Add/Remove Programs entry, so that another run can finish the work.

#include <atomic>
#include <string>
#include <vector>

#include "formats/uninstall_log.h"
#include "uninstaller/leftovers.h"
#include "shell/shell_links.h"

class RemovalProgress {
 public:
  virtual ~RemovalProgress() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetRange(int steps) = 0;
  virtual void Step() = 0;
};

class Uninstaller {
 public:
  // `folder` holds the log and the uninstaller at `uninstallerPath`; `progress` may be null.
  Uninstaller(const UninstallLog& log, std::string folder, std::string uninstallerPath, RemovalProgress* progress);

  void Run();
  // Any thread.
  void RequestStop() { stopRequested_ = true; }
  // The removal ended early at a stop request.
  bool Stopped() const { return stopped_; }
  const Leftovers& leftovers() const { return leftovers_; }
  // Files another program held open are deleted when Windows restarts.
  bool RestartNeeded() const { return !waitingForRestart_.empty(); }
  // Where those files wait until then.
  const std::vector<std::string>& WaitingForRestart() const { return waitingForRestart_; }

 private:
  // file_removal.cpp
  void RemoveFiles();
  void RemoveFile(const FileEntry& record);
  bool UnregisterServer(const std::string& path);
  // Takes this product away from the users of a file in a shared folder; true when the
  // file is to be removed.
  bool ReleaseSharedFileOrLeave(const std::string& path);
  void RemoveShortcuts(const FileEntry& record);
  void RemoveShortcut(ShortcutKind kind, const std::string& linkName, const std::string& target);
  void RemoveFolders();
  std::vector<std::string> FolderCandidates() const;
  bool IsUninstallerFile(const std::string& path) const;
  // Deletes a file in use at the next restart; false when even that cannot be arranged.
  bool DeleteAtRestart(const std::string& path);
  // Whether `path` is a file waiting for the restart, or a folder that holds one.
  bool WaitsForRestart(const std::string& path) const;

  // uninstaller.cpp
  // True, once the removal has stopped, when a stop was requested.
  bool StopsHere();
  void KeepWhatIsLeft(std::size_t firstFile, std::size_t firstValue);
  void RemoveRegistryValues();
  void RemoveUninstallerTraces();
  void NoteWhatKeepsTheFolder();
  std::string ProgramFolder() const;
  void SetStatus(const std::string& text);
  void Step();

  const UninstallLog& log_;
  std::string productName_;
  bool allUsers_;
  std::string folder_;
  std::string uninstallerPath_;
  std::string logPath_;
  std::string systemFolder_;
  std::string windowsFolder_;
  RemovalProgress* progress_;
  Leftovers leftovers_;
  // Where the files to be deleted at the next restart are until then.
  std::vector<std::string> waitingForRestart_;
  std::atomic<bool> stopRequested_{false};
  bool stopped_ = false;
};
