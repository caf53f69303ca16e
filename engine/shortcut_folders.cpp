#include "engine/shortcut_folders.h"

std::string ShortcutFolders::Of(ShortcutKind kind, std::string* failure) {
  auto known = known_.find(kind);
  if (known != known_.end()) return known->second;
  FolderLookup lookup = FolderLookup::kFound;
  const std::string folder = ShortcutFolder(kind, allUsers_, &lookup);
  if (lookup == FolderLookup::kNoLocation) *failure = "Couldn't obtain shortcut folder location!";
  if (lookup == FolderLookup::kNoPath) *failure = "Couldn't obtain shortcut folder path!";
  if (!folder.empty()) known_[kind] = folder;
  return folder;
}
