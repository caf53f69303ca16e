// "%DIR%", "%WINDOWS%" and "%SYSTEM%" in target paths, and the folders along a path.

#include <io.h>

#include <cstring>

#include "engine/install_engine.h"

namespace {

// Replaces every occurrence of `macro`. The search goes on after the inserted value, so a
// value that itself contains the macro cannot make the expansion run forever.
void ReplaceAll(std::string* path, const std::string& macro, const std::string& value) {
  std::size_t position = 0;
  while ((position = path->find(macro, position)) != std::string::npos) {
    path->replace(position, macro.size(), value);
    position += value.size();
  }
}

}  // namespace

bool InstallEngine::ExpandPathMacros(char* path, std::size_t capacity) const {
  std::string expanded(path, strnlen(path, capacity));
  ReplaceAll(&expanded, "%DIR%", destination_);
  ReplaceAll(&expanded, "%WINDOWS%", windowsFolder_);
  ReplaceAll(&expanded, "%SYSTEM%", systemFolder_);
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
