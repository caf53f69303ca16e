#include "builder/payload_plan.h"

#include <cstring>
#include <map>

#include "builder/ansi_text.h"
#include "builder/source_tree.h"
#include "builder/stored_text.h"
#include "builder/windows_names.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kLargestFile = 0xFFFFFFFFull;  // content lengths are 32-bit in the data file

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A target ending in a backslash names a folder into which the file goes under its own name.
std::string TargetOf(const ManifestFile& file, const SourceItem& item, const fs::path& source) {
  std::string target = file.target;
  const bool intoFolder = !target.empty() && target.back() == '\\';
  if (item.relative.empty()) {
    if (intoFolder && !item.isFolder) target += source.filename().u8string();
    if (intoFolder && item.isFolder) target.pop_back();
    return target;
  }
  if (intoFolder) target.pop_back();
  for (const std::string& name : item.relative) target += "\\" + name;
  return target;
}

std::string ItemLabel(const ManifestFile& file, const SourceItem& item) {
  if (item.relative.empty()) return file.label;
  std::string shown;
  for (const std::string& name : item.relative) shown += (shown.empty() ? "" : "/") + name;
  return file.label + ", " + Quoted(shown);
}

bool CheckFolderFlags(const ManifestFile& file, std::string* error) {
  if (!file.runAtFinish && !file.registerServer) return true;
  *error = file.label + ": run_at_finish and register_server have no effect on a folder; list the "
           "file itself as its own entry";
  return false;
}

bool CheckShortcutName(const ManifestFile& file, const std::string& ansiName, std::string* error) {
  std::string reason;
  if (ansiName.empty() || IsValidWindowsFileName(ansiName, &reason)) return true;
  *error = file.label + ": shortcut_name " + Quoted(file.shortcutName) + " " + reason;
  return false;
}

bool FillEntry(const ManifestFile& file, const SourceItem& item, const std::string& target,
               const std::string& label, PlannedEntry* planned, std::string* error) {
  std::string targetAnsi, shortcutName, shortcutDescription, reason;
  if (!ToStoredString(target, "target " + Quoted(target), &targetAnsi, &reason)) {
    *error = label + ": " + reason;
    return false;
  }
  if (!IsValidTargetPath(targetAnsi, item.isFolder, &reason)) {
    *error = label + ": target " + Quoted(target) + " " + reason;
    return false;
  }
  const bool isSource = item.relative.empty();
  if (isSource && (!ToStoredString(file.shortcutName, "shortcut_name", &shortcutName, &reason) ||
                   !ToStoredString(file.shortcutDescription, "shortcut_description", &shortcutDescription,
                                   &reason))) {
    *error = label + ": " + reason;
    return false;
  }
  if (isSource && !CheckShortcutName(file, shortcutName, error)) return false;
  if (item.size > kLargestFile) {
    *error = label + ": is " + std::to_string(item.size) + " bytes; the setup handles files below 4 GiB only";
    return false;
  }

  FileEntry& entry = planned->entry;
  std::memset(&entry, 0, sizeof entry);
  std::string name, extension;
  if (item.isFolder) {
    name = LastPathComponent(targetAnsi);
    extension = "\\";
  } else {
    SplitFileName(LastPathComponent(targetAnsi), &name, &extension);
  }
  CopyToBuffer(name, entry.Name);
  CopyToBuffer(extension, entry.Extension);
  CopyToBuffer(targetAnsi, entry.TargetPath);
  if (isSource) {
    entry.StartMenuShortcut = file.startMenu ? 1 : 0;
    entry.DesktopShortcut = file.desktop ? 1 : 0;
    entry.StartupShortcut = file.startup ? 1 : 0;
    CopyToBuffer(shortcutName, entry.ShortcutName);
    CopyToBuffer(shortcutDescription, entry.ShortcutDescription);
    entry.RunAtFinish = file.runAtFinish ? 1 : 0;
    entry.RegisterServer = file.registerServer ? 1 : 0;
  }
  entry.SizeLow = static_cast<uint32_t>(item.size);
  if (!item.isFolder) {
    entry.CreationTime = item.times.creation;
    entry.LastAccessTime = item.times.lastAccess;
    entry.LastWriteTime = item.times.lastWrite;
    planned->content = item.path;
  }
  planned->label = label;
  return true;
}

fs::path ResolveSource(const std::string& source, const fs::path& sourceRoot) {
  const fs::path path = fs::u8path(source);
  return path.is_absolute() ? path : sourceRoot / path;
}

bool PlanOneSource(const ManifestFile& file, const fs::path& sourceRoot, PayloadPlan* plan,
                   std::string* error) {
  if (file.target.empty()) {
    *error = file.label + ": target is empty";
    return false;
  }
  const fs::path source = ResolveSource(file.source, sourceRoot);
  std::vector<SourceItem> items;
  std::string reason;
  if (!CollectSource(source, &items, &reason)) {
    *error = file.label + ": " + reason + " (looked for " + source.u8string() + ")";
    return false;
  }
  if (items.front().isFolder && !CheckFolderFlags(file, error)) return false;
  if (!items.front().isFolder && !file.target.empty() && file.target.back() == '\\' &&
      source.filename().u8string().find('\\') != std::string::npos) {
    *error = file.label + ": the file's name holds a backslash, which Windows would take as a folder; "
             "rename it or give the target its own name";
    return false;
  }
  for (const SourceItem& item : items) {
    PlannedEntry planned;
    if (!FillEntry(file, item, TargetOf(file, item, source), ItemLabel(file, item), &planned, error)) {
      return false;
    }
    planned.entry.Index = static_cast<uint32_t>(plan->entries.size());
    plan->totalSize += item.size;
    plan->entries.push_back(planned);
  }
  return true;
}

// Two files meant for the same place would overwrite each other during installation;
// Windows does not tell "A.txt" from "a.txt" nor "Š.txt" from "š.txt". A folder may be named
// by several entries.
bool CheckTargetsAreDistinct(const PayloadPlan& plan, std::string* error) {
  std::map<std::string, const PlannedEntry*> seen;
  for (const PlannedEntry& planned : plan.entries) {
    const auto [it, fresh] = seen.emplace(ComparableTargetPath(planned.entry.TargetPath), &planned);
    const bool bothFolders = IsFolderEntry(it->second->entry.Extension) && IsFolderEntry(planned.entry.Extension);
    if (!fresh && !bothFolders) {
      *error = planned.label + ": installs to the same place as " + it->second->label + " (" +
               AnsiToUtf8(planned.entry.TargetPath) + ")";
      return false;
    }
  }
  return true;
}

}  // namespace

bool PlanPayload(const Manifest& manifest, const fs::path& sourceRoot, PayloadPlan* plan, std::string* error) {
  for (const ManifestFile& file : manifest.files) {
    if (!PlanOneSource(file, sourceRoot, plan, error)) return false;
  }
  return CheckTargetsAreDistinct(*plan, error);
}
