// An upgrade: the product is installed and this run goes into its folder. Once the new
// version's files and values are in place, what only the earlier version had goes, by the
// uninstaller's rule: a file the user changed since stays, and is listed. Each removal is
// a step of the run, so a failed upgrade leaves the earlier version exactly as it was.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "engine/install_engine.h"
#include "engine/stale_entries.h"
#include "engine/uninstall_log_merge.h"
#include "engine/steps/remove_file_step.h"
#include "engine/steps/remove_folder_step.h"
#include "engine/steps/remove_registry_value_step.h"
#include "shell/installed_file.h"
#include "shell/installed_product.h"
#include "shell/paths.h"
#include "shell/shared_files.h"
#include "shell/shell_links.h"

namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

HKEY RootKeyNamed(const std::string& name) {
  if (name == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (name == "HKEY_CURRENT_CONFIG") return HKEY_CURRENT_CONFIG;
  if (name == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (name == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (name == "HKEY_USERS") return HKEY_USERS;
  return nullptr;
}

}  // namespace

void InstallEngine::FindEarlierVersion() {
  earlier_.reset();
  const std::optional<InstalledProduct> installed = FindInstalledProduct(plan_.productName);
  if (!installed || !installed->IsInstalled() || !SamePath(installed->folder, plan_.destination)) return;
  UninstallLog log;
  UninstallLogHeader ours{};
  SetBufferText(ours.cName, plan_.productName);
  // A damaged log, or another product's, tells nothing to remove; the run installs over it.
  if (!ReadUninstallLogFile(JoinPath(plan_.destination, "Uninstall.log"), &log) || !IsSameProduct(log.Header, ours)) return;
  earlier_ = std::move(log);
}

bool InstallEngine::RemoveEarlierVersionLeftovers() {
  if (!earlier_) return true;
  UninstallLog current;
  if (!ReadUninstallLogFile(log_.Path(), &current)) {
    ReportLogFailure("Error in reading it back.");
    return false;
  }
  host_->Note("Upgrading the installed version in " + plan_.destination);
  host_->SetStatusText("Removing what the earlier version alone installed...");
  const StaleEntries stale = FindStaleEntries(*earlier_, current);
  for (const FileEntry& record : earlier_->Files) {
    if (!RemoveStaleShortcuts(record)) return false;
  }
  std::vector<std::string> folders;
  for (const FileEntry& record : stale.files) {
    if (!RemoveStaleFile(record)) return false;
    folders.push_back(ParentFolder(BufferText(record.TargetPath)));
  }
  for (const FileEntry& record : stale.folders) folders.push_back(BufferText(record.TargetPath));
  const std::string programFolder = BufferText(earlier_->Header.cName);
  if (IsPlainName(programFolder)) {
    const std::string startMenu = ShortcutFolder(ShortcutKind::kStartMenu, earlier_->Header.bAllUsers != 0);
    if (!startMenu.empty()) folders.push_back(JoinPath(startMenu, programFolder));
  }
  if (!RemoveStaleFolders(folders)) return false;
  for (const RegistryEntry& record : stale.registry) {
    if (!RemoveStaleValue(record)) return false;
  }
  return true;
}

bool InstallEngine::RemoveStaleFile(const FileEntry& record) {
  const std::string target = BufferText(record.TargetPath);
  // The uninstaller and its log are replaced by this run, never removed.
  if (SamePath(target, JoinPath(plan_.destination, "Uninstall.exe")) ||
      SamePath(target, JoinPath(plan_.destination, "Uninstall.log"))) {
    return true;
  }
  // Other products may count on a shared file, and a server's registration would outlive
  // its file: both are the uninstaller's to take away, with its count and regsvr32.
  if (IsInSharedFolder(target, windowsFolder_, systemFolder_)) {
    KeepEarlierFile(target, "shared with other programs");
    return true;
  }
  if (record.RegisterServer != 0) {
    KeepEarlierFile(target, "registered as a server");
    return true;
  }
  switch (InspectInstalledFile(record)) {
    case InstalledFileState::kMissing:
      return true;
    case InstalledFileState::kChanged:
      KeepEarlierFile(target, "changed since installation");
      return true;
    case InstalledFileState::kUnreadable:
      KeepEarlierFile(target, "couldn't be examined");
      return true;
    case InstalledFileState::kUnchanged:
      break;
  }
  return Perform(std::make_unique<RemoveFileStep>(target, "file", &backups_));
}

bool InstallEngine::RemoveStaleShortcuts(const FileEntry& record) {
  const std::string name = ShortcutNameOf(record);
  const std::string target = BufferText(record.TargetPath);
  if (!IsPlainName(name) || target.empty()) return true;
  const bool allUsers = earlier_->Header.bAllUsers != 0;
  const std::string programFolder = BufferText(earlier_->Header.cName);
  const struct {
    bool flagged;
    ShortcutKind kind;
  } links[] = {{record.StartMenuShortcut != 0 && IsPlainName(programFolder), ShortcutKind::kStartMenu},
               {record.DesktopShortcut != 0, ShortcutKind::kDesktop},
               {record.StartupShortcut != 0, ShortcutKind::kStartup}};
  for (const auto& link : links) {
    if (!link.flagged) continue;
    std::string folder = ShortcutFolder(link.kind, allUsers);
    if (folder.empty()) continue;
    if (link.kind == ShortcutKind::kStartMenu) folder = JoinPath(folder, programFolder);
    const std::string path = JoinPath(folder, name + ".lnk");
    if (createdLinks_.count(Lowered(path)) != 0 || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      continue;
    }
    // A link the user pointed elsewhere is the user's now.
    const std::string pointsTo = LinkTarget(path);
    if (!pointsTo.empty() && !SamePath(pointsTo, target)) continue;
    if (!Perform(std::make_unique<RemoveFileStep>(path, "shortcut", &backups_))) return false;
  }
  return true;
}

bool InstallEngine::RemoveStaleFolders(const std::vector<std::string>& candidates) {
  std::vector<std::string> folders;
  std::set<std::string> seen;
  auto add = [&](const std::string& folder) {
    if (!folder.empty() && !SamePath(folder, plan_.destination) &&
        seen.insert(Lowered(WithoutTrailingBackslash(folder))).second) {
      folders.push_back(WithoutTrailingBackslash(folder));
    }
  };
  for (const std::string& candidate : candidates) {
    add(candidate);
    // Folders made on the way to a stale file inside the installation folder have no record.
    for (std::string parent = ParentFolder(candidate); IsInside(parent, plan_.destination);
         parent = ParentFolder(parent)) {
      add(parent);
    }
  }
  std::stable_sort(folders.begin(), folders.end(),
                   [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  for (const std::string& folder : folders) {
    if (!Perform(std::make_unique<RemoveFolderStep>(folder))) return false;
  }
  return true;
}

bool InstallEngine::RemoveStaleValue(const RegistryEntry& record) {
  const HKEY root = RootKeyNamed(BufferText(record.RootKey));
  const std::string subKey = BufferText(record.SubKey);
  if (root == nullptr || subKey.empty()) return true;
  return Perform(std::make_unique<RemoveRegistryValueStep>(root, subKey, BufferText(record.ValueName)));
}

bool InstallEngine::CarryEarlierFilesForTheUninstaller() {
  if (!earlier_) return true;
  for (const FileEntry& record : earlier_->Files) {
    const std::string key = LoggedPathKey(record.TargetPath);
    if (IsFolderEntry(record.Extension) || key.empty() || loggedPaths_.count(key) != 0) continue;
    const std::string target = BufferText(record.TargetPath);
    if (!IsInSharedFolder(target, windowsFolder_, systemFolder_) && record.RegisterServer == 0) continue;
    if (!log_.AppendFile(record)) {
      ReportLogFailure("Error in writing file info.");
      return false;
    }
    loggedPaths_.insert(key);
    host_->Note("Kept the earlier version's " + target + " for the uninstaller, which removes it with the product");
  }
  return true;
}

void InstallEngine::KeepEarlierFile(const std::string& path, const std::string& reason) {
  host_->Note("Kept the earlier version's " + path + " (" + reason + ")");
  keptEarlierFiles_.push_back(path + " (" + reason + ")");
}

void InstallEngine::WarnAboutKeptEarlierFiles() {
  if (keptEarlierFiles_.empty()) return;
  std::string text = "These files of the earlier version are not part of this one, but were kept:\n";
  for (const std::string& file : keptEarlierFiles_) text += "\n" + file;
  host_->Warn(text);
}
