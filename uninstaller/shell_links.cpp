#include "uninstaller/shell_links.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "uninstaller/paths.h"

namespace {

int FolderId(ShortcutKind kind, bool allUsers) {
  switch (kind) {
    case ShortcutKind::kStartMenu:
      return allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    case ShortcutKind::kDesktop:
      return allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY;
    case ShortcutKind::kStartup:
    default:
      return allUsers ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP;
  }
}

template <typename Interface>
struct Released {
  ~Released() {
    if (object != nullptr) object->Release();
  }
  Interface* object = nullptr;
};

}  // namespace

std::string ShortcutFolder(ShortcutKind kind, bool allUsers) {
  LPITEMIDLIST list = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, FolderId(kind, allUsers), &list) != S_OK) return std::string();
  char path[MAX_PATH] = {};
  const BOOL found = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  return found ? WithoutTrailingBackslash(path) : std::string();
}

std::string LinkTarget(const std::string& linkPath) {
  Released<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link.object)))) {
    link.object = nullptr;
    return std::string();
  }
  Released<IPersistFile> file;
  if (FAILED(link.object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.object)))) {
    file.object = nullptr;
    return std::string();
  }
  WCHAR wide[MAX_PATH] = {};
  if (linkPath.size() >= MAX_PATH || MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) == 0) {
    return std::string();
  }
  if (FAILED(file.object->Load(wide, STGM_READ))) return std::string();
  char target[MAX_PATH] = {};
  if (link.object->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return std::string();
  return target;
}

LinkRemoval RemoveLinkTo(const std::string& linkPath, const std::string& target) {
  if (GetFileAttributesA(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES) return LinkRemoval::kAbsent;
  const std::string stored = LinkTarget(linkPath);
  if (!stored.empty() && !SamePath(stored, target)) return LinkRemoval::kPointsElsewhere;
  return DeleteFileA(linkPath.c_str()) ? LinkRemoval::kRemoved : LinkRemoval::kNotDeleted;
}
