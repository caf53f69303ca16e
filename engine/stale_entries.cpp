#include "engine/stale_entries.h"

#include <set>
#include <string>

#include "engine/uninstall_log_merge.h"

StaleEntries FindStaleEntries(const UninstallLog& earlier, const UninstallLog& current) {
  std::set<std::string> paths;
  for (const FileEntry& record : current.Files) paths.insert(LoggedPathKey(record.TargetPath));
  std::set<std::string> values;
  for (const RegistryEntry& record : current.Registry) values.insert(LoggedValueKey(record));

  StaleEntries stale;
  std::set<std::string> seen;
  for (const FileEntry& record : earlier.Files) {
    const std::string key = LoggedPathKey(record.TargetPath);
    if (key.empty() || paths.count(key) != 0 || !seen.insert(key).second) continue;
    (IsFolderEntry(record.Extension) ? stale.folders : stale.files).push_back(record);
  }
  seen.clear();
  for (const RegistryEntry& record : earlier.Registry) {
    const std::string key = LoggedValueKey(record);
    if (values.count(key) == 0 && seen.insert(key).second) stale.registry.push_back(record);
  }
  return stale;
}
