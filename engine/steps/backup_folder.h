#pragma once
// Where the copies of replaced files wait until the run is complete: a folder of this
// product under "Brisklay Backup" in the user's local application data. Not the temporary
// folder: a clean-up of that folder must never take the only copy of a user's file, and a
// copy that cannot be put back stays here, under its original name, for the user to find.

#include <string>
#include <vector>

class BackupFolder {
 public:
  // `root` is the product's folder; empty picks the local application data one.
  explicit BackupFolder(const std::string& productName, std::string root = std::string());
  BackupFolder(const BackupFolder&) = delete;
  BackupFolder& operator=(const BackupFolder&) = delete;

  // A new, empty folder of its own for one copy; empty when none can be made.
  std::string NewSlot();
  // Removes the product's folder and "Brisklay Backup" when nothing is left in them.
  void RemoveIfEmpty();
  const std::string& Root() const { return root_; }

 private:
  bool MakeRoot();

  std::string root_;
  std::vector<std::string> madeFolders_;
  unsigned next_ = 0;
};
