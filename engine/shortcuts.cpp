// Start Menu, Desktop and Startup links (".lnk") for installed files and folders.

#include <cctype>

#include "engine/install_engine.h"
#include "engine/steps/create_shortcut_step.h"

namespace {

// The folder that holds the target, with its trailing backslash. For a file installed as
// folder\name.ext that is exactly the folder; for a folder target it is its parent.
std::string WorkingDirectoryOf(const std::string& target) {
  std::size_t last = target.rfind('\\');
  return last == std::string::npos ? std::string() : target.substr(0, last + 1);
}

std::string LoweredPath(std::string path) {
  for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return path;
}

}  // namespace

bool InstallEngine::MakeShortcuts(const FileEntry& entry, const std::string& name, const std::string& target) {
  const bool wanted[] = {entry.StartMenuShortcut != 0 && plan_.startMenuShortcuts,
                         entry.DesktopShortcut != 0 && plan_.desktopShortcuts, entry.StartupShortcut != 0};
  const ShortcutKind kinds[] = {ShortcutKind::kStartMenu, ShortcutKind::kDesktop, ShortcutKind::kStartup};
  std::string shortcutName = BufferText(entry.ShortcutName);
  std::string description = BufferText(entry.ShortcutDescription);
  if (shortcutName.empty()) shortcutName = name;
  if (description.empty()) description = name;
  for (int i = 0; i < 3; ++i) {
    if (wanted[i] && !CreateShortcut(kinds[i], shortcutName, target, description)) return false;
  }
  return true;
}

bool InstallEngine::CreateShortcut(ShortcutKind kind, const std::string& name, const std::string& target,
                                   const std::string& description) {
  std::string failure;
  std::string folder = shortcutFolders_.Of(kind, &failure);
  if (folder.empty()) {
    ReportError(failure.empty() ? "Couldn't obtain shortcut folder path!" : failure);
    return Failed();
  }
  if (kind == ShortcutKind::kStartMenu) {
    folder += "\\" + plan_.productName;
    startMenuFolderUsed_ = true;
    if (!CreateFolders(folder)) return false;
  }
  LinkToSave link{folder + "\\" + name + ".lnk", target, WorkingDirectoryOf(target), description};
  createdLinks_.insert(LoweredPath(link.path));
  return Perform(std::make_unique<CreateShortcutStep>(std::move(link), &backups_));
}
