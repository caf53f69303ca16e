#pragma once
// A folder of its own for each test, under the temporary folder, removed with everything
// in it when the test ends.

#include <string>

namespace e2e {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, without a trailing backslash.
  const std::string& Path() const { return path_; }
  std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

bool FileExists(const std::string& path);

}  // namespace e2e
