// The file side of the removal: COM servers, files, their shortcuts and the folders.

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "shell/installed_file.h"
#include "shell/paths.h"
#include "shell/regsvr32.h"
#include "shell/restart_operations.h"
#include "shell/shared_files.h"
#include "uninstaller/uninstaller.h"

namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

bool Uninstaller::IsUninstallerFile(const std::string& path) const {
  return SamePath(path, uninstallerPath_) || SamePath(path, JoinPath(folder_, "Uninstall.exe")) ||
         SamePath(path, logPath_);
}

void Uninstaller::RemoveFiles() {
  for (std::size_t i = 0; i < log_.Files.size(); ++i) {
    if (StopsHere()) return KeepWhatIsLeft(i, 0);
    const FileEntry& record = log_.Files[i];
    Step();
    RemoveShortcuts(record);
    if (!IsFolderEntry(record.Extension)) RemoveFile(record);
  }
}

void Uninstaller::RemoveFile(const FileEntry& record) {
  const std::string target = BufferText(record.TargetPath);
  // The log and the uninstaller go last, on their own way.
  if (target.empty() || IsUninstallerFile(target)) return;
  // A file other products use stays, with one user fewer, whatever became of it; it stays
  // registered for them.
  if (IsInSharedFolder(target, windowsFolder_, systemFolder_) && !ReleaseSharedFileOrLeave(target)) return;
  switch (InspectInstalledFile(record)) {
    case InstalledFileState::kMissing:
      return;
    case InstalledFileState::kChanged:
      leftovers_.Add(target, "changed since installation");
      return;
    case InstalledFileState::kUnreadable:
      leftovers_.Add(target, "couldn't be examined");
      return;
    case InstalledFileState::kUnchanged:
      break;
  }
  SetStatus("Removing " + target);
  if (record.RegisterServer != 0 && !UnregisterServer(target)) {
    leftovers_.Add(target, "couldn't be unregistered");
    return;
  }
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileA(target.c_str())) return;
  if (!IsFileInUseError(GetLastError()) || !DeleteAtRestart(target)) leftovers_.Add(target, "couldn't be deleted");
}

bool Uninstaller::DeleteAtRestart(const std::string& path) {
  std::string waitingAt;
  const bool scheduled = ScheduleDeletionAtRestart(path, RestartTag(productName_), &waitingAt);
  if (scheduled) waitingForRestart_.push_back(waitingAt);
  return scheduled;
}

bool Uninstaller::WaitsForRestart(const std::string& path) const {
  for (const std::string& waiting : waitingForRestart_)
    if (SamePath(waiting, path) || IsInside(waiting, path)) return true;
  return false;
}

bool Uninstaller::UnregisterServer(const std::string& path) {
  // A server that does not answer in time is given up on; its file still goes.
  return RunRegsvr32(systemFolder_, path, ServerRegistration::kUnregister) != Regsvr32Outcome::kNotStarted;
}

bool Uninstaller::ReleaseSharedFileOrLeave(const std::string& path) {
  switch (ReleaseSharedFile(path)) {
    case SharedFileRelease::kStillUsed:
      return false;
    case SharedFileRelease::kNotWritten:
      leftovers_.Add(path, "shared count couldn't be changed");
      return false;
    default:
      // Without a count nothing tells of other users: the file is this product's alone.
      return true;
  }
}

void Uninstaller::RemoveShortcuts(const FileEntry& record) {
  const std::string name = ShortcutNameOf(record);
  const std::string target = BufferText(record.TargetPath);
  if (!IsPlainName(name) || target.empty()) return;
  if (record.StartMenuShortcut != 0 && IsPlainName(productName_)) {
    RemoveShortcut(ShortcutKind::kStartMenu, name, target);
  }
  if (record.DesktopShortcut != 0) RemoveShortcut(ShortcutKind::kDesktop, name, target);
  if (record.StartupShortcut != 0) RemoveShortcut(ShortcutKind::kStartup, name, target);
}

void Uninstaller::RemoveShortcut(ShortcutKind kind, const std::string& linkName, const std::string& target) {
  std::string folder = ShortcutFolder(kind, allUsers_);
  if (folder.empty()) return;
  if (kind == ShortcutKind::kStartMenu) folder = JoinPath(folder, productName_);
  const std::string link = JoinPath(folder, linkName + ".lnk");
  switch (RemoveLinkTo(link, target)) {
    case LinkRemoval::kPointsElsewhere:
      leftovers_.Add(link, "points elsewhere");
      break;
    case LinkRemoval::kNotDeleted:
      leftovers_.Add(link, "couldn't be deleted");
      break;
    default:
      break;
  }
}

std::vector<std::string> Uninstaller::FolderCandidates() const {
  std::vector<std::string> folders;
  std::set<std::string> seen;
  auto add = [&](const std::string& folder) {
    if (folder.empty() || SamePath(folder, folder_)) return;
    if (seen.insert(Lowered(WithoutTrailingBackslash(folder))).second) folders.push_back(folder);
  };
  for (const FileEntry& record : log_.Files) {
    const std::string target = BufferText(record.TargetPath);
    if (IsFolderEntry(record.Extension)) add(WithoutTrailingBackslash(target));
    // Folders made on the way to an entry inside the installation folder have no record
    // of their own.
    for (std::string parent = ParentFolder(target); IsInside(parent, folder_); parent = ParentFolder(parent)) {
      add(parent);
    }
  }
  std::stable_sort(folders.begin(), folders.end(),
                   [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  return folders;
}

void Uninstaller::RemoveFolders() {
  for (const std::string& folder : FolderCandidates()) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    // A folder outside the installation folder that stays full may well be shared; it is
    // no business of the user's to empty it.
    if (RemoveDirectoryA(folder.c_str())) continue;
    // Scheduled after the files in it, it goes with them.
    if (WaitsForRestart(folder) && ScheduleFolderDeletionAtRestart(folder)) continue;
    if (IsInside(folder, folder_) && !leftovers_.HasItemInside(folder)) leftovers_.Add(folder, "folder not empty");
  }
}
