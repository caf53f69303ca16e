// "%DIR%", "%WINDOWS%" and "%SYSTEM%" in target paths, and the folders along a path.

#include <io.h>

#include <cstring>

#include "engine/install_engine.h"
#include "engine/macro_text.h"

bool InstallEngine::ExpandPathMacros(char* path, std::size_t capacity) const {
  std::string expanded(path, strnlen(path, capacity));
  expanded = ExpandMacro(expanded, "%DIR%", destination_);
  expanded = ExpandMacro(expanded, "%WINDOWS%", windowsFolder_);
  expanded = ExpandMacro(expanded, "%SYSTEM%", systemFolder_);
  if (expanded.size() + 1 > capacity) return false;
  std::memcpy(path, expanded.c_str(), expanded.size() + 1);
  return true;
}

bool InstallEngine::CreateFolders(const std::string& path, bool isFile) {
  auto create = [this](const std::string& folder) {
    // Existing folders and the drive part simply fail; only what is new is remembered.
    if (CreateDirectoryA(folder.c_str(), nullptr)) createdFolders_.push_back(folder);
  };
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '\\') create(path.substr(0, i));
  }
  if (!isFile) create(path);
  std::string folder = path;
  if (isFile) {
    std::size_t last = path.rfind('\\');
    folder = last == std::string::npos ? std::string() : path.substr(0, last);
  }
  return !folder.empty() && _access(folder.c_str(), 0) == 0;
}
