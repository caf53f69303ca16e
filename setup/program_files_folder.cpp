#include "setup/program_files_folder.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include "setup/destination_rules.h"

std::string ProgramFilesFolder() {
  char folder[MAX_PATH] = "";
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder)) && folder[0])
    return folder;
  char windowsDirectory[MAX_PATH] = "";
  ::GetWindowsDirectoryA(windowsDirectory, MAX_PATH);
  return ProgramFilesOnWindowsDrive(windowsDirectory);
}
