#include "uninstaller/uninstaller.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "shell/paths.h"
#include "shell/restart_operations.h"
#include "shell/installed_file.h"
#include "uninstaller/registry_cleanup.h"

namespace {

std::string RegistryItemName(const RegistryEntry& record) {
  const std::string valueName = BufferText(record.ValueName);
  return BufferText(record.RootKey) + "\\" + BufferText(record.SubKey) + "\\" +
         (valueName.empty() ? "(Default)" : valueName);
}

std::string SystemFolderText(UINT(WINAPI* query)(LPSTR, UINT)) {
  char path[MAX_PATH] = {};
  const UINT length = query(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

}  // namespace

Uninstaller::Uninstaller(const UninstallLog& log, std::string folder, std::string uninstallerPath,
                         RemovalProgress* progress)
    : log_(log),
      productName_(BufferText(log.Header.cName)),
      allUsers_(log.Header.bAllUsers != 0),
      folder_(WithoutTrailingBackslash(folder)),
      uninstallerPath_(std::move(uninstallerPath)),
      logPath_(JoinPath(folder_, "Uninstall.log")),
      systemFolder_(SystemFolderText(GetSystemDirectoryA)),
      windowsFolder_(SystemFolderText(GetWindowsDirectoryA)),
      progress_(progress) {}

void Uninstaller::Run() {
  if (progress_ != nullptr) {
    progress_->SetRange(static_cast<int>(log_.Files.size() + log_.Registry.size() + 1));
  }
  SetStatus("Removing files...");
  RemoveFiles();
  if (stopped_) return;
  SetStatus("Removing folders...");
  RemoveFolders();
  SetStatus("Removing registry values...");
  RemoveRegistryValues();
  if (stopped_) return;
  SetStatus("Removing the uninstaller...");
  RemoveUninstallerTraces();
  NoteWhatKeepsTheFolder();
  Step();
}

void Uninstaller::RemoveRegistryValues() {
  std::vector<std::pair<HKEY, std::string>> keys;
  for (std::size_t i = 0; i < log_.Registry.size(); ++i) {
    if (StopsHere()) {
      KeepWhatIsLeft(log_.Files.size(), i);
      break;
    }
    const RegistryEntry& record = log_.Registry[i];
    Step();
    HKEY root = RootKeyFromName(BufferText(record.RootKey));
    if (root == nullptr) {
      leftovers_.Add(RegistryItemName(record), "unknown root key");
      continue;
    }
    const std::string subKey = BufferText(record.SubKey);
    if (!DeleteRegistryValue(root, subKey, BufferText(record.ValueName))) {
      leftovers_.Add(RegistryItemName(record), "couldn't be deleted");
    }
    keys.emplace_back(root, subKey);
  }
  // Deepest first, so that a key emptied by its subkey's removal is seen empty.
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto& a, const auto& b) { return Depth(a.second) > Depth(b.second); });
  for (const auto& key : keys) RemoveEmptyKeys(key.first, key.second);
}

bool Uninstaller::StopsHere() {
  if (stopRequested_) stopped_ = true;
  return stopped_;
}

void Uninstaller::KeepWhatIsLeft(std::size_t firstFile, std::size_t firstValue) {
  UninstallLog rest;
  rest.Header = log_.Header;
  rest.Files.assign(log_.Files.begin() + firstFile, log_.Files.end());
  rest.Registry.assign(log_.Registry.begin() + firstValue, log_.Registry.end());
  rest.Header.dwFiles = static_cast<uint32_t>(rest.Files.size());
  rest.Header.dwReg = static_cast<uint32_t>(rest.Registry.size());
  for (const FileEntry& record : rest.Files) {
    const std::string target = BufferText(record.TargetPath);
    if (!IsFolderEntry(record.Extension) && !IsUninstallerFile(target) &&
        InspectInstalledFile(record) != InstalledFileState::kMissing) {
      leftovers_.Add(target, "left when the removal was stopped");
    }
  }
  for (const RegistryEntry& record : rest.Registry) {
    leftovers_.Add(RegistryItemName(record), "left when the removal was stopped");
  }
  // What was removed leaves the log, so that a later run neither looks for it again nor
  // takes this product away twice from the users of a shared file.
  // Written beside it first: a log half written would be worse than one that says too much.
  const std::string fresh = logPath_ + ".new";
  if (!WriteUninstallLogFile(fresh, rest) || !MoveFileExA(fresh.c_str(), logPath_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(fresh.c_str());
    leftovers_.Add(logPath_, "couldn't be brought up to date");
  }
}

std::string Uninstaller::ProgramFolder() const {
  if (!IsPlainName(productName_)) return std::string();
  const std::string programs = ShortcutFolder(ShortcutKind::kStartMenu, allUsers_);
  return programs.empty() ? std::string() : JoinPath(programs, productName_);
}

void Uninstaller::RemoveUninstallerTraces() {
  if (!RemoveUninstallEntry(productName_, uninstallerPath_)) {
    leftovers_.Add("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productName_,
                   "couldn't be deleted");
  }
  const std::string programFolder = ProgramFolder();
  if (!programFolder.empty()) {
    RemoveShortcut(ShortcutKind::kStartMenu, "Uninstall", uninstallerPath_);
    if (GetFileAttributesA(programFolder.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !RemoveDirectoryA(programFolder.c_str()) && !leftovers_.HasItemInside(programFolder)) {
      leftovers_.Add(programFolder, "folder not empty");
    }
  }
  if (!DeleteFileA(logPath_.c_str()) && GetFileAttributesA(logPath_.c_str()) != INVALID_FILE_ATTRIBUTES) {
    leftovers_.Add(logPath_, "couldn't be deleted");
  }
}

void Uninstaller::NoteWhatKeepsTheFolder() {
  // The folder itself goes after this process; tell now if something will keep it.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(folder_, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  bool occupied = false;
  bool waiting = false;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = JoinPath(folder_, name);
    if (IsUninstallerFile(path)) continue;
    if (WaitsForRestart(path)) {
      waiting = true;
    } else {
      occupied = true;
    }
  } while (!occupied && FindNextFileA(search, &found));
  FindClose(search);
  // What waits for the restart takes the folder with it then.
  if (!occupied && waiting && ScheduleFolderDeletionAtRestart(folder_)) return;
  if ((occupied || waiting) && !leftovers_.HasItemInside(folder_)) leftovers_.Add(folder_, "folder not empty");
}

void Uninstaller::SetStatus(const std::string& text) {
  if (progress_ != nullptr) progress_->SetStatus(text);
}

void Uninstaller::Step() {
  if (progress_ != nullptr) progress_->Step();
}
