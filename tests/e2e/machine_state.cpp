#include "tests/e2e/machine_state.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "tests/e2e/wizard_session.h"

namespace e2e {

namespace {

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = "";
  return SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE) ? path : "";
}

void ListTree(const std::string& folder, std::vector<std::string>* lines) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      lines->push_back(path + "\\");
      ListTree(path, lines);
    } else {
      const unsigned long long size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      lines->push_back(path + " " + std::to_string(size));
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void ListKey(HKEY root, const std::string& key, std::vector<std::string>* lines) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | SetupRegistryView(), &handle) != ERROR_SUCCESS) return;
  lines->push_back(key + "\\");
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name;
    BYTE data[1024];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(handle, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    lines->push_back(key + "\\" + name + "=" + std::to_string(type) + ":" +
                     std::string(reinterpret_cast<char*>(data), dataSize));
  }
  std::vector<std::string> subkeys;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(handle, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(name);
  }
  RegCloseKey(handle);
  for (const std::string& subkey : subkeys) ListKey(root, key + "\\" + subkey, lines);
}

// The Desktop may be a whole home folder (Wine maps it so): only its shortcuts count.
void ListShortcuts(const std::string& folder, std::vector<std::string>* lines) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.lnk").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    lines->push_back(folder + "\\" + found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

std::string ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }
std::string DesktopFolder() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY); }

std::vector<std::string> SnapshotDemoTraces(const std::string& destination) {
  std::vector<std::string> lines;
  lines.push_back("destination exists: " + std::to_string(GetFileAttributesA(destination.c_str()) != INVALID_FILE_ATTRIBUTES));
  ListTree(destination, &lines);
  lines.push_back("program folder exists: " +
                  std::to_string(GetFileAttributesA((ProgramsFolder() + "\\" + kDemoName).c_str()) !=
                                 INVALID_FILE_ATTRIBUTES));
  ListTree(ProgramsFolder() + "\\" + kDemoName, &lines);
  ListShortcuts(DesktopFolder(), &lines);
  ListKey(HKEY_CURRENT_USER, kDemoKey, &lines);
  ListKey(HKEY_LOCAL_MACHINE, kDemoUninstallKey, &lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

void RemoveDemoTraces() {
  SHDeleteKeyA(HKEY_CURRENT_USER, kDemoKey);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kDemoUninstallKey);
  const std::string programFolder = ProgramsFolder() + "\\" + kDemoName;
  for (const char* link : {"Brisklay Demo.lnk", "Brisklay Demo documents.lnk", "Uninstall.lnk"}) {
    DeleteFileA((programFolder + "\\" + link).c_str());
  }
  RemoveDirectoryA(programFolder.c_str());
  DeleteFileA((DesktopFolder() + "\\Brisklay Demo.lnk").c_str());
}

std::optional<std::string> RegistryString(HKEY root, const std::string& key, const std::string& name) {
  char data[1024] = "";
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | SetupRegistryView(), &handle) != ERROR_SUCCESS) return std::nullopt;
  const LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::string(data, size && data[size - 1] == '\0' ? size - 1 : size);
}

std::optional<DWORD> RegistryDword(HKEY root, const std::string& key, const std::string& name) {
  DWORD data = 0;
  DWORD size = sizeof data;
  DWORD type = 0;
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | SetupRegistryView(), &handle) != ERROR_SUCCESS) return std::nullopt;
  const LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return data;
}

std::optional<unsigned long long> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace e2e
