#include "uninstaller/uninstaller.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "uninstaller/paths.h"
#include "uninstaller/registry_cleanup.h"

namespace {

std::string RegistryItemName(const RegistryEntry& record) {
  const std::string valueName = BufferText(record.ValueName);
  return BufferText(record.RootKey) + "\\" + BufferText(record.SubKey) + "\\" +
         (valueName.empty() ? "(Default)" : valueName);
}

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
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
      systemFolder_(SystemFolder()),
      progress_(progress) {}

void Uninstaller::Run() {
  if (progress_ != nullptr) {
    progress_->SetRange(static_cast<int>(log_.Files.size() + log_.Registry.size() + 1));
  }
  SetStatus("Removing files...");
  RemoveFiles();
  SetStatus("Removing folders...");
  RemoveFolders();
  SetStatus("Removing registry values...");
  RemoveRegistryValues();
  SetStatus("Removing the uninstaller...");
  RemoveUninstallerTraces();
  NoteWhatKeepsTheFolder();
  Step();
}

void Uninstaller::RemoveRegistryValues() {
  std::vector<std::pair<HKEY, std::string>> keys;
  for (const RegistryEntry& record : log_.Registry) {
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
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
    return std::count(a.second.begin(), a.second.end(), '\\') > std::count(b.second.begin(), b.second.end(), '\\');
  });
  for (const auto& key : keys) RemoveEmptyKeys(key.first, key.second);
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
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (!IsUninstallerFile(JoinPath(folder_, name))) occupied = true;
  } while (!occupied && FindNextFileA(search, &found));
  FindClose(search);
  if (occupied && !leftovers_.HasItemInside(folder_)) leftovers_.Add(folder_, "folder not empty");
}

void Uninstaller::SetStatus(const std::string& text) {
  if (progress_ != nullptr) progress_->SetStatus(text);
}

void Uninstaller::Step() {
  if (progress_ != nullptr) progress_->Step();
}
