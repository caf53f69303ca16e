#include "shell/folders.h"

#include <windows.h>

bool IsEmptyFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  bool empty = true;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") empty = false;
  } while (empty && FindNextFileA(search, &found));
  FindClose(search);
  return empty;
}
