#pragma once
// The files of one build appear together or not at all: each is written under a ".part"
// name and renamed into place only when every one of them is complete. Whatever has not
// been committed is removed when the set goes away, so a failed build leaves nothing, not
// even the folders it made; an interrupted one removes the same.

#include <string>
#include <vector>

class OutputSet {
 public:
  explicit OutputSet(std::string base);
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // Creates the folders missing above BASE; those it made are removed again unless the
  // set is committed.
  bool MakeFolder(std::string* error);
  // The ".part" path under which BASE + suffix is written until Commit.
  std::string Add(const std::string& suffix);
  // A working file that never becomes an output; removed with the set.
  std::string Scratch(const std::string& suffix);
  std::string FinalPath(const std::string& suffix) const { return base_ + suffix; }

  // Renames every part into place. Earlier outputs named in `stale` that this build does
  // not produce are removed, so the folder describes this build only.
  bool Commit(const std::vector<std::string>& stale, std::string* error);

 private:
  std::string base_;
  std::vector<std::string> suffixes_;
  std::vector<std::string> scratch_;
  std::vector<std::string> madeFolders_;  // parents first
  bool committed_ = false;
};
