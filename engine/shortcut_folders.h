#pragma once
// The shell folders that receive the run's links, for all users or the current one, each
// asked of the shell once.

#include <map>
#include <string>

#include "shell/shell_links.h"

class ShortcutFolders {
 public:
  explicit ShortcutFolders(bool allUsers) : allUsers_(allUsers) {}
  // The folder, without a trailing backslash; empty, with `failure` saying why, when the
  // shell cannot name it.
  std::string Of(ShortcutKind kind, std::string* failure);

 private:
  bool allUsers_;
  std::map<ShortcutKind, std::string> known_;
};
