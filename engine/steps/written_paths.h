#pragma once
// The files this run has written so far. A second entry for the same path (in whatever
// letter case) must not take the run's own content for a user's file to bring back.

#include <windows.h>

#include <string>
#include <unordered_set>

class WrittenPaths {
 public:
  void Add(const std::string& path) { paths_.insert(Key(path)); }
  bool Contains(const std::string& path) const { return paths_.count(Key(path)) != 0; }

 private:
  static std::string Key(std::string path) {
    if (!path.empty()) CharLowerBuffA(&path[0], static_cast<DWORD>(path.size()));
    return path;
  }
  std::unordered_set<std::string> paths_;
};
