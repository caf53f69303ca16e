#include "uninstaller/log_loading.h"

#include <cstdio>

bool LoadUninstallLog(const std::string& path, UninstallLog* log, std::string* message) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *message = "Couldn't open uninstall log file!\n" + path + "\n\nNothing has been removed.";
    return false;
  }
  std::string reason;
  const bool read = ReadUninstallLog(log, file, &reason);
  std::fclose(file);
  if (!read) {
    *message = "Uninstall log file is damaged!\n" + path + "\n\nNothing has been removed.";
    return false;
  }
  return true;
}
