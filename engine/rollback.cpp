// Undoes an installation whose file phase was cancelled or failed, from the uninstall log
// written so far: files deleted (or given their old content back), shortcuts removed,
// folders this run created removed when empty, the log deleted.

#include <algorithm>
#include <cstdio>

#include "engine/install_engine.h"
#include "formats/uninstall_log.h"
#include "shell/paths.h"
#include "shell/regsvr32.h"

void InstallEngine::Rollback() {
  host_->EnableCancelButton(false);
  UninstallFiles();
  UndoSharedFileCounts();
  RemoveFolders();
  RemoveUninstallLog();
  RemoveCreatedFolders();
  backups_.DiscardAll();
  host_->EnableCancelButton(true);
}

template <typename Handle>
bool InstallEngine::ForEachLoggedFile(Handle handle) {
  CloseUninstallLog();
  FILE* log = std::fopen(logPath_.c_str(), "rb");
  if (log == nullptr) return false;
  UninstallLogHeader header;
  if (ReadUninstallLogHeader(&header, log)) {
    // The shortcut folders are the ones the installation used.
    allUsers_ = header.bAllUsers != 0;
    FileEntry record;
    while (ReadFileEntry(&record, log)) handle(record);
  }
  std::fclose(log);
  return true;
}

void InstallEngine::UninstallFiles() {
  bool read = ForEachLoggedFile([this](const FileEntry& record) {
    if (IsFolderEntry(record.Extension)) return;
    const std::string target = BufferText(record.TargetPath);
    bool remove = true;
    // Waited for, so that the server is no longer loaded when its file goes.
    if (record.RegisterServer != 0) {
      if (RunRegsvr32(systemFolder_, target, ServerRegistration::kUnregister) == Regsvr32Outcome::kNotStarted) {
        Warn("Couldn't unregister file: " + BufferText(record.Name) + "." + BufferText(record.Extension));
        remove = false;
      }
    }
    if (remove && !backups_.Restore(target)) std::remove(target.c_str());
    RemoveShortcut(ShortcutNameOf(record), record.StartMenuShortcut != 0 && startMenuOption_,
                   record.DesktopShortcut != 0 && desktopOption_, record.StartupShortcut != 0);
  });
  if (!read) ReportError("Couldn't read uninstall log file!\nUninstalling files.");
}

void InstallEngine::UndoSharedFileCounts() {
  // Latest first, so that a file counted twice ends with its first "before".
  for (auto change = sharedCountChanges_.rbegin(); change != sharedCountChanges_.rend(); ++change) {
    UndoSharedFileCountChange(*change);
  }
  sharedCountChanges_.clear();
}

void InstallEngine::RemoveFolders() {
  bool read = ForEachLoggedFile([this](const FileEntry& record) {
    if (!IsFolderEntry(record.Extension)) return;
    // The folder itself goes with the other folders this run created, deepest first; a
    // folder that was there before stays.
    RemoveShortcut(ShortcutNameOf(record), record.StartMenuShortcut != 0 && startMenuOption_,
                   record.DesktopShortcut != 0 && desktopOption_, record.StartupShortcut != 0);
  });
  if (!read) ReportError("Couldn't read uninstall log file!\nRemoving folders.");
}

void InstallEngine::RemoveCreatedFolders() {
  // Deepest first, so a chain of folders made on the way goes as a whole once emptied.
  std::stable_sort(createdFolders_.begin(), createdFolders_.end(),
                   [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  for (const std::string& folder : createdFolders_) RemoveDirectoryA(folder.c_str());
  createdFolders_.clear();
  lastParentFolder_.clear();
}
