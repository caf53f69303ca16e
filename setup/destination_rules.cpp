#include "setup/destination_rules.h"

std::string DefaultDestination(const std::string& programFilesFolder, const std::string& productName) {
  std::string folder = programFilesFolder;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder + productName;
}

std::string ProgramFilesOnWindowsDrive(const std::string& windowsDirectory) {
  return windowsDirectory.substr(0, 3) + "Program Files";
}

std::string ComposeBrowsedFolder(const std::string& folder, const std::string& productName) {
  bool endsWithName = folder.size() >= productName.size() &&
                      folder.compare(folder.size() - productName.size(), productName.size(), productName) == 0;
  if (endsWithName) return folder;
  std::string result = folder;
  if (result.empty() || result.back() != '\\') result += '\\';
  return result + productName;
}

std::string TrimDestination(const std::string& folder) {
  if (folder.size() > 3 && folder.back() == '\\') return folder.substr(0, folder.size() - 1);
  return folder;
}

bool FolderEnablesNext(const std::string& folder, bool hasNextPage) { return folder.size() >= 3 && hasNextPage; }
