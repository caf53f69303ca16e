// "%DIR%", "%WINDOWS%" and "%SYSTEM%" in target paths, and the folders along a path.

#include <cstring>

#include "engine/install_engine.h"
#include "engine/macro_text.h"
#include "engine/steps/create_folder_step.h"

namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the folders that may be created begin: after "C:\" or "\\server\share\".
std::size_t FirstCreatable(const std::string& path) {
  if (path.compare(0, 2, "\\\\") != 0) return path.find('\\');
  std::size_t at = path.find('\\', 2);
  if (at != std::string::npos) at = path.find('\\', at + 1);
  return at;
}

}  // namespace

bool InstallEngine::ExpandPathMacros(char* path, std::size_t capacity) const {
  std::string expanded(path, strnlen(path, capacity));
  expanded = ExpandMacro(expanded, "%DIR%", plan_.destination);
  expanded = ExpandMacro(expanded, "%WINDOWS%", windowsFolder_);
  expanded = ExpandMacro(expanded, "%SYSTEM%", systemFolder_);
  if (expanded.size() + 1 > capacity) return false;
  std::memcpy(path, expanded.c_str(), expanded.size() + 1);
  return true;
}

bool InstallEngine::CreateFolders(const std::string& folder) {
  if (IsFolder(folder)) return true;
  const std::size_t start = FirstCreatable(folder);
  if (start == std::string::npos) return Perform(std::make_unique<CreateFolderStep>(folder));
  for (std::size_t at = folder.find('\\', start + 1);; at = folder.find('\\', at + 1)) {
    const std::string part = folder.substr(0, at);
    if (!IsFolder(part) && !Perform(std::make_unique<CreateFolderStep>(part))) return false;
    if (at == std::string::npos) return true;
  }
}

bool InstallEngine::CreateParentFolders(const std::string& target) {
  // Files come folder by folder; asking the system about every folder along the path again
  // for each file costs a fair part of writing a small one.
  const std::size_t last = target.rfind('\\');
  if (last == std::string::npos) return true;
  const std::string parent = target.substr(0, last);
  if (lastParentFolder_ == parent) return true;
  if (!CreateFolders(parent)) return false;
  lastParentFolder_ = parent;
  return true;
}
