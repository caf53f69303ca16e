#pragma once
// A file in the run's own temporary folder (a library's replacement set aside while the
// user is asked about it): it is removed when the object goes, however the run ends.

#include <windows.h>

#include <string>

class ScopedTempFile {
 public:
  explicit ScopedTempFile(std::string path = std::string()) : path_(std::move(path)) {}
  ~ScopedTempFile() { Remove(); }
  ScopedTempFile(const ScopedTempFile&) = delete;
  ScopedTempFile& operator=(const ScopedTempFile&) = delete;

  const std::string& Path() const { return path_; }
  // From now on the object stands for `path`; the file it stood for goes.
  void Reset(std::string path) {
    Remove();
    path_ = std::move(path);
  }
  // Removing what the run made itself cannot be undone; it is past the fault seam.
  void Remove() const {
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }

 private:
  std::string path_;
};
