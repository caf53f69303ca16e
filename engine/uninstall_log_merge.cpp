#include "engine/uninstall_log_merge.h"

#include <cctype>
#include <set>
#include <string>

namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string LoggedPathKey(const char* path) {
  std::string key = Lowered(BufferText(path));
  for (char& c : key) {
    if (c == '/') c = '\\';
  }
  while (key.size() > 1 && key.back() == '\\' && !(key.size() == 3 && key[1] == ':')) key.pop_back();
  return key;
}

std::string LoggedValueKey(const RegistryEntry& record) {
  std::string key = Lowered(BufferText(record.RootKey));
  key += '\0';
  key += Lowered(BufferText(record.SubKey));
  key += '\0';
  key += Lowered(BufferText(record.ValueName));
  return key;
}

namespace {

void ForgetShortcuts(FileEntry* record) {
  record->StartMenuShortcut = 0;
  record->DesktopShortcut = 0;
  record->StartupShortcut = 0;
}

void MergeFiles(const UninstallLog& older, const UninstallLog& newer, UninstallLog* merged) {
  std::set<std::string> named;
  for (const FileEntry& record : newer.Files) named.insert(LoggedPathKey(record.TargetPath));
  const bool sameShortcutFolders = (older.Header.bAllUsers != 0) == (newer.Header.bAllUsers != 0);
  for (const FileEntry& record : older.Files) {
    if (!named.insert(LoggedPathKey(record.TargetPath)).second) continue;
    merged->Files.push_back(record);
    if (!sameShortcutFolders) ForgetShortcuts(&merged->Files.back());
  }
  merged->Files.insert(merged->Files.end(), newer.Files.begin(), newer.Files.end());
}

void MergeRegistry(const UninstallLog& older, const UninstallLog& newer, UninstallLog* merged) {
  std::set<std::string> named;
  for (const RegistryEntry& record : newer.Registry) named.insert(LoggedValueKey(record));
  for (const RegistryEntry& record : older.Registry) {
    if (named.insert(LoggedValueKey(record)).second) merged->Registry.push_back(record);
  }
  // The newer run's own records stay as written, even one it logged twice.
  merged->Registry.insert(merged->Registry.end(), newer.Registry.begin(), newer.Registry.end());
}

}  // namespace

bool IsSameProduct(const UninstallLogHeader& a, const UninstallLogHeader& b) {
  return Lowered(BufferText(a.cName)) == Lowered(BufferText(b.cName));
}

UninstallLog MergeUninstallLogs(const UninstallLog& older, const UninstallLog& newer) {
  UninstallLog merged;
  merged.Header = newer.Header;
  MergeFiles(older, newer, &merged);
  MergeRegistry(older, newer, &merged);
  merged.Header.dwFiles = static_cast<uint32_t>(merged.Files.size());
  merged.Header.dwReg = static_cast<uint32_t>(merged.Registry.size());
  return merged;
}
