// Start Menu, Desktop and Startup links (".lnk") for installed files and folders.

#include <windows.h>
// After windows.h, which it needs.
#include <io.h>

#include "engine/install_engine.h"
#include "shell/shell_links.h"

namespace {

ShortcutKind FirstKind(bool startMenu, bool desktop) {
  return startMenu ? ShortcutKind::kStartMenu : (desktop ? ShortcutKind::kDesktop : ShortcutKind::kStartup);
}

// The folder that holds the target, with its trailing backslash. For a file installed as
// folder\name.ext that is exactly the folder; for a folder target it is its parent.
std::string WorkingDirectoryOf(const std::string& target) {
  std::size_t last = target.rfind('\\');
  return last == std::string::npos ? std::string() : target.substr(0, last + 1);
}

}  // namespace

std::string InstallEngine::ShortcutFolderOf(ShortcutKind kind) {
  FolderLookup lookup = FolderLookup::kFound;
  const std::string folder = ShortcutFolder(kind, allUsers_, &lookup);
  if (lookup == FolderLookup::kNoLocation) ReportError("Couldn't obtain shortcut folder location!");
  if (lookup == FolderLookup::kNoPath) ReportError("Couldn't obtain shortcut folder path!");
  return folder;
}

bool InstallEngine::CreateShortcut(const std::string& name, const std::string& target, std::string* shortcutName,
                                   std::string* description, bool startMenu, bool desktop, bool startup) {
  if (!startMenu && !desktop && !startup) {
    ReportError("There's no shortcut parameter specified!", "Exception Error");
    abort_ = 1;
    return false;
  }
  const ShortcutKind kind = FirstKind(startMenu, desktop);
  if (shortcutName->empty()) *shortcutName = name;
  if (description->empty()) *description = name;

  const std::string folder = ShortcutFolderOf(kind);
  if (folder.empty()) {
    abort_ = 1;
    return false;
  }
  std::string linkPath = folder + "\\";
  if (kind == ShortcutKind::kStartMenu) {
    linkPath += productName_ + "\\";
    bStartMenuFolder_ = true;
    // The probe names a file inside the program folder, so every folder up to it exists
    // afterwards while the probe itself is never created.
    std::string probe = folder + "\\" + productName_ + "\\" + name;
    if (_access(probe.c_str(), 2) != 0 && !CreateFolders(probe, true)) {
      ReportError("Could not create Start Menu directory " + probe + "!");
      abort_ = 1;
      return false;
    }
  }
  linkPath += *shortcutName + ".lnk";

  // A link of the same name may be the user's; the rollback puts it back.
  if (!KeepBackupOfExistingFile(linkPath)) return false;
  switch (SaveLink(linkPath, target, WorkingDirectoryOf(target), *description)) {
    case LinkSaving::kClassNotRegistered:
      ReportError("Class or enumeration not registered!", "Exception Error");
      break;
    case LinkSaving::kNoAggregation:
      ReportError("Class cannot be created as part of an aggregate!", "Exception Error");
      break;
    case LinkSaving::kNotSaved:
      ReportError("Couldn't save link path!");
      abort_ = 1;
      return false;
    default:
      // Without a shell link object there is no link to make; the installation goes on.
      break;
  }

  if (kind == ShortcutKind::kStartMenu && (desktop || startup)) {
    return CreateShortcut(name, target, shortcutName, description, false, desktop, startup);
  }
  if (kind == ShortcutKind::kDesktop && startup) return CreateShortcut(name, target, shortcutName, description, false, false, true);
  return true;
}

bool InstallEngine::RemoveShortcut(const std::string& shortcutName, bool startMenu, bool desktop, bool startup) {
  if (!startMenu && !desktop && !startup) return false;
  const ShortcutKind kind = FirstKind(startMenu, desktop);
  const std::string folder = ShortcutFolderOf(kind);
  if (folder.empty()) return false;
  std::string linkPath = folder + "\\";
  if (kind == ShortcutKind::kStartMenu) linkPath += productName_ + "\\";
  linkPath += shortcutName + ".lnk";
  const bool deleted =
      backups_.Has(linkPath) ? backups_.Restore(linkPath) : DeleteFileA(linkPath.c_str()) != FALSE;

  if (kind == ShortcutKind::kStartMenu && (desktop || startup)) return RemoveShortcut(shortcutName, false, desktop, startup);
  if (kind == ShortcutKind::kDesktop && startup) return RemoveShortcut(shortcutName, false, false, true);
  return deleted;
}
