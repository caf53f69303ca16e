#include "tests/driver/host_path.h"

namespace driver {

std::string WindowsPathFromHost(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

}  // namespace driver
