// The system side of the pre-install checks: what Windows reports about itself and
// about the destination drive.

#include <windows.h>

#include "engine/preinstall_checks.h"

std::optional<OsVersionReport> QueryOsVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return std::nullopt;
  return OsVersionReport{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::optional<DiskSpaceReport> QueryDiskSpace(const std::string& destinationFolder) {
  // An empty path would make the system answer for the current directory's drive,
  // which need not be the destination's.
  const std::string root = DriveRootOf(destinationFolder);
  if (root.empty()) return std::nullopt;
  ULARGE_INTEGER freeToCaller, total, totalFree;
  if (!GetDiskFreeSpaceExA(root.c_str(), &freeToCaller, &total, &totalFree)) {
    return std::nullopt;
  }
  return DiskSpaceReport{freeToCaller.QuadPart, total.QuadPart, totalFree.QuadPart};
}
